#include "platform/IGraphicsX11Pixels.h"

#include "pix/PIX_Pixel.h"

namespace {
// The standard TrueColor masks of 24-bit depth.
constexpr unsigned long kStandardRed = 0xFF0000ul;
constexpr unsigned long kStandardGreen = 0x00FF00ul;
constexpr unsigned long kStandardBlue = 0x0000FFul;
constexpr int kPixelBits = 32;

int LowBit(unsigned long mask) {
  if (!mask) return 0;
  int shift = 0;
  while (!(mask & 1ul)) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

int Width(unsigned long mask) {
  int bits = 0;
  for (; mask; mask >>= 1) bits += static_cast<int>(mask & 1ul);
  return bits;
}

// An 8-bit channel value placed into a mask of any width.
uint32_t Place(unsigned value8, unsigned long mask) {
  const int width = Width(mask);
  if (width == 0) return 0;
  const unsigned scaled = width >= 8 ? value8 << (width - 8) : value8 >> (8 - width);
  return static_cast<uint32_t>((static_cast<unsigned long>(scaled) << LowBit(mask)) & mask);
}
}  // namespace

X11PixelFormat MakeX11PixelFormat(unsigned long redMask, unsigned long greenMask, unsigned long blueMask,
                                  int bitsPerPixel, bool lsbFirst) {
  X11PixelFormat f;
  f.redMask = redMask;
  f.greenMask = greenMask;
  f.blueMask = blueMask;
  f.isStandard = redMask == kStandardRed && greenMask == kStandardGreen && blueMask == kStandardBlue &&
                 bitsPerPixel == kPixelBits && lsbFirst;
  return f;
}

uint32_t X11PixelPlain(unsigned pixel, const X11PixelFormat& format) {
  return Place(unsigned(PIX_Red(pixel)), format.redMask) | Place(unsigned(PIX_Green(pixel)), format.greenMask) |
         Place(unsigned(PIX_Blue(pixel)), format.blueMask);
}

void X11ConvertRow(const unsigned* src, uint32_t* dst, int n, const X11PixelFormat& format) {
  if (format.isStandard) {
    // A, R, G, B in the low to high bytes become B, G, R, A: red lands in
    // bits 16-23, green in 8-15, blue in 0-7; the alpha byte on top is
    // padding for a 24-bit visual.
    for (int i = 0; i < n; ++i) dst[i] = __builtin_bswap32(src[i]) & 0x00FFFFFFu;
    return;
  }
  for (int i = 0; i < n; ++i) dst[i] = X11PixelPlain(src[i], format);
}
