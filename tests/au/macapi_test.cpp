// The Apple-interface stand-ins: reference counting, containers, bundles,
// the Component Manager calling convention and event listeners.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "au/apple/AudioUnit.h"
#include "au/apple/ComponentCall.h"
#include "au/apple/CoreFoundation.h"
#include "au/apple/FourCC.h"
#include "au/apple/StandIn.h"

namespace {

std::string Text(CFStringRef s) {
  char buffer[256];
  return CFStringGetCString(s, buffer, sizeof buffer, kCFStringEncodingUTF8) ? buffer : "<?>";
}

TEST(CFRefCounting, DictionaryRetainsKeysAndValuesAndReleasesThemOnce) {
  const long live = StandIn_LiveCFObjectCount();
  CFStringRef key = CFStringCreateWithCString(nullptr, "key", kCFStringEncodingUTF8);
  SInt32 v = 7;
  CFNumberRef value = CFNumberCreate(nullptr, kCFNumberSInt32Type, &v);
  CFMutableDictionaryRef dict =
      CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  CFDictionarySetValue(dict, key, value);
  EXPECT_EQ(2, CFGetRetainCount(key));
  EXPECT_EQ(2, CFGetRetainCount(value));

  // Replacing a value releases the old one; an equal key is found by value.
  CFNumberRef other = CFNumberCreate(nullptr, kCFNumberSInt32Type, &v);
  CFDictionarySetValue(dict, CFSTR("key"), other);
  EXPECT_EQ(1, CFGetRetainCount(value));
  EXPECT_EQ(2, CFGetRetainCount(other));
  EXPECT_EQ(1, CFDictionaryGetCount(dict));
  EXPECT_EQ(other, CFDictionaryGetValue(dict, key));

  CFRelease(key);
  CFRelease(value);
  CFRelease(other);
  EXPECT_EQ(live + 3, StandIn_LiveCFObjectCount());  // dict, key and other survive
  CFRelease(dict);
  EXPECT_EQ(live, StandIn_LiveCFObjectCount());
}

TEST(CFRefCounting, ConstantStringsAndRegisteredBundlesAreImmortal) {
  const long live = StandIn_LiveCFObjectCount();
  CFStringRef s = CFSTR("constant");
  EXPECT_EQ(s, CFSTR("constant"));
  CFRetain(s);
  CFRelease(s);
  CFRelease(s);
  EXPECT_EQ("constant", Text(s));
  EXPECT_GT(CFGetRetainCount(s), 1000000);
  EXPECT_EQ(live, StandIn_LiveCFObjectCount());
}

struct Counted {
  int number;
  int retains;
  int releases;
};

const void* CountedRetain(CFAllocatorRef, const void* v) {
  ++static_cast<Counted*>(const_cast<void*>(v))->retains;
  return v;
}
void CountedRelease(CFAllocatorRef, const void* v) { ++static_cast<Counted*>(const_cast<void*>(v))->releases; }
Boolean CountedEqual(const void* a, const void* b) {
  return static_cast<const Counted*>(a)->number == static_cast<const Counted*>(b)->number;
}
CFStringRef CountedDescription(const void* v) {
  return CFStringCreateWithFormat(nullptr, nullptr, CFSTR("n=%d"), static_cast<const Counted*>(v)->number);
}

TEST(CFArray, CustomCallbacksRetainOnInsertReleaseOnRemoveAndCompareByValue) {
  const long live = StandIn_LiveCFObjectCount();
  CFArrayCallBacks callbacks = {0, CountedRetain, CountedRelease, CountedDescription, CountedEqual};
  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, 0, &callbacks);
  Counted a{1, 0, 0}, b{2, 0, 0}, probe{2, 0, 0};
  CFArrayAppendValue(array, &a);
  CFArrayAppendValue(array, &b);
  EXPECT_EQ(1, a.retains);
  EXPECT_EQ(2, CFArrayGetCount(array));
  EXPECT_EQ(1, CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 2), &probe));
  EXPECT_EQ(kCFNotFound, CFArrayGetFirstIndexOfValue(array, CFRangeMake(0, 1), &probe));
  EXPECT_EQ(nullptr, CFArrayGetValueAtIndex(array, 2));
  EXPECT_EQ(nullptr, CFArrayGetValueAtIndex(array, -1));
  CFStringRef description = CFCopyDescription(array);
  EXPECT_NE(std::string::npos, Text(description).find("n=2"));
  CFRelease(description);
  CFArrayRemoveValueAtIndex(array, 0);
  EXPECT_EQ(1, a.releases);
  CFArrayRemoveValueAtIndex(array, 5);  // outside: nothing happens
  CFRelease(array);
  EXPECT_EQ(1, b.releases);
  EXPECT_EQ(0, probe.retains);
  EXPECT_EQ(live, StandIn_LiveCFObjectCount());
}

TEST(CFString, FormatCompareAndCopyOut) {
  CFStringRef s = CFStringCreateWithFormat(nullptr, nullptr, CFSTR("%d|%5.2f|%s|%@|%%|%ld"), -3, 1.5, "c", CFSTR("cf"),
                                           123456789012L);
  EXPECT_EQ("-3| 1.50|c|cf|%|123456789012", Text(s));
  CFRelease(s);

  EXPECT_EQ(kCFCompareEqualTo, CFStringCompare(CFSTR("Abc"), CFSTR("aBC"), kCFCompareCaseInsensitive));
  EXPECT_EQ(kCFCompareLessThan, CFStringCompare(CFSTR("Abc"), CFSTR("abc"), 0));
  EXPECT_EQ(kCFCompareGreaterThan, CFStringCompare(CFSTR("b"), CFSTR("a"), 0));

  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_FALSE(CFStringGetCString(CFSTR("four"), small, sizeof small, kCFStringEncodingUTF8));
  EXPECT_EQ('\0', small[0]);
  char exact[5];
  EXPECT_TRUE(CFStringGetCString(CFSTR("four"), exact, sizeof exact, kCFStringEncodingUTF8));
  EXPECT_STREQ("four", exact);
  EXPECT_EQ(2, CFStringGetLength(CFSTR("\xc3\xa9t")));
  EXPECT_DOUBLE_EQ(-2.5, CFStringGetDoubleValue(CFSTR("  -2.5dB")));
}

TEST(CFNumber, ConversionsReportLoss) {
  struct Case {
    double stored;
    CFNumberType asked;
    bool exact;
  };
  const Case cases[] = {{7.0, kCFNumberSInt32Type, true},  {7.5, kCFNumberSInt32Type, false},
                        {1e12, kCFNumberSInt32Type, false}, {1e12, kCFNumberSInt64Type, true},
                        {0.1, kCFNumberFloat32Type, false}, {0.5, kCFNumberFloat32Type, true}};
  for (const Case& c : cases) {
    CFNumberRef n = CFNumberCreate(nullptr, kCFNumberFloat64Type, &c.stored);
    long long out = 0;
    EXPECT_EQ(c.exact, (bool)CFNumberGetValue(n, c.asked, &out)) << c.stored;
    CFRelease(n);
  }
  EXPECT_EQ(nullptr, CFNumberCreate(nullptr, 99, &cases[0].stored));
  SInt32 i = -5;
  CFNumberRef n = CFNumberCreate(nullptr, kCFNumberSInt32Type, &i);
  Float64 f = 0;
  EXPECT_TRUE(CFNumberGetValue(n, kCFNumberFloat64Type, &f));
  EXPECT_EQ(-5.0, f);
  EXPECT_FALSE(CFNumberGetValue(reinterpret_cast<CFNumberRef>(CFSTR("not a number")), kCFNumberSInt32Type, &i));
  CFRelease(n);
}

TEST(CFData, CopiesBytesAndRefusesBadRanges) {
  const UInt8 bytes[] = {1, 2, 3, 4};
  CFDataRef d = CFDataCreate(nullptr, bytes, 4);
  ASSERT_NE(nullptr, d);
  EXPECT_EQ(4, CFDataGetLength(d));
  EXPECT_EQ(0, std::memcmp(bytes, CFDataGetBytePtr(d), 4));
  UInt8 out[4] = {0, 0, 0, 0};
  CFDataGetBytes(d, CFRangeMake(2, 3), out);  // past the end: nothing copied
  EXPECT_EQ(0, out[0]);
  CFDataGetBytes(d, CFRangeMake(2, 2), out);
  EXPECT_EQ(3, out[0]);
  EXPECT_EQ(nullptr, CFDataCreate(nullptr, bytes, -1));
  EXPECT_EQ(nullptr, CFDataCreate(nullptr, nullptr, 2));
  CFRelease(d);
}

TEST(CFBundle, MainBundleIdentifierAndRegistry) {
  StandIn_SetMainBundleIdentifier("com.tonnik.host");
  EXPECT_EQ("com.tonnik.host", Text(CFBundleGetIdentifier(CFBundleGetMainBundle())));
  EXPECT_EQ(nullptr, CFBundleGetBundleWithIdentifier(CFSTR("com.tonnik.missing")));
  EXPECT_FALSE(StandIn_RegisterBundle("", "/tmp", "/tmp"));
  ASSERT_TRUE(StandIn_RegisterBundle("com.tonnik.test.bundle", "/tmp/b.component", TONNIK_SOURCE_DIR));
  CFBundleRef b = CFBundleGetBundleWithIdentifier(CFSTR("com.tonnik.test.bundle"));
  ASSERT_NE(nullptr, b);
  const long live = StandIn_LiveCFObjectCount();
  CFURLRef url = CFBundleCopyBundleURL(b);
  UInt8 path[64];
  EXPECT_TRUE(CFURLGetFileSystemRepresentation(url, true, path, sizeof path));
  EXPECT_STREQ("/tmp/b.component", (const char*)path);
  EXPECT_FALSE(CFURLGetFileSystemRepresentation(url, true, path, 4));
  CFRelease(url);
  CFURLRef found = CFBundleCopyResourceURL(b, CFSTR("CMakeLists"), CFSTR("txt"), nullptr);
  EXPECT_NE(nullptr, found);
  if (found) CFRelease(found);
  EXPECT_EQ(nullptr, CFBundleCopyResourceURL(b, CFSTR("missing"), CFSTR("png"), nullptr));
  EXPECT_EQ(live, StandIn_LiveCFObjectCount());
}

// A component that records the parameter block of its last call.
struct Recorded {
  SInt16 what = 0;
  UInt8 paramSize = 0;
  ComponentInstance self = nullptr;
  std::vector<long> args;
  Handle storage = nullptr;
};
Recorded sRecorded;
int sStorageObject;

ComponentResult RecordingEntry(ComponentParameters* params, Handle storage) {
  sRecorded.what = params->what;
  sRecorded.paramSize = params->paramSize;
  sRecorded.self = ComponentSelf(params);
  sRecorded.storage = storage;
  sRecorded.args.clear();
  for (int i = 0; i < params->paramSize / 8; ++i) sRecorded.args.push_back(ComponentArgument<long>(params, i));
  if (params->what == kComponentOpenSelect)
    SetComponentInstanceStorage(sRecorded.self, reinterpret_cast<Handle>(&sStorageObject));
  if (params->what == kAudioUnitSetParameterSelect) return (ComponentResult)(ComponentArgument<Float32>(params, 3) * 10);
  return noErr;
}

TEST(ComponentManager, ArgumentsTravelInForwardOrderAfterTheInstance) {
  ComponentDescription cd = {kAudioUnitType_MusicDevice, MakeFourCC("Tst1"), MakeFourCC("-VL-"), 0, 0};
  Component c = RegisterComponent(&cd, RecordingEntry, 0, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, c);
  ComponentDescription looking = {kAudioUnitType_MusicDevice, MakeFourCC("Tst1"), 0, 0, 0};
  EXPECT_EQ(c, FindNextComponent(nullptr, &looking));

  ComponentInstance ci = nullptr;
  ASSERT_EQ(noErr, OpenAComponent(c, &ci));
  EXPECT_EQ(kComponentOpenSelect, sRecorded.what);
  EXPECT_EQ(ci, sRecorded.self);
  EXPECT_EQ(nullptr, sRecorded.storage);
  EXPECT_EQ(reinterpret_cast<Handle>(&sStorageObject), GetComponentInstanceStorage(ci));

  UInt32 size = 0;
  AudioUnitGetProperty(ci, 33, 2, 5, nullptr, &size);
  EXPECT_EQ(kAudioUnitGetPropertySelect, sRecorded.what);
  EXPECT_EQ(40, sRecorded.paramSize);
  ASSERT_EQ(5u, sRecorded.args.size());
  EXPECT_EQ(33, sRecorded.args[0] & 0xFFFFFFFF);
  EXPECT_EQ(2, sRecorded.args[1] & 0xFFFFFFFF);
  EXPECT_EQ(5, sRecorded.args[2] & 0xFFFFFFFF);
  EXPECT_EQ(reinterpret_cast<long>(&size), sRecorded.args[4]);
  EXPECT_EQ(reinterpret_cast<Handle>(&sStorageObject), sRecorded.storage);

  EXPECT_EQ(25, AudioUnitSetParameter(ci, 1, 0, 0, 2.5f, 0));  // the float travels in its slot

  ComponentDescription info;
  EXPECT_EQ(noErr, GetComponentInfo(reinterpret_cast<Component>(ci), &info, nullptr, nullptr, nullptr));
  EXPECT_EQ(cd.componentSubType, info.componentSubType);
  EXPECT_EQ(invalidComponentID, GetComponentInfo(nullptr, &info, nullptr, nullptr, nullptr));

  EXPECT_EQ(invalidComponentID, UnregisterComponent(c));  // still open
  EXPECT_EQ(noErr, CloseComponent(ci));
  EXPECT_EQ(kComponentCloseSelect, sRecorded.what);
  EXPECT_EQ(noErr, UnregisterComponent(c));
}

struct Received {
  std::vector<AudioUnitEventType> types;
  std::vector<AudioUnitParameterID> ids;
  std::vector<float> values;
};

void Collect(void* userData, void*, const AudioUnitEvent* event, UInt64, AudioUnitParameterValue value) {
  Received* r = static_cast<Received*>(userData);
  r->types.push_back(event->mEventType);
  r->ids.push_back(event->mArgument.mParameter.mParameterID);
  r->values.push_back(value);
}

AudioUnitEvent ParamEvent(AudioUnitEventType type, AudioUnit unit, AudioUnitParameterID id) {
  AudioUnitEvent e;
  std::memset(&e, 0, sizeof e);
  e.mEventType = type;
  e.mArgument.mParameter.mAudioUnit = unit;
  e.mArgument.mParameter.mParameterID = id;
  return e;
}

TEST(EventListeners, ReceiveOnlyWhatTheyRegisteredFor) {
  Received got;
  AUEventListenerRef listener = nullptr;
  ASSERT_EQ(noErr, AUEventListenerCreate(Collect, &got, nullptr, nullptr, 0, 0, &listener));
  AudioUnitEvent anyValue = ParamEvent(kAudioUnitEvent_ParameterValueChange, nullptr, kAUParameterListener_AnyParameter);
  AudioUnitEvent beginOf3 = ParamEvent(kAudioUnitEvent_BeginParameterChangeGesture, nullptr, 3);
  // Only events for the null unit: the value read-back of a null unit fails harmlessly.
  ASSERT_EQ(noErr, AUEventListenerAddEventType(listener, nullptr, &anyValue));
  ASSERT_EQ(noErr, AUEventListenerAddEventType(listener, nullptr, &beginOf3));

  AudioUnitEvent e = ParamEvent(kAudioUnitEvent_ParameterValueChange, nullptr, 9);
  AUEventListenerNotify(nullptr, nullptr, &e);
  e = ParamEvent(kAudioUnitEvent_BeginParameterChangeGesture, nullptr, 4);
  AUEventListenerNotify(nullptr, nullptr, &e);
  e = ParamEvent(kAudioUnitEvent_BeginParameterChangeGesture, nullptr, 3);
  AUEventListenerNotify(nullptr, nullptr, &e);
  AUEventListenerNotify(listener, nullptr, &e);  // the sender itself is skipped

  ASSERT_EQ(2u, got.types.size());
  EXPECT_EQ(9u, got.ids[0]);
  EXPECT_EQ(kAudioUnitEvent_BeginParameterChangeGesture, got.types[1]);
  EXPECT_EQ(3u, got.ids[1]);

  EXPECT_EQ(noErr, AUEventListenerRemoveEventType(listener, nullptr, &anyValue));
  e = ParamEvent(kAudioUnitEvent_ParameterValueChange, nullptr, 9);
  AUEventListenerNotify(nullptr, nullptr, &e);
  EXPECT_EQ(2u, got.types.size());
  EXPECT_EQ(noErr, AUListenerDispose(listener));
  EXPECT_EQ(paramErr, AUListenerDispose(listener));
}

TEST(EventListeners, EveryListenerHearsAnEventEvenBeyondOneBatch) {
  std::vector<Received> got(45);
  std::vector<AUEventListenerRef> listeners(got.size());
  AudioUnitEvent e = ParamEvent(kAudioUnitEvent_ParameterValueChange, nullptr, 5);
  for (size_t i = 0; i < got.size(); ++i) {
    ASSERT_EQ(noErr, AUEventListenerCreate(Collect, &got[i], nullptr, nullptr, 0, 0, &listeners[i]));
    // The first listener registers 40 times, so a batch fills inside it.
    for (int k = 0; k < (i == 0 ? 40 : 1); ++k) AUEventListenerAddEventType(listeners[i], nullptr, &e);
  }
  AUEventListenerNotify(nullptr, nullptr, &e);
  EXPECT_EQ(40u, got[0].types.size());
  for (size_t i = 1; i < got.size(); ++i) EXPECT_EQ(1u, got[i].types.size()) << i;
  for (AUEventListenerRef l : listeners) AUListenerDispose(l);
}

}  // namespace
