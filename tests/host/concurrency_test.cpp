// A host's main thread changing parameters and restoring state while its
// render thread renders: the output stays sound, and under ThreadSanitizer
// (make check-thread) no access races.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "au/apple/FourCC.h"
#include "host/AUHost.h"
#include "tonnik/TonnikEntry.h"

namespace {

const ComponentDescription kInstrument = {kAudioUnitType_MusicDevice, MakeFourCC("Tnk4"), MakeFourCC("-VL-"), 0, 0};
const int kBlocks = 500;
const UInt32 kFrames = 32;
const int kRounds = 500;

struct Ranges {
  std::vector<AudioUnitParameterID> ids;
  std::vector<AUHostParamInfo> infos;
};

Ranges ReadRanges(AUHost& host) {
  Ranges r;
  EXPECT_EQ(noErr, host.GetParameterList(&r.ids));
  for (AudioUnitParameterID id : r.ids) {
    AUHostParamInfo info;
    EXPECT_EQ(noErr, host.GetParameterInfo(id, &info));
    r.infos.push_back(info);
  }
  return r;
}

// Renders kBlocks blocks with a note every 20 blocks; counts bad samples.
int RenderWhile(AUHost& host, const std::atomic<bool>& otherDone, int* blocksRendered) {
  std::vector<float> left(kFrames), right(kFrames);
  int bad = 0;
  int block = 0;
  for (; block < kBlocks || !otherDone.load(); ++block) {
    if (block % 20 == 0) host.SendMidi(0x90, (UInt8)(30 + block % 40), 100, (UInt32)(block % kFrames));
    float* out[2] = {left.data(), right.data()};
    if (host.Render(kFrames, out, 2) != noErr) ++bad;
    for (UInt32 i = 0; i < kFrames; ++i)
      if (!std::isfinite(out[0][i]) || out[0][i] != out[1][i]) ++bad;
  }
  *blocksRendered = block;
  return bad;
}

class Concurrency : public testing::TestWithParam<bool> {
protected:
  void SetUp() override {
    ASSERT_EQ(noErr, host.Open());
    ASSERT_EQ(noErr, host.Prepare(48000, kFrames, 2));
    // Real hosts render through the fast-dispatch procedure, without the lock.
    if (GetParam()) {
      ASSERT_EQ(noErr, host.UseFastRender(true));
    }
  }

  AUHost host{Tonnik_Entry, kInstrument};
};

TEST_P(Concurrency, EveryParameterSetWhileRendering) {
  const Ranges ranges = ReadRanges(host);
  std::atomic<bool> done{false};
  std::atomic<int> failedSets{0};
  std::thread setter([&] {
    for (int round = 0; round < kRounds; ++round)
      for (size_t p = 0; p < ranges.ids.size(); ++p) {
        const AUHostParamInfo& info = ranges.infos[p];
        const float t = (float)((round * 7 + (int)p) % 11) / 10.0f;
        if (host.SetParameter(info.id, info.minValue + t * (info.maxValue - info.minValue)) != noErr) ++failedSets;
      }
    done = true;
  });
  int blocks = 0;
  const int bad = RenderWhile(host, done, &blocks);
  setter.join();
  EXPECT_EQ(0, bad);
  EXPECT_EQ(0, failedSets.load());
  EXPECT_GE(blocks, kBlocks);
}

TEST_P(Concurrency, StateRestoredWhileRendering) {
  const Ranges ranges = ReadRanges(host);
  for (size_t p = 0; p < ranges.ids.size(); ++p) host.SetParameter(ranges.ids[p], ranges.infos[p].maxValue);
  CFPropertyListRef loud = nullptr;
  ASSERT_EQ(noErr, host.GetClassInfo(&loud));
  for (size_t p = 0; p < ranges.ids.size(); ++p) host.SetParameter(ranges.ids[p], ranges.infos[p].minValue);
  CFPropertyListRef quiet = nullptr;
  ASSERT_EQ(noErr, host.GetClassInfo(&quiet));

  std::atomic<bool> done{false};
  std::atomic<int> failedRestores{0};
  std::thread restorer([&] {
    for (int round = 0; round < 100; ++round)
      if (host.SetClassInfo(round % 2 ? loud : quiet) != noErr) ++failedRestores;
    done = true;
  });
  int blocks = 0;
  const int bad = RenderWhile(host, done, &blocks);
  restorer.join();
  EXPECT_EQ(0, bad);
  EXPECT_EQ(0, failedRestores.load());
  // The last restore wins whole.
  for (size_t p = 0; p < ranges.ids.size(); ++p) {
    float value = NAN;
    ASSERT_EQ(noErr, host.GetParameter(ranges.ids[p], &value));
    EXPECT_EQ(ranges.infos[p].maxValue, value) << ranges.infos[p].name;
  }
  CFRelease(loud);
  CFRelease(quiet);
}

INSTANTIATE_TEST_SUITE_P(EntryAndFastRender, Concurrency, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "fast" : "entry"; });

}  // namespace
