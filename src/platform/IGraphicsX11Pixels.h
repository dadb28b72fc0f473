#pragma once
// Raster pixels (alpha in bits 0-7, red 8-15, green 16-23, blue 24-31) as
// the pixels of an X11 TrueColor image, whose colour masks the visual gives.
// The screen shows no transparency: alpha is dropped, as the headless
// screen copy drops it.
// Pure functions of their arguments; any thread.

#include <cstdint>

struct X11PixelFormat {
  // Where each 8-bit channel lands: the top bit of the channel's mask and
  // the mask's width, both from the visual.
  unsigned long redMask = 0;
  unsigned long greenMask = 0;
  unsigned long blueMask = 0;
  // True when the masks are 0xFF0000, 0xFF00, 0xFF in 32-bit LSB-first
  // pixels, the layout nearly every server uses: one byte swap per pixel.
  bool isStandard = false;
};

// The format for a visual's masks, bits per pixel and byte order
// (lsbFirst: the image's byte_order is LSBFirst).
X11PixelFormat MakeX11PixelFormat(unsigned long redMask, unsigned long greenMask, unsigned long blueMask,
                                  int bitsPerPixel, bool lsbFirst);

// The plain formula: each channel scaled to its mask's width and shifted
// into place.
uint32_t X11PixelPlain(unsigned pixel, const X11PixelFormat& format);

// Converts n pixels from src to dst (32-bit image pixels), choosing the
// layout's loop once per row.
void X11ConvertRow(const unsigned* src, uint32_t* dst, int n, const X11PixelFormat& format);
