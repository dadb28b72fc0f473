// Points, lines, circles, arcs and filled shapes of IGraphics. These are not
// clipped to the area being repainted; the raster library clips to the
// draw bitmap.

#include <cmath>

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
}  // namespace

bool IGraphics::DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend, bool antiAlias) {
  PIX_PutPixel(mDrawBitmap, static_cast<int>(x + 0.5f), static_cast<int>(y + 0.5f), PixColor(color),
               PixWeight(blend), PixBlendMode(blend));
  return true;
}

bool IGraphics::ForcePixel(const IColor* color, int x, int y) {
  // Checked, although callers are asked to stay inside: a stray coordinate
  // must not write outside the pixel memory.
  if (!mDrawBitmap || x < 0 || y < 0 || x >= mDrawBitmap->getWidth() || y >= mDrawBitmap->getHeight()) return true;
  unsigned* bits = mDrawBitmap->getBits();
  if (bits) bits[static_cast<long>(y) * mDrawBitmap->getRowSpan() + x] = PixColor(color);
  return true;
}

bool IGraphics::DrawLine(const IColor* color, float x1, float y1, float x2, float y2, const IChannelBlend* blend,
                         bool antiAlias) {
  PIX_Line(mDrawBitmap, static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2),
           PixColor(color), PixWeight(blend), PixBlendMode(blend), antiAlias);
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
  PIX_Arc(mDrawBitmap, cx, cy, r, minAngle, maxAngle, PixColor(color), PixWeight(blend), PixBlendMode(blend),
          antiAlias);
  return true;
}

bool IGraphics::DrawCircle(const IColor* color, float cx, float cy, float r, const IChannelBlend* blend,
                           bool antiAlias) {
  PIX_Circle(mDrawBitmap, cx, cy, r, PixColor(color), PixWeight(blend), PixBlendMode(blend), antiAlias);
  return true;
}

bool IGraphics::RoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius,
                          bool antiAlias) {
  PIX_RoundRect(mDrawBitmap, static_cast<float>(r->L), static_cast<float>(r->T), static_cast<float>(r->W()),
                static_cast<float>(r->H()), cornerRadius, PixColor(color), PixWeight(blend), PixBlendMode(blend),
                antiAlias);
  return true;
}

bool IGraphics::FillRoundRect(const IColor* color, IRECT* r, const IChannelBlend* blend, int cornerRadius,
                              bool antiAlias) {
  const unsigned pix = PixColor(color);
  const float weight = PixWeight(blend);
  const int mode = PixBlendMode(blend);
  const int x = r->L;
  const int y = r->T;
  const int w = r->W();
  const int h = r->H();
  const int c = cornerRadius;
  const float cr = static_cast<float>(c);
  PIX_FillRect(mDrawBitmap, x + c, y, w - 2 * c, h, pix, weight, mode);
  PIX_FillRect(mDrawBitmap, x, y + c, c, h - 2 * c, pix, weight, mode);
  PIX_FillRect(mDrawBitmap, x + w - c, y + c, c, h - 2 * c, pix, weight, mode);
  PIX_FillCircle(mDrawBitmap, static_cast<float>(x + c), static_cast<float>(y + c), cr, pix, weight, mode, antiAlias);
  PIX_FillCircle(mDrawBitmap, static_cast<float>(x + w - c - 1), static_cast<float>(y + h - c - 1), cr, pix, weight,
                 mode, antiAlias);
  PIX_FillCircle(mDrawBitmap, static_cast<float>(x + w - c - 1), static_cast<float>(y + c), cr, pix, weight, mode,
                 antiAlias);
  PIX_FillCircle(mDrawBitmap, static_cast<float>(x + c), static_cast<float>(y + h - c - 1), cr, pix, weight, mode,
                 antiAlias);
  return true;
}

bool IGraphics::FillIRect(const IColor* color, IRECT* r, const IChannelBlend* blend) {
  PIX_FillRect(mDrawBitmap, r->L, r->T, r->W(), r->H(), PixColor(color), PixWeight(blend), PixBlendMode(blend));
  return true;
}

bool IGraphics::FillCircle(const IColor* color, int cx, int cy, float r, const IChannelBlend* blend, bool antiAlias) {
  PIX_FillCircle(mDrawBitmap, static_cast<float>(cx), static_cast<float>(cy), r, PixColor(color), PixWeight(blend),
                 PixBlendMode(blend), antiAlias);
  return true;
}

bool IGraphics::FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                             IChannelBlend* blend) {
  PIX_FillTriangle(mDrawBitmap, x1, y1, x2, y2, x3, y3, PixColor(color), PixWeight(blend), PixBlendMode(blend));
  return true;
}

bool IGraphics::FillIConvexPolygon(const IColor* color, int* x, int* y, int npoints, const IChannelBlend* blend) {
  PIX_FillConvexPolygon(mDrawBitmap, x, y, npoints, PixColor(color), PixWeight(blend), PixBlendMode(blend));
  return true;
}

bool IGraphics::DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi) {
  PIX_Line(mDrawBitmap, xi, yLo, xi, yHi, PixColor(color), kFullWeight, kPlainCopy, false);
  return true;
}

bool IGraphics::DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi) {
  PIX_Line(mDrawBitmap, xLo, yi, xHi, yi, PixColor(color), kFullWeight, kPlainCopy, false);
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
  const unsigned pix = PIX_GetPixel(mDrawBitmap, x, y);
  return IColor(PIX_Alpha(pix), PIX_Red(pix), PIX_Green(pix), PIX_Blue(pix));
}
