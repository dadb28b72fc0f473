// Points, lines, circles, arcs and filled shapes of IGraphics. These are not
// clipped to the area being repainted; the raster library clips to the
// draw bitmap. At drawing scale 1 each is one raster call, pixel for pixel;
// at 2 an editor pixel is a 2 x 2 block, so outlines are drawn as two
// device pixels wide and filled shapes cover the blocks of their pixels.

#include <cmath>
#include <cstdlib>
#include <vector>

#include "graphics/IGraphics.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Draw.h"
#include "pix/PIX_Pixel.h"

namespace {
// Plain, full-weight, unfiltered lines for outlines.
constexpr float kFullWeight = 1.0f;
constexpr int kPlainCopy = PIX_MODE_COPY;

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

// A point given as a pixel's index (its centre) at drawing scale s: the
// centre of that pixel's block.
float Centre(float v, int s) { return v * static_cast<float>(s) + 0.5f * static_cast<float>(s - 1); }
}  // namespace

void IGraphics::FillBlock(unsigned pix, int x, int y, float weight, int mode) {
  const int s = mDrawScale;
  for (int dy = 0; dy < s; ++dy)
    for (int dx = 0; dx < s; ++dx) PIX_PutPixel(mDrawBitmap.get(), x * s + dx, y * s + dy, pix, weight, mode);
}

void IGraphics::ScaledLine(unsigned pix, int x1, int y1, int x2, int y2, float weight, int mode, bool antiAlias) {
  const int s = mDrawScale;
  // One pass per device row (or column) across the line, none overlapping;
  // each end reaches to the far side of its pixel's block.
  const bool alongX = std::abs(x2 - x1) >= std::abs(y2 - y1);
  const int endX = x2 >= x1 ? s - 1 : 0, startX = x2 >= x1 ? 0 : s - 1;
  const int endY = y2 >= y1 ? s - 1 : 0, startY = y2 >= y1 ? 0 : s - 1;
  for (int k = 0; k < s; ++k) {
    if (alongX)
      PIX_Line(mDrawBitmap.get(), x1 * s + startX, y1 * s + k, x2 * s + endX, y2 * s + k, pix, weight, mode, antiAlias);
    else
      PIX_Line(mDrawBitmap.get(), x1 * s + k, y1 * s + startY, x2 * s + k, y2 * s + endY, pix, weight, mode, antiAlias);
  }
}

bool IGraphics::DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend, bool antiAlias) {
  FillBlock(PixColor(color), static_cast<int>(x + 0.5f), static_cast<int>(y + 0.5f), PixWeight(blend),
            PixBlendMode(blend));
  return true;
}

bool IGraphics::ForcePixel(const IColor* color, int x, int y) {
  // Checked, although callers are asked to stay inside: a stray coordinate
  // must not write outside the pixel memory.
  const int s = mDrawScale;
  if (!mDrawBitmap || x < 0 || y < 0 || (x + 1) * s > mDrawBitmap->getWidth() || (y + 1) * s > mDrawBitmap->getHeight())
    return true;
  unsigned* bits = mDrawBitmap->getBits();
  if (!bits) return true;
  for (int dy = 0; dy < s; ++dy)
    for (int dx = 0; dx < s; ++dx)
      bits[static_cast<long>(y * s + dy) * mDrawBitmap->getRowSpan() + x * s + dx] = PixColor(color);
  return true;
}

bool IGraphics::DrawLine(const IColor* color, float x1, float y1, float x2, float y2, const IChannelBlend* blend,
                         bool antiAlias) {
  ScaledLine(PixColor(color), static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2),
             PixWeight(blend), PixBlendMode(blend), antiAlias);
  return true;
}

bool IGraphics::DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin, float rMax,
                               const IChannelBlend* blend, bool antiAlias) {
  const float sinV = std::sin(angle);
  const float cosV = std::cos(angle);
  return DrawLine(color, cx + rMin * sinV, cy - rMin * cosV, cx + rMax * sinV, cy - rMax * cosV, blend, antiAlias);
}

bool IGraphics::DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
                        const IChannelBlend* blend, bool antiAlias) {
  const int s = mDrawScale;
  // At 2 the ring [r - 0.5, r + 0.5] of the one-pixel arc is two arcs wide.
  for (int k = 0; k < s; ++k)
    PIX_Arc(mDrawBitmap.get(), Centre(cx, s), Centre(cy, s), r * s + k - 0.5f * (s - 1), minAngle, maxAngle,
            PixColor(color), PixWeight(blend), PixBlendMode(blend), antiAlias);
  return true;
}

bool IGraphics::DrawCircle(const IColor* color, float cx, float cy, float r, const IChannelBlend* blend,
                           bool antiAlias) {
  const int s = mDrawScale;
  for (int k = 0; k < s; ++k)
    PIX_Circle(mDrawBitmap.get(), Centre(cx, s), Centre(cy, s), r * s + k - 0.5f * (s - 1), PixColor(color),
               PixWeight(blend), PixBlendMode(blend), antiAlias);
  return true;
}

bool IGraphics::RoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius,
                          bool antiAlias) {
  const int s = mDrawScale;
  // At 2 a second outline one device pixel inside the first.
  for (int k = 0; k < s; ++k)
    PIX_RoundRect(mDrawBitmap.get(), static_cast<float>(r->L * s + k), static_cast<float>(r->T * s + k),
                  static_cast<float>(r->W() * s - 2 * k), static_cast<float>(r->H() * s - 2 * k),
                  cornerRadius * s - k, PixColor(color), PixWeight(blend), PixBlendMode(blend), antiAlias);
  return true;
}

bool IGraphics::FillRoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius,
                              bool antiAlias) {
  const unsigned pix = PixColor(color);
  const float weight = PixWeight(blend);
  const int mode = PixBlendMode(blend);
  const int s = mDrawScale;
  const int x = r->L * s;
  const int y = r->T * s;
  const int w = r->W() * s;
  const int h = r->H() * s;
  const int c = cornerRadius * s;
  const float cr = static_cast<float>(c);
  // Corner centres on the pixel (block) inside each corner.
  const float lo = 0.5f * static_cast<float>(s - 1);
  const float hi = -1.0f - lo;
  PIX_FillRect(mDrawBitmap.get(), x + c, y, w - 2 * c, h, pix, weight, mode);
  PIX_FillRect(mDrawBitmap.get(), x, y + c, c, h - 2 * c, pix, weight, mode);
  PIX_FillRect(mDrawBitmap.get(), x + w - c, y + c, c, h - 2 * c, pix, weight, mode);
  PIX_FillCircle(mDrawBitmap.get(), x + c + lo, y + c + lo, cr, pix, weight, mode, antiAlias);
  PIX_FillCircle(mDrawBitmap.get(), x + w - c + hi, y + h - c + hi, cr, pix, weight, mode, antiAlias);
  PIX_FillCircle(mDrawBitmap.get(), x + w - c + hi, y + c + lo, cr, pix, weight, mode, antiAlias);
  PIX_FillCircle(mDrawBitmap.get(), x + c + lo, y + h - c + hi, cr, pix, weight, mode, antiAlias);
  return true;
}

bool IGraphics::FillIRect(const IColor* color, IRECT* r, const IChannelBlend* blend) {
  const int s = mDrawScale;
  PIX_FillRect(mDrawBitmap.get(), r->L * s, r->T * s, r->W() * s, r->H() * s, PixColor(color), PixWeight(blend),
               PixBlendMode(blend));
  return true;
}

bool IGraphics::FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend, bool antiAlias) {
  const int s = mDrawScale;
  PIX_FillCircle(mDrawBitmap.get(), Centre(static_cast<float>(cx), s), Centre(static_cast<float>(cy), s), r * s,
                 PixColor(color), PixWeight(blend), PixBlendMode(blend), antiAlias);
  return true;
}

bool IGraphics::FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                             IChannelBlend* blend) {
  const int s = mDrawScale;
  PIX_FillTriangle(mDrawBitmap.get(), x1 * s, y1 * s, x2 * s, y2 * s, x3 * s, y3 * s, PixColor(color), PixWeight(blend),
                   PixBlendMode(blend));
  return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* color, int* x, int* y, int npoints, const IChannelBlend* blend) {
  const int s = mDrawScale;
  if (s == 1 || npoints <= 0) {
    PIX_FillConvexPolygon(mDrawBitmap.get(), x, y, npoints, PixColor(color), PixWeight(blend), PixBlendMode(blend));
    return true;
  }
  std::vector<int> xs(x, x + npoints), ys(y, y + npoints);
  for (int i = 0; i < npoints; ++i) {
    xs[size_t(i)] *= s;
    ys[size_t(i)] *= s;
  }
  PIX_FillConvexPolygon(mDrawBitmap.get(), xs.data(), ys.data(), npoints, PixColor(color), PixWeight(blend),
                        PixBlendMode(blend));
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi) {
  ScaledLine(PixColor(color), xi, yLo, xi, yHi, kFullWeight, kPlainCopy, false);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi) {
  ScaledLine(PixColor(color), xLo, yi, xHi, yi, kFullWeight, kPlainCopy, false);
  return true;
}

bool IGraphics::DrawRect(const IColor* color, IRECT* r) {
  DrawHorizontalLine(color, r->T, r->L, r->R);
  DrawHorizontalLine(color, r->B, r->L, r->R);
  DrawVerticalLine(color, r->L, r->T, r->B);
  DrawVerticalLine(color, r->R, r->T, r->B);
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* color, IRECT* r, float x) {
  const int xi = r->L + static_cast<int>(Clamp01(x) * static_cast<float>(r->R - r->L));
  return DrawVerticalLine(color, xi, r->T, r->B);
}

bool IGraphics::DrawHorizontalLine(const IColor* color, IRECT* r, float y) {
  const int yi = r->B - static_cast<int>(Clamp01(y) * static_cast<float>(r->B - r->T));
  return DrawHorizontalLine(color, yi, r->L, r->R);
}

IColor IGraphics::GetPoint(int x, int y) {
  const unsigned pix = PIX_GetPixel(mDrawBitmap.get(), x * mDrawScale, y * mDrawScale);
  return IColor(PIX_Alpha(pix), PIX_Red(pix), PIX_Green(pix), PIX_Blue(pix));
}
