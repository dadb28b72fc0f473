#include "graphics/IResourceImage.h"

#include "graphics/GraphicsCheck.h"
#include "pix/PIX_PNG.h"
#include "pix/PIX_PNGInfo.h"

std::unique_ptr<IResourceImage> IResourceImage::FromFile(const char* path) {
  int w = 0;
  int h = 0;
  if (!PIX_ReadPNGSize(path, &w, &h)) return nullptr;
  return std::unique_ptr<IResourceImage>(new IResourceImage(path, w, h));
}

PIX_IBitmap* IResourceImage::Pixels() {
  if (!mPixels) {
    mPixels.reset(PIX_LoadPNG(mPath.Get(), nullptr));
    const bool whole = mPixels && mPixels->getWidth() == mWidth && mPixels->getHeight() == mHeight;
    GraphicsCheck(whole, "imgResourceFound", mPath.Get());
  }
  return mPixels.get();
}
