// The instrument through its exported entry, driven by the Audio Unit host
// library the way a real host drives it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "TonnikFixture.h"
#include "au/apple/FourCC.h"
#include "host/AUHost.h"
#include "tonnik/Tonnik.h"
#include "tonnik/TonnikEntry.h"

namespace {

ComponentDescription TonnikDescription() {
  return ComponentDescription{kAudioUnitType_MusicDevice, MakeFourCC("Tnk4"), MakeFourCC("-VL-"), 0, 0};
}

struct Stereo {
  explicit Stereo(int frames) : left(frames, 0.0f), right(frames, 0.0f) {}
  float** Ptrs() {
    p[0] = left.data();
    p[1] = right.data();
    return p;
  }
  std::vector<float> left, right;
  float* p[2];
};

class TonnikHost : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(noErr, host.Open());
    ASSERT_EQ(noErr, host.Prepare(48000.0, 512, 2));
  }

  AUHost host{Tonnik_Entry, TonnikDescription()};
};

// A rate the voice cannot play is refused, as a sample rate and inside a
// stream format, and the unit keeps the rate it had.
TEST_F(TonnikHost, RatesItCannotPlayAreRefusedAndTheRateKept) {
  for (double rate : {7999.0, 384001.0}) {
    EXPECT_EQ(kAudioUnitErr_FormatNotSupported, host.SetSampleRate(rate)) << rate;
    AudioStreamBasicDescription asbd = {};
    UInt32 size = sizeof asbd;
    ASSERT_EQ(noErr, AudioUnitGetProperty(host.Unit(), kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0,
                                          &asbd, &size));
    asbd.mSampleRate = rate;
    EXPECT_EQ(kAudioUnitErr_FormatNotSupported, AudioUnitSetProperty(host.Unit(), kAudioUnitProperty_StreamFormat,
                                                                     kAudioUnitScope_Output, 0, &asbd, sizeof asbd));
    double kept = 0;
    EXPECT_EQ(noErr, host.GetSampleRate(&kept));
    EXPECT_EQ(kept, 48000.0);
  }
  EXPECT_EQ(noErr, host.SetSampleRate(384000));
}

TEST_F(TonnikHost, NoteOnPlaysAtItsOffsetOnBothOutputs) {
  Stereo out(512);
  ASSERT_EQ(noErr, host.SendMidi(0x90, 36, 100, 17));
  ASSERT_EQ(noErr, host.Render(512, out.Ptrs(), 2));
  for (int i = 0; i < 17; ++i) EXPECT_EQ(out.left[i], 0.0f) << i;
  float peak = 0;
  for (int i = 17; i < 512; ++i) peak = std::max(peak, std::abs(out.left[i]));
  EXPECT_GT(peak, 0.01f);
  EXPECT_EQ(out.left, out.right);
}

// What the host receives is the instrument's own double render rounded to
// float, bit for bit.
TEST_F(TonnikHost, HostHearsTheDoubleRenderRounded) {
  TonnikRig rig;
  Stereo out(512);
  for (int block = 0; block < 6; ++block) {
    const int note = 36 + block, offset = block * 97;
    ASSERT_EQ(noErr, host.SendMidi(0x90, note, 100, offset));
    rig.NoteOn(note, 100, offset);
    ASSERT_EQ(noErr, host.Render(512, out.Ptrs(), 2));
    rig.Render(512);
    std::vector<float> rounded(512);
    for (int s = 0; s < 512; ++s) rounded[s] = static_cast<float>(rig.Left()[s]);
    EXPECT_EQ(out.left, rounded) << "block " << block;
    EXPECT_EQ(out.right, rounded) << "block " << block;
  }
}

TEST_F(TonnikHost, ParametersAndPresetAsTheHostSeesThem) {
  std::vector<AudioUnitParameterID> ids;
  ASSERT_EQ(noErr, host.GetParameterList(&ids));
  EXPECT_EQ(ids.size(), static_cast<size_t>(Tonnik::kNumParams));

  std::vector<std::string> texts;
  ASSERT_EQ(noErr, host.GetParameterValueStrings(Tonnik::kGlideMode, &texts));
  EXPECT_EQ(texts, (std::vector<std::string>{"Up/Down", "Up", "Down"}));

  AUHostParamInfo glide;
  ASSERT_EQ(noErr, host.GetParameterInfo(Tonnik::kGlide, &glide));
  EXPECT_EQ(glide.name, "Glide");
  EXPECT_EQ(glide.unitName, "s");

  std::vector<AUHostPreset> presets;
  ASSERT_EQ(noErr, host.GetFactoryPresets(&presets));
  ASSERT_EQ(presets.size(), 1u);
  EXPECT_EQ(presets[0].name, "Init");
}

// Learn a controller through the host, save, restore into a fresh instance:
// the controller moves the same parameter there; the factory preset then
// resets the parameters but keeps the controller.
TEST_F(TonnikHost, LearnedControllerSurvivesSaveAndRestore) {
  Stereo out(512);
  ASSERT_EQ(noErr, host.SetParameter(Tonnik::kMidiLearn, 1));
  ASSERT_EQ(noErr, host.SetParameter(Tonnik::kDecay, 0.2f));
  ASSERT_EQ(noErr, host.SendMidi(0xB0, 74, 0, 0));
  ASSERT_EQ(noErr, host.Render(512, out.Ptrs(), 2));
  ASSERT_EQ(noErr, host.SetParameter(Tonnik::kMidiLearn, 0));
  ASSERT_EQ(noErr, host.SetParameter(Tonnik::kTone, 0.75f));

  CFPropertyListRef saved = nullptr;
  ASSERT_EQ(noErr, host.GetClassInfo(&saved));

  AUHost other(Tonnik_Entry, TonnikDescription());
  ASSERT_EQ(noErr, other.Open());
  ASSERT_EQ(noErr, other.Prepare(48000.0, 512, 2));
  ASSERT_EQ(noErr, other.SetClassInfo(saved));
  CFRelease(saved);

  float value = 0;
  ASSERT_EQ(noErr, other.GetParameter(Tonnik::kTone, &value));
  EXPECT_EQ(value, 0.75f);
  ASSERT_EQ(noErr, other.SendMidi(0xB0, 74, 127, 0));
  ASSERT_EQ(noErr, other.Render(512, out.Ptrs(), 2));
  ASSERT_EQ(noErr, other.GetParameter(Tonnik::kDecay, &value));
  EXPECT_EQ(value, 1.0f);

  ASSERT_EQ(noErr, other.SelectPreset(0));
  ASSERT_EQ(noErr, other.GetParameter(Tonnik::kTone, &value));
  EXPECT_EQ(value, 0.5f);
  ASSERT_EQ(noErr, other.GetParameter(Tonnik::kComp, &value));
  EXPECT_EQ(value, 0.5f);
  ASSERT_EQ(noErr, other.SendMidi(0xB0, 74, 0, 0));
  ASSERT_EQ(noErr, other.Render(512, out.Ptrs(), 2));
  ASSERT_EQ(noErr, other.GetParameter(Tonnik::kDecay, &value));
  EXPECT_EQ(value, 0.0f);
}

}  // namespace
