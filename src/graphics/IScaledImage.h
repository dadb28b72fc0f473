#pragma once
// Images that an editor can draw at more than one scale: sized in editor
// pixels, they hand out their pixels for a drawing scale (1, or 2 on
// high-density screens). Raster operations that take one as a plain
// PIX_IBitmap read its scale-1 pixels, so code that knows nothing of scales
// draws it as before.
//
// Ownership: the bitmap cache holds them like any loaded or derived bitmap.
// Threads: main thread, like all drawing.

#include <memory>

#include "pix/PIX_Bitmap.h"

class IScaledImage : public PIX_IBitmap {
public:
  // The pixels for drawing at `scale` device pixels per editor pixel
  // (scale x the editor size), or null when the image has none there.
  virtual PIX_IBitmap* AtScale(int scale) = 0;

  // The scale-1 pixels; the size is in editor pixels.
  unsigned* getBits() override;
  int getRowSpan() override;
  bool isFlipped() override;
  // An image keeps its size: never resized.
  bool resize(int w, int h) override { return false; }
};

// A derived bitmap made at one drawing scale (a crop or a resize drawn
// while the editor draws at 2): editor-sized, with pixels at that scale
// only.
class IDrawnImage : public IScaledImage {
public:
  // Pixels of w x h editor pixels at `scale`, rows aligned to 4 pixels.
  IDrawnImage(int w, int h, int scale);

  PIX_IBitmap* AtScale(int scale) override { return scale == mScale ? mPixels.get() : nullptr; }
  int getWidth() override { return mWidth; }
  int getHeight() override { return mHeight; }

private:
  int mWidth;
  int mHeight;
  int mScale;
  std::unique_ptr<PIX_MemBitmap> mPixels;
};
