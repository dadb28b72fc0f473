#include <cmath>
#include <cstdlib>
#include <utility>

#include "pix/PIX_Draw.h"
#include "pix/PIX_Plot.h"

using namespace PIX_Combine;

namespace {

// Moves both end points along the segment into [0, w-1] x [0, h-1].
// False when the segment misses the bitmap.
bool ClipSegment(int w, int h, int* x1, int* y1, int* x2, int* y2) {
  double ax = *x1, ay = *y1, bx = *x2, by = *y2;
  const double maxX = w - 1, maxY = h - 1;
  auto code = [&](double x, double y) {
    return (x < 0 ? 1 : 0) | (x > maxX ? 2 : 0) | (y < 0 ? 4 : 0) | (y > maxY ? 8 : 0);
  };
  int ca = code(ax, ay), cb = code(bx, by);
  for (int guard = 0; guard < 8 && (ca | cb); ++guard) {
    if (ca & cb) return false;
    const int out = ca ? ca : cb;
    double x, y;
    if (out & 1) {
      y = ay + (by - ay) * (0 - ax) / (bx - ax);
      x = 0;
    } else if (out & 2) {
      y = ay + (by - ay) * (maxX - ax) / (bx - ax);
      x = maxX;
    } else if (out & 4) {
      x = ax + (bx - ax) * (0 - ay) / (by - ay);
      y = 0;
    } else {
      x = ax + (bx - ax) * (maxY - ay) / (by - ay);
      y = maxY;
    }
    if (out == ca) {
      ax = x;
      ay = y;
      ca = code(ax, ay);
    } else {
      bx = x;
      by = y;
      cb = code(bx, by);
    }
  }
  if (ca | cb) return false;
  auto snap = [](double v, double hi) { return int(std::fmin(std::fmax(std::floor(v + 0.5), 0.0), hi)); };
  *x1 = snap(ax, maxX);
  *y1 = snap(ay, maxY);
  *x2 = snap(bx, maxX);
  *y2 = snap(by, maxY);
  return true;
}

// A line that is neither horizontal, vertical nor exactly diagonal, walked
// from both ends at once along its major axis.
struct LineWalk {
  int ax, ay, bx, by;   // the two ends
  int majX, majY;       // one major step from end a towards end b
  int minX, minY;       // one minor step from end a towards end b
  int steps;            // steps taken from each end
  bool middle;          // one more pixel where the halves meet
  long long slope;      // |minor| / |major| in 16.16

  LineWalk(int x1, int y1, int x2, int y2) : ax(x1), ay(y1), bx(x2), by(y2) {
    const int dx = x2 - x1, dy = y2 - y1;
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const int major = xMajor ? std::abs(dx) : std::abs(dy);
    const int minor = xMajor ? std::abs(dy) : std::abs(dx);
    majX = xMajor ? sx : 0;
    majY = xMajor ? 0 : sy;
    minX = xMajor ? 0 : sx;
    minY = xMajor ? sy : 0;
    steps = (major + 1) / 2;
    middle = major % 2 == 0;
    slope = (static_cast<long long>(minor) << 16) / major;
  }
};

template <class C>
void DrawLine(const PIX_Canvas& cv, const LineWalk& l, C c) {
  long long acc = 0;
  int off = 0;
  for (int i = 0; i < l.steps; ++i) {
    cv.Plot(l.ax + i * l.majX + off * l.minX, l.ay + i * l.majY + off * l.minY, c);
    cv.Plot(l.bx - i * l.majX - off * l.minX, l.by - i * l.majY - off * l.minY, c);
    acc += l.slope;
    if (acc > 0x8000) {
      ++off;
      acc -= 0x10000;
    }
  }
  if (l.middle) cv.Plot(l.ax + l.steps * l.majX + off * l.minX, l.ay + l.steps * l.majY + off * l.minY, c);
}

template <class Formula>
void DrawLineAA(const PIX_Canvas& cv, const LineWalk& l, int w) {
  cv.PlotWeighted<Formula>(l.ax, l.ay, w);
  cv.PlotWeighted<Formula>(l.bx, l.by, w);
  long long acc = 0;
  int off = 0;
  const int last = l.middle ? l.steps : l.steps - 1;
  for (int i = 1; i <= last; ++i) {
    acc += l.slope;
    if (acc >= 0x10000) {
      ++off;
      acc -= 0x10000;
    }
    const int f = int(acc >> 8);
    const int near = w * (255 - f) / 256;
    const int far = w * f / 256;
    const int x = l.ax + i * l.majX + off * l.minX, y = l.ay + i * l.majY + off * l.minY;
    cv.PlotWeighted<Formula>(x, y, near);
    cv.PlotWeighted<Formula>(x + l.minX, y + l.minY, far);
    if (l.middle && i == l.steps) break;
    const int xb = l.bx - i * l.majX - off * l.minX, yb = l.by - i * l.majY - off * l.minY;
    cv.PlotWeighted<Formula>(xb, yb, near);
    cv.PlotWeighted<Formula>(xb - l.minX, yb - l.minY, far);
  }
}

template <class C>
void DrawDiagonal(const PIX_Canvas& cv, int x1, int y1, int x2, int y2, C c) {
  const int sx = x2 < x1 ? -1 : 1, sy = y2 < y1 ? -1 : 1;
  const int n = std::abs(x2 - x1);
  unsigned* p = cv.rows.Row(y1) + x1;
  const std::ptrdiff_t step = sy * cv.rows.step + sx;
  for (int i = 0; i <= n; ++i, p += step) *p = c(*p, cv.color);
}

}  // namespace

void PIX_Line(PIX_IBitmap* bitmap, int x1, int y1, int x2, int y2, unsigned color, float alpha, int mode, bool aa) {
  PIX_Canvas cv;
  if (!PIX_GetRows(bitmap, &cv.rows)) return;
  cv.color = color;
  const int w = PIX_Weight(alpha);
  if (w == 0 || !ClipSegment(cv.rows.width, cv.rows.height, &x1, &y1, &x2, &y2)) return;

  // One drawing order whichever way the end points are given, so a line
  // and its reverse are the same pixels.
  if (x2 < x1 || (x2 == x1 && y2 < y1)) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  if (y1 == y2) {
    WithFixedMixFormula(mode, w, [&](auto c) { cv.HorizRun(x1, x2, y1, c); });
  } else if (x1 == x2) {
    WithFixedMixFormula(mode, w, [&](auto c) { cv.VertRun(x1, y1, y2, c); });
  } else if (std::abs(x2 - x1) == std::abs(y2 - y1)) {
    // Clipping both ends onto the bitmap keeps an exact diagonal inside it.
    WithShapeFormula(mode, w, [&](auto c) { DrawDiagonal(cv, x1, y1, x2, y2, c); });
  } else if (aa) {
    const LineWalk walk(x1, y1, x2, y2);
    WithVariableWeightFormula(mode, [&](auto tag) { DrawLineAA<decltype(tag)>(cv, walk, w); });
  } else {
    const LineWalk walk(x1, y1, x2, y2);
    WithShapeFormula(mode, w, [&](auto c) { DrawLine(cv, walk, c); });
  }
}
