// The instrument opened through the factory its bundle names, driven the way
// a host drives a plug-in interface, against the same instrument opened
// through its component entry.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "au/apple/AudioUnit.h"
#include "au/apple/FourCC.h"
#include "tonnik/TonnikEntry.h"

namespace {

const ComponentDescription kInstrument = {kAudioUnitType_MusicDevice, MakeFourCC("Tnk4"), MakeFourCC("-VL-"), 0, 0};
const UInt32 kFrames = 512;

// Two mono output buffers, as a host hands them to render.
struct StereoList {
  StereoList() : left(kFrames, 0.0f), right(kFrames, 0.0f) {}
  AudioBufferList* List() {
    block.n = 2;
    block.buffers[0] = AudioBuffer{1, kFrames * (UInt32)sizeof(float), left.data()};
    block.buffers[1] = AudioBuffer{1, kFrames * (UInt32)sizeof(float), right.data()};
    return reinterpret_cast<AudioBufferList*>(&block);
  }
  std::vector<float> left, right;
  struct {
    UInt32 n;
    AudioBuffer buffers[2];
  } block;
};

// The instrument through Tonnik_Entry and the Component Manager calls.
struct EntryUnit {
  EntryUnit() : component(RegisterComponent(const_cast<ComponentDescription*>(&kInstrument), Tonnik_Entry, 0,
                                            nullptr, nullptr, nullptr)) {
    opened = OpenAComponent(component, &unit);
  }
  ~EntryUnit() {
    CloseComponent(unit);
    UnregisterComponent(component);
  }
  OSStatus Initialize() { return AudioUnitInitialize(unit); }
  OSStatus Midi(UInt32 status, UInt32 d1, UInt32 d2, UInt32 offset) {
    return MusicDeviceMIDIEvent(unit, status, d1, d2, offset);
  }
  OSStatus Render(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* ts, AudioBufferList* list) {
    return AudioUnitRender(unit, flags, ts, 0, kFrames, list);
  }

  Component component;
  ComponentInstance unit = nullptr;
  OSStatus opened;
};

// The system's record of an instance made from a factory: it carries the
// component's description and storage; the plug-in interface does the rest.
ComponentResult SystemInstanceEntry(ComponentParameters*, Handle) { return noErr; }

// The instrument through Tonnik_Factory and looked-up methods.
struct FactoryUnit {
  FactoryUnit() : system(RegisterComponent(const_cast<ComponentDescription*>(&kInstrument), SystemInstanceEntry, 0,
                                           nullptr, nullptr, nullptr)) {
    OpenAComponent(system, &instance);
    const AudioComponentDescription desc = {kInstrument.componentType, kInstrument.componentSubType,
                                            kInstrument.componentManufacturer, 0, 0};
    plugIn = Tonnik_Factory(&desc);
    opened = plugIn ? plugIn->Open(plugIn, instance) : memFullErr;
  }
  ~FactoryUnit() {
    if (plugIn) plugIn->Close(plugIn);
    CloseComponent(instance);
    UnregisterComponent(system);
  }

  template <class F>
  F* Method(SInt16 selector) {
    return reinterpret_cast<F*>(reinterpret_cast<void (*)()>(plugIn->Lookup(selector)));
  }
  OSStatus Initialize() { return Method<OSStatus(void*)>(kAudioUnitInitializeSelect)(plugIn); }
  OSStatus Midi(UInt32 status, UInt32 d1, UInt32 d2, UInt32 offset) {
    return Method<OSStatus(void*, UInt32, UInt32, UInt32, UInt32)>(kMusicDeviceMIDIEventSelect)(plugIn, status, d1,
                                                                                                 d2, offset);
  }
  OSStatus Render(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* ts, AudioBufferList* list) {
    return Method<OSStatus(void*, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                           AudioBufferList*)>(kAudioUnitRenderSelect)(plugIn, flags, ts, 0, kFrames, list);
  }
  OSStatus GetParameter(AudioUnitParameterID id, AudioUnitParameterValue* value) {
    return Method<OSStatus(void*, AudioUnitParameterID, AudioUnitScope, AudioUnitElement, AudioUnitParameterValue*)>(
        kAudioUnitGetParameterSelect)(plugIn, id, kAudioUnitScope_Global, 0, value);
  }
  OSStatus SetParameter(AudioUnitParameterID id, AudioUnitParameterValue value) {
    return Method<OSStatus(void*, AudioUnitParameterID, AudioUnitScope, AudioUnitElement, AudioUnitParameterValue,
                           UInt32)>(kAudioUnitSetParameterSelect)(plugIn, id, kAudioUnitScope_Global, 0, value, 0);
  }
  OSStatus GetProperty(AudioUnitPropertyID id, AudioUnitElement element, void* data, UInt32* size) {
    return Method<OSStatus(void*, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement, void*, UInt32*)>(
        kAudioUnitGetPropertySelect)(plugIn, id, kAudioUnitScope_Global, element, data, size);
  }
  OSStatus SetProperty(AudioUnitPropertyID id, const void* data, UInt32 size) {
    return Method<OSStatus(void*, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement, const void*, UInt32)>(
        kAudioUnitSetPropertySelect)(plugIn, id, kAudioUnitScope_Global, 0, data, size);
  }

  Component system;
  ComponentInstance instance = nullptr;
  AudioComponentPlugInInterface* plugIn;
  OSStatus opened;
};

// Both output channels of two blocks after a note at offset 17.
template <class Unit>
std::vector<float> RenderNote(Unit& unit) {
  std::vector<float> samples;
  EXPECT_EQ(noErr, unit.opened);
  EXPECT_EQ(noErr, unit.Initialize());
  EXPECT_EQ(noErr, unit.Midi(0x90, 36, 100, 17));
  AudioTimeStamp ts;
  std::memset(&ts, 0, sizeof ts);
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  for (int block = 0; block < 2; ++block) {
    StereoList out;
    AudioBufferList* list = out.List();
    AudioUnitRenderActionFlags flags = 0;
    EXPECT_EQ(noErr, unit.Render(&flags, &ts, list));
    for (UInt32 c = 0; c < list->mNumberBuffers; ++c) {
      const float* data = static_cast<const float*>(list->mBuffers[c].mData);
      samples.insert(samples.end(), data, data + kFrames);
    }
    ts.mSampleTime += kFrames;
  }
  return samples;
}

TEST(AUFactory, RendersTheSameSamplesAsTheEntry) {
  EntryUnit entry;
  FactoryUnit factory;
  const std::vector<float> expected = RenderNote(entry);
  const std::vector<float> got = RenderNote(factory);
  ASSERT_EQ(expected.size(), got.size());
  EXPECT_EQ(expected, got);
  float peak = 0.0f;
  for (float s : got) peak = s > peak ? s : (-s > peak ? -s : peak);
  EXPECT_GT(peak, 0.01f) << "the note sounds";
}

TEST(AUFactory, ParametersAndStateGoThroughTheEntry) {
  FactoryUnit unit;
  ASSERT_EQ(noErr, unit.opened);
  AudioUnitParameterInfo info;
  UInt32 size = sizeof info;
  ASSERT_EQ(noErr, unit.GetProperty(kAudioUnitProperty_ParameterInfo, 0, &info, &size));
  if (info.cfNameString) CFRelease(info.cfNameString);
  if (info.unitName) CFRelease(info.unitName);
  ASSERT_LT(info.minValue, info.maxValue);

  AudioUnitParameterValue value = 0.0f;
  ASSERT_EQ(noErr, unit.SetParameter(0, info.maxValue));
  ASSERT_EQ(noErr, unit.GetParameter(0, &value));
  EXPECT_FLOAT_EQ(info.maxValue, value);

  CFPropertyListRef state = nullptr;
  size = sizeof state;
  ASSERT_EQ(noErr, unit.GetProperty(kAudioUnitProperty_ClassInfo, 0, &state, &size));
  ASSERT_NE(nullptr, state);
  ASSERT_EQ(noErr, unit.SetParameter(0, info.minValue));
  ASSERT_EQ(noErr, unit.SetProperty(kAudioUnitProperty_ClassInfo, &state, sizeof state));
  CFRelease(state);
  ASSERT_EQ(noErr, unit.GetParameter(0, &value));
  EXPECT_FLOAT_EQ(info.maxValue, value) << "restored from the saved state";

  // A scope the entry refuses is refused through the interface too.
  EXPECT_EQ(kAudioUnitErr_InvalidProperty,
            (unit.Method<OSStatus(void*, AudioUnitParameterID, AudioUnitScope, AudioUnitElement,
                                  AudioUnitParameterValue*)>(kAudioUnitGetParameterSelect)(
                unit.plugIn, 0, kAudioUnitScope_Output, 0, &value)));
}

TEST(AUFactory, UnknownSelectorsAndBadClosesAreRefused) {
  AudioComponentPlugInInterface* plugIn = Tonnik_Factory(nullptr);
  ASSERT_NE(nullptr, plugIn);
  EXPECT_NE(nullptr, plugIn->Lookup(kAudioUnitRenderSelect));
  EXPECT_NE(nullptr, plugIn->Lookup(kMusicDeviceMIDIEventSelect));
  for (SInt16 unknown : {(SInt16)kComponentOpenSelect, (SInt16)kComponentCanDoSelect, (SInt16)8, (SInt16)0x0200,
                         (SInt16)kAudioUnitCarbonViewCreateSelect})
    EXPECT_EQ(nullptr, plugIn->Lookup(unknown)) << unknown;

  // Methods of an interface that was never opened reach no plug-in.
  EXPECT_EQ(badComponentInstance, (reinterpret_cast<OSStatus (*)(void*)>(reinterpret_cast<void (*)()>(
                                      plugIn->Lookup(kAudioUnitInitializeSelect))))(plugIn));
  EXPECT_EQ(paramErr, plugIn->Open(plugIn, nullptr));

  // The host keeps the functions; the interface itself is gone after Close.
  OSStatus (*open)(void*, AudioComponentInstance) = plugIn->Open;
  OSStatus (*close)(void*) = plugIn->Close;
  EXPECT_EQ(badComponentInstance, close(nullptr));
  EXPECT_EQ(noErr, close(plugIn));
  EXPECT_EQ(badComponentInstance, close(plugIn)) << "already closed";
  EXPECT_EQ(badComponentInstance, open(plugIn, nullptr)) << "already closed";
}

}  // namespace
