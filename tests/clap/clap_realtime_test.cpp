// process() on the audio thread allocates nothing, whatever the host sends
// (notes in both dialects, a learned controller, parameter values, blocks
// from zero frames to the announced maximum, editor news to deliver).
// Allocations are counted by replacing the allocator for this program;
// sanitizer builds bring their own, so there the test is skipped.

#include <gtest/gtest.h>

#include "clap/CLAPEntry.h"
#include "clap/CLAPTestHost.h"
#include "clap/IPluginCLAP.h"
#include "support/CountingAllocator.h"
#include "tonnik/Tonnik.h"

extern "C" const clap_plugin_entry_t clap_entry;

namespace {

const uint32_t kMaxBlock = 512;
const uint32_t kLengths[] = {kMaxBlock, 1, 0, 7, 300, 64};
const int kKinds = 6;

TEST(CLAPRealtime, ProcessAllocatesNothing) {
  if (!kCountingAllocator) GTEST_SKIP() << "sanitizer allocator";
  CLAPTestHost host(&clap_entry);
  const clap_plugin_t* p = host.Create();
  ASSERT_TRUE(p && p->activate(p, 48000.0, 1, kMaxBlock));
  p->start_processing(p);
  IPluginCLAP* plug = CLAPPluginOf(p);
  // Learn controller 21 for Drive.
  CLAPEventList learn, cc, none;
  learn.Param(0, Tonnik::kMidiLearn, 1.0);
  host.Process(p, kMaxBlock, learn);
  plug->SetParameterFromGUI(Tonnik::kDrive, 0.2);
  cc.Midi(0, 0xB0, 21, 10);
  cc.Param(1, Tonnik::kMidiLearn, 0.0);
  host.Process(p, kMaxBlock, cc);

  CLAPEventList busy[kKinds];
  for (int k = 0; k < kKinds; ++k) {
    const uint32_t n = kLengths[k] ? kLengths[k] : 1;
    busy[k].Note((k * 37) % n, 30 + k, k / 5.0);
    busy[k].Midi(n / 2, 0x90, 40, 100);
    busy[k].Param(n / 3, Tonnik::kTone, k / 10.0);
    busy[k].Midi(n - 1, 0xB0, 21, (uint8_t)(k * 20));
    busy[k].Param(n - 1, Tonnik::kGlideMode, k % 3);
    busy[k].Note(n + 100, 36, 1.0);
  }
  for (int b = 0; b < 2 * kKinds; ++b) host.Process(p, kLengths[b % kKinds], busy[b % kKinds]);
  ASSERT_EQ(static_cast<Tonnik*>(plug)->GetController(Tonnik::kDrive), 21);
  host.mSent.reserve(host.mSent.size() + 100000);

  ASSERT_TRUE(CountingAllocatorSeesAllocations());
  {
    AllocationCounter counter;
    for (int b = 0; b < 1200; ++b) {
      // News from the editor on the way, every few blocks.
      if (b % 10 == 0) plug->InformHostOfParamChange(Tonnik::kDecay, 0.5);
      host.Process(p, kLengths[b % kKinds], busy[b % kKinds]);
    }
    host.Process(p, kMaxBlock, none);
    EXPECT_EQ(counter.Count(), 0);
    EXPECT_EQ(counter.Frees(), 0);
  }
  // The first blocks after the host's reset, at a new rate.
  p->stop_processing(p);
  p->deactivate(p);
  ASSERT_TRUE(p->activate(p, 96000.0, 1, kMaxBlock));
  p->start_processing(p);
  AllocationCounter afterReset;
  for (int b = 0; b < 60; ++b) host.Process(p, kLengths[b % kKinds], busy[b % kKinds]);
  EXPECT_EQ(afterReset.Count(), 0);
  EXPECT_EQ(afterReset.Frees(), 0);
}

}  // namespace
