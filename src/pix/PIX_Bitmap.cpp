#include "pix/PIX_Bitmap.h"

#include "dcx/DCXFrameCache.h"

#include <cstdint>
#include <cstdlib>

namespace {
// Refuse sizes whose byte count would not fit the allocator's int-sized
// bookkeeping elsewhere (1 GiB is far beyond any editor bitmap).
const long long kMaxBitmapBytes = 1LL << 30;
// Bytes allocated beyond the usable ones, so the first pixel can be 64-byte aligned.
const size_t kAlignSlackBytes = 63;

int AlignMaskFor(unsigned lineAlignment) {
  if (lineAlignment < 2) return 0;
  unsigned lowest = lineAlignment & (~lineAlignment + 1);
  if (lowest > 16) lowest = 16;
  return int(lowest - 1);
}
}  // namespace

PIX_MemBitmap::PIX_MemBitmap(int w, int h, unsigned lineAlignment)
    : mAlignMask(AlignMaskFor(lineAlignment)) {
  if (w > 0 && h > 0) resize(w, h);
}

// Editor-sized frames go back to the frame cache, so the next editor of
// this size reuses their pages.
PIX_MemBitmap::~PIX_MemBitmap() { DCX_GiveFrameBlock(mAllocation, size_t(mAllocatedBytes) + kAlignSlackBytes); }

unsigned* PIX_MemBitmap::getBits() {
  if (!mAllocation) return nullptr;
  const uintptr_t aligned = (reinterpret_cast<uintptr_t>(mAllocation) + 63) & ~uintptr_t(63);
  return reinterpret_cast<unsigned*>(aligned);
}

bool PIX_MemBitmap::resize(int w, int h) {
  if (w == mWidth && h == mHeight) return false;
  if (w < 0) w = 0;
  if (h < 0) h = 0;
  const long long span = (static_cast<long long>(w) + mAlignMask) & ~static_cast<long long>(mAlignMask);
  const long long needed = static_cast<long long>(h) * span * 4;
  if (needed > kMaxBitmapBytes || needed <= 0) {
    DCX_GiveFrameBlock(mAllocation, size_t(mAllocatedBytes) + kAlignSlackBytes);
    mAllocation = nullptr;
    mAllocatedBytes = 0;
  } else if (!mAllocation) {
    mAllocation = DCX_TakeFrameBlock(size_t(needed) + kAlignSlackBytes, false);
    mAllocatedBytes = mAllocation ? needed : 0;
  } else if (needed > mAllocatedBytes) {
    const long long grown = needed + needed / 4;
    void* moved = std::realloc(mAllocation, size_t(grown) + kAlignSlackBytes);
    if (moved) {
      mAllocation = moved;
      mAllocatedBytes = grown;
    } else {
      DCX_GiveFrameBlock(mAllocation, size_t(mAllocatedBytes) + kAlignSlackBytes);
      mAllocation = DCX_TakeFrameBlock(size_t(needed) + kAlignSlackBytes, false);
      mAllocatedBytes = mAllocation ? needed : 0;
    }
  }
  if (mAllocation) {
    mWidth = w;
    mHeight = h;
  } else {
    mWidth = mHeight = 0;
  }
  return true;
}

PIX_SysBitmap::PIX_SysBitmap(int w, int h) {
  if (w > 0 && h > 0) resize(w, h);
}

PIX_SysBitmap::~PIX_SysBitmap() { Release(); }

void PIX_SysBitmap::Release() {
  DCX_DeleteContext(mDC);
  mDC = nullptr;
  mBits = nullptr;
  mRowSpan = mAllocHeight = mWidth = mHeight = 0;
}

bool PIX_SysBitmap::resize(int w, int h) {
  if (w == mWidth && h == mHeight) return false;
  if (w > 0 && h > 0 && mDC && mRowSpan >= w && mAllocHeight >= h) {
    mWidth = w;
    mHeight = h;
    return true;
  }
  Release();
  if (w <= 0 || h <= 0 || w > (1 << 28)) return true;
  const int span = (w + 3) & ~3;
  mDC = DCX_CreateMemContext(span, h);
  if (!mDC) return true;
  mBits = DCX_GetCtxFrameBuffer(mDC);
  mRowSpan = span;
  mAllocHeight = h;
  mWidth = w;
  mHeight = h;
  return true;
}
