#include <algorithm>
#include <cmath>
#include <cstdint>

#include "pix/PIX_Bilinear.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Combine.h"
#include "pix/PIX_Raster.h"

using namespace PIX_Combine;

namespace {

// Source positions walk in 16.16 fixed point: whole pixels above bit 16, the
// fraction below it (the bilinear weights, 0..65535).
const int kFixedShift = 16;
const double kFixedOne = 65536.0;
const long long kFixedFractionMask = 0xFFFF;

inline long long ToFixed(double v) { return std::llround(v * kFixedOne); }
inline long long FixedWhole(long long f) { return f >> kFixedShift; }
inline unsigned FixedFraction(long long f) { return unsigned(f & kFixedFractionMask); }

// The clipped destination area and the 16.16 source position of its first
// pixel with the steps along a row and down the rows. Bilinear positions
// are measured from pixel centres, nearest ones from pixel corners.
struct RotationWalk {
  int x0, y0, x1, y1;       // destination area, right and bottom exclusive
  double rowU, rowV;        // source position of (x0, y0)
  double downU, downV;      // change per destination row
  long long stepU, stepV;   // 16.16 change per destination column
  int loX, loY, hiX, hiY;   // valid source pixels, hi exclusive
};

inline unsigned Bilinear(const PIX_Rows& s, int x, int y, unsigned fx, unsigned fy, int hiX, int hiY) {
  const unsigned* r0 = s.Row(y);
  const unsigned* r1 = y + 1 < hiY ? s.Row(y + 1) : r0;
  const int x1 = x + 1 < hiX ? x + 1 : x;
  return PIX_BilinearFast(r0[x], r0[x1], r1[x], r1[x1], fx, fy);
}

// Samples are gathered into runs and combined a run at a time, so that the combiner's own
// loop (vectorised for the copy weighted by source alpha) does the mixing.
const int kRunPixels = 128;

template <bool kBilinear, class C>
void WalkRotation(const PIX_Rows& d, const PIX_Rows& s, const RotationWalk& w, C c) {
  for (int y = w.y0; y < w.y1; ++y) {
    const double rows = y - w.y0;
    long long u = ToFixed(w.rowU + rows * w.downU);
    long long v = ToFixed(w.rowV + rows * w.downV);
    unsigned* out = d.Row(y);
    unsigned run[kRunPixels];
    int runStart = w.x0, runLength = 0;
    for (int x = w.x0; x < w.x1; ++x, u += w.stepU, v += w.stepV) {
      const long long sx = FixedWhole(u);
      const long long sy = FixedWhole(v);
      if (sx < w.loX || sy < w.loY || sx >= w.hiX || sy >= w.hiY || runLength == kRunPixels) {
        CombineSpan(out + runStart, run, runLength, c);
        runLength = 0;
        runStart = x + 1;
        if (sx < w.loX || sy < w.loY || sx >= w.hiX || sy >= w.hiY) continue;
        runStart = x;
      }
      if (kBilinear)
        run[runLength++] = Bilinear(s, int(sx), int(sy), FixedFraction(u), FixedFraction(v), w.hiX, w.hiY);
      else
        run[runLength++] = s.Row(int(sy))[sx];
    }
    CombineSpan(out + runStart, run, runLength, c);
  }
}

}  // namespace

void PIX_RotatedBlit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                     float srcy, float srcw, float srch, float angle, bool clipToSource, float alpha, int mode,
                     float rotxcent, float rotycent) {
  PIX_Rows d, s;
  if (!PIX_GetRows(dest, &d) || !PIX_GetRows(src, &s) || dstw == 0 || dsth == 0 || dest == src) return;
  // Coordinates beyond any bitmap would only overflow the fixed-point walk.
  const float limit = 1e7f;
  for (float v : {srcx, srcy, srcw, srch, rotxcent, rotycent})
    if (!(std::fabs(v) < limit)) return;
  if (!std::isfinite(angle)) return;
  const int weight = PIX_Weight(alpha);
  if (weight == 0) return;

  const double mirrorX = dstw < 0 ? -1.0 : 1.0;
  const double mirrorY = dsth < 0 ? -1.0 : 1.0;
  long long left = dstx, top = dsty, width = dstw, height = dsth;
  if (width < 0) {
    left += width;
    width = -width;
  }
  if (height < 0) {
    top += height;
    height = -height;
  }

  RotationWalk w;
  w.x0 = int(std::max<long long>(left, 0));
  w.y0 = int(std::max<long long>(top, 0));
  w.x1 = int(std::min<long long>(left + width, d.width));
  w.y1 = int(std::min<long long>(top + height, d.height));
  if (w.x0 >= w.x1 || w.y0 >= w.y1) return;

  w.loX = 0;
  w.loY = 0;
  w.hiX = s.width;
  w.hiY = s.height;
  if (clipToSource) {
    w.loX = std::max(w.loX, int(std::max(-1e9, std::floor(double(srcx)))));
    w.loY = std::max(w.loY, int(std::max(-1e9, std::floor(double(srcy)))));
    w.hiX = std::min(w.hiX, int(std::min(1e9, std::ceil(double(srcx) + srcw))));
    w.hiY = std::min(w.hiY, int(std::min(1e9, std::ceil(double(srcy) + srch))));
  }
  if (w.loX >= w.hiX || w.loY >= w.hiY) return;

  const double scaleX = double(srcw) / double(width);
  const double scaleY = double(srch) / double(height);
  const double cosA = std::cos(double(angle));
  const double sinA = std::sin(double(angle));
  // The pivot sits at the rectangles' centres moved by the offset, so an
  // unturned blit is the same whatever the offset.
  const double pivotU = srcx + srcw / 2.0 + rotxcent;
  const double pivotV = srcy + srch / 2.0 + rotycent;
  const double pivotX = left + width / 2.0 + (scaleX != 0.0 ? rotxcent / scaleX : 0.0);
  const double pivotY = top + height / 2.0 + (scaleY != 0.0 ? rotycent / scaleY : 0.0);

  // Source offset of a destination offset (rx, ry): turned back by the angle.
  const double rx = (w.x0 + 0.5 - pivotX) * mirrorX;
  const double ry = (w.y0 + 0.5 - pivotY) * mirrorY;
  const bool bilinear = (mode & kFlagBilinear) != 0;
  const double centre = bilinear ? 0.5 : 0.0;
  w.rowU = pivotU + (rx * cosA + ry * sinA) * scaleX - centre;
  w.rowV = pivotV + (-rx * sinA + ry * cosA) * scaleY - centre;
  w.downU = sinA * scaleX * mirrorY;
  w.downV = cosA * scaleY * mirrorY;
  w.stepU = ToFixed(cosA * scaleX * mirrorX);
  w.stepV = ToFixed(-sinA * scaleY * mirrorX);

  WithBlendFormula(mode, weight, [&](auto c) {
    if (bilinear)
      WalkRotation<true>(d, s, w, c);
    else
      WalkRotation<false>(d, s, w, c);
  });
}
