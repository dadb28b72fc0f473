#include "graphics/IResourceImage.h"

#include <cstdio>

#include "graphics/GraphicsCheck.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_PNG.h"
#include "pix/PIX_PNGInfo.h"

namespace {
// Enlarged pixels keep rows aligned as decoded ones do.
constexpr unsigned kLineAlignment = 4;
// Room for a file name and the reason it did not decode.
constexpr int kReportBytes = 1024;

// The decoded image when it has the size the header promised; otherwise
// null, with the reason in why.
std::unique_ptr<PIX_IBitmap> DecodeSized(const char* path, int w, int h, const char** why) {
  std::unique_ptr<PIX_IBitmap> decoded(PIX_LoadPNG(path, nullptr));
  if (!decoded) {
    *why = PIX_PNGFailureReason();
    return nullptr;
  }
  if (decoded->getWidth() == w && decoded->getHeight() == h) return decoded;
  *why = "its size is not the expected one";
  return nullptr;
}
}  // namespace

std::unique_ptr<IResourceImage> IResourceImage::FromFile(const char* path, const char* path2x,
                                                         const char** reason) {
  int w = 0;
  int h = 0;
  if (!PIX_ReadPNGSize(path, &w, &h, reason)) return nullptr;
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
    const char* why = "";
    pixels = DecodeSized(mPath.Get(), mWidth, mHeight, &why);
    if (!pixels) {
      char detail[kReportBytes];
      std::snprintf(detail, sizeof detail, "%s: %s", mPath.Get(), why);
      GraphicsCheck(false, "imgResourceFound", detail);
    }
    return pixels.get();
  }
  pixels = Decode2x();
  return pixels.get();
}

std::unique_ptr<PIX_IBitmap> IResourceImage::Decode2x() {
  const int w = 2 * mWidth;
  const int h = 2 * mHeight;
  if (!mPath2x.IsEmpty()) {
    const char* why = "";
    std::unique_ptr<PIX_IBitmap> decoded = DecodeSized(mPath2x.Get(), w, h, &why);
    if (decoded) return decoded;
    // Said once: the enlarged pixels are kept in the 2x file's place.
    std::fprintf(stderr, "editor: %s: %s; drawing the scale-1 image enlarged\n", mPath2x.Get(), why);
  }
  // Without a 2x file the image is at least shown at its place and size.
  PIX_IBitmap* one = AtScale(1);
  auto enlarged = std::make_unique<PIX_MemBitmap>(w, h, kLineAlignment);
  PIX_ScaledBlit(enlarged.get(), one, 0, 0, w, h, 0.0f, 0.0f, float(mWidth), float(mHeight), 1.0f,
                 PIX_MODE_COPY | PIX_MODE_FILTER_BILINEAR);
  return enlarged;
}
