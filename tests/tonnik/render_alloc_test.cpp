// The render path allocates nothing and takes no lock. Allocations are
// counted by replacing operator new and the C allocator for this program
// (glibc's own entry points do the work); sanitizer builds bring their own
// allocator, so there the counting test is skipped.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <future>
#include <new>

#include "TonnikFixture.h"
#include "support/CountingAllocator.h"

namespace {

// Many blocks with hits, late notes, controller moves of a learned
// parameter and trigger presses.
void RenderBusyBlocks(TonnikRig& rig, int blocks) {
  for (int b = 0; b < blocks; ++b) {
    rig.NoteOn(30 + b % 40, 1 + b % 127, (b * 37) % 512);
    rig.NoteOn(36, 100, 600);
    if (b % 3 == 0) rig.ControlChange(21, b % 128, b % 512);
    if (b % 7 == 0) rig.Plug().TriggerFromEditor();
    rig.Render(512);
  }
}

TEST(TonnikRealtime, RenderingAllocatesNothing) {
  if (!kCountingAllocator) GTEST_SKIP() << "sanitizer allocator";
  TonnikRig rig(48000, 512);
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 1);
  rig.SetParamFromGUI(Tonnik::kDrive, 0.2);
  rig.ControlChange(21, 10);
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 0);
  RenderBusyBlocks(rig, 4);  // settles the queue

  // The counter must see allocations, or a zero proves nothing.
  ASSERT_TRUE(CountingAllocatorSeesAllocations());
  AllocationCounter counter;
  RenderBusyBlocks(rig, 2000);
  EXPECT_EQ(counter.Count(), 0);
}

TEST(TonnikRealtime, RenderingTakesNoLock) {
  TonnikRig rig(48000, 512);
  std::future<void> render;
  {
    // The editor or a state save holding the plug-in mutex must not stall
    // the render thread.
    IPluginBase::IMutexLock lock(&rig.Plug());
    render = std::async(std::launch::async, [&rig] {
      for (int b = 0; b < 200; ++b) {
        rig.NoteOn(36, 100, (b * 61) % 700);
        rig.Render(512);
      }
    });
    // The editor's trigger button presses meanwhile, also without a lock.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (render.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready &&
           std::chrono::steady_clock::now() < deadline)
      rig.Plug().TriggerFromEditor();
    EXPECT_EQ(render.wait_for(std::chrono::seconds(0)), std::future_status::ready);
  }
  render.wait();
}

// A host rendering through fast dispatch while its main thread changes
// parameters, resets and presses the trigger: the voice is only touched by
// the render thread (the thread sanitizer build checks it) and stays sound.
TEST(TonnikRealtime, ParameterChangesWhileRendering) {
  TonnikRig rig(48000, 512);
  std::atomic<bool> bad{false};
  std::future<void> render = std::async(std::launch::async, [&rig, &bad] {
    for (int b = 0; b < 400; ++b) {
      rig.NoteOn(36 + b % 12, 100, (b * 61) % 512);
      rig.Render(512);
      for (int i = 0; i < 512; ++i)
        if (!std::isfinite(rig.Left()[i])) bad = true;
    }
  });
  for (int n = 0; render.wait_for(std::chrono::microseconds(200)) != std::future_status::ready; ++n) {
    rig.SetParam(Tonnik::kTone, (n % 100) / 100.0);
    rig.SetParam(Tonnik::kDrive, (n % 37) / 37.0);
    rig.SetParam(Tonnik::kGlide, (n % 10) / 10.0);
    rig.SetParam(Tonnik::kDynComp, (n % 21) / 10.0 - 1);
    if (n % 50 == 0) rig.Plug().OnHostReset();
    if (n % 70 == 0) rig.Plug().Reset();
    if (n % 30 == 0) rig.Plug().TriggerFromEditor();
  }
  render.get();
  EXPECT_FALSE(bad);
}

}  // namespace
