#pragma once
// Reducing an image to a smaller size by exact area averaging: each
// destination pixel is the mean of the source area it covers, every source
// pixel weighted by the part of it inside that area. Unlike a bilinear or
// whole-pixel box filter it keeps a reduction by a factor that is not a
// whole number (a 2x drawing shown at 1.5x) even, without shimmer or blur
// beyond what the size change costs. Any thread that owns both bitmaps.

#include "pix/PIX_Bitmap.h"

// Largest reduction accepted, in source pixels per destination pixel.
constexpr double kPixMaxReduceRatio = 4.0;

// Writes the destination rectangle (dx, dy, dw, dh) of dest as part of the
// whole source reduced by `ratio` source pixels per destination pixel, both
// images anchored at (0, 0): destination pixel (x, y) averages the source
// area [x * ratio, (x + 1) * ratio) by [y * ratio, (y + 1) * ratio). The
// pixels are stored, not blended. The rectangle is clipped to dest and to
// what the source covers; a ratio below 1, above kPixMaxReduceRatio or not
// finite does nothing.
void PIX_AreaReduce(PIX_IBitmap* dest, int dx, int dy, int dw, int dh, PIX_IBitmap* src, double ratio);
