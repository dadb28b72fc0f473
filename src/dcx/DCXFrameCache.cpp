#include "dcx/DCXFrameCache.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

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
