// process() on the audio thread, with the instrument's VST 3 library linked
// in so that the test reaches the plug-in behind the interfaces. Allocations
// are counted by replacing the allocator for this program; sanitizer builds
// bring their own, so there the counting test is skipped.

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "support/CountingAllocator.h"
#include "tonnik/Tonnik.h"
#include "vst3/VST3Factory.h"
#include "vst3/VST3TestHost.h"

namespace {

const int kBlock = 512;
const vst3::ParamID kFirstController = IPluginVST3::kControllerParamBase;

Tonnik* PlugOf(HostedInstance& vst) { return static_cast<Tonnik*>(static_cast<IPluginVST3*>(vst.mComponent)); }

// One busy block's input: notes, automation points, a learned controller.
struct BusyBlock {
  int mFrames;
  ParamChanges mIn;
  EventList mEvents;
};

std::vector<BusyBlock> BusyBlocks() {
  const int lengths[] = {kBlock, 1, 7, kBlock, 64, 0};
  std::vector<BusyBlock> blocks(12);
  for (int b = 0; b < (int)blocks.size(); ++b) {
    const int n = lengths[b % 6];
    blocks[b].mFrames = n;
    blocks[b].mEvents.AddNoteOn(n ? (b * 37) % n : 0, 30 + b, 0.1f + b / 20.0f);
    blocks[b].mIn.Add(Tonnik::kTone, n / 2, (b % 10) / 10.0);
    blocks[b].mIn.Add(Tonnik::kGlideMode, 0, (b % 3) / 2.0);
    blocks[b].mIn.Add(kFirstController + 21, n ? n - 1 : 0, (b % 128) / 127.0);
  }
  return blocks;
}

TEST(VST3Realtime, ProcessAllocatesNothing) {
  if (!kCountingAllocator) GTEST_SKIP() << "sanitizer allocator";
  HostedInstance vst(VST3Factory(), 48000.0, kBlock);
  ASSERT_TRUE(vst.Ok());
  ParamChanges learn, out;
  learn.Add(Tonnik::kMidiLearn, 0, 1.0);
  learn.Add(Tonnik::kDrive, 1, 0.2);
  learn.Add(kFirstController + 21, 2, 0.5);
  learn.Add(Tonnik::kMidiLearn, 3, 0.0);
  vst.Process(kBlock, &learn);
  ASSERT_EQ(PlugOf(vst)->GetController(Tonnik::kDrive), 21);
  std::vector<BusyBlock> blocks = BusyBlocks();
  for (BusyBlock& b : blocks) vst.Process(b.mFrames, &b.mIn, &b.mEvents, &out);  // the host's lists grow

  vst3::AudioBusBuffers bus = {};
  std::vector<float> left(kBlock), right(kBlock);
  float* channels[2] = {left.data(), right.data()};
  bus.numChannels = 2;
  bus.channelBuffers32 = channels;
  ASSERT_TRUE(CountingAllocatorSeesAllocations());
  auto processRounds = [&](int rounds) {
    for (int round = 0; round < rounds; ++round) {
      for (BusyBlock& b : blocks) {
        out.ClearPoints();
        vst3::ProcessData data = {vst3::kRealtime, vst3::kSample32, b.mFrames, 0, 1, nullptr, &bus,
                                  &b.mIn, &out, &b.mEvents, nullptr, nullptr};
        vst.mProcessor->process(data);
      }
    }
  };
  {
    AllocationCounter counter;
    processRounds(100);
    EXPECT_EQ(counter.Count(), 0);
    EXPECT_EQ(counter.Frees(), 0);
  }
  EXPECT_FALSE(out.Find(Tonnik::kDrive)->mPoints.empty());
  // The first blocks after the host's reset, at a new rate.
  vst.mProcessor->setProcessing(false);
  vst.mComponent->setActive(false);
  vst3::ProcessSetup setup = {vst3::kRealtime, vst3::kSample32, kBlock, 96000.0};
  ASSERT_EQ(vst.mProcessor->setupProcessing(setup), vst3::kResultOk);
  vst.mComponent->setActive(true);
  vst.mProcessor->setProcessing(true);
  AllocationCounter afterReset;
  processRounds(5);
  EXPECT_EQ(afterReset.Count(), 0);
  EXPECT_EQ(afterReset.Frees(), 0);
}

TEST(VST3Realtime, ProcessNeverWaitsForThePluginMutexAndCatchesUpAfterwards) {
  HostedInstance vst(VST3Factory(), 48000.0, kBlock);
  ASSERT_TRUE(vst.Ok());
  std::promise<void> held, release;
  std::future<void> holder = std::async(std::launch::async, [&] {
    IPluginBase::IMutexLock lock(PlugOf(vst));
    held.set_value();
    release.get_future().wait();
  });
  held.get_future().wait();
  ParamChanges in;
  in.Add(Tonnik::kDecay, 0, 0.9);
  EventList notes;
  notes.AddNoteOn(10, 36, 0.8f);
  std::future<void> render = std::async(std::launch::async, [&] { vst.Process(kBlock, &in, &notes); });
  ASSERT_EQ(render.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  EXPECT_NE(vst.Out(0)[kBlock - 1], 0.0f);  // the note played
  EXPECT_EQ(PlugOf(vst)->GetParam(Tonnik::kDecay)->Value(), 0.5);  // the change waits
  release.set_value();
  holder.get();
  vst.Process(kBlock);
  EXPECT_EQ(PlugOf(vst)->GetParam(Tonnik::kDecay)->Value(), 0.9);
}

}  // namespace
