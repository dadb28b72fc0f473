// The component entry: selector dispatch, parameters, property answers and
// the checks on what a host passes in.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "au/TestPlug.h"
#include "au/apple/ComponentCall.h"
#include "au/apple/StandIn.h"

namespace {

std::string Text(CFStringRef s) {
  char buffer[256];
  return s && CFStringGetCString(s, buffer, sizeof buffer, kCFStringEncodingUTF8) ? buffer : "<null>";
}

TEST(AUEntry, CanDoAnswersTheSelectorMask) {
  TestUnit u;
  ASSERT_NE(nullptr, u.unit);
  // Selectors 1-7, 9-11 and 14-17 are announced; 8, 12, 13 and 18 are not.
  const int announced[] = {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 14, 15, 16, 17};
  for (int select = -2; select < 20; ++select) {
    const bool expected = std::find(std::begin(announced), std::end(announced), select) != std::end(announced);
    EXPECT_EQ(expected ? 1 : 0, CallComponentCanDo(u.unit, (SInt16)select)) << select;
  }
  EXPECT_EQ(0x00010203, CallComponentVersion(u.unit));
}

TEST(AUEntry, UnknownSelectorsAnswerBadComponentSelector) {
  TestUnit u;
  for (SInt16 select : {-5, 8, 12, 13, 19, 256, 263, 0x301})
    EXPECT_EQ(badComponentSelector, ComponentCall(select).Call(u.unit)) << select;
  for (SInt16 select : {259, 260}) EXPECT_EQ(noErr, ComponentCall(select).Call(u.unit)) << select;
}

TEST(AUEntry, CallsWithoutAnOpenInstanceAreRefused) {
  ComponentParameters params;
  std::memset(&params, 0, sizeof params);
  for (int select : {(int)kAudioUnitInitializeSelect, (int)kAudioUnitRenderSelect, (int)kComponentCanDoSelect}) {
    params.what = (SInt16)select;
    EXPECT_EQ(badComponentInstance, IPluginAU::IPluginAUEntry(&params, nullptr)) << select;
  }
  params.what = kComponentCloseSelect;
  EXPECT_EQ(noErr, IPluginAU::IPluginAUEntry(&params, nullptr));
  EXPECT_EQ(paramErr, IPluginAU::IPluginAUEntry(nullptr, nullptr));
}

// MIDI through the entry is the render thread's; an editor or file operation
// that delivers it on its own thread is a fault that debug builds stop.
TEST(AUEntryDeathTest, MidiInsideAnEditorOperationStops) {
#ifdef NDEBUG
  GTEST_SKIP() << "the check is compiled out of release builds";
#else
  TestUnit u;
  EXPECT_DEATH(
      {
        IPluginBase::IEditorLock editor(u.Plug());
        MusicDeviceMIDIEvent(u.unit, 0x90, 36, 100, 0);
      },
      "inside an editor or file operation");
#endif
}

TEST(AUEntry, InitializeChecksTheHostChannelCounts) {
  TestUnit u;
  EXPECT_EQ(noErr, AudioUnitInitialize(u.unit));
  EXPECT_TRUE(u.Plug()->IsActive());
  EXPECT_EQ(noErr, AudioUnitUninitialize(u.unit));
  EXPECT_FALSE(u.Plug()->IsActive());
}

TEST(AUEntry, MidiEventsReachThePlugInWithTheirOffsets) {
  TestUnit u;
  EXPECT_EQ(noErr, MusicDeviceMIDIEvent(u.unit, 0x90, 36, 100, 17));
  EXPECT_EQ(noErr, MusicDeviceMIDIEvent(u.unit, 0x1B0, 0x107, 0x17F, 3));  // high bits dropped
  ASSERT_EQ(2u, u.Plug()->mMidi.size());
  EXPECT_EQ(17, u.Plug()->mMidi[0].mOffset);
  EXPECT_EQ(0x90, u.Plug()->mMidi[0].mStatus);
  EXPECT_EQ(36, u.Plug()->mMidi[0].mData1);
  EXPECT_EQ(100, u.Plug()->mMidi[0].mData2);
  EXPECT_EQ(0xB0, u.Plug()->mMidi[1].mStatus);
  EXPECT_EQ(0x07, u.Plug()->mMidi[1].mData1);
}

TEST(AUEntry, StartNoteAnswersZeroAndSoundsNothing) {
  TestUnit u;
  MusicDeviceNoteParams note = {2, 60.7f, 100.0f, {{0, 0.0f}}};
  NoteInstanceID id = 0;
  EXPECT_EQ(noErr, MusicDeviceStartNote(u.unit, 0, 0, &id, 5, &note));
  EXPECT_EQ(60u, id);
  EXPECT_EQ(noErr, MusicDeviceStopNote(u.unit, 0, id, 9));
  EXPECT_TRUE(u.Plug()->mMidi.empty());
  // Missing out-pointer or note record: refused instead of written through.
  EXPECT_EQ(paramErr, MusicDeviceStartNote(u.unit, 0, 0, nullptr, 5, &note));
  EXPECT_EQ(paramErr, MusicDeviceStartNote(u.unit, 0, 0, &id, 5, nullptr));
  EXPECT_EQ(paramErr, MusicDeviceSysEx(u.unit, nullptr, 4));
  const UInt8 sysex[] = {0xF0, 0x7E, 0xF7};
  EXPECT_EQ(noErr, MusicDeviceSysEx(u.unit, sysex, 3));
}

TEST(AUParameters, GetAndSetThroughEntryAndFastDispatch) {
  TestUnit u;
  AudioUnitParameterValue v = -1.0f;
  EXPECT_EQ(noErr, AudioUnitGetParameter(u.unit, kTestLevel, kAudioUnitScope_Global, 0, &v));
  EXPECT_FLOAT_EQ(0.5f, v);
  EXPECT_EQ(noErr, AudioUnitSetParameter(u.unit, kTestLevel, kAudioUnitScope_Global, 0, 0.75f, 0));
  EXPECT_DOUBLE_EQ(0.75, u.Plug()->mLevel);
  EXPECT_EQ(noErr, AudioUnitSetParameter(u.unit, kTestLevel, kAudioUnitScope_Global, 0, 7.0f, 0));
  EXPECT_DOUBLE_EQ(1.0, u.Plug()->mLevel);  // clamped to the range

  AudioUnitGetParameterProc getProc = nullptr;
  AudioUnitSetParameterProc setProc = nullptr;
  UInt32 size = sizeof getProc;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                                        kAudioUnitGetParameterSelect, &getProc, &size));
  size = sizeof setProc;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                                        kAudioUnitSetParameterSelect, &setProc, &size));
  EXPECT_EQ(8u, size);
  void* storage = u.Plug();
  EXPECT_EQ(noErr, setProc(storage, kTestMode, kAudioUnitScope_Global, 0, 2.0f, 0));
  EXPECT_EQ(noErr, getProc(storage, kTestMode, kAudioUnitScope_Global, 0, &v));
  EXPECT_FLOAT_EQ(2.0f, v);
  size = 8;
  EXPECT_EQ(kAudioUnitErr_InvalidElement, AudioUnitGetProperty(u.unit, kAudioUnitProperty_FastDispatch,
                                                               kAudioUnitScope_Global, 9, &getProc, &size));
}

TEST(AUParameters, BadIDsScopesAndValuesAreRefused) {
  TestUnit u;
  AudioUnitParameterValue v = 42.0f;
  // A parameter that does not exist is answered, not touched.
  for (AudioUnitParameterID id : {(AudioUnitParameterID)kNumTestParams, 1000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(kAudioUnitErr_InvalidParameter, AudioUnitGetParameter(u.unit, id, kAudioUnitScope_Global, 0, &v));
    EXPECT_EQ(kAudioUnitErr_InvalidParameter, AudioUnitSetParameter(u.unit, id, kAudioUnitScope_Global, 0, 1.0f, 0));
  }
  EXPECT_EQ(42.0f, v);
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, AudioUnitGetParameter(u.unit, 0, kAudioUnitScope_Output, 0, &v));
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, AudioUnitSetParameter(u.unit, 0, kAudioUnitScope_Input, 0, 1.0f, 0));
  EXPECT_EQ(paramErr, AudioUnitGetParameter(u.unit, 0, kAudioUnitScope_Global, 0, nullptr));
  EXPECT_EQ(paramErr, AudioUnitSetParameter(u.unit, 0, kAudioUnitScope_Global, 0, NAN, 0));
  EXPECT_DOUBLE_EQ(0.5, u.Plug()->mLevel);
}

TEST(AUParameters, ScheduledImmediateEventsApplyAndRampedOnesAreIgnored) {
  TestUnit u;
  AudioUnitParameterEvent events[2];
  std::memset(events, 0, sizeof events);
  events[0].parameter = kTestLevel;
  events[0].eventType = kParameterEvent_Ramped;
  events[0].eventValues.ramp.startValue = 0.1f;
  events[0].eventValues.ramp.endValue = 0.9f;
  events[1].parameter = kTestMode;
  events[1].eventType = kParameterEvent_Immediate;
  events[1].eventValues.immediate.value = 1.0f;
  EXPECT_EQ(noErr, AudioUnitScheduleParameters(u.unit, events, 2));
  EXPECT_DOUBLE_EQ(0.5, u.Plug()->GetParam(kTestLevel)->Value());
  EXPECT_DOUBLE_EQ(1.0, u.Plug()->GetParam(kTestMode)->Value());

  // The first failing event's result is answered; earlier ones stay applied.
  events[0].eventType = kParameterEvent_Immediate;
  events[0].eventValues.immediate.value = 0.3f;
  events[1].parameter = 99;
  EXPECT_EQ(kAudioUnitErr_InvalidParameter, AudioUnitScheduleParameters(u.unit, events, 2));
  EXPECT_NEAR(0.3, u.Plug()->GetParam(kTestLevel)->Value(), 1e-6);
  EXPECT_EQ(paramErr, AudioUnitScheduleParameters(u.unit, nullptr, 1));
}

TEST(AUProperties, ParameterInfoRecords) {
  TestUnit u;
  struct Expected {
    const char* name;
    AudioUnitParameterUnit unit;
    UInt32 clumpID;
    UInt32 flags;
    float min, max, def;
    const char* unitName;
  };
  const UInt32 base = 0x48000010u | kAudioUnitParameterFlag_IsWritable;
  const Expected table[] = {
      {"Level", kAudioUnitParameterUnit_CustomUnit, 1, base | kAudioUnitParameterFlag_HasClump, 0, 1, 0.5f, "s"},
      {"Mode", kAudioUnitParameterUnit_Indexed, 1, base | kAudioUnitParameterFlag_HasClump, 0, 2, 0, nullptr},
      {"Active", kAudioUnitParameterUnit_Boolean, 0, base, 0, 1, 1, nullptr},
  };
  for (int i = 0; i < kNumTestParams; ++i) {
    AudioUnitParameterInfo info;
    std::memset(&info, 0xAB, sizeof info);
    UInt32 size = sizeof info;
    ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, i, &info,
                                          &size));
    EXPECT_EQ(104u, size);
    const Expected& e = table[i];
    EXPECT_STREQ(e.name, info.name);
    EXPECT_EQ(e.name, Text(info.cfNameString));
    EXPECT_EQ(e.unit, info.unit) << i;
    EXPECT_EQ(e.clumpID, info.clumpID) << i;
    EXPECT_EQ(e.flags, info.flags) << i;
    EXPECT_EQ(e.min, info.minValue);
    EXPECT_EQ(e.max, info.maxValue);
    EXPECT_EQ(e.def, info.defaultValue);
    if (e.unitName) {
      EXPECT_EQ(e.unitName, Text(info.unitName));
      CFRelease(info.unitName);
    } else {
      EXPECT_EQ(nullptr, info.unitName);
    }
    CFRelease(info.cfNameString);
  }
  AudioUnitParameterNameInfo clump = {1, kAudioUnitParameterName_Full, nullptr};
  UInt32 size = sizeof clump;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterClumpName, kAudioUnitScope_Global, 0,
                                        &clump, &size));
  EXPECT_EQ("Main", Text(clump.outName));
  CFRelease(clump.outName);
  for (UInt32 bad : {0u, 2u}) {
    clump.inID = bad;
    EXPECT_EQ(kAudioUnitErr_PropertyNotInUse, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterClumpName,
                                                                   kAudioUnitScope_Global, 0, &clump, &size));
  }

  AudioUnitParameterInfo info;
  size = sizeof info;
  EXPECT_EQ(kAudioUnitErr_InvalidElement, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterInfo,
                                                               kAudioUnitScope_Global, kNumTestParams, &info, &size));
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterInfo,
                                                                kAudioUnitScope_Input, 0, &info, &size));
}

TEST(AUProperties, SizesAndWritability) {
  TestUnit u;
  struct Row {
    AudioUnitPropertyID id;
    AudioUnitScope scope;
    AudioUnitElement element;
    OSStatus status;
    UInt32 size;
    bool writable;
  };
  const Row rows[] = {
      {kAudioUnitProperty_ClassInfo, 0, 0, noErr, 8, true},
      {kAudioUnitProperty_MakeConnection, 1, 0, noErr, 16, true},
      {kAudioUnitProperty_MakeConnection, 2, 0, kAudioUnitErr_InvalidProperty, 0, false},
      {kAudioUnitProperty_SampleRate, 0, 0, noErr, 8, true},
      {kAudioUnitProperty_ParameterList, 0, 0, noErr, 12, false},
      {kAudioUnitProperty_ParameterList, 1, 0, noErr, 0, false},
      {kAudioUnitProperty_ParameterInfo, 0, 2, noErr, 104, false},
      {kAudioUnitProperty_FastDispatch, 0, kAudioUnitRenderSelect, noErr, 8, false},
      {kAudioUnitProperty_StreamFormat, 2, 0, noErr, 40, true},
      {kAudioUnitProperty_StreamFormat, 1, 0, kAudioUnitErr_InvalidProperty, 0, false},
      {kAudioUnitProperty_StreamFormat, 2, 1, kAudioUnitErr_InvalidProperty, 0, false},
      {kAudioUnitProperty_ElementCount, 2, 0, noErr, 4, false},
      {kAudioUnitProperty_Latency, 0, 0, noErr, 8, false},
      {kAudioUnitProperty_Latency, 2, 0, kAudioUnitErr_InvalidProperty, 0, false},
      {kAudioUnitProperty_SupportedNumChannels, 0, 0, noErr, 8, false},
      {kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, noErr, 4, true},
      {kAudioUnitProperty_ParameterValueStrings, 0, kTestMode, noErr, 8, false},
      {kAudioUnitProperty_ParameterValueStrings, 0, kTestLevel, kAudioUnitErr_InvalidProperty, 0, false},
      {kAudioUnitProperty_ParameterValueStrings, 0, kNumTestParams, kAudioUnitErr_InvalidElement, 0, false},
      {kAudioUnitProperty_GetUIComponentList, 0, 0, kAudioUnitErr_InvalidProperty, 0, false},
      {kAudioUnitProperty_AudioChannelLayout, 2, 0, kAudioUnitErr_InvalidPropertyValue, 0, false},
      {kAudioUnitProperty_TailTime, 0, 0, noErr, 8, false},
      {kAudioUnitProperty_BypassEffect, 0, 0, noErr, 4, true},
      {kAudioUnitProperty_LastRenderError, 0, 0, noErr, 4, false},
      {kAudioUnitProperty_SetRenderCallback, 1, 0, kAudioUnitErr_InvalidProperty, 0, false},
      {kAudioUnitProperty_FactoryPresets, 0, 0, noErr, 8, false},
      {kAudioUnitProperty_HostCallbacks, 0, 0, noErr, 32, true},
      {kAudioUnitProperty_CurrentPreset, 0, 0, noErr, 16, true},
      {kAudioUnitProperty_PresentPreset, 0, 0, noErr, 16, true},
      {kAudioUnitProperty_ElementName, 2, 0, kAudioUnitErr_InvalidProperty, 8, false},
      {kAudioUnitProperty_CocoaUI, 0, 0, kAudioUnitErr_InvalidProperty, 0, false},
      {kAudioUnitProperty_SupportedChannelLayoutTags, 2, 0, kAudioUnitErr_InvalidProperty, 0, false},
      {kAudioUnitProperty_ParameterStringFromValue, 0, 0, noErr, 24, false},
      {kAudioUnitProperty_ParameterIDName, 0, 0, noErr, 16, false},
      {kAudioUnitProperty_ParameterClumpName, 0, 0, noErr, 16, false},
      {kAudioUnitProperty_ParameterValueFromString, 0, 0, noErr, 24, false},
      {kMusicDeviceProperty_InstrumentCount, 0, 0, noErr, 4, false},
      {kMusicDeviceProperty_InstrumentCount, 1, 0, kAudioUnitErr_InvalidProperty, 0, false},
      {kAudioUnitProperty_CPULoad, 0, 0, kAudioUnitErr_InvalidProperty, 0, false},
  };
  for (const Row& r : rows) {
    UInt32 size = 0;
    Boolean writable = true;
    EXPECT_EQ(r.status, AudioUnitGetPropertyInfo(u.unit, r.id, r.scope, r.element, &size, &writable))
        << r.id << " scope " << r.scope;
    if (r.status != noErr && r.size == 0) continue;
    EXPECT_EQ(r.size, size) << r.id;
    EXPECT_EQ(r.writable, (bool)writable) << r.id;
  }
  // Missing out-pointers are fine for the info query.
  EXPECT_EQ(noErr, AudioUnitGetPropertyInfo(u.unit, kAudioUnitProperty_SampleRate, 0, 0, nullptr, nullptr));
}

TEST(AUProperties, ValuesOfTheSimpleProperties) {
  TestUnit u;
  UInt32 ids[4] = {9, 9, 9, 9};
  UInt32 size = sizeof ids;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterList, 0, 0, ids, &size));
  EXPECT_EQ(12u, size);
  EXPECT_EQ(0u, ids[0]);
  EXPECT_EQ(2u, ids[2]);
  EXPECT_EQ(9u, ids[3]);

  AUChannelInfo io[2];
  size = sizeof io;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_SupportedNumChannels, 0, 0, io, &size));
  EXPECT_EQ(0, io[0].inChannels);
  EXPECT_EQ(1, io[0].outChannels);
  EXPECT_EQ(2, io[1].outChannels);

  UInt32 count = 0;
  size = sizeof count;
  for (AudioUnitScope scope : {0u, 1u, 2u, 3u}) {
    ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ElementCount, scope, 0, &count, &size));
    EXPECT_EQ(scope == 1 || scope == 3 ? 0u : 1u, count) << scope;
  }

  AudioStreamBasicDescription asbd;
  size = sizeof asbd;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_StreamFormat, 2, 0, &asbd, &size));
  EXPECT_EQ(kAudioFormatLinearPCM, asbd.mFormatID);
  EXPECT_EQ(41u, asbd.mFormatFlags);
  EXPECT_EQ(2u, asbd.mChannelsPerFrame);
  EXPECT_EQ(4u, asbd.mBytesPerFrame);
  EXPECT_EQ(44100.0, asbd.mSampleRate);

  CFStringRef name = nullptr;
  size = sizeof name;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ElementName, 2, 0, &name, &size));
  EXPECT_EQ("output 1", Text(name));
  CFRelease(name);
  EXPECT_EQ(kAudioUnitErr_InvalidElement,
            AudioUnitGetProperty(u.unit, kAudioUnitProperty_ElementName, 2, 1, &name, &size));
  EXPECT_EQ(kAudioUnitErr_InvalidElement,
            AudioUnitGetProperty(u.unit, kAudioUnitProperty_ElementName, 1, 0, &name, &size));
  EXPECT_EQ(kAudioUnitErr_InvalidScope, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ElementName, 0, 0, &name, &size));

  CFArrayRef texts = nullptr;
  size = sizeof texts;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterValueStrings, 0, kTestMode, &texts, &size));
  ASSERT_EQ(3, CFArrayGetCount(texts));
  EXPECT_EQ("Hard", Text(static_cast<CFStringRef>(CFArrayGetValueAtIndex(texts, 2))));
  CFRelease(texts);
}

TEST(AUProperties, DisplayStringsAndNamesForParameters) {
  TestUnit u;
  const float value = 2.0f;
  AudioUnitParameterStringFromValue sfv = {kTestMode, &value, nullptr};
  UInt32 size = sizeof sfv;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterStringFromValue, 0, 0, &sfv, &size));
  EXPECT_EQ("Hard", Text(sfv.outString));
  CFRelease(sfv.outString);
  const float level = 0.25f;
  sfv = {kTestLevel, &level, nullptr};
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterStringFromValue, 0, 0, &sfv, &size));
  EXPECT_EQ("0.25", Text(sfv.outString));
  CFRelease(sfv.outString);

  AudioUnitParameterValueFromString vfs = {kTestMode, CFSTR("Mid"), -1.0f};
  size = sizeof vfs;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterValueFromString, 0, 0, &vfs, &size));
  EXPECT_EQ(1.0f, vfs.outValue);
  vfs = {kTestMode, CFSTR("mid"), -1.0f};  // no match: value untouched
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterValueFromString, 0, 0, &vfs, &size));
  EXPECT_EQ(-1.0f, vfs.outValue);
  vfs = {kTestLevel, CFSTR("0.4"), -1.0f};
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterValueFromString, 0, 0, &vfs, &size));
  EXPECT_FLOAT_EQ(0.4f, vfs.outValue);

  AudioUnitParameterNameInfo nameInfo = {kTestActive, 3, nullptr};
  size = sizeof nameInfo;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterIDName, 0, 0, &nameInfo, &size));
  EXPECT_EQ("Act", Text(nameInfo.outName));
  CFRelease(nameInfo.outName);
  nameInfo = {kTestActive, kAudioUnitParameterName_Full, nullptr};
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterIDName, 0, 0, &nameInfo, &size));
  EXPECT_EQ("Active", Text(nameInfo.outName));
  CFRelease(nameInfo.outName);
}

TEST(AUProperties, UnknownParameterIDsAreAnsweredInvalidParameter) {
  TestUnit u;
  const long live = StandIn_LiveCFObjectCount();
  const float value = 1.0f;
  AudioUnitParameterStringFromValue sfv = {kNumTestParams, &value, nullptr};
  UInt32 size = sizeof sfv;
  EXPECT_EQ(kAudioUnitErr_InvalidParameter,
            AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterStringFromValue, 0, 0, &sfv, &size));
  EXPECT_EQ(nullptr, sfv.outString);
  AudioUnitParameterValueFromString vfs = {77, CFSTR("1"), -1.0f};
  size = sizeof vfs;
  EXPECT_EQ(kAudioUnitErr_InvalidParameter,
            AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterValueFromString, 0, 0, &vfs, &size));
  EXPECT_EQ(-1.0f, vfs.outValue);
  AudioUnitParameterNameInfo nameInfo = {0xFFFFFFFF, -1, nullptr};
  size = sizeof nameInfo;
  EXPECT_EQ(kAudioUnitErr_InvalidParameter,
            AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterIDName, 0, 0, &nameInfo, &size));
  // A value-from-string record without a string is refused.
  vfs = {kTestLevel, nullptr, -1.0f};
  size = sizeof vfs;
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitGetProperty(u.unit, kAudioUnitProperty_ParameterValueFromString, 0, 0, &vfs, &size));
  EXPECT_EQ(live, StandIn_LiveCFObjectCount());
}

// A buffer with guard bytes after the caller's declared size.
struct GuardedBuffer {
  unsigned char bytes[256];
  GuardedBuffer() { std::memset(bytes, 0xCD, sizeof bytes); }
  bool UntouchedFrom(size_t offset) const {
    for (size_t i = offset; i < sizeof bytes; ++i)
      if (bytes[i] != 0xCD) return false;
    return true;
  }
};

TEST(AUProperties, ShortCallerBuffersAreRefusedAndNotWrittenPast) {
  TestUnit u;
  const long live = StandIn_LiveCFObjectCount();
  struct Case {
    AudioUnitPropertyID id;
    AudioUnitScope scope;
    AudioUnitElement element;
    UInt32 needed;
  };
  const Case cases[] = {
      {kAudioUnitProperty_ClassInfo, 0, 0, 8},       {kAudioUnitProperty_SampleRate, 0, 0, 8},
      {kAudioUnitProperty_ParameterList, 0, 0, 12},  {kAudioUnitProperty_ParameterInfo, 0, 0, 104},
      {kAudioUnitProperty_FastDispatch, 0, 14, 8},   {kAudioUnitProperty_StreamFormat, 2, 0, 40},
      {kAudioUnitProperty_ElementCount, 2, 0, 4},    {kAudioUnitProperty_Latency, 0, 0, 8},
      {kAudioUnitProperty_SupportedNumChannels, 0, 0, 8}, {kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, 4},
      {kAudioUnitProperty_ParameterValueStrings, 0, 1, 8}, {kAudioUnitProperty_FactoryPresets, 0, 0, 8},
      {kAudioUnitProperty_HostCallbacks, 0, 0, 32},  {kAudioUnitProperty_CurrentPreset, 0, 0, 16},
      {kAudioUnitProperty_ElementName, 2, 0, 8},     {kAudioUnitProperty_ParameterStringFromValue, 0, 0, 24},
      {kAudioUnitProperty_ParameterIDName, 0, 0, 16}, {kAudioUnitProperty_ParameterValueFromString, 0, 0, 24},
      {kMusicDeviceProperty_InstrumentCount, 0, 0, 4},
  };
  for (const Case& c : cases) {
    GuardedBuffer small;
    UInt32 size = c.needed - 1;
    EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
              AudioUnitGetProperty(u.unit, c.id, c.scope, c.element, small.bytes, &size))
        << c.id;
    EXPECT_TRUE(small.UntouchedFrom(0)) << c.id;
    // The exact size works and writes nothing beyond it.
    GuardedBuffer exact;
    if (c.id == kAudioUnitProperty_ParameterValueFromString) {
      AudioUnitParameterValueFromString vfs = {kTestLevel, CFSTR("0.5"), 0.0f};
      std::memcpy(exact.bytes, &vfs, sizeof vfs);
    }
    if (c.id == kAudioUnitProperty_ParameterStringFromValue) {
      AudioUnitParameterStringFromValue sfv = {kTestLevel, nullptr, nullptr};
      std::memcpy(exact.bytes, &sfv, sizeof sfv);
    }
    if (c.id == kAudioUnitProperty_ParameterIDName) {
      AudioUnitParameterNameInfo nameInfo = {kTestLevel, kAudioUnitParameterName_Full, nullptr};
      std::memcpy(exact.bytes, &nameInfo, sizeof nameInfo);
    }
    size = c.needed;
    EXPECT_EQ(noErr, AudioUnitGetProperty(u.unit, c.id, c.scope, c.element, exact.bytes, &size)) << c.id;
    EXPECT_TRUE(exact.UntouchedFrom(c.needed)) << c.id;
    // Release what the property handed out.
    CFTypeRef handedOut = nullptr;
    if (c.id == kAudioUnitProperty_ClassInfo || c.id == kAudioUnitProperty_ParameterValueStrings ||
        c.id == kAudioUnitProperty_ElementName)
      std::memcpy(&handedOut, exact.bytes, sizeof handedOut);
    if (c.id == kAudioUnitProperty_CurrentPreset) std::memcpy(&handedOut, exact.bytes + 8, sizeof handedOut);
    if (c.id == kAudioUnitProperty_ParameterStringFromValue) std::memcpy(&handedOut, exact.bytes + 16, 8);
    if (c.id == kAudioUnitProperty_ParameterIDName) std::memcpy(&handedOut, exact.bytes + 8, 8);
    if (c.id == kAudioUnitProperty_ParameterInfo) {
      AudioUnitParameterInfo info;
      std::memcpy(&info, exact.bytes, sizeof info);
      CFRelease(info.cfNameString);
      CFRelease(info.unitName);
    }
    if (handedOut) CFRelease(handedOut);
    if (c.id == kAudioUnitProperty_FactoryPresets) {
      std::memcpy(&handedOut, exact.bytes, sizeof handedOut);
      CFRelease(handedOut);
    }
  }
  // A data pointer without its size is refused.
  Float64 rate = 0;
  EXPECT_EQ(paramErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_SampleRate, 0, 0, &rate, nullptr));
  EXPECT_EQ(live, StandIn_LiveCFObjectCount());
}

TEST(AUProperties, ShortOrMissingValuesAreRefusedBySetProperty) {
  TestUnit u;
  const Float64 rate = 48000.0;
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitSetProperty(u.unit, kAudioUnitProperty_SampleRate, 0, 0, &rate, 4));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitSetProperty(u.unit, kAudioUnitProperty_SampleRate, 0, 0, nullptr, 8));
  EXPECT_EQ(44100.0, u.Plug()->GetSampleRate());
  EXPECT_EQ(noErr, AudioUnitSetProperty(u.unit, kAudioUnitProperty_SampleRate, 0, 0, &rate, 8));
  EXPECT_EQ(48000.0, u.Plug()->GetSampleRate());
  for (Float64 bad : {0.0, -44100.0, (double)NAN, (double)INFINITY})
    EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
              AudioUnitSetProperty(u.unit, kAudioUnitProperty_SampleRate, 0, 0, &bad, 8));
  EXPECT_EQ(48000.0, u.Plug()->GetSampleRate());

  HostCallbackInfo callbacks = {};
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitSetProperty(u.unit, kAudioUnitProperty_HostCallbacks, 0, 0, &callbacks, 24));
  EXPECT_EQ(kAudioUnitErr_InvalidProperty,
            AudioUnitSetProperty(u.unit, kAudioUnitProperty_HostCallbacks, 2, 0, &callbacks, 32));
  AudioStreamBasicDescription asbd = {};
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitSetProperty(u.unit, kAudioUnitProperty_StreamFormat, 2, 0, &asbd, 39));
  EXPECT_EQ(-1, u.Plug()->GetBusHostChannels(2, 0));
  const UInt32 frames = 0;
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitSetProperty(u.unit, kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, &frames, 4));
  const UInt32 huge = 0xFFFFFFFF;
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue,
            AudioUnitSetProperty(u.unit, kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, &huge, 4));
  EXPECT_EQ(1024, u.Plug()->GetBlockSize());
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, AudioUnitSetProperty(u.unit, kAudioUnitProperty_CPULoad, 0, 0, &frames, 4));
}

TEST(AUProperties, BlockSizeIsFixedWhileInitialized) {
  TestUnit u;
  const UInt32 frames = 256;
  ASSERT_EQ(noErr, AudioUnitSetProperty(u.unit, kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, &frames, 4));
  EXPECT_EQ(256, u.Plug()->GetBlockSize());
  ASSERT_EQ(noErr, AudioUnitInitialize(u.unit));
  const UInt32 more = 512;
  EXPECT_EQ(kAudioUnitErr_Initialized,
            AudioUnitSetProperty(u.unit, kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, &more, 4));
  EXPECT_EQ(256, u.Plug()->GetBlockSize());
}

struct ListenerLog {
  AudioUnit unit;
  std::vector<AudioUnitPropertyID> ids;
  std::vector<double> ratesSeen;
};

void LogPropertySet(void* refCon, AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement) {
  ListenerLog* log = static_cast<ListenerLog*>(refCon);
  log->ids.push_back(id);
  Float64 rate = 0;
  UInt32 size = sizeof rate;
  AudioUnitGetProperty(unit, kAudioUnitProperty_SampleRate, 0, 0, &rate, &size);
  log->ratesSeen.push_back(rate);
}

TEST(AUPropertyListeners, InformedBeforeTheValueIsAppliedEvenWhenItFails) {
  TestUnit u;
  ListenerLog log{u.unit, {}, {}};
  ASSERT_EQ(noErr, AudioUnitAddPropertyListener(u.unit, kAudioUnitProperty_SampleRate, LogPropertySet, &log));
  ASSERT_EQ(noErr, AudioUnitAddPropertyListener(u.unit, kAudioUnitProperty_SampleRate, LogPropertySet, &log));
  ASSERT_EQ(noErr, AudioUnitAddPropertyListener(u.unit, kAudioUnitProperty_StreamFormat, LogPropertySet, &log));
  const Float64 rate = 96000.0;
  ASSERT_EQ(noErr, AudioUnitSetProperty(u.unit, kAudioUnitProperty_SampleRate, 0, 0, &rate, 8));
  ASSERT_EQ(1u, log.ids.size());  // added twice, kept once
  EXPECT_EQ(44100.0, log.ratesSeen[0]);

  AudioStreamBasicDescription zero = {};
  zero.mFormatID = kAudioFormatLinearPCM;
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, AudioUnitSetProperty(u.unit, kAudioUnitProperty_StreamFormat, 2, 0, &zero, 40));
  ASSERT_EQ(2u, log.ids.size());
  EXPECT_EQ((AudioUnitPropertyID)kAudioUnitProperty_StreamFormat, log.ids[1]);

  ASSERT_EQ(noErr, AudioUnitRemovePropertyListenerWithUserData(u.unit, kAudioUnitProperty_SampleRate, LogPropertySet,
                                                               nullptr));  // other user data: kept
  ASSERT_EQ(noErr, AudioUnitSetProperty(u.unit, kAudioUnitProperty_SampleRate, 0, 0, &rate, 8));
  EXPECT_EQ(3u, log.ids.size());
  ASSERT_EQ(noErr, AudioUnitRemovePropertyListener(u.unit, kAudioUnitProperty_SampleRate, LogPropertySet));
  ASSERT_EQ(noErr, AudioUnitSetProperty(u.unit, kAudioUnitProperty_SampleRate, 0, 0, &rate, 8));
  EXPECT_EQ(3u, log.ids.size());
}

struct EventLog {
  std::vector<AudioUnitEventType> types;
  std::vector<float> values;
};

void RecordEvent(void* refCon, void*, const AudioUnitEvent* event, UInt64, AudioUnitParameterValue value) {
  EventLog* log = static_cast<EventLog*>(refCon);
  log->types.push_back(event->mEventType);
  log->values.push_back(value);
}

TEST(AUEvents, EditorGesturesReachTheHostsEventListeners) {
  TestUnit u;
  EventLog log;
  AUEventListenerRef listener = nullptr;
  ASSERT_EQ(noErr, AUEventListenerCreate(RecordEvent, &log, nullptr, nullptr, 0, 0, &listener));
  for (AudioUnitEventType type : {0u, 1u, 2u}) {
    AudioUnitEvent e = {};
    e.mEventType = type;
    e.mArgument.mParameter = {u.unit, kAUParameterListener_AnyParameter, 0, 0};
    AUEventListenerAddEventType(listener, nullptr, &e);
  }
  u.Plug()->BeginInformHostOfParamChange(kTestLevel);
  u.Plug()->SetParameterFromGUI(kTestLevel, 0.8);
  u.Plug()->EndInformHostOfParamChange(kTestLevel);
  ASSERT_EQ(3u, log.types.size());
  EXPECT_EQ(kAudioUnitEvent_BeginParameterChangeGesture, log.types[0]);
  EXPECT_EQ(kAudioUnitEvent_ParameterValueChange, log.types[1]);
  EXPECT_FLOAT_EQ(0.8f, log.values[1]);  // read back by the listener side
  EXPECT_EQ(kAudioUnitEvent_EndParameterChangeGesture, log.types[2]);
  AUListenerDispose(listener);
}

TEST(AUProperties, HostIdentifierAndMainBundle) {
  StandIn_SetMainBundleIdentifier("com.apple.logic10");
  {
    TestUnit u;
    EXPECT_EQ(kHostLogic, u.Plug()->GetHost());
    AUHostIdentifier id = {CFSTR("Ableton Live"), {0, 0, 0x23, 9}};
    ASSERT_EQ(noErr, AudioUnitSetProperty(u.unit, kAudioUnitProperty_AUHostIdentifier, 0, 0, &id, sizeof id));
    EXPECT_EQ(kHostAbletonLive, u.Plug()->GetHost());
    EXPECT_EQ((9 << 16) | (2 << 8) | 3, u.Plug()->GetHostVersion(false));
  }
  StandIn_SetMainBundleIdentifier("");
  TestUnit u;
  EXPECT_EQ(kHostUnknown, u.Plug()->GetHost());
}

}  // namespace
