// Hostile and careless hosts: damaged state, missing features, odd block
// sizes, events out of order or out of the block, rates it cannot play. Each
// gets a clear status or log message and loses nothing.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "lv2/LV2Features.h"
#include "lv2/LilvRig.h"
#include "lv2/atom/atom.h"
#include "tonnik/Tonnik.h"

namespace {

const int kBlock = 512;

// Renders blocks of the given sizes with the given note-ons (frame counted
// from the start of the whole render) and returns the left channel.
std::vector<float> RenderInBlocks(LV2Instance& lv2, const std::vector<uint32_t>& sizes,
                                  const std::vector<std::pair<int, int>>& notes) {
  std::vector<float> out;
  uint32_t start = 0;
  for (uint32_t n : sizes) {
    for (const auto& note : notes)
      if ((uint32_t)note.first >= start && (uint32_t)note.first < start + n)
        lv2.Midi().AddNoteOn(note.first - start, note.second, 100);
    lv2.Run(n);
    out.insert(out.end(), lv2.Left().begin(), lv2.Left().end());
    EXPECT_EQ(lv2.Left(), lv2.Right());
    start += n;
  }
  return out;
}

std::vector<float> RenderInOneBlock(uint32_t n, const std::vector<std::pair<int, int>>& notes) {
  LV2Instance lv2;
  return RenderInBlocks(lv2, {n}, notes);
}

double Peak(const std::vector<float>& v) {
  double p = 0;
  for (float s : v) p = std::fmax(p, std::fabs(s));
  return p;
}

}  // namespace

TEST(LV2BadInput, AHostWithoutUridMapGetsNoInstanceAndIsToldWhy) {
  InstanceSetup setup;
  setup.withMap = false;
  LV2Instance lv2(setup);
  EXPECT_FALSE(lv2.Ok());
  EXPECT_TRUE(lv2.Log().Says("urid:map"));

  // Without a log either, the plug-in still refuses (and says so on stderr).
  setup.withLog = false;
  LV2Instance silent(setup);
  EXPECT_FALSE(silent.Ok());
}

TEST(LV2BadInput, EveryWrongStateIsRefusedAndTheCurrentStateKept) {
  LV2Instance lv2;
  ASSERT_TRUE(lv2.Ok());
  lv2.Control(Tonnik::kTone) = 0.8f;
  lv2.Control(Tonnik::kGlideMode) = 2;
  lv2.Run(kBlock);
  const std::vector<uint8_t> before = lv2.StateChunk();
  ASSERT_EQ(before.size(), (size_t)Tonnik::kStateBytes);

  std::vector<uint8_t> bytes(4 * Tonnik::kStateBytes, 0);
  for (size_t size = 0; size <= bytes.size(); ++size) {
    if (size == before.size()) continue;
    EXPECT_EQ(lv2.RestoreChunk(bytes.data(), size, LV2_ATOM__Chunk), LV2_STATE_ERR_UNKNOWN) << size;
  }
  for (const char* type : {LV2_ATOM__String, LV2_ATOM__Int, LV2_ATOM__Float, LV2_ATOM__Path, LV2_ATOM__Tuple})
    EXPECT_EQ(lv2.RestoreChunk(before.data(), before.size(), type), LV2_STATE_ERR_BAD_TYPE) << type;
  EXPECT_EQ(lv2.RestoreChunk(before.data(), before.size(), LV2_ATOM__Chunk, "urn:tonnik:not-the-state"),
            LV2_STATE_ERR_NO_PROPERTY);

  // Damaged parameter values: not a number, infinite, out of range.
  const double damage[] = {std::nan(""), INFINITY, -INFINITY, 3.0, -1e300};
  for (int param : {Tonnik::kTone, Tonnik::kGlideMode, Tonnik::kDriveEnv}) {
    for (double bad : damage) {
      std::vector<uint8_t> damaged = before;
      std::memcpy(damaged.data() + Tonnik::kControllerMapBytes + 8 * param, &bad, 8);
      EXPECT_EQ(lv2.RestoreChunk(damaged.data(), damaged.size(), LV2_ATOM__Chunk), LV2_STATE_ERR_UNKNOWN)
          << param << " " << bad;
    }
  }
  lv2.Run(kBlock);
  EXPECT_EQ(lv2.StateChunk(), before);

  // A good state from another instance is taken, with the port values a
  // host restores beside it.
  LV2Instance other;
  other.Control(Tonnik::kDecay) = 0.1f;
  other.Run(kBlock);
  const std::vector<uint8_t> good = other.StateChunk();
  EXPECT_EQ(lv2.RestoreChunk(good.data(), good.size(), LV2_ATOM__Chunk), LV2_STATE_SUCCESS);
  for (int i = 0; i < Tonnik::kNumParams; ++i) lv2.Control(i) = other.Control(i);
  lv2.Run(kBlock);
  EXPECT_EQ(lv2.StateChunk(), good);
}

TEST(LV2BadInput, BlocksOfOneFrameAndBlocksAboveTheMaximumRenderTheSameSamples) {
  const std::vector<std::pair<int, int>> notes = {{0, 36}, {1, 40}, {700, 33}, {1500, 45}, {2047, 36}};
  const std::vector<float> whole = RenderInOneBlock(2048, notes);
  ASSERT_GT(Peak(whole), 0.01);

  LV2Instance frames;
  EXPECT_EQ(RenderInBlocks(frames, std::vector<uint32_t>(2048, 1), notes), whole);

  // The host announced 64 frames at most, then runs far longer blocks.
  InstanceSetup small;
  small.maxBlock = 64;
  small.nominalBlock = 64;
  LV2Instance over(small);
  EXPECT_EQ(RenderInBlocks(over, {2048}, notes), whole);

  // No bounds announced at all, odd lengths, and an empty run in between.
  InstanceSetup none;
  none.maxBlock = 0;
  none.nominalBlock = 0;
  LV2Instance unbounded(none);
  EXPECT_EQ(RenderInBlocks(unbounded, {3, 0, 997, 1000, 48}, notes), whole);
}

TEST(LV2BadInput, EventsOutOfOrderOrOutsideTheBlockPlayWithoutLoss) {
  // A note after one with a later time plays with it; one past the block on
  // its last frame; one before the block on its first.
  LV2Instance lv2;
  lv2.Midi().AddNoteOn(300, 36, 100);
  lv2.Midi().AddNoteOn(100, 40, 100);
  lv2.Midi().AddNoteOn(9999, 45, 100);
  lv2.Run(kBlock);
  const std::vector<float> messy = lv2.Left();
  LV2Instance tidy;
  tidy.Midi().AddNoteOn(300, 36, 100);
  tidy.Midi().AddNoteOn(300, 40, 100);
  tidy.Midi().AddNoteOn(511, 45, 100);
  tidy.Run(kBlock);
  EXPECT_EQ(messy, tidy.Left());

  LV2Instance early;
  early.Midi().AddNoteOn(-40, 36, 100);
  early.Run(kBlock);
  EXPECT_EQ(early.Left(), RenderInOneBlock(kBlock, {{0, 36}}));
}

TEST(LV2BadInput, ASequenceWhoseUnitFieldWasNeverSetStillPlaysInFrames) {
  // Ardour 7 leaves the unit field of its MIDI input as the allocator left
  // it; only beat time may move the notes to the block's start.
  LV2Instance unset;
  unset.Midi().AddNoteOn(300, 36, 100);
  unset.Midi().Get()->body.unit = 21879;
  unset.Run(kBlock);
  EXPECT_EQ(unset.Left(), RenderInOneBlock(kBlock, {{300, 36}}));
}

TEST(LV2BadInput, EventsThatAreNotNoteOnsOrAreBrokenChangeNothing) {
  LV2Instance lv2;
  MidiSequence& midi = lv2.Midi();
  UridMap& map = LilvBundle::Get().Map();
  const float f = 1.0f;
  midi.AddEvent(0, map.Map(LV2_ATOM__Float), &f, sizeof f);      // not MIDI
  const uint8_t one[1] = {0x90};
  midi.AddEvent(1, midi.MidiType(), one, 1);                    // truncated
  const uint8_t two[2] = {0x90, 36};
  midi.AddEvent(2, midi.MidiType(), two, 2);                    // truncated note-on
  const uint8_t sysex[6] = {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  midi.AddEvent(3, midi.MidiType(), sysex, sizeof sysex);       // system exclusive
  midi.AddMidi(4, 0x90, 0x80 | 36, 100);                        // data byte with bit 7
  midi.AddMidi(5, 0x90, 36, 0);                                 // velocity 0
  midi.AddMidi(6, 0x80, 36, 100);                               // note-off
  midi.AddMidi(7, 0xE0, 0, 64);                                 // pitch wheel
  midi.AddEvent(8, midi.MidiType(), nullptr, 0);                // empty
  lv2.Run(kBlock);
  EXPECT_EQ(Peak(lv2.Left()), 0.0);

  // A sequence whose last event claims more bytes than the sequence holds:
  // the events before it play, the damaged one is not read.
  LV2Instance damaged;
  damaged.Midi().AddNoteOn(10, 36, 100);
  damaged.Midi().AddNoteOn(20, 40, 100);
  LV2_Atom_Sequence* seq = damaged.Midi().Get();
  LV2_Atom_Event* last = reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<uint8_t*>(&seq->body) +
                                                           sizeof(LV2_Atom_Sequence_Body) + sizeof(LV2_Atom_Event) + 8);
  last->body.size = 1u << 30;
  damaged.Run(kBlock);
  EXPECT_EQ(damaged.Left(), RenderInOneBlock(kBlock, {{10, 36}}));

  // More events in one block than the instrument's queue holds: no crash,
  // the first ones play.
  LV2Instance flood;
  for (int i = 0; i < 4000; ++i) flood.Midi().AddNoteOn(i % kBlock, 36, 100);
  flood.Run(kBlock);
  EXPECT_GT(Peak(flood.Left()), 0.01);
}

TEST(LV2BadInput, RatesItCannotPlayAreRefusedWithTheReasonAndAllOthersPlay) {
  for (double rate : {7999.0, 384001.0}) {
    InstanceSetup odd;
    odd.rate = rate;
    LV2Instance refused(odd);
    EXPECT_FALSE(refused.Ok()) << rate;
    EXPECT_TRUE(refused.Log().Says(rate == 7999.0 ? "7999 Hz" : "384001 Hz")) << rate;
  }
  for (double rate : {8000.0, 22050.0, 32000.0, 44100.0, 88200.0, 176400.0, 192000.0, 384000.0}) {
    InstanceSetup fine;
    fine.rate = rate;
    LV2Instance played(fine);
    ASSERT_TRUE(played.Ok()) << rate;
    played.Midi().AddNoteOn(0, 36, 127);
    played.Run(kBlock);
    EXPECT_GT(Peak(played.Left()), 0.01) << rate;
    EXPECT_TRUE(played.Log().Messages().empty()) << rate;
  }
}

TEST(LV2BadInput, UnconnectedOutputsAreNeverWrittenAndTwoInstancesShareNothing) {
  LV2Instance quiet;
  quiet.DisconnectOutputs();
  quiet.Midi().AddNoteOn(0, 36, 100);
  quiet.Run(kBlock);  // renders into its own scratch
  EXPECT_EQ(Peak(quiet.Left()), 0.0);

  // Interleaved with a second instance that plays other notes, each renders
  // what it would alone.
  const std::vector<float> aloneA = RenderInOneBlock(4 * kBlock, {{0, 36}, {900, 40}});
  const std::vector<float> aloneB = RenderInOneBlock(4 * kBlock, {{5, 29}});
  LV2Instance a, b;
  std::vector<float> outA, outB;
  for (int blk = 0; blk < 4; ++blk) {
    if (blk == 0) a.Midi().AddNoteOn(0, 36, 100);
    if (blk == 1) a.Midi().AddNoteOn(900 - kBlock, 40, 100);
    if (blk == 0) b.Midi().AddNoteOn(5, 29, 100);
    if (blk == 2) b.Control(Tonnik::kDecay) = 0.5f;  // unchanged value: no change
    a.Run(kBlock);
    b.Run(kBlock);
    outA.insert(outA.end(), a.Left().begin(), a.Left().end());
    outB.insert(outB.end(), b.Left().begin(), b.Left().end());
  }
  EXPECT_EQ(outA, aloneA);
  EXPECT_EQ(outB, aloneB);
}

TEST(LV2BadInput, FeaturesAreFoundByTheirURIAndMissingOnesReadAsNull) {
  int first = 1, second = 2;
  const LV2_Feature unnamed = {nullptr, &first}, a = {"urn:a", &first}, again = {"urn:a", &second};
  const LV2_Feature* const features[] = {&unnamed, &a, &again, nullptr};
  EXPECT_EQ(LV2FeatureData(nullptr, "urn:a"), nullptr);
  EXPECT_EQ(LV2FeatureData(features, "urn:b"), nullptr);
  EXPECT_EQ(LV2FeatureData(features, "urn:a"), &second);  // the last one passed
}
