// Bitmap loading, derived bitmaps and bitmap drawing of IGraphics.

#include <cstdio>

#include "graphics/GraphicsCheck.h"
#include "graphics/IGraphics.h"
#include "graphics/IGraphicsCaches.h"
#include "graphics/IResourceImage.h"
#include "graphics/IScaledImage.h"
#include "dcx/ResourceDir.h"
#include "kit/KIT_String.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Draw.h"

namespace {
// Derived bitmaps keep rows aligned to this many pixels.
constexpr unsigned kLineAlignment = 4;
// Room for the resource named in a failed load.
constexpr int kResourceTextLen = 512;
// Keeps all colour channels and clears alpha.
constexpr unsigned kClearAlphaKeepMask = 0xFFFFFF00;
// Composition modes of the rotating mask: additive and plain copy, both
// weighted by source alpha with bilinear filtering.
constexpr int kMaskMode = PIX_MODE_SOURCE_ALPHA | PIX_MODE_FILTER_BILINEAR | PIX_MODE_ADD;
constexpr int kTopMode = PIX_MODE_SOURCE_ALPHA | PIX_MODE_FILTER_BILINEAR | PIX_MODE_COPY;

// The scratch bitmap seen as an image of editor size at the drawing scale,
// for the moment it is drawn.
class ScratchView : public IScaledImage {
public:
  ScratchView(PIX_IBitmap* pixels, int w, int h, int scale) : mPixels(pixels), mWidth(w), mHeight(h), mScale(scale) {}
  PIX_IBitmap* AtScale(int scale) override { return scale == mScale ? mPixels : nullptr; }
  int getWidth() override { return mWidth; }
  int getHeight() override { return mHeight; }

private:
  PIX_IBitmap* mPixels;
  int mWidth;
  int mHeight;
  int mScale;
};
}  // namespace

int PixBlendMode(const IChannelBlend* blend) {
  if (!blend) return PIX_MODE_SOURCE_ALPHA | PIX_MODE_COPY;
  switch (blend->mMethod) {
    case IChannelBlend::kBlendClobber:
      return PIX_MODE_COPY;
    case IChannelBlend::kBlendAdd:
      return PIX_MODE_SOURCE_ALPHA | PIX_MODE_ADD;
    case IChannelBlend::kBlendColorDodge:
      return PIX_MODE_SOURCE_ALPHA | PIX_MODE_DODGE;
    default:
      return PIX_MODE_SOURCE_ALPHA | PIX_MODE_COPY;
  }
}

bool IGraphics::OSImageFile(int id, const char* name, KIT_String* path) { return false; }

PIX_IBitmap* IGraphics::LoadResourceBitmap(int id, const char* name) {
  char resource[kResourceTextLen];
  const int used = std::snprintf(resource, sizeof(resource), "bitmap %d, %s", id, name ? name : "(no name)");
  KIT_String file, name2x, file2x;
  PIX_IBitmap* bitmap = nullptr;
  if (OSImageFile(id, name, &file)) {
    const bool has2x = ScaledImageName(name, 2, &name2x) && OSImageFile(id, name2x.Get(), &file2x);
    const char* why = "";
    bitmap = IResourceImage::FromFile(file.Get(), has2x ? file2x.Get() : nullptr, &why).release();
    // Decoding it whole would fail the same way: the reason is said here.
    if (!bitmap && used > 0 && used < kResourceTextLen)
      std::snprintf(resource + used, sizeof(resource) - used, " (%s: %s)", file.Get(), why);
  } else {
    bitmap = OSLoadBitmap(id, name);
  }
  GraphicsCheck(bitmap != nullptr, "imgResourceFound", resource);
  return bitmap;
}

IBitmap IGraphics::LoadIBitmap(int id, const char* name, int nStates, bool framesAreHoriztonal) {
  PIX_IBitmap* bitmap = BitmapStorage::Instance().Find(id);
  if (!bitmap) {
    bitmap = LoadResourceBitmap(id, name);
    BitmapStorage::Instance().Add(bitmap, id);
  }
  IScaledImage* image = dynamic_cast<IScaledImage*>(bitmap);
  if (image && mImages.Find(image) < 0) mImages.Add(image);
  return IBitmap(bitmap, bitmap->getWidth(), bitmap->getHeight(), nStates, framesAreHoriztonal);
}

void IGraphics::RetainBitmap(IBitmap* bitmap) {
  if (bitmap && bitmap->mData) BitmapStorage::Instance().Add(bitmap->mData);
}

void IGraphics::ReleaseBitmap(IBitmap* bitmap) {
  if (bitmap) BitmapStorage::Instance().Remove(bitmap->mData);
}

PIX_IBitmap* IGraphics::PixelsAtDrawScale(IBitmap* bitmap) {
  if (mDrawScale == 1) return bitmap->mData;
  IScaledImage* scaled = dynamic_cast<IScaledImage*>(bitmap->mData);
  return scaled ? scaled->AtScale(mDrawScale) : nullptr;
}

PIX_IBitmap* IGraphics::NewDerivedBitmap(int w, int h) {
  if (mDrawScale == 1) return new PIX_MemBitmap(w, h, kLineAlignment);
  return new IDrawnImage(w, h, mDrawScale);
}

IBitmap IGraphics::ScaleBitmap(IBitmap* srcBitmap, int destW, int destH) {
  PIX_IBitmap* dest = NewDerivedBitmap(destW, destH);
  const int s = mDrawScale;
  PIX_IBitmap* pixels = PixelsAtDrawScale(srcBitmap);
  PIX_IBitmap* from = pixels ? pixels : srcBitmap->mData;
  const float fromScale = pixels ? float(s) : 1.0f;
  PIX_IBitmap* to = s == 1 ? dest : static_cast<IScaledImage*>(dest)->AtScale(s);
  PIX_ScaledBlit(to, from, 0, 0, destW * s, destH * s, 0.0f, 0.0f, fromScale * srcBitmap->W,
                 fromScale * srcBitmap->H, 1.0f, PIX_MODE_FILTER_BILINEAR | PIX_MODE_COPY);
  IBitmap scaled(dest, destW, destH, srcBitmap->N, false);
  RetainBitmap(&scaled);
  return scaled;
}

IBitmap IGraphics::CropBitmap(IBitmap* srcBitmap, IRECT* r) {
  const int w = r->W();
  const int h = r->H();
  PIX_IBitmap* dest = NewDerivedBitmap(w, h);
  const int s = mDrawScale;
  PIX_IBitmap* to = s == 1 ? dest : static_cast<IScaledImage*>(dest)->AtScale(s);
  if (PIX_IBitmap* pixels = PixelsAtDrawScale(srcBitmap))
    PIX_Blit(to, pixels, 0, 0, r->L * s, r->T * s, w * s, h * s, 1.0f, PIX_MODE_COPY);
  else
    PIX_ScaledBlit(to, srcBitmap->mData, 0, 0, w * s, h * s, float(r->L), float(r->T), float(w), float(h), 1.0f,
                   PIX_MODE_FILTER_BILINEAR | PIX_MODE_COPY);
  IBitmap cropped(dest, w, h, srcBitmap->N, false);
  RetainBitmap(&cropped);
  return cropped;
}

void* IGraphics::GetBits() { return GetDrawBitmap()->getBits(); }

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY, const IChannelBlend* blend) {
  const IRECT r = dest->Intersect(mDrawRECT);
  srcX += r.L - dest->L;
  srcY += r.T - dest->T;
  const int s = mDrawScale;
  if (PIX_IBitmap* pixels = PixelsAtDrawScale(bitmap)) {
    PIX_Blit(mDrawBitmap.get(), pixels, r.L * s, r.T * s, srcX * s, srcY * s, r.W() * s, r.H() * s, PixWeight(blend),
             PixBlendMode(blend));
  } else {
    PIX_ScaledBlit(mDrawBitmap.get(), bitmap->mData, r.L * s, r.T * s, r.W() * s, r.H() * s, float(srcX), float(srcY),
                   float(r.W()), float(r.H()), PixWeight(blend), PixBlendMode(blend) | PIX_MODE_FILTER_BILINEAR);
  }
  return true;
}

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int frame, const IChannelBlend* blend) {
  int srcX = 0;
  int srcY = 0;
  if (bitmap->N > 1 && frame > 1) {
    const double size = bitmap->mFramesAreHorizontal ? bitmap->W : bitmap->H;
    const int offset = static_cast<int>(0.5 + size * static_cast<double>(frame - 1) / bitmap->N);
    if (bitmap->mFramesAreHorizontal)
      srcX = offset;
    else
      srcY = offset;
  }
  return DrawBitmap(bitmap, dest, srcX, srcY, blend);
}

bool IGraphics::DrawRotatedBitmap(IBitmap* bitmap, int destCtrX, int destCtrY, double angle, int yOffsetZeroDeg,
                                  const IChannelBlend* blend) {
  const int w = bitmap->W;
  const int h = bitmap->H;
  const int s = mDrawScale;
  PIX_IBitmap* pixels = PixelsAtDrawScale(bitmap);
  // The source size and offset are in the source's own pixels.
  const float sourceScale = pixels ? float(s) : 1.0f;
  PIX_RotatedBlit(mDrawBitmap.get(), pixels ? pixels : bitmap->mData, (destCtrX - w / 2) * s, (destCtrY - h / 2) * s,
                  w * s, h * s, 0.0f, 0.0f, sourceScale * w, sourceScale * h, static_cast<float>(angle), false,
                  PixWeight(blend), PixBlendMode(blend) | PIX_MODE_FILTER_BILINEAR, 0.0f,
                  sourceScale * static_cast<float>(yOffsetZeroDeg));
  return true;
}

bool IGraphics::DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y, double angle,
                                const IChannelBlend* blend) {
  if (!mTmpBitmap) mTmpBitmap = std::make_unique<PIX_MemBitmap>(0, 0, kLineAlignment);
  const int w = base->W;
  const int h = base->H;
  const int s = mDrawScale;
  const float radians = static_cast<float>(angle * PIX_kPi / 180.0);
  const float xCentreOffset = (w & 1) ? -0.5f : 0.0f;

  // Composed at the drawing scale; sources without pixels there are scaled
  // as they are composed.
  auto pixelsOf = [this](IBitmap* b, float* scale) {
    PIX_IBitmap* pixels = PixelsAtDrawScale(b);
    *scale = pixels ? float(mDrawScale) : 1.0f;
    return pixels ? pixels : b->mData;
  };
  float baseScale, maskScale, topScale;
  PIX_IBitmap* basePixels = pixelsOf(base, &baseScale);
  PIX_IBitmap* maskPixels = pixelsOf(mask, &maskScale);
  PIX_IBitmap* topPixels = pixelsOf(top, &topScale);
  if (baseScale == float(s)) {
    PIX_Copy(mTmpBitmap.get(), basePixels);
  } else {
    mTmpBitmap->resize(w * s, h * s);
    PIX_ScaledBlit(mTmpBitmap.get(), basePixels, 0, 0, w * s, h * s, 0.0f, 0.0f, float(w), float(h), 1.0f,
                   PIX_MODE_COPY | PIX_MODE_FILTER_BILINEAR);
  }
  PIX_ClearRect(mTmpBitmap.get(), 0, 0, w * s, h * s, kClearAlphaKeepMask, 0);
  PIX_RotatedBlit(mTmpBitmap.get(), maskPixels, 0, 0, w * s, h * s, 0.0f, 0.0f, maskScale * w, maskScale * h, radians,
                  true, 1.0f, kMaskMode, xCentreOffset * maskScale, 0.0f);
  PIX_RotatedBlit(mTmpBitmap.get(), topPixels, 0, 0, w * s, h * s, 0.0f, 0.0f, topScale * w, topScale * h, radians,
                  true, 1.0f, kTopMode, xCentreOffset * topScale, 0.0f);

  ScratchView composed(mTmpBitmap.get(), w, h, s);
  IBitmap handle(&composed, w, h);
  IRECT dest(x, y, x + w, y + h);
  return DrawBitmap(&handle, &dest, 0, 0, blend);
}
