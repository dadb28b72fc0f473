#include "graphics/IResourceImage.h"

#include "graphics/GraphicsCheck.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_PNG.h"
#include "pix/PIX_PNGInfo.h"

namespace {
// Enlarged pixels keep rows aligned as decoded ones do.
constexpr unsigned kLineAlignment = 4;
}  // namespace

std::unique_ptr<IResourceImage> IResourceImage::FromFile(const char* path, const char* path2x) {
  int w = 0;
  int h = 0;
  if (!PIX_ReadPNGSize(path, &w, &h)) return nullptr;
  return std::unique_ptr<IResourceImage>(new IResourceImage(path, path2x, w, h));
}

IResourceImage::IResourceImage(const char* path, const char* path2x, int w, int h)
    : mPath(path), mPath2x(path2x ? path2x : ""), mWidth(w), mHeight(h) {}

bool IResourceImage::Decoded(int scale) const {
  return scale >= 1 && scale <= kMaxScale && mPixels[scale - 1] != nullptr;
}

PIX_IBitmap* IResourceImage::AtScale(int scale) {
  if (scale < 1 || scale > kMaxScale) return nullptr;
  std::unique_ptr<PIX_IBitmap>& pixels = mPixels[scale - 1];
  if (pixels) return pixels.get();
  if (scale == 1) {
    pixels.reset(PIX_LoadPNG(mPath.Get(), nullptr));
    const bool whole = pixels && pixels->getWidth() == mWidth && pixels->getHeight() == mHeight;
    GraphicsCheck(whole, "imgResourceFound", mPath.Get());
    return pixels.get();
  }
  pixels.reset(Decode2x());
  return pixels.get();
}

PIX_IBitmap* IResourceImage::Decode2x() {
  const int w = 2 * mWidth;
  const int h = 2 * mHeight;
  if (!mPath2x.IsEmpty()) {
    std::unique_ptr<PIX_IBitmap> decoded(PIX_LoadPNG(mPath2x.Get(), nullptr));
    if (decoded && decoded->getWidth() == w && decoded->getHeight() == h) return decoded.release();
  }
  // Without a 2x file the image is at least shown at its place and size.
  PIX_IBitmap* one = AtScale(1);
  PIX_MemBitmap* enlarged = new PIX_MemBitmap(w, h, kLineAlignment);
  PIX_ScaledBlit(enlarged, one, 0, 0, w, h, 0.0f, 0.0f, float(mWidth), float(mHeight), 1.0f,
                 PIX_MODE_COPY | PIX_MODE_FILTER_BILINEAR);
  return enlarged;
}
