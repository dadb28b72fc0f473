// Feeds arbitrary bytes to the PNG memory loader, with and without a
// caller-supplied destination.
#include <cstddef>
#include <cstdint>

#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_PNG.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 20)) return 0;
  PIX_IBitmap* bitmap = PIX_LoadPNGFromMemory(data, int(size), nullptr);
  if (bitmap) {
    // Touch the last pixel so a short allocation shows up.
    PIX_GetPixel(bitmap, bitmap->getWidth() - 1, bitmap->getHeight() - 1);
    delete bitmap;
  }
  PIX_MemBitmap dest(3, 3, 4);
  if (PIX_LoadPNGFromMemory(data, int(size), &dest)) PIX_GetPixel(&dest, dest.getWidth() - 1, dest.getHeight() - 1);
  return 0;
}
