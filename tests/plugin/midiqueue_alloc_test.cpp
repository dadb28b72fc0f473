// Counts every C-heap allocation (the queue grows with realloc) and every
// operator new while a queue runs in steady state.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "plugin/IMidiQueue.h"

static std::atomic<long> gAllocations{0};

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t n, size_t size);
void* __real_realloc(void* p, size_t size);
void __real_free(void* p);

void* __wrap_malloc(size_t size) {
  ++gAllocations;
  return __real_malloc(size);
}
void* __wrap_calloc(size_t n, size_t size) {
  ++gAllocations;
  return __real_calloc(n, size);
}
void* __wrap_realloc(void* p, size_t size) {
  ++gAllocations;
  return __real_realloc(p, size);
}
void __wrap_free(void* p) { __real_free(p); }
}

void* operator new(size_t size) {
  ++gAllocations;
  void* p = __real_malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept { __real_free(p); }
void operator delete(void* p, size_t) noexcept { __real_free(p); }

TEST(IMidiQueueAlloc, CountingHookSeesTheQueueGrow) {
  IMidiQueue queue(512);
  IMidiMsg m(0, 0x90, 36, 100);
  for (int i = 0; i < 512; ++i) queue.Add(&m);
  const long before = gAllocations.load();
  queue.Add(&m);
  const long after = gAllocations.load();
  EXPECT_EQ(after - before, 1);
  EXPECT_EQ(queue.GetSize(), 1024);
}

TEST(IMidiQueueAlloc, SteadyStateAllocatesNothing) {
  const int kBlock = 512, kPerBlock = 1024;
  IMidiQueue queue(1024);
  queue.Resize(kBlock);
  // The first blocks may grow the queue to its working size.
  unsigned seed = 7;
  auto runBlock = [&]() {
    for (int i = 0; i < kPerBlock; ++i) {
      seed = seed * 1103515245u + 12345u;
      IMidiMsg m(static_cast<int>((seed >> 16) % kBlock), 0x90, 36, 100);
      queue.Add(&m);
    }
    for (int s = 0; s < kBlock; ++s)
      while (!queue.Empty() && queue.Peek()->mOffset <= s) queue.Remove();
    queue.Flush(kBlock);
  };
  for (int b = 0; b < 4; ++b) runBlock();
  const long before = gAllocations.load();
  for (int b = 0; b < 100; ++b) runBlock();
  const long after = gAllocations.load();
  EXPECT_EQ(after - before, 0);
  EXPECT_TRUE(queue.Empty());
}
