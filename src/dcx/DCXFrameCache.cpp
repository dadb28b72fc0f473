#include "dcx/DCXFrameCache.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

// Sizes of the pages a large block is mapped with: normal pages, and the
// transparent huge pages of x86-64 and arm64 with 4 KB pages.
constexpr uintptr_t kPageBytes = 4096;
constexpr uintptr_t kHugePageBytes = uintptr_t(2) << 20;

// A fresh large block, its pages mapped before the caller writes them.
// Touched one page at a time, a first editor's 13 MB of images at scale 2
// cost 3,300 page faults, on virtual machines the greater part of its
// opening. So a block of at least one huge page starts on a huge-page
// boundary, its whole huge pages are advised as such (one fault each where
// the system has them to give), and every page is mapped in one call. The
// tail past the last whole huge page keeps normal pages, so a block never
// holds more memory than it asked for. A zeroed block has its whole pages
// dropped first, so the system maps them zeroed instead of them being
// written twice. Without the advice (Linux before 5.14, other systems) the
// pages fault in as they are first written and zeros are written by hand.
void* NewLargeBlock(size_t bytes, bool zeroed) {
  const bool huge = bytes >= kHugePageBytes;
  // posix_memalign, not aligned_alloc: the size need not be a multiple of
  // the alignment, and std::free and std::realloc take the block.
  void* block = nullptr;
  if (huge ? posix_memalign(&block, kHugePageBytes, bytes) != 0 : (block = std::malloc(bytes)) == nullptr)
    return nullptr;
  char* const begin = static_cast<char*>(block);
  char* const first = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(begin) + kPageBytes - 1) & ~(kPageBytes - 1));
  char* const last = reinterpret_cast<char*>(reinterpret_cast<uintptr_t>(begin + bytes) & ~(kPageBytes - 1));
  bool mapped = false;
#if defined(MADV_HUGEPAGE) && defined(MADV_POPULATE_WRITE)
  if (huge) madvise(block, bytes & ~(kHugePageBytes - 1), MADV_HUGEPAGE);
  if (last > first) {
    // The heap may hand back memory it had before: dropped, it maps zeroed.
    const bool dropped = !zeroed || madvise(first, size_t(last - first), MADV_DONTNEED) == 0;
    mapped = dropped && madvise(first, size_t(last - first), MADV_POPULATE_WRITE) == 0;
  }
#endif
  if (zeroed && mapped) {
    std::memset(begin, 0, size_t(first - begin));
    std::memset(last, 0, size_t(begin + bytes - last));
  } else if (zeroed) {
    std::memset(begin, 0, bytes);
  }
  return block;
}

struct Slot {
  void* block;
  size_t bytes;
};

// Constant-initialised and trivially destroyed, so they stay usable while
// other static objects (image caches, editors) are torn down at exit.
std::mutex gMutex;
Slot gSlots[kFrameCacheBlocks];  // gSlots[0] the oldest
int gCount = 0;
bool gClosed = false;

// Frees the held blocks at exit; blocks given back later go to the heap.
struct Releaser {
  ~Releaser() {
    DCX_FrameCacheRelease();
    std::lock_guard<std::mutex> lock(gMutex);
    gClosed = true;
  }
};

}  // namespace

void* DCX_TakeFrameBlock(size_t bytes, bool zeroed) {
  if (bytes >= kFrameCacheMinBytes) {
    void* block = nullptr;
    {
      std::lock_guard<std::mutex> lock(gMutex);
      for (int i = gCount - 1; i >= 0; --i) {
        if (gSlots[i].bytes != bytes) continue;
        block = gSlots[i].block;
        for (int j = i + 1; j < gCount; ++j) gSlots[j - 1] = gSlots[j];
        --gCount;
        break;
      }
    }
    if (block) {
      if (zeroed) std::memset(block, 0, bytes);
      return block;
    }
  }
  if (bytes >= kFrameCacheMinBytes) return NewLargeBlock(bytes, zeroed);
  return zeroed ? std::calloc(bytes, 1) : std::malloc(bytes);
}

void DCX_GiveFrameBlock(void* block, size_t bytes) {
  if (!block) return;
  if (bytes < kFrameCacheMinBytes) {
    std::free(block);
    return;
  }
  static Releaser releaser;  // constructed on the first large block, destroyed at exit
  void* evicted = block;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    if (!gClosed) {
      evicted = nullptr;
      if (gCount == kFrameCacheBlocks) {
        evicted = gSlots[0].block;
        for (int j = 1; j < gCount; ++j) gSlots[j - 1] = gSlots[j];
        --gCount;
      }
      gSlots[gCount++] = Slot{block, bytes};
    }
  }
  std::free(evicted);
}

void DCX_FrameCacheRelease() {
  Slot held[kFrameCacheBlocks];
  int count = 0;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    count = gCount;
    for (int i = 0; i < count; ++i) held[i] = gSlots[i];
    gCount = 0;
  }
  for (int i = 0; i < count; ++i) std::free(held[i].block);
}

int DCX_FrameCacheCount() {
  std::lock_guard<std::mutex> lock(gMutex);
  return gCount;
}
