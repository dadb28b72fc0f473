#pragma once
// An image resource that is only a file and a size until it is first drawn.
// Bitmap handles, control rectangles and the bitmap cache need nothing but
// the size, so an instance that never shows its editor decodes no image;
// the first editor that draws one pays for decoding it, once per process.
//
// Ownership: the bitmap cache holds it like any loaded bitmap; it owns its
// decoded pixels. Threads: main thread, like all drawing.

#include <memory>

#include "kit/KIT_String.h"
#include "pix/PIX_Bitmap.h"

class IResourceImage : public PIX_IBitmap {
public:
  // Null when the file's PNG header cannot be read.
  static std::unique_ptr<IResourceImage> FromFile(const char* path);

  // Decoded on the first call. A file that no longer decodes stops the
  // program naming it, as a missing resource does.
  PIX_IBitmap* Pixels();
  bool Decoded() const { return mPixels != nullptr; }

  // The size comes from the header; everything else decodes first.
  unsigned* getBits() override { return Pixels()->getBits(); }
  int getWidth() override { return mWidth; }
  int getHeight() override { return mHeight; }
  int getRowSpan() override { return Pixels()->getRowSpan(); }
  bool isFlipped() override { return Pixels()->isFlipped(); }
  // A resource keeps its size: never resized.
  bool resize(int w, int h) override { return false; }

private:
  IResourceImage(const char* path, int w, int h) : mPath(path), mWidth(w), mHeight(h) {}

  KIT_String mPath;
  int mWidth;
  int mHeight;
  std::unique_ptr<PIX_IBitmap> mPixels;
};
