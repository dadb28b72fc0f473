// run() on the audio thread: it allocates nothing, whatever the host sends
// (port changes, notes, learned controllers, long and one-frame blocks), and
// never waits for the plug-in mutex. The instrument's LV2 library is linked
// in, so the test reaches the instance behind the handle. Allocations are
// counted by replacing the allocator for this program; sanitizer builds
// bring their own, so there the counting test is skipped.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <new>
#include <vector>

#include "lv2/IPluginLV2.h"
#include "lv2/LV2Entry.h"
#include "lv2/LV2TestHost.h"
#include "tonnik/Tonnik.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TONNIK_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define TONNIK_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef TONNIK_COUNT_ALLOCATIONS
#define TONNIK_COUNT_ALLOCATIONS 1
#endif

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
}  // namespace

#if TONNIK_COUNT_ALLOCATIONS
namespace {
void CountOne() {
  if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t n, size_t size);
void* __libc_realloc(void* p, size_t size);
void __libc_free(void* p);
void* malloc(size_t size) {
  CountOne();
  return __libc_malloc(size);
}
void* calloc(size_t n, size_t size) {
  CountOne();
  return __libc_calloc(n, size);
}
void* realloc(void* p, size_t size) {
  CountOne();
  return __libc_realloc(p, size);
}
void free(void* p) { __libc_free(p); }
}
void* operator new(size_t size) {
  CountOne();
  void* p = __libc_malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { __libc_free(p); }
void operator delete[](void* p) noexcept { __libc_free(p); }
void operator delete(void* p, size_t) noexcept { __libc_free(p); }
void operator delete[](void* p, size_t) noexcept { __libc_free(p); }
#endif

namespace {

const int kBlock = 512;
const int kControls = Tonnik::kNumParams;

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
  if (!TONNIK_COUNT_ALLOCATIONS) GTEST_SKIP() << "sanitizer allocator";
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

  {
    // The counter must see allocations, or a zero proves nothing.
    gAllocations = 0;
    gCounting = true;
    void* p = std::malloc(16);
    std::free(p);
    delete new int(1);
    gCounting = false;
    ASSERT_EQ(gAllocations.load(), 2);
  }
  gAllocations = 0;
  gCounting = true;
  RunBusyBlocks(lv2, 1200);
  gCounting = false;
  EXPECT_EQ(gAllocations.load(), 0);
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
