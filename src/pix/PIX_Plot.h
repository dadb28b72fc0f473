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
    if (x0 > x1) std::swap(x0, x1);
    if (y < 0 || y >= rows.height) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, rows.width - 1);
    if (x0 <= x1) PIX_Combine::CombineSpanWithColor(rows.Row(y) + x0, color, x1 - x0 + 1, c);
  }

  // The pixels y0..y1 (both included, any order) of column x.
  template <class C>
  void VertRun(int x, int y0, int y1, C c) const {
    if (y0 > y1) std::swap(y0, y1);
    if (x < 0 || x >= rows.width) return;
    y0 = std::max(y0, 0);
    y1 = std::min(y1, rows.height - 1);
    for (int y = y0; y <= y1; ++y) {
      unsigned* p = rows.Row(y) + x;
      *p = c(*p, color);
    }
  }
};
