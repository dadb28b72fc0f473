// Saved state through the host's dictionary, factory preset records and
// the balance of CF references over a whole session.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "au/AUDictionary.h"
#include "au/AUPresetRecord.h"
#include "au/TestPlug.h"
#include "au/apple/StandIn.h"

namespace {

std::string Text(CFStringRef s) {
  char buffer[256];
  return s && CFStringGetCString(s, buffer, sizeof buffer, kCFStringEncodingUTF8) ? buffer : "<null>";
}

CFMutableDictionaryRef GetClassInfo(AudioUnit unit) {
  CFPropertyListRef dict = nullptr;
  UInt32 size = sizeof dict;
  EXPECT_EQ(noErr, AudioUnitGetProperty(unit, kAudioUnitProperty_ClassInfo, 0, 0, &dict, &size));
  return const_cast<CFMutableDictionaryRef>(static_cast<CFDictionaryRef>(dict));
}

OSStatus SetClassInfo(AudioUnit unit, CFPropertyListRef dict) {
  return AudioUnitSetProperty(unit, kAudioUnitProperty_ClassInfo, 0, 0, &dict, sizeof dict);
}

void SetParams(AudioUnit unit, float level, float mode, float active) {
  AudioUnitSetParameter(unit, kTestLevel, 0, 0, level, 0);
  AudioUnitSetParameter(unit, kTestMode, 0, 0, mode, 0);
  AudioUnitSetParameter(unit, kTestActive, 0, 0, active, 0);
}

double Param(TestUnit& u, int idx) { return u.Plug()->GetParam(idx)->Value(); }

TEST(AUState, DictionaryCarriesIdentityPresetNameAndState) {
  TestUnit u;
  CFMutableDictionaryRef dict = GetClassInfo(u.unit);
  ASSERT_NE(nullptr, dict);
  SInt32 number = 0;
  EXPECT_TRUE(GetNumberFromDict(dict, "version", &number, kCFNumberSInt32Type));
  EXPECT_EQ(0x00010203, number);
  EXPECT_TRUE(GetNumberFromDict(dict, "type", &number, kCFNumberSInt32Type));
  EXPECT_EQ((SInt32)kAudioUnitType_MusicDevice, number);
  EXPECT_TRUE(GetNumberFromDict(dict, "subtype", &number, kCFNumberSInt32Type));
  EXPECT_EQ((SInt32)MakeFourCC("Tst1"), number);
  EXPECT_TRUE(GetNumberFromDict(dict, "manufacturer", &number, kCFNumberSInt32Type));
  EXPECT_EQ((SInt32)MakeFourCC("-VL-"), number);
  char name[256];
  EXPECT_TRUE(GetStrFromDict(dict, "name", name, sizeof name));
  EXPECT_STREQ("Init", name);
  CFDataRef data = static_cast<CFDataRef>(CFDictionaryGetValue(dict, CFSTR("data")));
  ASSERT_NE(nullptr, data);
  EXPECT_EQ(3 * 8, CFDataGetLength(data));
  CFRelease(dict);
}

TEST(AUState, RoundTripRestoresParameters) {
  TestUnit u;
  SetParams(u.unit, 0.3f, 2.0f, 0.0f);
  CFMutableDictionaryRef dict = GetClassInfo(u.unit);
  SetParams(u.unit, 0.9f, 0.0f, 1.0f);
  EXPECT_EQ(noErr, SetClassInfo(u.unit, dict));
  EXPECT_NEAR(0.3, Param(u, kTestLevel), 1e-6);
  EXPECT_EQ(2.0, Param(u, kTestMode));
  EXPECT_EQ(0.0, Param(u, kTestActive));
  EXPECT_NEAR(0.3, u.Plug()->mLevel, 1e-6);  // the plug-in heard about it
  CFRelease(dict);
}

TEST(AUState, MissingDataIsRefusedButTheNamedPresetIsSelected) {
  TestUnit u;
  CFMutableDictionaryRef dict = GetClassInfo(u.unit);
  CFDictionaryRemoveValue(dict, CFSTR("data"));
  PutStrInDict(dict, "name", "Bright");
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetClassInfo(u.unit, dict));
  EXPECT_EQ(1, u.Plug()->GetCurrentPresetIdx());
  EXPECT_DOUBLE_EQ(0.75, Param(u, kTestLevel));
  CFRelease(dict);
}

TEST(AUState, UnknownPresetNameStillRestoresTheChunk) {
  TestUnit u;
  SetParams(u.unit, 0.6f, 1.0f, 0.0f);
  CFMutableDictionaryRef dict = GetClassInfo(u.unit);
  PutStrInDict(dict, "name", "No such preset");
  SetParams(u.unit, 0.1f, 0.0f, 1.0f);
  EXPECT_EQ(noErr, SetClassInfo(u.unit, dict));
  EXPECT_NEAR(0.6, Param(u, kTestLevel), 1e-6);
  EXPECT_EQ(0, u.Plug()->GetCurrentPresetIdx());
  CFRelease(dict);
}

TEST(AUState, DictionariesFromElsewhereAreRefusedAndChangeNothing) {
  TestUnit u;
  SetParams(u.unit, 0.6f, 1.0f, 0.0f);
  CFMutableDictionaryRef good = GetClassInfo(u.unit);
  SetParams(u.unit, 0.2f, 2.0f, 1.0f);
  const SInt32 otherSubtype = (SInt32)MakeFourCC("Oth1");
  const SInt32 otherType = (SInt32)kAudioUnitType_Effect;
  const SInt32 negative = -1;

  struct Damage {
    const char* key;
    int kind;  // 0 remove, 1 other number, 2 wrong CF type
    const SInt32* number;
  };
  const Damage damages[] = {{"type", 1, &otherType},   {"subtype", 1, &otherSubtype}, {"manufacturer", 1, &negative},
                            {"version", 0, nullptr},   {"type", 0, nullptr},          {"subtype", 0, nullptr},
                            {"manufacturer", 0, nullptr}, {"name", 0, nullptr},       {"name", 2, nullptr},
                            {"subtype", 2, nullptr}};
  for (const Damage& d : damages) {
    CFMutableDictionaryRef dict =
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    const CFIndex n = CFDictionaryGetCount(good);
    std::vector<const void*> keys((size_t)n), values((size_t)n);
    CFDictionaryGetKeysAndValues(good, keys.data(), values.data());
    for (CFIndex i = 0; i < n; ++i) CFDictionarySetValue(dict, keys[(size_t)i], values[(size_t)i]);
    CFStringRef key = CFStringCreateWithCString(nullptr, d.key, kCFStringEncodingUTF8);
    if (d.kind == 0) CFDictionaryRemoveValue(dict, key);
    if (d.kind == 1) PutNumberInDict(dict, d.key, d.number, kCFNumberSInt32Type);
    if (d.kind == 2 && std::strcmp(d.key, "name") == 0) PutNumberInDict(dict, d.key, &negative, kCFNumberSInt32Type);
    if (d.kind == 2 && std::strcmp(d.key, "name") != 0) CFDictionarySetValue(dict, key, CFSTR("wrong type"));
    CFRelease(key);
    EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetClassInfo(u.unit, dict)) << d.key << " " << d.kind;
    EXPECT_NEAR(0.2, Param(u, kTestLevel), 1e-6) << d.key;
    EXPECT_EQ(2.0, Param(u, kTestMode)) << d.key;
    CFRelease(dict);
  }
  // Not a dictionary at all, or nothing.
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetClassInfo(u.unit, CFSTR("not a dictionary")));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetClassInfo(u.unit, nullptr));
  EXPECT_NEAR(0.2, Param(u, kTestLevel), 1e-6);

  // "data" of the wrong type counts as missing: refused after the named preset is selected.
  CFDictionarySetValue(good, CFSTR("data"), CFSTR("wrong type"));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetClassInfo(u.unit, good));
  EXPECT_DOUBLE_EQ(0.25, Param(u, kTestLevel));
  CFRelease(good);
}

TEST(AUState, TruncatedOrRandomDataNeverCrashesAndShortDataChangesNothing) {
  TestUnit u;
  SetParams(u.unit, 0.6f, 1.0f, 0.0f);
  CFMutableDictionaryRef dict = GetClassInfo(u.unit);
  CFDataRef data = static_cast<CFDataRef>(CFDictionaryGetValue(dict, CFSTR("data")));
  std::vector<UInt8> full(CFDataGetBytePtr(data), CFDataGetBytePtr(data) + CFDataGetLength(data));
  SetParams(u.unit, 0.2f, 2.0f, 1.0f);
  // No preset is selected by this name, so a refused chunk must leave every value as it was.
  PutStrInDict(dict, "name", "unsaved");

  for (size_t length = 0; length < full.size(); ++length) {
    CFDataRef cut = CFDataCreate(nullptr, full.data(), (CFIndex)length);
    CFDictionarySetValue(dict, CFSTR("data"), cut);
    CFRelease(cut);
    EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, SetClassInfo(u.unit, dict)) << length;
    EXPECT_NEAR(0.2, Param(u, kTestLevel), 1e-6) << length;
    EXPECT_EQ(2.0, Param(u, kTestMode)) << length;
    EXPECT_EQ(1.0, Param(u, kTestActive)) << length;
  }

  std::mt19937 rng(1234);
  for (int round = 0; round < 200; ++round) {
    std::vector<UInt8> bytes(rng() % 64);
    for (UInt8& b : bytes) b = (UInt8)rng();
    CFDataRef random = CFDataCreate(nullptr, bytes.data(), (CFIndex)bytes.size());
    CFDictionarySetValue(dict, CFSTR("data"), random);
    CFRelease(random);
    const OSStatus result = SetClassInfo(u.unit, dict);
    EXPECT_TRUE(result == noErr || result == kAudioUnitErr_InvalidPropertyValue);
    double lo, hi;
    for (int i = 0; i < kNumTestParams; ++i) {
      u.Plug()->GetParam(i)->GetBounds(&lo, &hi);
      EXPECT_GE(Param(u, i), lo);
      EXPECT_LE(Param(u, i), hi);
    }
  }
  CFRelease(dict);
}

TEST(AUState, OverlongPresetNamesAreCutToThePresetNameBuffer) {
  CFMutableDictionaryRef dict =
      CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  const std::string longName(300, 'x');
  PutStrInDict(dict, "name", longName.c_str());
  char name[256];
  std::memset(name, 'y', sizeof name);
  ASSERT_TRUE(GetStrFromDict(dict, "name", name, sizeof name));
  EXPECT_EQ(std::string(255, 'x'), std::string(name));

  TestUnit u;
  CFMutableDictionaryRef state = GetClassInfo(u.unit);
  PutStrInDict(state, "name", longName.c_str());
  EXPECT_EQ(noErr, SetClassInfo(u.unit, state));
  CFRelease(state);
  CFRelease(dict);
}

TEST(AUState, FailingSerializationYieldsNoDataKey) {
  TestUnit u;
  u.Plug()->mFailSerialize = true;
  CFMutableDictionaryRef dict = GetClassInfo(u.unit);
  EXPECT_EQ(nullptr, CFDictionaryGetValue(dict, CFSTR("data")));
  EXPECT_EQ(5, CFDictionaryGetCount(dict));
  CFRelease(dict);
}

TEST(AUState, WithoutAComponentInstanceTheInfoFailureIsPassedOn) {
  IPluginInstanceInfo info;
  TestPlug plug(info);
  CFPropertyListRef dict = nullptr;
  EXPECT_EQ(invalidComponentID, plug.GetState(&dict));
  EXPECT_EQ(nullptr, dict);
  EXPECT_EQ(invalidComponentID, plug.SetState(nullptr));
}

TEST(AUPresets, RecordsCompareByNumberAndNameAndCountTheirHolders) {
  const long live = StandIn_LiveCFObjectCount();
  CFAUPresetRef a = CFAUPresetCreate(nullptr, 3, CFSTR("Kick"));
  CFAUPresetRef same = CFAUPresetCreate(nullptr, 3, CFSTR("Kick"));
  CFAUPresetRef otherName = CFAUPresetCreate(nullptr, 3, CFSTR("Snare"));
  CFAUPresetRef otherNumber = CFAUPresetCreate(nullptr, 4, CFSTR("Kick"));
  EXPECT_TRUE(CFAUPresetEqual(a, same));
  EXPECT_FALSE(CFAUPresetEqual(a, otherName));
  EXPECT_FALSE(CFAUPresetEqual(a, otherNumber));
  EXPECT_EQ(1, a->retainCount);

  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &kCFAUPresetArrayCallBacks);
  CFArrayAppendValue(array, a);
  EXPECT_EQ(2, a->retainCount);
  EXPECT_EQ(0, CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 1), same));
  EXPECT_EQ(kCFNotFound, CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 1), otherName));
  CFStringRef description = CFAUPresetCopyDescription(a);
  EXPECT_EQ("AUPreset:\npreset number = 3\npreset name = Kick", Text(description));
  CFRelease(description);
  CFAUPresetRetain(a);
  EXPECT_EQ(3, a->retainCount);
  CFAUPresetRelease(a);
  CFRelease(array);
  EXPECT_EQ(1, a->retainCount);
  for (CFAUPresetRef p : {a, same, otherName, otherNumber}) CFAUPresetRelease(p);
  EXPECT_EQ(live, StandIn_LiveCFObjectCount());
}

TEST(AUPresets, FactoryPresetsArrayAndSelection) {
  TestUnit u;
  const long live = StandIn_LiveCFObjectCount();
  CFArrayRef presets = nullptr;
  UInt32 size = sizeof presets;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_FactoryPresets, 0, 0, &presets, &size));
  ASSERT_EQ(2, CFArrayGetCount(presets));
  const AUPreset* second = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(presets, 1));
  EXPECT_EQ(1, second->presetNumber);
  EXPECT_EQ("Bright", Text(second->presetName));
  EXPECT_EQ(1, static_cast<CFAUPresetRef>(CFArrayGetValueAtIndex(presets, 1))->retainCount);

  ASSERT_EQ(noErr, AudioUnitSetProperty(u.unit, kAudioUnitProperty_PresentPreset, 0, 0, second, sizeof(AUPreset)));
  EXPECT_EQ(1, u.Plug()->GetCurrentPresetIdx());
  EXPECT_DOUBLE_EQ(0.75, Param(u, kTestLevel));
  CFRelease(presets);

  AUPreset current = {-1, nullptr};
  size = sizeof current;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_CurrentPreset, 0, 0, &current, &size));
  EXPECT_EQ(1, current.presetNumber);
  EXPECT_EQ("Bright", Text(current.presetName));
  CFRelease(current.presetName);

  // A preset that does not exist is refused instead of reported as selected.
  AUPreset missing = {7, nullptr};
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitSetProperty(u.unit, kAudioUnitProperty_CurrentPreset, 0, 0, &missing, sizeof missing));
  EXPECT_EQ(1, u.Plug()->GetCurrentPresetIdx());
  EXPECT_EQ(live, StandIn_LiveCFObjectCount());
}

TEST(AUReferences, AWholeSessionLeavesNoCFObjectsBehind) {
  const long live = StandIn_LiveCFObjectCount();
  {
    TestUnit u;
    CFMutableDictionaryRef dict = GetClassInfo(u.unit);
    EXPECT_EQ(noErr, SetClassInfo(u.unit, dict));
    CFRelease(dict);
    CFArrayRef presets = nullptr;
    UInt32 size = sizeof presets;
    AudioUnitGetProperty(u.unit, kAudioUnitProperty_FactoryPresets, 0, 0, &presets, &size);
    CFRelease(presets);
    for (int i = 0; i < kNumTestParams; ++i) {
      AudioUnitParameterInfo info;
      size = sizeof info;
      AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterInfo, 0, i, &info, &size);
      if (info.flags & kAudioUnitParameterFlag_CFNameRelease) {
        CFRelease(info.cfNameString);
        if (info.unitName) CFRelease(info.unitName);
      }
    }
  }
  EXPECT_EQ(live, StandIn_LiveCFObjectCount());
}

}  // namespace
