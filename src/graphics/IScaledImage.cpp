#include "graphics/IScaledImage.h"

namespace {
// Derived bitmaps keep rows aligned to this many pixels, as the editor's do.
constexpr unsigned kLineAlignment = 4;
}  // namespace

unsigned* IScaledImage::getBits() {
  PIX_IBitmap* pixels = AtScale(1);
  return pixels ? pixels->getBits() : nullptr;
}

int IScaledImage::getRowSpan() {
  PIX_IBitmap* pixels = AtScale(1);
  return pixels ? pixels->getRowSpan() : 0;
}

bool IScaledImage::isFlipped() {
  PIX_IBitmap* pixels = AtScale(1);
  return pixels && pixels->isFlipped();
}

IDrawnImage::IDrawnImage(int w, int h, int scale)
    : mWidth(w), mHeight(h), mScale(scale), mPixels(new PIX_MemBitmap(w * scale, h * scale, kLineAlignment)) {}
