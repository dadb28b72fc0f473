// The instrument as an Audio Unit, on its render thread: whatever the host
// did before (first render, Reset, a new sample rate, a state restore, a
// preset, parameters and MIDI every block), the render-thread calls allocate
// and free nothing, through the entry and through fast dispatch. And a host
// Reset gives exactly what a newly opened unit renders. Allocations are
// counted by replacing the allocator for this program; sanitizer builds
// bring their own, so there the counting test is skipped.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "au/apple/FourCC.h"
#include "host/AUHost.h"
#include "support/CountingAllocator.h"
#include "tonnik/TonnikEntry.h"
#include "tonnik/TonnikParams.h"

namespace {

const ComponentDescription kInstrument = {kAudioUnitType_MusicDevice, MakeFourCC("Tnk4"), MakeFourCC("-VL-"), 0, 0};
const UInt32 kFrames = 256;

class Unit {
public:
  Unit(bool fast, double rate = 48000) : mLeft(kFrames), mRight(kFrames) {
    EXPECT_EQ(noErr, mHost.Open());
    EXPECT_EQ(noErr, mHost.Prepare(rate, kFrames, 2));
    EXPECT_EQ(noErr, mHost.UseFastRender(fast));
  }
  AUHost& Host() { return mHost; }
  // One block; its samples land in Left().
  void Render() {
    float* out[2] = {mLeft.data(), mRight.data()};
    EXPECT_EQ(noErr, mHost.Render(kFrames, out, 2));
  }
  const std::vector<float>& Left() const { return mLeft; }

private:
  AUHost mHost{Tonnik_Entry, kInstrument};
  std::vector<float> mLeft, mRight;
};

// What a render thread does in a busy stretch: a note, an automated
// parameter and a controller every block, then the render call.
void BusyBlocks(Unit& unit, int blocks) {
  for (int b = 0; b < blocks; ++b) {
    unit.Host().SendMidi(0x90, (UInt8)(30 + b % 40), (UInt8)(1 + b % 127), (UInt32)((b * 37) % kFrames));
    unit.Host().SendMidi(0xB0, 21, (UInt8)(b % 128), kFrames - 1);
    unit.Host().SetParameter(TonnikParamIndices::kTone, (float)(b % 100) / 100.0f, (UInt32)(b % kFrames));
    unit.Render();
  }
}

class AURealtime : public testing::TestWithParam<bool> {};

TEST_P(AURealtime, RenderThreadAllocatesNothingAfterAnyHostCall) {
  if (!kCountingAllocator) GTEST_SKIP() << "sanitizer allocator";
  ASSERT_TRUE(CountingAllocatorSeesAllocations());
  Unit unit(GetParam());
  // Learn controller 21 for Drive, so the busy blocks move a parameter too.
  unit.Host().SetParameter(TonnikParamIndices::kMidiLearn, 1);
  unit.Host().SetParameter(TonnikParamIndices::kDrive, 0.3f);
  unit.Host().SendMidi(0xB0, 21, 40, 0);
  unit.Host().SetParameter(TonnikParamIndices::kMidiLearn, 0);

  CFPropertyListRef saved = nullptr;
  ASSERT_EQ(noErr, unit.Host().GetClassInfo(&saved));
  const std::vector<std::pair<const char*, std::function<void()>>> calls = {
      {"first render", [] {}},
      {"Reset", [&] { EXPECT_EQ(noErr, unit.Host().Reset()); }},
      {"a new sample rate", [&] { EXPECT_EQ(noErr, unit.Host().SetSampleRate(96000)); }},
      {"a state restore", [&] { EXPECT_EQ(noErr, unit.Host().SetClassInfo(saved)); }},
      {"a factory preset", [&] { EXPECT_EQ(noErr, unit.Host().SelectPreset(0)); }},
      {"a rate it did not play before", [&] { EXPECT_EQ(noErr, unit.Host().SetSampleRate(22050)); }},
  };
  for (const auto& [what, call] : calls) {
    call();
    AllocationCounter counter;
    BusyBlocks(unit, 40);
    EXPECT_EQ(counter.Count(), 0) << "allocations after " << what;
    EXPECT_EQ(counter.Frees(), 0) << "frees after " << what;
  }
  CFRelease(saved);
}

// A ringing hit, then Reset: silence until the next note, and that note
// sounds exactly as on a unit opened just now with the same settings.
TEST_P(AURealtime, ResetRendersWhatANewUnitRenders) {
  const std::pair<AudioUnitParameterID, float> settings[] = {
      {TonnikParamIndices::kDecay, 0.9f}, {TonnikParamIndices::kGlide, 0.05f}, {TonnikParamIndices::kDriveEnv, 1},
      {TonnikParamIndices::kComp, 0.4f},  {TonnikParamIndices::kDynDrive, 0.7f}, {TonnikParamIndices::kMidiTune, 1}};
  Unit used(GetParam()), fresh(GetParam());
  for (Unit* unit : {&used, &fresh})
    for (const auto& [id, value] : settings) unit->Host().SetParameter(id, value);

  used.Host().SendMidi(0x90, 48, 127, 3);
  for (int b = 0; b < 5; ++b) used.Render();
  ASSERT_NE(used.Left()[kFrames - 1], 0.0f) << "the hit should still ring";
  ASSERT_EQ(noErr, used.Host().Reset());
  for (int b = 0; b < 3; ++b) {
    used.Render();
    for (float s : used.Left()) ASSERT_EQ(s, 0.0f) << "sound after Reset in block " << b;
  }

  for (Unit* unit : {&used, &fresh}) unit->Host().SendMidi(0x90, 36, 90, 17);
  for (int b = 0; b < 20; ++b) {
    used.Render();
    fresh.Render();
    ASSERT_EQ(used.Left(), fresh.Left()) << "block " << b;
  }
}

INSTANTIATE_TEST_SUITE_P(EntryAndFastDispatch, AURealtime, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& p) { return p.param ? "FastDispatch" : "Entry"; });

}  // namespace
