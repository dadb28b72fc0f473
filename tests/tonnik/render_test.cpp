// Whole blocks rendered by the instrument against a voice driven directly:
// hits land on their exact samples, both outputs match, the LED times out.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "TonnikFixture.h"

namespace {

// A bare voice set up the way the instrument sets it from its parameters.
struct ReferenceVoice {
  Krummel voice;

  explicit ReferenceVoice(Tonnik& plug, double fs = 48000) {
    voice.setSampleRate(fs);
    voice.glide.setSampleRate(static_cast<float>(fs));
    voice.setTone(plug.GetParam(Tonnik::kTone)->Value());
    voice.setTune(plug.GetParam(Tonnik::kTune)->Value());
    voice.setFine(plug.GetParam(Tonnik::kFine)->Value() / 100);
    voice.setDecay(plug.GetParam(Tonnik::kDecay)->Value());
    voice.setLevel(plug.GetParam(Tonnik::kAccent)->Value());
    voice.setAccent(0.5);
    voice.setMidiTuneFlag(plug.GetParam(Tonnik::kMidiTune)->Int());
    voice.setLongDecayFlag(plug.GetParam(Tonnik::kLongDecay)->Int());
    voice.setComp(plug.GetParam(Tonnik::kComp)->Value());
    voice.setDrive(plug.GetParam(Tonnik::kDrive)->Value());
    voice.glide.setGlideTime(static_cast<float>(plug.GetParam(Tonnik::kGlide)->Value()));
    voice.glide.mode = plug.GetParam(Tonnik::kGlideMode)->Int();
    voice.dynDecay = plug.GetParam(Tonnik::kDynDecay)->Value();
    voice.dynComp = plug.GetParam(Tonnik::kDynComp)->Value();
    voice.dynDrive = plug.GetParam(Tonnik::kDynDrive)->Value();
    voice.dynTone = plug.GetParam(Tonnik::kDynTone)->Value();
    voice.dynLevel = plug.GetParam(Tonnik::kDynLevel)->Value();
    voice.driveEnv = plug.GetParam(Tonnik::kDriveEnv)->Bool();
  }

  void Hit(int note, int velocity) {
    voice.glide.setValue(note);
    voice.setMidiVelocity(velocity / 128.0);
    voice.restart();
  }
};

struct Hit {
  int offset;
  int note;
  int velocity;
};

// Renders the reference over n samples with the hits (offsets within 0..n-1).
std::vector<double> RenderReference(ReferenceVoice& ref, int n, const std::vector<Hit>& hits) {
  std::vector<double> out(n);
  size_t next = 0;
  for (int i = 0; i < n; ++i) {
    while (next < hits.size() && hits[next].offset == i) {
      ref.Hit(hits[next].note, hits[next].velocity);
      ++next;
    }
    out[i] = ref.voice.getSample();
  }
  return out;
}

// Index of the first differing sample, or -1.
int FirstDifference(const std::vector<double>& a, const std::vector<double>& b, int n) {
  for (int i = 0; i < n; ++i)
    if (a[i] != b[i]) return i;
  return -1;
}

// A sound that uses every voice control, so a parameter that fails to reach
// the voice shows in the samples.
void SetColourfulParams(TonnikRig& rig) {
  rig.SetParam(Tonnik::kTone, 0.3);
  rig.SetParam(Tonnik::kTune, 3);
  rig.SetParam(Tonnik::kFine, -40);
  rig.SetParam(Tonnik::kDecay, 0.7);
  rig.SetParam(Tonnik::kAccent, 0.8);
  rig.SetParam(Tonnik::kMidiTune, 1);
  rig.SetParam(Tonnik::kComp, 0.4);
  rig.SetParam(Tonnik::kDrive, 0.25);
  rig.SetParam(Tonnik::kGlide, 0.05);
  rig.SetParam(Tonnik::kDynDecay, 0.2);
  rig.SetParam(Tonnik::kDynComp, -0.3);
  rig.SetParam(Tonnik::kDynDrive, 0.5);
  rig.SetParam(Tonnik::kDynTone, -0.4);
  rig.SetParam(Tonnik::kDynLevel, 0.1);
  rig.SetParam(Tonnik::kDriveEnv, 1);
}

TEST(TonnikRender, NoteOnsRestartTheVoiceAtTheirExactSamples) {
  struct Case {
    const char* name;
    std::vector<Hit> hits;
  };
  const Case cases[] = {
      {"offsets 0 and 300", {{0, 36, 100}, {300, 41, 64}}},
      {"two at one offset, second wins", {{120, 36, 127}, {120, 48, 30}}},
      {"a single hit mid-block", {{257, 30, 90}}},
      {"hit on the last sample", {{511, 40, 100}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TonnikRig rig;
    SetColourfulParams(rig);
    ReferenceVoice ref(rig.Plug());
    for (const Hit& h : c.hits) rig.NoteOn(h.note, h.velocity, h.offset);
    rig.Render(512);
    const std::vector<double> expected = RenderReference(ref, 512, c.hits);
    EXPECT_EQ(FirstDifference(rig.Left(), expected, 512), -1);
  }
}

TEST(TonnikRender, HitsAreNotSmearedToBlockStart) {
  // Guards the comparison itself: a hit moved by even one sample differs.
  TonnikRig rig;
  ReferenceVoice ref(rig.Plug());
  rig.NoteOn(36, 100, 300);
  rig.Render(512);
  const std::vector<double> early = RenderReference(ref, 512, {{299, 36, 100}});
  EXPECT_EQ(FirstDifference(rig.Left(), early, 512), 299);
}

TEST(TonnikRender, IgnoresVelocityZeroAndOtherMessages) {
  TonnikRig rig;
  ReferenceVoice ref(rig.Plug());
  rig.NoteOn(36, 100, 0);
  rig.NoteOn(50, 0, 100);  // velocity 0: no hit
  IMidiMsg off;
  off.MakeNoteOffMsg(36, 200);
  rig.Plug().ProcessMidiMsg(&off);
  IMidiMsg wheel(300, 0xE0, 0, 100);
  rig.Plug().ProcessMidiMsg(&wheel);
  rig.Render(512);
  const std::vector<double> expected = RenderReference(ref, 512, {{0, 36, 100}});
  EXPECT_EQ(FirstDifference(rig.Left(), expected, 512), -1);
}

TEST(TonnikRender, AnyChannelPlays) {
  TonnikRig rig;
  ReferenceVoice ref(rig.Plug());
  rig.NoteOn(36, 100, 10, 9);
  rig.Render(512);
  const std::vector<double> expected = RenderReference(ref, 512, {{10, 36, 100}});
  EXPECT_EQ(FirstDifference(rig.Left(), expected, 512), -1);
}

TEST(TonnikRender, LateNoteOnPlaysInTheNextBlock) {
  TonnikRig rig;
  ReferenceVoice ref(rig.Plug());
  rig.NoteOn(36, 100, 700);
  std::vector<double> both;
  rig.Render(512);
  both.insert(both.end(), rig.Left().begin(), rig.Left().end());
  rig.Render(512);
  both.insert(both.end(), rig.Left().begin(), rig.Left().end());
  const std::vector<double> expected = RenderReference(ref, 1024, {{512 + 188, 36, 100}});
  EXPECT_EQ(FirstDifference(both, expected, 1024), -1);
  EXPECT_EQ(rig.Left()[187], 0.0);
  EXPECT_NE(rig.Left()[188], 0.0);
}

TEST(TonnikRender, BothOutputsAreIdentical) {
  TonnikRig rig;
  SetColourfulParams(rig);
  rig.NoteOn(36, 100, 5);
  rig.NoteOn(43, 70, 400);
  for (int block = 0; block < 4; ++block) {
    rig.Render(512);
    EXPECT_EQ(FirstDifference(rig.Left(), rig.Right(), 512), -1);
  }
}

// Float hosts get the double render rounded, bit for bit: hits within and
// beyond their block, the trigger, a parameter change, blocks shorter and
// longer than the float render's piece buffer, and one buffer given for both
// outputs.
TEST(TonnikRender, FloatRenderIsTheDoubleRenderRounded) {
  const int kSizes[] = {512, 1, 7, 1024, 1025, 3000, 64, 2048, 333};
  const int kLongest = 3000;
  TonnikRig doubles(48000, kLongest), floats(48000, kLongest);
  for (int b = 0; b < 9; ++b) {
    const int n = kSizes[b];
    for (TonnikRig* rig : {&doubles, &floats}) {
      if (b == 0) SetColourfulParams(*rig);
      if (b == 4) rig->Plug().TriggerFromEditor();
      if (b == 6) rig->SetParam(Tonnik::kDecay, 0.9);
      rig->NoteOn(36 + b, 60 + 7 * b, (b * 389) % (n + 50));
    }
    const bool oneBuffer = b == 8;
    doubles.Render(n);
    floats.RenderFloat(n, oneBuffer);
    std::vector<float> rounded(n);
    for (int s = 0; s < n; ++s) rounded[s] = static_cast<float>(doubles.Left()[s]);
    EXPECT_EQ(std::memcmp(floats.LeftFloat().data(), rounded.data(), sizeof(float) * n), 0) << "block " << b;
    if (!oneBuffer) {
      EXPECT_EQ(std::memcmp(floats.RightFloat().data(), rounded.data(), sizeof(float) * n), 0) << "block " << b;
    }
  }
  EXPECT_EQ(floats.Plug().GetSamplesSinceHit(), doubles.Plug().GetSamplesSinceHit());
  EXPECT_EQ(floats.Plug().GetLEDState(), doubles.Plug().GetLEDState());
}

TEST(TonnikRender, ShortAndEmptyBlocks) {
  TonnikRig rig;
  ReferenceVoice ref(rig.Plug());
  rig.NoteOn(36, 100, 3);
  std::vector<double> got;
  // A zero-length block moves nothing on; the hit is still due at 3.
  rig.Render(0);
  for (int n : {1, 2, 5, 100}) {
    rig.Render(n);
    got.insert(got.end(), rig.Left().begin(), rig.Left().begin() + n);
  }
  const std::vector<double> expected = RenderReference(ref, 108, {{3, 36, 100}});
  EXPECT_EQ(FirstDifference(got, expected, 108), -1);
}

TEST(TonnikRender, LEDGoesDarkAtTheEndOfTheTenthBlock) {
  TonnikRig rig(48000, 1024);
  EXPECT_EQ(rig.Plug().GetLEDState(), 0);
  rig.NoteOn(36, 100, 0);
  for (int block = 1; block <= 9; ++block) {
    rig.Render(1024);
    EXPECT_EQ(rig.Plug().GetLEDState(), 0) << "block " << block;
  }
  rig.Render(1024);
  EXPECT_EQ(rig.Plug().GetLEDState(), 1);
  EXPECT_EQ(rig.Plug().GetSamplesSinceHit(), 10240);

  // A new hit lights it again and restarts the count.
  rig.NoteOn(36, 100, 24);
  rig.Render(1024);
  EXPECT_EQ(rig.Plug().GetLEDState(), 0);
  EXPECT_EQ(rig.Plug().GetSamplesSinceHit(), 1000);
}

TEST(TonnikRender, TriggerHitsAtNote33WithTheLastVelocity) {
  TonnikRig rig;
  ReferenceVoice ref(rig.Plug());
  rig.NoteOn(45, 90, 0);
  rig.Render(512);
  rig.Plug().TriggerFromEditor();
  rig.Render(512);
  RenderReference(ref, 512, {{0, 45, 90}});
  const std::vector<double> expected = RenderReference(ref, 512, {{0, 33, 90}});
  EXPECT_EQ(FirstDifference(rig.Left(), expected, 512), -1);
  EXPECT_EQ(rig.Plug().GetLEDState(), 0);
  EXPECT_EQ(rig.Plug().GetSamplesSinceHit(), 512);
}

TEST(TonnikRender, TriggerBeforeAnyNoteUsesVelocityZero) {
  TonnikRig rig;
  ReferenceVoice ref(rig.Plug());
  rig.Plug().TriggerFromEditor();
  rig.Plug().TriggerFromEditor();  // two presses before a block: one hit
  rig.Render(512);
  const std::vector<double> expected = RenderReference(ref, 512, {{0, 33, 0}});
  EXPECT_EQ(FirstDifference(rig.Left(), expected, 512), -1);
  EXPECT_NE(rig.Left()[100], 0.0);
}

TEST(TonnikRender, RateItCannotPlayIsSilent) {
  TonnikRig rig(400000, 512);
  rig.NoteOn(36, 127, 0);
  rig.Render(512);
  for (int i = 0; i < 512; ++i) ASSERT_EQ(rig.Left()[i], 0.0) << i;
}

TEST(TonnikRender, ResetAppliesRateAndKeepsSoundingHitWhenNothingChanged) {
  TonnikRig rig(44100, 512);
  EXPECT_EQ(rig.Voice().sampleRate, 44100);
  EXPECT_FLOAT_EQ(rig.Voice().glide.sampleRate, 44100.0f);

  // A Reset with the same settings (as when the host toggles bypass while
  // rendering) must not disturb a sounding hit.
  TonnikRig plain(44100, 512);
  rig.NoteOn(36, 100, 0);
  plain.NoteOn(36, 100, 0);
  rig.Render(100);  // inside the exciter pulse
  plain.Render(100);
  rig.Plug().Reset();
  rig.Render(512);
  plain.Render(512);
  EXPECT_EQ(FirstDifference(rig.Left(), plain.Left(), 512), -1);
}

}  // namespace
