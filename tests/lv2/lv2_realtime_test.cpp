// run() on the audio thread: it allocates nothing, whatever the host sends
// (port changes, notes, learned controllers, long and one-frame blocks), and
// never waits for the plug-in mutex. The instrument's LV2 library is linked
// in, so the test reaches the instance behind the handle. Allocations are
// counted by replacing the allocator for this program; sanitizer builds
// bring their own, so there the counting test is skipped.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <new>
#include <vector>

#include "lv2/IPluginLV2.h"
#include "lv2/LV2Entry.h"
#include "lv2/LV2TestHost.h"
#include "lv2/state/state.h"
#include "support/CountingAllocator.h"
#include "tonnik/Tonnik.h"


namespace {

const int kBlock = 512;
const int kControls = Tonnik::kNumParams;

// The one property a state holds, as a host keeps it.
struct SavedState {
  std::vector<uint8_t> bytes;
  uint32_t key = 0, type = 0;
  static LV2_State_Status Store(LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type,
                                uint32_t) {
    auto* self = static_cast<SavedState*>(h);
    self->bytes.assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
    self->key = key;
    self->type = type;
    return LV2_STATE_SUCCESS;
  }
  static const void* Retrieve(LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
    auto* self = static_cast<SavedState*>(h);
    if (key != self->key) return nullptr;
    *size = self->bytes.size();
    *type = self->type;
    *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return self->bytes.data();
  }
};

// One instance through the descriptor, with its port buffers.
class Instance {
public:
  explicit Instance(int maxBlock)
      : mOptions(mMap, maxBlock, maxBlock), mFeatures(&mMap, &mLog, &mOptions), mMidi(mMap), mOut(2, std::vector<float>(1 << 14)) {
    const LV2_Descriptor* d = LV2Descriptor(0);
    mHandle = d->instantiate(d, 48000.0, TONNIK_LV2_BUNDLE "/", mFeatures.Get());
    if (!mHandle) return;
    for (int i = 0; i < kControls; ++i) {
      mControls[i] = (float)Plug()->GetParam(i)->GetDefault();
      d->connect_port(mHandle, i, &mControls[i]);
    }
    d->connect_port(mHandle, kControls, mMidi.Get());
    d->connect_port(mHandle, kControls + 1, mOut[0].data());
    d->connect_port(mHandle, kControls + 2, mOut[1].data());
    d->activate(mHandle);
  }
  ~Instance() {
    if (!mHandle) return;
    LV2Descriptor(0)->deactivate(mHandle);
    LV2Descriptor(0)->cleanup(mHandle);
  }
  bool Ok() const { return mHandle != nullptr; }
  Tonnik* Plug() { return static_cast<Tonnik*>(static_cast<IPluginLV2*>(mHandle)); }
  // What a host does to reset an instance.
  void Reactivate() {
    LV2Descriptor(0)->deactivate(mHandle);
    LV2Descriptor(0)->activate(mHandle);
  }
  // Saves the state through the state interface and restores it at once.
  LV2_State_Status SaveAndRestoreState() {
    const auto* state = static_cast<const LV2_State_Interface*>(LV2Descriptor(0)->extension_data(LV2_STATE__interface));
    SavedState saved;
    const LV2_State_Status stored =
        state->save(mHandle, SavedState::Store, &saved, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, mFeatures.Get());
    if (stored != LV2_STATE_SUCCESS) return stored;
    return state->restore(mHandle, SavedState::Retrieve, &saved, 0, mFeatures.Get());
  }
  float& Control(int i) { return mControls[i]; }
  MidiSequence& Midi() { return mMidi; }
  void Run(uint32_t n) {
    LV2Descriptor(0)->run(mHandle, n);
    mMidi.Clear();
  }
  const float* Left() const { return mOut[0].data(); }

private:
  UridMap mMap;
  LogCapture mLog;
  HostOptions mOptions;
  HostFeatures mFeatures;
  MidiSequence mMidi;
  std::vector<std::vector<float>> mOut;
  float mControls[kControls] = {};
  LV2_Handle mHandle = nullptr;
};

// Busy blocks: notes, a learned controller, port changes, block lengths
// from one frame to far above the announced maximum.
void RunBusyBlocks(Instance& lv2, int blocks) {
  const uint32_t lengths[] = {kBlock, 1, 7, 3 * kBlock + 5, kBlock, 64};
  for (int b = 0; b < blocks; ++b) {
    const uint32_t n = lengths[b % 6];
    lv2.Midi().AddNoteOn((b * 37) % n, 30 + b % 40, 1 + b % 127);
    lv2.Midi().AddMidi(n - 1, 0xB0, 21, (uint8_t)(b % 128));
    lv2.Midi().AddNoteOn(n + 100, 36, 100);
    lv2.Control(Tonnik::kTone) = (b % 100) / 100.0f;
    lv2.Control(Tonnik::kGlideMode) = (float)(b % 3);
    lv2.Run(n);
  }
}

TEST(LV2Realtime, RunAllocatesNothing) {
  if (!kCountingAllocator) GTEST_SKIP() << "sanitizer allocator";
  Instance lv2(kBlock);
  ASSERT_TRUE(lv2.Ok());
  // Learn controller 21 for Drive.
  lv2.Control(Tonnik::kMidiLearn) = 1;
  lv2.Run(kBlock);
  lv2.Control(Tonnik::kDrive) = 0.2f;
  lv2.Run(kBlock);
  lv2.Midi().AddMidi(0, 0xB0, 21, 10);
  lv2.Run(kBlock);
  lv2.Control(Tonnik::kMidiLearn) = 0;
  RunBusyBlocks(lv2, 12);  // settles every buffer
  ASSERT_EQ(lv2.Plug()->GetController(Tonnik::kDrive), 21);

  // The counter must see allocations, or a zero proves nothing.
  ASSERT_TRUE(CountingAllocatorSeesAllocations());
  {
    AllocationCounter counter;
    RunBusyBlocks(lv2, 1200);
    EXPECT_EQ(counter.Count(), 0);
    EXPECT_EQ(counter.Frees(), 0);
  }
  // After the host's reset and after a state restore, the first blocks too.
  lv2.Reactivate();
  {
    AllocationCounter counter;
    RunBusyBlocks(lv2, 60);
    EXPECT_EQ(counter.Count(), 0) << "after activate";
    EXPECT_EQ(counter.Frees(), 0) << "after activate";
  }
  ASSERT_EQ(lv2.SaveAndRestoreState(), LV2_STATE_SUCCESS);
  {
    AllocationCounter counter;
    RunBusyBlocks(lv2, 60);
    EXPECT_EQ(counter.Count(), 0) << "after a state restore";
    EXPECT_EQ(counter.Frees(), 0) << "after a state restore";
  }
}

// A ringing hit, then deactivate and activate: silence until the next note,
// which sounds exactly as on an instance made just now with the same ports.
TEST(LV2Realtime, ActivateRendersWhatANewInstanceRenders) {
  Instance used(kBlock), fresh(kBlock);
  ASSERT_TRUE(used.Ok() && fresh.Ok());
  for (Instance* lv2 : {&used, &fresh}) {
    lv2->Control(Tonnik::kDecay) = 0.9f;
    lv2->Control(Tonnik::kGlide) = 0.05f;
    lv2->Control(Tonnik::kMidiTune) = 1;
    lv2->Control(Tonnik::kDriveEnv) = 1;
  }
  used.Midi().AddNoteOn(3, 48, 127);
  for (int b = 0; b < 5; ++b) used.Run(kBlock);
  ASSERT_NE(used.Left()[kBlock - 1], 0.0f) << "the hit should still ring";
  used.Reactivate();
  for (int b = 0; b < 3; ++b) {
    used.Run(kBlock);
    for (int i = 0; i < kBlock; ++i) ASSERT_EQ(used.Left()[i], 0.0f) << "block " << b << ", sample " << i;
  }
  for (int b = 0; b < 20; ++b) {
    for (Instance* lv2 : {&used, &fresh}) {
      if (b == 0) lv2->Midi().AddNoteOn(17, 36, 90);
      lv2->Run(kBlock);
    }
    ASSERT_TRUE(std::equal(used.Left(), used.Left() + kBlock, fresh.Left())) << "block " << b;
  }
}

TEST(LV2Realtime, RunNeverWaitsForThePluginMutexAndCatchesUpAfterwards) {
  Instance lv2(kBlock);
  ASSERT_TRUE(lv2.Ok());
  lv2.Control(Tonnik::kMidiLearn) = 1;
  lv2.Run(kBlock);
  lv2.Control(Tonnik::kDecay) = 0.3f;
  lv2.Run(kBlock);
  lv2.Midi().AddMidi(0, 0xB0, 74, 64);
  lv2.Run(kBlock);
  lv2.Control(Tonnik::kMidiLearn) = 0;
  lv2.Run(kBlock);
  ASSERT_EQ(lv2.Plug()->GetController(Tonnik::kDecay), 74);

  // Another thread (a state save, the editor) holds the mutex meanwhile.
  std::promise<void> held, release;
  std::future<void> holder = std::async(std::launch::async, [&] {
    IPluginBase::IMutexLock lock(lv2.Plug());
    held.set_value();
    release.get_future().wait();
  });
  held.get_future().wait();

  std::future<void> render = std::async(std::launch::async, [&] {
    lv2.Control(Tonnik::kTone) = 0.9f;
    lv2.Midi().AddMidi(5, 0xB0, 74, 127);
    lv2.Midi().AddNoteOn(10, 36, 100);
    lv2.Run(kBlock);
  });
  ASSERT_EQ(render.wait_for(std::chrono::seconds(20)), std::future_status::ready);
  render.get();
  // The note played; the port change and the controller wait.
  float peak = 0;
  for (int i = 0; i < kBlock; ++i) peak = std::max(peak, std::abs(lv2.Left()[i]));
  EXPECT_GT(peak, 0.01f);
  EXPECT_NE(lv2.Plug()->GetParam(Tonnik::kTone)->Value(), 0.9f);
  EXPECT_NEAR(lv2.Plug()->GetParam(Tonnik::kDecay)->Value(), 64 / 127.0, 1e-6);

  release.set_value();
  holder.get();
  lv2.Run(kBlock);
  EXPECT_EQ(lv2.Plug()->GetParam(Tonnik::kTone)->Value(), 0.9f);
  EXPECT_EQ(lv2.Plug()->GetParam(Tonnik::kDecay)->Value(), 1.0);
}

}  // namespace
