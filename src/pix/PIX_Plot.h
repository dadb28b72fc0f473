#pragma once
// Internal: single pixels and runs for the shape routines, clipped to the
// bitmap. A run takes its combiner as a template argument, so every formula
// has its own loop.

#include <algorithm>

#include "pix/PIX_Combine.h"
#include "pix/PIX_Raster.h"

struct PIX_Canvas {
  PIX_Rows rows;
  unsigned color;

  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < rows.width && y < rows.height; }

  // Puts the ends of a run in order and inside 0..size - 1; false when none
  // of it is left.
  static bool ClipRun(int* lo, int* hi, int size) {
    if (*lo > *hi) std::swap(*lo, *hi);
    *lo = std::max(*lo, 0);
    *hi = std::min(*hi, size - 1);
    return *lo <= *hi;
  }

  template <class C>
  void Plot(int x, int y, C c) const {
    if (!Inside(x, y)) return;
    unsigned* p = rows.Row(y) + x;
    *p = c(*p, color);
  }

  // A pixel at its own weight 1..256 through a formula's Mix.
  template <class Formula>
  void PlotWeighted(int x, int y, int w) const {
    if (w <= 0 || !Inside(x, y)) return;
    unsigned* p = rows.Row(y) + x;
    *p = Formula::Mix(*p, color, w > 256 ? 256 : w);
  }

  // The pixels x0..x1 (both included, any order) of row y.
  template <class C>
  void HorizRun(int x0, int x1, int y, C c) const {
    if (y < 0 || y >= rows.height || !ClipRun(&x0, &x1, rows.width)) return;
    PIX_Combine::CombineSpanWithColor(rows.Row(y) + x0, color, x1 - x0 + 1, c);
  }

  // The pixels y0..y1 (both included, any order) of column x.
  template <class C>
  void VertRun(int x, int y0, int y1, C c) const {
    if (x < 0 || x >= rows.width || !ClipRun(&y0, &y1, rows.height)) return;
    for (int y = y0; y <= y1; ++y) {
      unsigned* p = rows.Row(y) + x;
      *p = c(*p, color);
    }
  }
};
