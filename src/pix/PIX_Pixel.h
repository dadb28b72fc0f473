#pragma once
// The pixel layout of the raster library, in one place: a 32-bit value with
// alpha in bits 0-7, red in 8-15, green in 16-23 and blue in 24-31 (in
// memory on the little-endian target: bytes A, R, G, B). Colours are
// straight, not premultiplied; alpha 255 is opaque. Code that takes a pixel
// apart or builds one goes through these. Any thread.

// Bit positions of the channels.
const int PIX_kAlphaShift = 0;
const int PIX_kRedShift = 8;
const int PIX_kGreenShift = 16;
const int PIX_kBlueShift = 24;

// One channel's bits in place, and the three colour channels without alpha.
const unsigned PIX_kAlphaMask = 0xFFu;
const unsigned PIX_kColorMask = 0xFFFFFF00u;

// Channels 0..255.
inline constexpr int PIX_Alpha(unsigned p) { return int(p & 255u); }
inline constexpr int PIX_Red(unsigned p) { return int((p >> PIX_kRedShift) & 255u); }
inline constexpr int PIX_Green(unsigned p) { return int((p >> PIX_kGreenShift) & 255u); }
inline constexpr int PIX_Blue(unsigned p) { return int(p >> PIX_kBlueShift); }

// A pixel from channels 0..255 (not checked: callers clamp).
inline constexpr unsigned PIX_MakePixel(unsigned a, unsigned r, unsigned g, unsigned b) {
  return a | r << PIX_kRedShift | g << PIX_kGreenShift | b << PIX_kBlueShift;
}

// The pixel with its alpha replaced.
inline constexpr unsigned PIX_WithAlpha(unsigned p, unsigned a) { return (p & PIX_kColorMask) | a; }
