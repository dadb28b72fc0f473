// The parameter table, the factory preset and the state chunk, including
// damaged and truncated chunks.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "TonnikFixture.h"

namespace {

// The names hosts show and automate by, in the order the state saves them:
// reordering breaks every saved song.
const char* const kNamesInStateOrder[] = {
    "Tone",       "Tune",       "Fine",     "Decay",   "Accent",   "MIDI Tune", "Long Decay",
    "MIDI Learn", "MIDI Clear", "Comp",     "Drive",   "Glide",    "Glide Mode", "DynDecay",
    "DynComp",    "DynDrive",   "DynTone",  "DynLevel", "DriveEnv",
};

// "Init": the fixed values, and the defaults where the preset leaves it open.
const double kInitValues[Tonnik::kNumParams] = {0.5, 0, 0, 0.5, 0.5, 0, 0, 0, 0, 0.5,
                                                0,   0, 0, 0,   0,   0, 0, 0, 0};

std::vector<double> ParamValues(Tonnik& plug) {
  std::vector<double> v;
  for (int i = 0; i < Tonnik::kNumParams; ++i) v.push_back(plug.GetParam(i)->Value());
  return v;
}

// Each parameter's value three quarters up its range: off its default everywhere.
std::vector<double> ThreeQuarterValues(Tonnik& plug) {
  std::vector<double> v;
  for (int i = 0; i < Tonnik::kNumParams; ++i) {
    double lo = 0, hi = 0;
    plug.GetParam(i)->GetBounds(&lo, &hi);
    v.push_back(lo + 0.75 * (hi - lo));
  }
  return v;
}

std::vector<int> ControllerMap(const Tonnik& plug) {
  std::vector<int> m;
  for (int i = 0; i < Tonnik::kNumParams; ++i) m.push_back(plug.GetController(i));
  return m;
}

// A state chunk built by hand, as a host or a damaged file could hand it in.
ByteChunk MakeState(const std::vector<int>& map, const std::vector<double>& values) {
  ByteChunk chunk;
  for (int cc : map) chunk.Put(&cc);
  for (double v : values) chunk.Put(&v);
  return chunk;
}

ByteChunk Truncated(const ByteChunk& chunk, int size) {
  ByteChunk cut;
  cut.PutBytes(chunk.GetBytes(), size);
  return cut;
}

// Learns a controller as a user does: learn on, touch the parameter, move
// the controller, learn off.
void Learn(TonnikRig& rig, int paramIdx, int cc) {
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 1);
  rig.SetParamFromGUI(paramIdx, rig.Plug().GetParam(paramIdx)->GetNormalized());
  rig.ControlChange(cc, 64);
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 0);
}

// What every row must hold whatever its values: hosts store names in 32
// bytes, defaults sit in range, the knob's steps land on both ends, switches
// are off/on switches, and the velocity amounts are symmetric around "none".
TEST(TonnikParams, TableKeepsItsPromises) {
  TonnikRig rig;
  ASSERT_EQ(rig.Plug().NParams(), Tonnik::kNumParams);
  ASSERT_EQ(sizeof kNamesInStateOrder / sizeof kNamesInStateOrder[0], size_t(Tonnik::kNumParams));
  for (int i = 0; i < Tonnik::kNumParams; ++i) {
    IParam* p = rig.Plug().GetParam(i);
    const std::string name = p->GetNameForHost();
    SCOPED_TRACE(name);
    EXPECT_EQ(name, kNamesInStateOrder[i]);
    EXPECT_LT(name.size(), 32u);
    EXPECT_STREQ(p->GetParamGroupForHost(), "");
    double lo = 0, hi = 0;
    p->GetBounds(&lo, &hi);
    EXPECT_EQ(p->Value(), p->GetDefault());
    EXPECT_GE(p->GetDefault(), lo);
    EXPECT_LE(p->GetDefault(), hi);
    const double steps = (hi - lo) / p->GetStep();
    EXPECT_NEAR(steps, std::round(steps), 1e-6);
    if (p->Type() != IParam::kKindDouble) {
      EXPECT_EQ(p->GetStep(), 1);
    }
    if (p->Type() == IParam::kKindBool) {
      EXPECT_EQ(lo, 0);
      EXPECT_EQ(hi, 1);
      EXPECT_EQ(p->GetDefault(), 0);
      EXPECT_STREQ(p->GetDisplayText(0), "off");
      EXPECT_STREQ(p->GetDisplayText(1), "on");
    }
    if (name.compare(0, 3, "Dyn") == 0) {
      EXPECT_EQ(lo, -hi);
      EXPECT_EQ(p->GetDefault(), 0);
    }
  }
  // The pitch controls in musical units: an octave of semitones, a semitone of cents.
  double lo = 0, hi = 0;
  rig.Plug().GetParam(Tonnik::kTune)->GetBounds(&lo, &hi);
  EXPECT_EQ(hi - lo, 24);
  rig.Plug().GetParam(Tonnik::kFine)->GetBounds(&lo, &hi);
  EXPECT_EQ(hi - lo, 200);
  EXPECT_STREQ(rig.Plug().GetParam(Tonnik::kGlide)->GetLabelForHost(), "s");
}

// Tools read the rows without constructing the instrument, so the rows must be
// exactly what a constructed instance exposes.
TEST(TonnikParams, RowsAreWhatTheInstrumentExposes) {
  TonnikRig rig;
  const IParam::EParamKind kinds[] = {IParam::kKindDouble, IParam::kKindInt, IParam::kKindBool};
  for (int i = 0; i < Tonnik::kNumParams; ++i) {
    const TonnikParamRow& row = kTonnikParams[i];
    ASSERT_NE(row.name, nullptr) << "row " << i;
    SCOPED_TRACE(row.name);
    IParam* p = rig.Plug().GetParam(i);
    double lo = 0, hi = 0;
    p->GetBounds(&lo, &hi);
    EXPECT_STREQ(p->GetNameForHost(), row.name);
    EXPECT_EQ(p->Type(), kinds[row.kind]);
    EXPECT_EQ(p->GetDefault(), row.defaultValue);
    EXPECT_EQ(lo, row.min);
    EXPECT_EQ(hi, row.max);
    EXPECT_EQ(p->GetStep(), row.step);
    EXPECT_EQ(p->GetShape(), row.shape);
    if (row.kind != TonnikParamRow::kBool) {
      EXPECT_STREQ(p->GetLabelForHost(), row.label);
      int n = 0;
      while (n < TonnikParamRow::kMaxDisplayTexts && row.displayTexts[n]) ++n;
      ASSERT_EQ(p->GetNDisplayTexts(), n);
      for (int t = 0; t < n; ++t) {
        int value = -1;
        EXPECT_STREQ(p->GetDisplayTextAtIdx(t, &value), row.displayTexts[t]);
        EXPECT_EQ(value, row.min + t);
      }
    }
    // Only the learn switches leave the sound alone; they have no ring either.
    EXPECT_EQ(row.toVoice == nullptr, row.role != TonnikParamRow::kSound);
    if (row.role != TonnikParamRow::kSound) {
      EXPECT_EQ(row.ring, Tonnik::kNoRing);
    }
  }
}

TEST(TonnikParams, GlideModeTextsAndDriveShape) {
  TonnikRig rig;
  IParam* mode = rig.Plug().GetParam(Tonnik::kGlideMode);
  ASSERT_EQ(mode->GetNDisplayTexts(), 3);
  const char* texts[] = {"Up/Down", "Up", "Down"};
  for (int v = 0; v < 3; ++v) {
    int value = -1;
    EXPECT_STREQ(mode->GetDisplayTextAtIdx(v, &value), texts[v]);
    EXPECT_EQ(value, v);
    char out[64];
    mode->GetDisplayForHost(v, false, out);
    EXPECT_STREQ(out, texts[v]);
  }
  // Drive spends more of its travel on the low end: half way is 0.5^1.5.
  IParam* drive = rig.Plug().GetParam(Tonnik::kDrive);
  drive->SetNormalized(0.5);
  EXPECT_DOUBLE_EQ(drive->Value(), std::pow(0.5, 1.5));
}

TEST(TonnikParams, Identity) {
  TonnikRig rig;
  Tonnik& plug = rig.Plug();
  EXPECT_STREQ(plug.GetEffectName(), "TONNIK-PRO");
  EXPECT_STREQ(plug.GetProductName(), "");
  EXPECT_STREQ(plug.GetMfrName(), "Velmora Rirevovizod");
  EXPECT_EQ(plug.GetEffectVersion(false), 0x00010101);
  EXPECT_EQ(plug.GetUniqueID(), ('T' << 24) | ('n' << 16) | ('k' << 8) | '4');
  EXPECT_EQ(plug.GetMfrID(), ('-' << 24) | ('V' << 16) | ('L' << 8) | '-');
  EXPECT_EQ(plug.GetLatency(), 0);
  EXPECT_TRUE(plug.DoesStateChunks());
  EXPECT_TRUE(plug.IsInst());
  EXPECT_EQ(plug.NInChannels(), 0);
  EXPECT_EQ(plug.NOutChannels(), 2);
  EXPECT_TRUE(plug.LegalIO(0, 1));
  EXPECT_TRUE(plug.LegalIO(0, 2));
  EXPECT_FALSE(plug.LegalIO(1, 2));
  EXPECT_EQ(plug.NPresets(), 1);
  EXPECT_STREQ(plug.GetPresetName(0), "Init");
  EXPECT_STREQ(plug.GetBundleID(), "com.velmora.audiounit.tonnik");
  EXPECT_STREQ(plug.GetCocoaViewFactoryClassName(), "Tonnik_View");
}

TEST(TonnikState, FreshInstanceSavesEmptyMapThenDefaults) {
  TonnikRig rig;
  ByteChunk chunk;
  ASSERT_TRUE(rig.Plug().SerializeState(&chunk));
  ASSERT_EQ(chunk.Size(), Tonnik::kStateBytes);
  ASSERT_EQ(chunk.Size(), 228);
  int pos = 0;
  for (int i = 0; i < Tonnik::kNumParams; ++i) {
    int cc = 0;
    pos = chunk.Get(&cc, pos);
    EXPECT_EQ(cc, -1) << i;
  }
  for (int i = 0; i < Tonnik::kNumParams; ++i) {
    double v = -99;
    pos = chunk.Get(&v, pos);
    EXPECT_EQ(v, rig.Plug().GetParam(i)->GetDefault()) << i;
  }
  EXPECT_EQ(pos, 228);
}

TEST(TonnikState, AppendsToWhatTheChunkHolds) {
  TonnikRig rig;
  ByteChunk chunk;
  const int header = 0x70666674;
  chunk.Put(&header);
  ASSERT_TRUE(rig.Plug().SerializeState(&chunk));
  EXPECT_EQ(chunk.Size(), 4 + 228);
  TonnikRig other;
  EXPECT_EQ(other.Plug().UnserializeState(&chunk, 4), 232);
}

TEST(TonnikState, LearnedControllerIsSavedAndRestored) {
  TonnikRig rig;
  Learn(rig, Tonnik::kDecay, 74);
  rig.SetParam(Tonnik::kTone, 0.25);
  ByteChunk chunk;
  ASSERT_TRUE(rig.Plug().SerializeState(&chunk));
  for (int i = 0; i < Tonnik::kNumParams; ++i) {
    int cc = 0;
    chunk.Get(&cc, 4 * i);
    EXPECT_EQ(cc, i == Tonnik::kDecay ? 74 : -1) << i;
  }

  TonnikRig restored;
  EXPECT_EQ(restored.Plug().UnserializeState(&chunk, 0), 228);
  EXPECT_EQ(ControllerMap(restored.Plug()), ControllerMap(rig.Plug()));
  EXPECT_EQ(ParamValues(restored.Plug()), ParamValues(rig.Plug()));
  EXPECT_EQ(restored.Voice().tone, 0.25);
  // The restored controller moves Decay.
  restored.ControlChange(74, 127);
  EXPECT_EQ(restored.Plug().GetParam(Tonnik::kDecay)->Value(), 1.0);
}

TEST(TonnikState, FactoryPresetRestoresParametersButNotTheMap) {
  TonnikRig rig;
  Learn(rig, Tonnik::kDrive, 21);
  for (int i = 0; i < Tonnik::kNumParams; ++i) {
    double lo = 0, hi = 0;
    rig.Plug().GetParam(i)->GetBounds(&lo, &hi);
    if (i != Tonnik::kMidiLearn && i != Tonnik::kMidiClear) rig.SetParam(i, hi);
  }
  const std::vector<int> map = ControllerMap(rig.Plug());

  ASSERT_TRUE(rig.Plug().RestorePreset(0));
  EXPECT_EQ(ControllerMap(rig.Plug()), map);
  EXPECT_EQ(rig.Plug().GetController(Tonnik::kDrive), 21);
  for (int i = 0; i < Tonnik::kNumParams; ++i)
    EXPECT_EQ(rig.Plug().GetParam(i)->Value(), kInitValues[i]) << i;
  EXPECT_EQ(rig.Voice().comp, 0.5);
  EXPECT_TRUE(rig.Plug().RestorePreset("Init"));
}

TEST(TonnikState, BareParameterBlockRestoresParametersOnly) {
  TonnikRig rig;
  Learn(rig, Tonnik::kTone, 30);
  std::vector<double> values(kInitValues, kInitValues + Tonnik::kNumParams);
  values[Tonnik::kTune] = 7;
  ByteChunk block = MakeState({}, values);
  ASSERT_EQ(block.Size(), 152);
  EXPECT_EQ(rig.Plug().UnserializeState(&block, 0), 152);
  EXPECT_EQ(rig.Plug().GetParam(Tonnik::kTune)->Value(), 7);
  EXPECT_EQ(rig.Plug().GetController(Tonnik::kTone), 30);
}

TEST(TonnikState, ControllerMapOnlyChunk) {
  TonnikRig rig;
  rig.SetParam(Tonnik::kTone, 0.9);
  rig.SetParam(Tonnik::kTune, -5);
  const std::vector<double> before = ParamValues(rig.Plug());
  std::vector<int> map(Tonnik::kNumParams, -1);
  map[Tonnik::kComp] = 12;
  ByteChunk chunk = MakeState(map, {});
  ASSERT_EQ(chunk.Size(), 76);
  EXPECT_LT(rig.Plug().UnserializeState(&chunk, 0), 0);
  EXPECT_EQ(ControllerMap(rig.Plug()), map);
  EXPECT_EQ(ParamValues(rig.Plug()), before);
}

// Every prefix of a saved state: the map entries that fit are restored, the
// parameters that fit are restored, the one cut short falls back to 0 held
// to its range, later ones stay; the result is negative.
TEST(TonnikState, EveryTruncationRestoresWhatFits) {
  // The source: learned controllers in both halves of the map's 8-byte
  // pairs (so the first bytes read as NaN and as subnormal doubles) and
  // non-default values everywhere.
  std::vector<int> srcMap(Tonnik::kNumParams, -1);
  srcMap[0] = 5;
  srcMap[3] = 74;
  srcMap[10] = 21;
  TonnikRig source;
  const std::vector<double> srcValues = ThreeQuarterValues(source.Plug());
  const ByteChunk full = MakeState(srcMap, srcValues);

  // Every other pair learned: no NaN among the first doubles at all.
  std::vector<int> oddMap(Tonnik::kNumParams, -1);
  for (int i = 1; i < Tonnik::kNumParams; i += 2) oddMap[i] = i + 40;
  const ByteChunk fullOdd = MakeState(oddMap, srcValues);

  for (const ByteChunk* src : {&full, &fullOdd}) {
    const std::vector<int>& map = (src == &full) ? srcMap : oddMap;
    for (int size = 0; size < Tonnik::kStateBytes; ++size) {
      SCOPED_TRACE(size);
      TonnikRig rig;
      rig.SetParam(Tonnik::kTune, -3);
      rig.SetParam(Tonnik::kDynLevel, -0.5);
      const std::vector<double> before = ParamValues(rig.Plug());
      std::vector<int> expectedMap = ControllerMap(rig.Plug());
      ByteChunk cut = Truncated(*src, size);
      ASSERT_LT(rig.Plug().UnserializeState(&cut, 0), 0);

      for (int i = 0; i < Tonnik::kNumParams && 4 * (i + 1) <= size; ++i) expectedMap[i] = map[i];
      EXPECT_EQ(ControllerMap(rig.Plug()), expectedMap);

      const int paramBytes = size - Tonnik::kControllerMapBytes;
      std::vector<double> expected = before;
      if (paramBytes > 0) {
        const int whole = paramBytes / 8;
        for (int i = 0; i < whole; ++i) expected[i] = srcValues[i];
        double lo = 0, hi = 0;
        rig.Plug().GetParam(whole)->GetBounds(&lo, &hi);
        expected[whole] = std::min(std::max(0.0, lo), hi);
      }
      EXPECT_EQ(ParamValues(rig.Plug()), expected);
    }
  }
}

TEST(TonnikState, NonFiniteValuesNeverReachTheVoice) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double bad[] = {nan, inf, -inf};
  for (double b : bad) {
    for (int at = 0; at < Tonnik::kNumParams; ++at) {
      SCOPED_TRACE(at);
      std::vector<double> values(kInitValues, kInitValues + Tonnik::kNumParams);
      values[at] = b;
      ByteChunk chunk = MakeState(std::vector<int>(Tonnik::kNumParams, -1), values);
      TonnikRig rig;
      EXPECT_LT(rig.Plug().UnserializeState(&chunk, 0), 0);
      for (int i = 0; i < Tonnik::kNumParams; ++i)
        ASSERT_TRUE(std::isfinite(rig.Plug().GetParam(i)->Value())) << i;
      const Krummel& v = rig.Voice();
      for (double field : {v.tone, v.tune, v.fine, v.level, v.decay, v.comp, v.drive, v.dynDecay,
                           v.dynComp, v.dynDrive, v.dynTone, v.dynLevel})
        EXPECT_TRUE(std::isfinite(field));
      EXPECT_TRUE(std::isfinite(v.glide.glideTime));
      // And the voice renders finite samples.
      rig.NoteOn(36, 127, 0);
      rig.Render(512);
      for (int i = 0; i < 512; ++i) ASSERT_TRUE(std::isfinite(rig.Left()[i])) << i;
    }
  }
}

TEST(TonnikState, OutOfRangeMapEntriesNeverMatch) {
  std::vector<int> map = {200, -5, 128, INT_MIN, INT_MAX, 255, -2, -1, -1, -1,
                          -1,  -1, -1,  -1,      -1,      -1,  -1, -1, -1};
  ByteChunk chunk = MakeState(map, std::vector<double>(kInitValues, kInitValues + Tonnik::kNumParams));
  TonnikRig rig;
  ASSERT_EQ(rig.Plug().UnserializeState(&chunk, 0), 228);
  const std::vector<double> before = ParamValues(rig.Plug());
  for (int cc = 0; cc < 128; ++cc) rig.ControlChange(cc, 127);
  // Bytes with the top bit set are not MIDI data and move nothing either.
  for (int cc : {128, 200, 255}) {
    IMidiMsg msg(0, 0xB0, static_cast<uint8_t>(cc), 127);
    rig.Plug().ProcessMidiMsg(&msg);
  }
  EXPECT_EQ(ParamValues(rig.Plug()), before);
  // Kept as read, so saving gives the same bytes back.
  ByteChunk saved;
  ASSERT_TRUE(rig.Plug().SerializeState(&saved));
  ASSERT_EQ(saved.Size(), 228);
  EXPECT_EQ(std::memcmp(saved.GetBytes(), chunk.GetBytes(), 76), 0);
  rig.Render(512);
}

TEST(TonnikState, NegativeStartPositionChangesNothing) {
  TonnikRig rig;
  ByteChunk chunk;
  ASSERT_TRUE(rig.Plug().SerializeState(&chunk));
  TonnikRig other;
  other.SetParam(Tonnik::kTone, 0.1);
  EXPECT_LT(other.Plug().UnserializeState(&chunk, -1), 0);
  EXPECT_EQ(other.Plug().GetParam(Tonnik::kTone)->Value(), 0.1);
}

}  // namespace
