#pragma once
// A drawing surface for one image or frame: a colour image and a coverage
// mask (grey, 0 transparent to 1 opaque), both held Style::kSuper times
// larger than the output and box-filtered down when resolved, so every edge
// is anti-aliased alike. Coordinates are layout pixels (pixel (x, y) covers
// x..x+1, y..y+1); a resolved layer has OutputScale() output pixels for
// each. Owns its bitmaps. Single-threaded.

#include "Colour.h"
#include "pix/PIX_Bitmap.h"

// Output pixels per layout pixel of everything resolved or printed from now
// on: 1 for NAME.png, 2 for NAME@2x.png. The supersampled drawing is the
// same at both; only its reduction differs, so it must divide kSuper.
void SetOutputScale(int scale);
int OutputScale();

class Layer {
public:
  Layer(int width, int height);
  Layer(const Layer&) = delete;
  Layer& operator=(const Layer&) = delete;

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int Scale() const { return mScale; }
  PIX_IBitmap* ColourBits() { return &mColour; }
  PIX_IBitmap* CoverBits() { return &mCover; }

  // Every sample becomes colour `c` with coverage `cover`. Clearing to the
  // colour of a shape's edge keeps anti-aliased edges free of dark fringes.
  void Clear(Colour c, float cover);

  // Calls shade(x, y, &colour, &opacity) for every sample centre; a sample
  // whose shade returns true is laid over with that colour and opacity.
  template <class Shade>
  void Paint(Shade shade) {
    PaintArea(0.0f, 0.0f, float(mWidth), float(mHeight), shade);
  }
  // The same for the samples inside the rectangle (x, y, w, h).
  template <class Shade>
  void PaintArea(float x, float y, float w, float h, Shade shade);

  // Shapes laid over the colour and the coverage at full opacity.
  void FillCircle(float cx, float cy, float r, Colour c, float opacity = 1.0f);
  void FillPolygon(const float* xs, const float* ys, int n, Colour c, float opacity = 1.0f);
  void FillRect(float x, float y, float w, float h, Colour c, float opacity = 1.0f);
  void Line(float x1, float y1, float x2, float y2, float width, Colour c, float opacity = 1.0f);

  // The layer at full (supersampled) resolution with the coverage as alpha,
  // for use as a sprite with DrawRotated.
  void FullResolution(PIX_IBitmap* dest);
  // Lays a full-resolution sprite of the layer's size over the colour,
  // turned clockwise by `radians` about the centre; the coverage is kept.
  void DrawRotated(PIX_IBitmap* sprite, float radians);

  // The output-sized image: colour with the coverage as alpha. `dest` is
  // resized to the layer's size times the output scale.
  void Resolve(PIX_IBitmap* dest);
  // Resolves and lays the result over `dest` at layout position (x, y) by
  // its alpha.
  void CompositeOnto(PIX_IBitmap* dest, int x, int y);
  // Resolves and copies the result, alpha included, into `dest` at (x, y).
  void CopyInto(PIX_IBitmap* dest, int x, int y);

private:
  void Lay(int sx, int sy, Colour c, float opacity);

  int mWidth;
  int mHeight;
  int mScale;
  PIX_MemBitmap mColour;
  PIX_MemBitmap mCover;
};

template <class Shade>
void Layer::PaintArea(float x0, float y0, float w, float h, Shade shade) {
  const int firstX = int(x0 * mScale) < 0 ? 0 : int(x0 * mScale);
  const int firstY = int(y0 * mScale) < 0 ? 0 : int(y0 * mScale);
  const int endX = int((x0 + w) * mScale) > mWidth * mScale ? mWidth * mScale : int((x0 + w) * mScale);
  const int endY = int((y0 + h) * mScale) > mHeight * mScale ? mHeight * mScale : int((y0 + h) * mScale);
  const float step = 1.0f / float(mScale);
  for (int sy = firstY; sy < endY; ++sy) {
    const float y = (float(sy) + 0.5f) * step;
    for (int sx = firstX; sx < endX; ++sx) {
      const float x = (float(sx) + 0.5f) * step;
      Colour c;
      float opacity;
      if (shade(x, y, &c, &opacity)) Lay(sx, sy, c, opacity);
    }
  }
}
