#pragma once
// Internal helpers shared by the raster operations: row addressing that
// honours bottom-up bitmaps, and the float weight to 0..256 conversion.

#include <cstddef>

#include "pix/PIX_Bitmap.h"

// Rows of a bitmap as a first row and a signed step, so bottom-up bitmaps
// need no special case in the loops.
struct PIX_Rows {
  unsigned* top;
  std::ptrdiff_t step;  // pixels from one row to the next one down
  int width;
  int height;

  unsigned* Row(int y) const { return top + y * step; }
};

// Fills rows for a bitmap that has pixels; false for a null or empty one.
inline bool PIX_GetRows(PIX_IBitmap* bitmap, PIX_Rows* rows) {
  if (!bitmap) return false;
  unsigned* bits = bitmap->getBits();
  const int w = bitmap->getWidth();
  const int h = bitmap->getHeight();
  const int span = bitmap->getRowSpan();
  if (!bits || w <= 0 || h <= 0 || span < w) return false;
  if (bitmap->isFlipped()) {
    rows->top = bits + std::ptrdiff_t(h - 1) * span;
    rows->step = -std::ptrdiff_t(span);
  } else {
    rows->top = bits;
    rows->step = span;
  }
  rows->width = w;
  rows->height = h;
  return true;
}

// The weight 0..256 for a float alpha; weights outside 0..1 (and NaN) are
// held to that range so no formula can spill across channels.
inline int PIX_Weight(float alpha) {
  if (!(alpha > 0.0f)) return 0;
  if (alpha >= 1.0f) return 256;
  return static_cast<int>(alpha * 256.0f);
}
