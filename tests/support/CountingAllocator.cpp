#include "support/CountingAllocator.h"

#include <pthread.h>

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TONNIK_REPLACE_ALLOCATOR 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define TONNIK_REPLACE_ALLOCATOR 0
#endif
#endif
#ifndef TONNIK_REPLACE_ALLOCATOR
#define TONNIK_REPLACE_ALLOCATOR 1
#endif

const bool kCountingAllocator = TONNIK_REPLACE_ALLOCATOR != 0;

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
std::atomic<long> gFrees{0};
// The thread whose allocations count; read only while counting.
std::atomic<pthread_t> gCountedThread{};
}  // namespace

AllocationCounter::AllocationCounter() {
  gAllocations = 0;
  gFrees = 0;
  gCountedThread = pthread_self();
  gCounting = true;
}

AllocationCounter::~AllocationCounter() { gCounting = false; }

long AllocationCounter::Count() const { return gAllocations.load(); }
long AllocationCounter::Frees() const { return gFrees.load(); }

bool CountingAllocatorSeesAllocations() {
  AllocationCounter probe;
  // Through volatile pointers, so the compiler cannot drop the pairs.
  void* volatile block = std::malloc(16);
  std::free(block);
  int* volatile number = new int(1);
  delete number;
  return probe.Count() == 2 && probe.Frees() == 2;
}

#if TONNIK_REPLACE_ALLOCATOR
namespace {
bool OnCountedThread() {
  return gCounting.load(std::memory_order_relaxed) && pthread_equal(pthread_self(), gCountedThread.load());
}
void CountOne() {
  if (OnCountedThread()) gAllocations.fetch_add(1, std::memory_order_relaxed);
}
void CountFree(void* p) {
  if (p && OnCountedThread()) gFrees.fetch_add(1, std::memory_order_relaxed);
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
void free(void* p) {
  CountFree(p);
  __libc_free(p);
}
}

void* operator new(size_t size) {
  CountOne();
  void* p = __libc_malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  CountOne();
  return __libc_malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }
#endif
