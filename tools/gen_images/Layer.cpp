#include "Layer.h"

#include <cmath>

#include "Style.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Draw.h"

namespace {

// Channel copy: the coverage's red byte (memory byte 1) into the alpha byte (0).
const int kRedIntoAlpha = PIX_MODE_CHANNEL_COPY | 1 | (0 << 2);

int gOutputScale = 1;

}  // namespace

void SetOutputScale(int scale) { gOutputScale = Style::kSuper % scale == 0 ? scale : 1; }

int OutputScale() { return gOutputScale; }

Layer::Layer(int width, int height)
    : mWidth(width),
      mHeight(height),
      mScale(Style::kSuper),
      mColour(width * Style::kSuper, height * Style::kSuper, 4),
      mCover(width * Style::kSuper, height * Style::kSuper, 4) {
  Clear({0, 0, 0}, 0.0f);
}

void Layer::Clear(Colour c, float cover) {
  PIX_Clear(&mColour, Pixel(c));
  PIX_Clear(&mCover, Grey(cover));
}

void Layer::Lay(int sx, int sy, Colour c, float opacity) {
  if (!(opacity > 0.0f)) return;
  const float weight = opacity > 1.0f ? 1.0f : opacity;
  PIX_PutPixel(&mColour, sx, sy, Pixel(c), weight, PIX_MODE_COPY);
  PIX_PutPixel(&mCover, sx, sy, Grey(1.0f), weight, PIX_MODE_COPY);
}

void Layer::FillCircle(float cx, float cy, float r, Colour c, float opacity) {
  const float s = float(mScale);
  PIX_FillCircle(&mColour, cx * s, cy * s, r * s, Pixel(c), opacity, PIX_MODE_COPY, false);
  PIX_FillCircle(&mCover, cx * s, cy * s, r * s, Grey(1.0f), opacity, PIX_MODE_COPY, false);
}

void Layer::FillPolygon(const float* xs, const float* ys, int n, Colour c, float opacity) {
  int ix[16], iy[16];
  if (n > 16) n = 16;
  for (int i = 0; i < n; ++i) {
    ix[i] = int(std::lround(xs[i] * mScale));
    iy[i] = int(std::lround(ys[i] * mScale));
  }
  PIX_FillConvexPolygon(&mColour, ix, iy, n, Pixel(c), opacity, PIX_MODE_COPY);
  PIX_FillConvexPolygon(&mCover, ix, iy, n, Grey(1.0f), opacity, PIX_MODE_COPY);
}

void Layer::FillRect(float x, float y, float w, float h, Colour c, float opacity) {
  const float xs[] = {x, x + w, x + w, x};
  const float ys[] = {y, y, y + h, y + h};
  FillPolygon(xs, ys, 4, c, opacity);
}

void Layer::Line(float x1, float y1, float x2, float y2, float width, Colour c, float opacity) {
  const float dx = x2 - x1, dy = y2 - y1;
  const float len = std::sqrt(dx * dx + dy * dy);
  if (len <= 0.0f) return;
  const float nx = -dy / len * width * 0.5f, ny = dx / len * width * 0.5f;
  const float xs[] = {x1 + nx, x2 + nx, x2 - nx, x1 - nx};
  const float ys[] = {y1 + ny, y2 + ny, y2 - ny, y1 - ny};
  FillPolygon(xs, ys, 4, c, opacity);
}

void Layer::FullResolution(PIX_IBitmap* dest) {
  PIX_Copy(dest, &mColour);
  PIX_Blit(dest, &mCover, 0, 0, nullptr, 1.0f, kRedIntoAlpha);
}

void Layer::DrawRotated(PIX_IBitmap* sprite, float radians) {
  const int w = mWidth * mScale, h = mHeight * mScale;
  PIX_RotatedBlit(&mColour, sprite, 0, 0, w, h, 0.0f, 0.0f, float(w), float(h), radians, false, 1.0f,
                  PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA | PIX_MODE_FILTER_BILINEAR, 0.0f, 0.0f);
}

void Layer::Resolve(PIX_IBitmap* dest) {
  const int w = mWidth * gOutputScale, h = mHeight * gOutputScale;
  dest->resize(w, h);
  PIX_MemBitmap cover(w, h, 4);
  const float sw = float(mWidth * mScale), sh = float(mHeight * mScale);
  PIX_ScaledBlit(dest, &mColour, 0, 0, w, h, 0, 0, sw, sh, 1.0f, PIX_MODE_FILTER_BILINEAR);
  PIX_ScaledBlit(&cover, &mCover, 0, 0, w, h, 0, 0, sw, sh, 1.0f, PIX_MODE_FILTER_BILINEAR);
  PIX_Blit(dest, &cover, 0, 0, nullptr, 1.0f, kRedIntoAlpha);
}

void Layer::CompositeOnto(PIX_IBitmap* dest, int x, int y) {
  PIX_MemBitmap out(0, 0, 4);
  Resolve(&out);
  PIX_Blit(dest, &out, x * gOutputScale, y * gOutputScale, nullptr, 1.0f, PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA);
}

void Layer::CopyInto(PIX_IBitmap* dest, int x, int y) {
  PIX_MemBitmap out(0, 0, 4);
  Resolve(&out);
  PIX_Blit(dest, &out, x * gOutputScale, y * gOutputScale, nullptr, 1.0f, PIX_MODE_COPY);
}
