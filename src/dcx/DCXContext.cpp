#include "dcx/DCXContext.h"

#include "dcx/DCXFrameCache.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {
// Frame buffers above this are refused rather than risking overflow.
const int64_t kMaxFrameBufferBytes = int64_t(1) << 30;
}

HDC DCX_CreateMemContext(int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  const int64_t bytes = int64_t(width) * height * 4;
  if (bytes > kMaxFrameBufferBytes) return nullptr;
  const size_t allocationBytes = size_t(bytes) + 63;
  void* allocation = DCX_TakeFrameBlock(allocationBytes, true);
  if (!allocation) return nullptr;
  std::unique_ptr<DCX_Context> dc(new (std::nothrow) DCX_Context());
  if (!dc) {
    DCX_GiveFrameBlock(allocation, allocationBytes);
    return nullptr;
  }
  const uintptr_t aligned = (reinterpret_cast<uintptr_t>(allocation) + 63) & ~uintptr_t(63);
  dc->bits = reinterpret_cast<uint32_t*>(aligned);
  dc->allocation = allocation;
  dc->width = width;
  dc->height = height;
  dc->font = nullptr;
  dc->textColor = 0;
  dc->bkColor = 0xFFFFFF;
  dc->bkMode = OPAQUE;
  return dc.release();
}

uint32_t* DCX_GetCtxFrameBuffer(HDC dc) { return dc ? dc->bits : nullptr; }

int DCX_GetCtxWidth(HDC dc) { return dc ? dc->width : 0; }

int DCX_GetCtxHeight(HDC dc) { return dc ? dc->height : 0; }

void DCX_DeleteContext(HDC dc) {
  if (!dc) return;
  const std::unique_ptr<DCX_Context> owned(dc);
  DCX_GiveFrameBlock(dc->allocation, size_t(dc->width) * size_t(dc->height) * 4 + 63);
}
