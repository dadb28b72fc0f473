#include <algorithm>
#include <cmath>

#include "pix/PIX_CircleMasks.h"
#include "pix/PIX_Draw.h"
#include "pix/PIX_Plot.h"

using namespace PIX_Combine;

namespace {

const float kPi = float(PIX_kPi);
const float kTwoPi = float(2 * PIX_kPi);

// Pixels that may be drawn: columns x0..x1-1, rows y0..y1-1.
struct Box {
  int x0, y0, x1, y1;
};

Box WholeBitmap(const PIX_Canvas& cv) { return {0, 0, cv.rows.width, cv.rows.height}; }

// Rows whose centres are within `reach` of cy, inside the box.
void RowRange(float cy, double reach, const Box& box, int* first, int* last) {
  *first = std::max(box.y0, int(std::max(-1e9, std::floor(cy - reach - 0.5))));
  *last = std::min(box.y1 - 1, int(std::min(1e9, std::ceil(cy + reach - 0.5))));
}

// The pixels of a row whose centre offsets from cx lie strictly inside
// (lo, hi), clipped to the box.
template <class Each>
void ColumnsBetween(float cx, double lo, double hi, const Box& box, Each each) {
  const int first = std::max(box.x0, int(std::max(-1e9, std::floor(cx + lo - 0.5) + 1)));
  const int last = std::min(box.x1 - 1, int(std::min(1e9, std::ceil(cx + hi - 0.5) - 1)));
  for (int x = first; x <= last; ++x) each(x);
}

// Calls each(x, y, oy) for the pixels whose centres lie less than halfWidth from the
// circle (oy: the centre's vertical distance from cy), row by row.
template <class Each>
void Annulus(float cx, float cy, float r, double halfWidth, const Box& box, Each each) {
  int first, last;
  RowRange(cy, r + halfWidth, box, &first, &last);
  for (int y = first; y <= last; ++y) {
    const double oy = y + 0.5 - cy;
    const double outer = (r + halfWidth) * (r + halfWidth) - oy * oy;
    if (outer <= 0) continue;
    const double xo = std::sqrt(outer);
    const double inner = r > halfWidth ? (r - halfWidth) * (r - halfWidth) - oy * oy : -1.0;
    auto plot = [&](int x) { each(x, y, oy); };
    if (inner < 0) {
      ColumnsBetween(cx, -xo, xo, box, plot);
    } else {
      const double xi = std::sqrt(inner);
      ColumnsBetween(cx, -xo, -xi, box, plot);
      ColumnsBetween(cx, xi, xo, box, plot);
    }
  }
}

// The outline: pixels whose centres lie less than half a pixel from the circle.
template <class C>
void Ring(const PIX_Canvas& cv, float cx, float cy, float r, const Box& box, C c) {
  Annulus(cx, cy, r, 0.5, box, [&](int x, int y, double) { cv.Plot(x, y, c); });
}

// Anti-aliased outline: each pixel weighted by 1 - |distance - r| (a tent
// one pixel wide on either side of the circle).
template <class Formula>
void RingAA(const PIX_Canvas& cv, float cx, float cy, float r, const Box& box, int w) {
  Annulus(cx, cy, r, 1.0, box, [&](int x, int y, double oy) {
    const double ox = x + 0.5 - cx;
    const double cover = 1.0 - std::fabs(std::sqrt(ox * ox + oy * oy) - r);
    cv.PlotWeighted<Formula>(x, y, int(w * cover));
  });
}

const PIX_CircleMask* MaskFor(float r) {
  for (const PIX_CircleMask& m : kCircleMasks)
    if (m.radius == r) return &m;
  return nullptr;
}

void DrawMask(const PIX_Canvas& cv, float cx, float cy, const PIX_CircleMask& m, int w, int mode, bool aa) {
  const int left = int(std::floor(cx - m.size / 2.0f + 0.5f));
  const int top = int(std::floor(cy - m.size / 2.0f + 0.5f));
  if (aa) {
    WithVariableWeightFormula(mode, [&](auto tag) {
      for (int j = 0; j < m.size; ++j)
        for (int i = 0; i < m.size; ++i)
          cv.PlotWeighted<decltype(tag)>(left + i, top + j, w * m.aa[j * m.size + i] / 255);
    });
  } else {
    WithShapeFormula(mode, w, [&](auto c) {
      for (int j = 0; j < m.size; ++j)
        for (int i = 0; i < m.size; ++i)
          if (m.plain[j * m.size + i] == '#') cv.Plot(left + i, top + j, c);
    });
  }
}

void DrawOutline(const PIX_Canvas& cv, float cx, float cy, float r, const Box& box, int w, int mode, bool aa) {
  if (aa)
    WithVariableWeightFormula(mode, [&](auto tag) { RingAA<decltype(tag)>(cv, cx, cy, r, box, w); });
  else
    WithShapeFormula(mode, w, [&](auto c) { Ring(cv, cx, cy, r, box, c); });
}

// Rows whose centres lie at or below / above a height; a small tolerance
// keeps rounding in the angles from dropping a row at the ends.
int FirstRowAtOrBelow(double y) { return int(std::ceil(y - 0.5 - 1e-4)); }
int LastRowAtOrAbove(double y) { return int(std::floor(y - 0.5 + 1e-4)); }

bool Usable(float cx, float cy, float r) {
  return std::isfinite(cx) && std::isfinite(cy) && std::isfinite(r) && r >= 0 && std::fabs(cx) < 1e7f &&
         std::fabs(cy) < 1e7f && r < 1e7f;
}

}  // namespace

void PIX_Circle(PIX_IBitmap* bitmap, float cx, float cy, float r, unsigned color, float alpha, int mode, bool aa) {
  PIX_Canvas cv;
  if (!PIX_GetRows(bitmap, &cv.rows) || !Usable(cx, cy, r)) return;
  cv.color = color;
  const int w = PIX_Weight(alpha);
  if (w == 0) return;
  if (const PIX_CircleMask* mask = MaskFor(r)) {
    DrawMask(cv, cx, cy, *mask, w, mode, aa);
    return;
  }
  DrawOutline(cv, cx, cy, r, WholeBitmap(cv), w, mode, aa);
}

void PIX_FillCircle(PIX_IBitmap* bitmap, float cx, float cy, float r, unsigned color, float alpha, int mode,
                    bool aa) {
  PIX_Canvas cv;
  if (!PIX_GetRows(bitmap, &cv.rows) || !Usable(cx, cy, r)) return;
  cv.color = color;
  const int w = PIX_Weight(alpha);
  if (w == 0) return;
  const Box box = WholeBitmap(cv);
  // Solid runs cover pixels whose centres are inside the circle, or with
  // anti-aliasing, at least half a pixel inside it.
  const float solid = aa ? r - 0.5f : r;
  int first, last;
  WithShapeFormula(mode, w, [&](auto c) {
    RowRange(cy, solid, box, &first, &last);
    for (int y = first; y <= last; ++y) {
      const double oy = y + 0.5 - cy;
      const double span = double(solid) * solid - oy * oy;
      if (span <= 0) continue;
      const double half = std::sqrt(span);
      const int x0 = std::max(0, int(std::max(-1e9, std::floor(cx - half - 0.5) + 1)));
      const int x1 = std::min(cv.rows.width - 1, int(std::min(1e9, std::ceil(cx + half - 0.5) - 1)));
      if (x0 <= x1) cv.HorizRun(x0, x1, y, c);
    }
  });
  if (!aa) return;
  // The rim: coverage r + 0.5 - distance for pixels between the two radii.
  WithVariableWeightFormula(mode, [&](auto tag) {
    RowRange(cy, r + 0.5, box, &first, &last);
    for (int y = first; y <= last; ++y) {
      const double oy = y + 0.5 - cy;
      const double outer = (r + 0.5) * (r + 0.5) - oy * oy;
      if (outer <= 0) continue;
      const double xo = std::sqrt(outer);
      const double inner = solid > 0 ? double(solid) * solid - oy * oy : -1.0;
      const double xi = inner > 0 ? std::sqrt(inner) : 0.0;
      auto plot = [&](int x) {
        const double ox = x + 0.5 - cx;
        const double cover = std::min(1.0, r + 0.5 - std::sqrt(ox * ox + oy * oy));
        cv.PlotWeighted<decltype(tag)>(x, y, int(w * cover));
      };
      if (inner > 0) {
        // Solid pixels satisfy |ox| < xi; the rim starts at |ox| >= xi.
        ColumnsBetween(cx, -xo, -xi + 1e-9, box, plot);
        ColumnsBetween(cx, xi - 1e-9, xo, box, plot);
      } else {
        ColumnsBetween(cx, -xo, xo, box, plot);
      }
    }
  });
}

void PIX_Arc(PIX_IBitmap* bitmap, float cx, float cy, float r, float minAngle, float maxAngle, unsigned color,
             float alpha, int mode, bool aa) {
  PIX_Canvas cv;
  if (!PIX_GetRows(bitmap, &cv.rows) || !Usable(cx, cy, r) || !std::isfinite(minAngle) || !std::isfinite(maxAngle))
    return;
  cv.color = color;
  const int w = PIX_Weight(alpha);
  if (w == 0) return;
  if (minAngle > maxAngle) std::swap(minAngle, maxAngle);
  if (maxAngle - minAngle >= kTwoPi) {
    DrawOutline(cv, cx, cy, r, WholeBitmap(cv), w, mode, aa);
    return;
  }
  if (maxAngle >= kTwoPi) {
    const float moved = std::fmod(maxAngle, kTwoPi);
    minAngle += moved - maxAngle;
    maxAngle = moved;
  }
  if (minAngle <= -kTwoPi) {
    const float moved = std::fmod(minAngle, kTwoPi);
    maxAngle += moved - minAngle;
    minAngle = moved;
  }
  // Split at -pi, 0 and pi so each piece lies in one half of the circle.
  const float cuts[] = {-kPi, 0.0f, kPi};
  float from = minAngle;
  for (int i = 0; i <= 3 && from < maxAngle; ++i) {
    float to = maxAngle;
    for (float cut : cuts)
      if (cut > from && cut < to) to = cut;
    const bool rightHalf = (from >= 0 && from < kPi) || (from >= -kTwoPi && from < -kPi);
    // Rows whose centres lie between the heights of the two end points.
    const double yFrom = cy - r * std::cos(double(from)), yTo = cy - r * std::cos(double(to));
    const int rowA = FirstRowAtOrBelow(std::min(yFrom, yTo));
    const int rowB = LastRowAtOrAbove(std::max(yFrom, yTo));
    Box box = WholeBitmap(cv);
    const int split = int(std::ceil(cx));
    if (rightHalf)
      box.x0 = std::max(box.x0, split);
    else
      box.x1 = std::min(box.x1, split);
    box.y0 = std::max(box.y0, rowA);
    box.y1 = std::min(box.y1, rowB + 1);
    if (box.x0 < box.x1 && box.y0 < box.y1) DrawOutline(cv, cx, cy, r, box, w, mode, aa);
    from = to;
  }
}

void PIX_RoundRect(PIX_IBitmap* bitmap, float x, float y, float w, float h, int cornerRadius, unsigned color,
                   float alpha, int mode, bool aa) {
  if (!bitmap || !(w >= 1) || !(h >= 1) || !std::isfinite(x) || !std::isfinite(y) || w > 1e7f || h > 1e7f) return;
  const int left = int(std::floor(x)), top = int(std::floor(y));
  const int right = left + int(w) - 1, bottom = top + int(h) - 1;
  const int c = std::max(0, std::min(cornerRadius, std::min(right - left, bottom - top) / 2));
  if (c == 0) {
    PIX_Line(bitmap, left, top, right, top, color, alpha, mode, false);
    PIX_Line(bitmap, left, bottom, right, bottom, color, alpha, mode, false);
    if (bottom - top > 1) {
      PIX_Line(bitmap, left, top + 1, left, bottom - 1, color, alpha, mode, false);
      PIX_Line(bitmap, right, top + 1, right, bottom - 1, color, alpha, mode, false);
    }
    return;
  }
  // Quarter circles through the outer pixel centres at each corner; the
  // straight edges fill the gaps between them.
  const float cl = left + 0.5f + c, cr = right + 0.5f - c;
  const float ct = top + 0.5f + c, cb = bottom + 0.5f - c;
  PIX_Arc(bitmap, cl, ct, float(c), -kPi / 2, 0.0f, color, alpha, mode, aa);
  PIX_Arc(bitmap, cr, ct, float(c), 0.0f, kPi / 2, color, alpha, mode, aa);
  PIX_Arc(bitmap, cr, cb, float(c), kPi / 2, kPi, color, alpha, mode, aa);
  PIX_Arc(bitmap, cl, cb, float(c), kPi, kPi * 1.5f, color, alpha, mode, aa);
  const int edgeLeft = int(std::ceil(cl)), edgeRight = int(std::ceil(cr)) - 1;
  if (edgeLeft <= edgeRight) {
    PIX_Line(bitmap, edgeLeft, top, edgeRight, top, color, alpha, mode, false);
    PIX_Line(bitmap, edgeLeft, bottom, edgeRight, bottom, color, alpha, mode, false);
  }
  const int edgeTop = LastRowAtOrAbove(ct) + 1, edgeBottom = FirstRowAtOrBelow(cb) - 1;
  if (edgeTop <= edgeBottom) {
    PIX_Line(bitmap, left, edgeTop, left, edgeBottom, color, alpha, mode, false);
    PIX_Line(bitmap, right, edgeTop, right, edgeBottom, color, alpha, mode, false);
  }
}
