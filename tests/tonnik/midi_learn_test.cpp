// Parameters reaching the voice and the rings, and MIDI learn and clear as a
// user does them.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "TonnikFixture.h"

namespace {

// What each parameter does to the voice: set the value, read the field.
struct VoiceRow {
  int idx;
  double value;
  double (*read)(const Krummel&);
  double expected;
};

const VoiceRow kVoiceTable[] = {
    {Tonnik::kTone, 0.3, [](const Krummel& v) { return v.tone; }, 0.3},
    {Tonnik::kTune, -7, [](const Krummel& v) { return v.tune; }, -7},
    {Tonnik::kFine, 25, [](const Krummel& v) { return v.fine; }, 0.25},
    {Tonnik::kDecay, 0.8, [](const Krummel& v) { return v.decay; }, 0.8},
    {Tonnik::kAccent, 0.1, [](const Krummel& v) { return v.level; }, 0.1},
    {Tonnik::kMidiTune, 1, [](const Krummel& v) { return double(v.midiTuneFlag); }, 1},
    {Tonnik::kLongDecay, 1, [](const Krummel& v) { return double(v.longDecayFlag); }, 1},
    {Tonnik::kComp, 0.6, [](const Krummel& v) { return v.comp; }, 0.6},
    {Tonnik::kDrive, 0.45, [](const Krummel& v) { return v.drive; }, 0.45},
    {Tonnik::kGlide, 0.5, [](const Krummel& v) { return double(v.glide.glideTime); }, 0.5},
    {Tonnik::kGlideMode, 2, [](const Krummel& v) { return double(v.glide.mode); }, 2},
    {Tonnik::kDynDecay, -0.2, [](const Krummel& v) { return v.dynDecay; }, -0.2},
    {Tonnik::kDynComp, 0.3, [](const Krummel& v) { return v.dynComp; }, 0.3},
    {Tonnik::kDynDrive, -0.9, [](const Krummel& v) { return v.dynDrive; }, -0.9},
    {Tonnik::kDynTone, 0.7, [](const Krummel& v) { return v.dynTone; }, 0.7},
    {Tonnik::kDynLevel, -1, [](const Krummel& v) { return v.dynLevel; }, -1},
    {Tonnik::kDriveEnv, 1, [](const Krummel& v) { return double(v.driveEnv); }, 1},
};

TEST(TonnikParamChange, EveryParameterReachesTheVoice) {
  for (const VoiceRow& row : kVoiceTable) {
    TonnikRig rig;
    SCOPED_TRACE(rig.Plug().GetParam(row.idx)->GetNameForHost());
    rig.SetParam(row.idx, row.value);
    EXPECT_DOUBLE_EQ(row.read(rig.Voice()), row.expected);
  }
}

TEST(TonnikParamChange, GlideTimeUsesTheRate) {
  TonnikRig rig(48000, 512);
  rig.SetParam(Tonnik::kGlide, 0.5);
  EXPECT_EQ(rig.Voice().glide.length, 24000u);
}

struct RingRow {
  int idx;
  Tonnik::ERing ring;
  bool span;
};

const RingRow kRingTable[] = {
    {Tonnik::kDecay, Tonnik::kDecayRing, false},    {Tonnik::kTone, Tonnik::kToneRing, false},
    {Tonnik::kComp, Tonnik::kCompRing, false},      {Tonnik::kAccent, Tonnik::kAccentRing, false},
    {Tonnik::kDrive, Tonnik::kDriveRing, false},    {Tonnik::kDynDecay, Tonnik::kDecayRing, true},
    {Tonnik::kDynTone, Tonnik::kToneRing, true},    {Tonnik::kDynComp, Tonnik::kCompRing, true},
    {Tonnik::kDynLevel, Tonnik::kAccentRing, true}, {Tonnik::kDynDrive, Tonnik::kDriveRing, true},
};

TEST(TonnikParamChange, RingAngles) {
  for (const RingRow& row : kRingTable) {
    TonnikRig rig;
    SCOPED_TRACE(rig.Plug().GetParam(row.idx)->GetNameForHost());
    const double lo = row.span ? -1 : 0;
    for (double value : {lo, 0.5, 1.0}) {
      rig.SetParam(row.idx, value);
      if (row.span)
        EXPECT_DOUBLE_EQ(rig.Plug().GetRingSpan(row.ring), 270 * value);
      else
        EXPECT_DOUBLE_EQ(rig.Plug().GetRingCentre(row.ring), 240 * value - 120);
    }
    // The other angle of that ring stays where it was.
    if (row.span)
      EXPECT_DOUBLE_EQ(rig.Plug().GetRingCentre(row.ring),
                       row.ring == Tonnik::kCompRing || row.ring == Tonnik::kDriveRing ? -120 : 0);
    else
      EXPECT_DOUBLE_EQ(rig.Plug().GetRingSpan(row.ring), 0);
  }
}

TEST(TonnikParamChange, UnknownIndicesChangeNothing) {
  TonnikRig rig;
  rig.SetParamFromGUI(Tonnik::kMidiClear, 1);
  const int unknown[] = {-1, Tonnik::kNumParams, 1000, -1000};
  for (int idx : unknown) rig.Plug().OnParamChange(idx);
  rig.Render(512);
  EXPECT_TRUE(rig.Plug().IsClearActive());
}

TEST(TonnikMidiLearn, LearnTouchAndMove) {
  TonnikRig rig;
  Tonnik& plug = rig.Plug();
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 1);
  EXPECT_TRUE(plug.IsLearnActive());
  rig.SetParamFromGUI(Tonnik::kDrive, 0.3);
  EXPECT_EQ(plug.GetLastTouchedParam(), Tonnik::kDrive);

  rig.ControlChange(21, 100);
  EXPECT_EQ(plug.GetController(Tonnik::kDrive), 21);
  EXPECT_DOUBLE_EQ(plug.GetParam(Tonnik::kDrive)->Value(), std::pow(100 / 127.0, 1.5));
  EXPECT_DOUBLE_EQ(rig.Voice().drive, plug.GetParam(Tonnik::kDrive)->Value());

  // Still moves it once learning is over.
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 0);
  rig.ControlChange(21, 0, 0, 5);
  EXPECT_EQ(plug.GetParam(Tonnik::kDrive)->Value(), 0);
  // Other controllers do not.
  rig.ControlChange(22, 127);
  EXPECT_EQ(plug.GetParam(Tonnik::kDrive)->Value(), 0);
}

TEST(TonnikMidiLearn, SameControllerLearnedElsewhereMoves) {
  TonnikRig rig;
  Tonnik& plug = rig.Plug();
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 1);
  rig.SetParamFromGUI(Tonnik::kDrive, 0.3);
  rig.ControlChange(21, 100);
  rig.SetParamFromGUI(Tonnik::kTone, 0.2);
  rig.ControlChange(21, 127);
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 0);

  EXPECT_EQ(plug.GetController(Tonnik::kTone), 21);
  EXPECT_EQ(plug.GetController(Tonnik::kDrive), -1);
  const double drive = plug.GetParam(Tonnik::kDrive)->Value();
  rig.ControlChange(21, 0);
  EXPECT_EQ(plug.GetParam(Tonnik::kTone)->Value(), 0);
  EXPECT_EQ(plug.GetParam(Tonnik::kDrive)->Value(), drive);
}

TEST(TonnikMidiLearn, ControllerWithoutTouchedParameterLearnsNothing) {
  TonnikRig rig;
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 1);
  rig.ControlChange(40, 127);
  for (int i = 0; i < Tonnik::kNumParams; ++i) EXPECT_EQ(rig.Plug().GetController(i), -1);
}

TEST(TonnikMidiLearn, ClearRemovesController) {
  TonnikRig rig;
  Tonnik& plug = rig.Plug();
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 1);
  rig.SetParamFromGUI(Tonnik::kDecay, 0.5);
  rig.ControlChange(21, 10);
  rig.SetParamFromGUI(Tonnik::kComp, 0.5);
  rig.ControlChange(22, 10);
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 0);

  // Clear on, move controller 21: gone, and Decay did not move.
  rig.SetParamFromGUI(Tonnik::kMidiClear, 1);
  const double decay = plug.GetParam(Tonnik::kDecay)->Value();
  rig.ControlChange(21, 127);
  EXPECT_EQ(plug.GetController(Tonnik::kDecay), -1);
  EXPECT_EQ(plug.GetParam(Tonnik::kDecay)->Value(), decay);
  EXPECT_EQ(plug.GetController(Tonnik::kComp), 22);

  // Clear on, touch Comp: its controller goes too.
  rig.SetParamFromGUI(Tonnik::kComp, 0.9);
  EXPECT_EQ(plug.GetController(Tonnik::kComp), -1);

  rig.SetParamFromGUI(Tonnik::kMidiClear, 0);
  rig.ControlChange(22, 0);
  EXPECT_EQ(plug.GetParam(Tonnik::kComp)->Value(), 0.9);
}

TEST(TonnikMidiLearn, LearnAndClearExcludeEachOther) {
  TonnikRig rig;
  Tonnik& plug = rig.Plug();
  rig.SetParamFromGUI(Tonnik::kMidiClear, 1);
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 1);
  EXPECT_TRUE(plug.IsLearnActive());
  EXPECT_FALSE(plug.IsClearActive());
  // The other switch's parameter keeps its value.
  EXPECT_EQ(plug.GetParam(Tonnik::kMidiClear)->Value(), 1);

  rig.SetParamFromGUI(Tonnik::kMidiClear, 1);
  EXPECT_TRUE(plug.IsClearActive());
  EXPECT_FALSE(plug.IsLearnActive());
  EXPECT_EQ(plug.GetParam(Tonnik::kMidiLearn)->Value(), 1);
}

TEST(TonnikMidiLearn, LearnAndClearSwitchesAreNeverTargets) {
  TonnikRig rig;
  Tonnik& plug = rig.Plug();
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 1);
  rig.SetParamFromGUI(Tonnik::kTone, 0.5);
  // Touching the switches does not make them the learn target.
  rig.SetParamFromGUI(Tonnik::kMidiClear, 0);
  EXPECT_EQ(plug.GetLastTouchedParam(), Tonnik::kTone);

  // A map that names them (from a chunk) still moves nothing.
  std::vector<int> map(Tonnik::kNumParams, -1);
  map[Tonnik::kMidiLearn] = 50;
  map[Tonnik::kMidiClear] = 51;
  ByteChunk chunk;
  for (int cc : map) chunk.Put(&cc);
  TonnikRig other;
  other.Plug().UnserializeState(&chunk, 0);
  other.ControlChange(50, 127);
  other.ControlChange(51, 127);
  EXPECT_FALSE(other.Plug().IsLearnActive());
  EXPECT_FALSE(other.Plug().IsClearActive());
  EXPECT_EQ(other.Plug().GetParam(Tonnik::kMidiLearn)->Value(), 0);
}

// Controller values on switch parameters snap to their positions.
TEST(TonnikMidiLearn, SwitchesFromControllerValues) {
  struct Row {
    int idx;
    int ccValue;
    double value;
  };
  const Row rows[] = {
      {Tonnik::kGlideMode, 0, 0},    {Tonnik::kGlideMode, 42, 0},  {Tonnik::kGlideMode, 43, 1},
      {Tonnik::kGlideMode, 64, 1},   {Tonnik::kGlideMode, 84, 1},  {Tonnik::kGlideMode, 85, 2},
      {Tonnik::kGlideMode, 127, 2},  {Tonnik::kMidiTune, 63, 0},   {Tonnik::kMidiTune, 64, 1},
      {Tonnik::kLongDecay, 63, 0},   {Tonnik::kLongDecay, 127, 1}, {Tonnik::kDriveEnv, 64, 1},
      {Tonnik::kDriveEnv, 0, 0},
  };
  for (const Row& row : rows) {
    TonnikRig rig;
    SCOPED_TRACE(std::string(rig.Plug().GetParam(row.idx)->GetNameForHost()) + " from " +
                 std::to_string(row.ccValue));
    rig.SetParamFromGUI(Tonnik::kMidiLearn, 1);
    rig.SetParamFromGUI(row.idx, 0);
    rig.ControlChange(7, row.ccValue);
    EXPECT_EQ(rig.Plug().GetParam(row.idx)->Value(), row.value);
  }
}

TEST(TonnikMidiLearn, GlideModeFromControllerReachesTheGlide) {
  TonnikRig rig;
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 1);
  rig.SetParamFromGUI(Tonnik::kGlideMode, 0);
  rig.ControlChange(9, 64);
  EXPECT_EQ(rig.Voice().glide.mode, 1);
  char text[64];
  rig.Plug().GetParam(Tonnik::kGlideMode)->GetDisplayForHost(text);
  EXPECT_STREQ(text, "Up");
}

TEST(TonnikMidiLearn, ControlChangesAreQueuedButPlayNothing) {
  TonnikRig rig;
  rig.ControlChange(1, 127, 10);
  rig.Render(512);
  for (int i = 0; i < 512; ++i) ASSERT_EQ(rig.Left()[i], 0.0);
}

}  // namespace
