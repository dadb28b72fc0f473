#pragma once
// An image resource that is only a file and a size until it is first drawn.
// Bitmap handles, control rectangles and the bitmap cache need nothing but
// the size, so an instance that never shows its editor decodes no image;
// the first editor that draws one pays for decoding it, once per process.
// An editor drawing at scale 2 reads the image's 2x file instead (kept
// beside it as NAME@2x.png), decoded only then.
//
// Ownership: the bitmap cache holds it like any loaded bitmap; it owns its
// decoded pixels. Threads: main thread, like all drawing.

#include <memory>

#include "graphics/IScaledImage.h"
#include "kit/KIT_String.h"

class IResourceImage : public IScaledImage {
public:
  // Largest drawing scale with pixels of its own.
  static constexpr int kMaxScale = 2;

  // Null when the file's PNG header cannot be read, with the reason in
  // *reason when given. path2x, when not null, is the file drawn at scale 2.
  static std::unique_ptr<IResourceImage> FromFile(const char* path, const char* path2x = nullptr,
                                                  const char** reason = nullptr);

  // Decoded on the first call for each scale. At 2: the 2x file, or, when
  // there is none or it is not twice the size, the scale-1 pixels enlarged
  // once (a 2x file that is there but unusable is named on stderr with the
  // reason, once). A scale-1 file that no longer decodes stops the program
  // naming it and the reason, as a missing resource does. Null for other
  // scales.
  PIX_IBitmap* AtScale(int scale) override;
  bool Decoded(int scale = 1) const;

  int getWidth() override { return mWidth; }
  int getHeight() override { return mHeight; }

private:
  IResourceImage(const char* path, const char* path2x, int w, int h);
  std::unique_ptr<PIX_IBitmap> Decode2x();

  KIT_String mPath;
  KIT_String mPath2x;
  int mWidth;
  int mHeight;
  std::unique_ptr<PIX_IBitmap> mPixels[kMaxScale];
};
