// Bitmap loading, derived bitmaps and bitmap drawing of IGraphics.

#include <cstdio>

#include "graphics/GraphicsCheck.h"
#include "graphics/IGraphics.h"
#include "graphics/IGraphicsCaches.h"
#include "graphics/IResourceImage.h"
#include "kit/KIT_String.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"

namespace {
// Derived bitmaps keep rows aligned to this many pixels.
constexpr unsigned kLineAlignment = 4;
constexpr double kPi = 3.141592653589793;
// Room for the resource named in a failed load.
constexpr int kResourceTextLen = 512;
// Keeps all colour channels and clears alpha.
constexpr unsigned kClearAlphaKeepMask = 0xFFFFFF00;
// Composition modes of the rotating mask: additive and plain copy, both
// weighted by source alpha with bilinear filtering.
constexpr int kMaskMode = PIX_MODE_SOURCE_ALPHA | PIX_MODE_FILTER_BILINEAR | PIX_MODE_ADD;
constexpr int kTopMode = PIX_MODE_SOURCE_ALPHA | PIX_MODE_FILTER_BILINEAR | PIX_MODE_COPY;
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

IBitmap IGraphics::LoadIBitmap(int id, const char* name, int nStates, bool framesAreHoriztonal) {
  PIX_IBitmap* bitmap = BitmapStorage::Instance().Find(id);
  if (!bitmap) {
    KIT_String file;
    if (OSImageFile(id, name, &file)) bitmap = IResourceImage::FromFile(file.Get()).release();
    if (!bitmap) bitmap = OSLoadBitmap(id, name);
    if (!bitmap) {
      char resource[kResourceTextLen];
      std::snprintf(resource, sizeof(resource), "bitmap %d, %s", id, name ? name : "(no name)");
      GraphicsCheck(false, "imgResourceFound", resource);
    }
    BitmapStorage::Instance().Add(bitmap, id);
  }
  return IBitmap(bitmap, bitmap->getWidth(), bitmap->getHeight(), nStates, framesAreHoriztonal);
}

void IGraphics::RetainBitmap(IBitmap* bitmap) {
  if (bitmap && bitmap->mData) BitmapStorage::Instance().Add(bitmap->mData);
}

void IGraphics::ReleaseBitmap(IBitmap* bitmap) {
  if (bitmap) BitmapStorage::Instance().Remove(bitmap->mData);
}

IBitmap IGraphics::ScaleBitmap(IBitmap* srcBitmap, int destW, int destH) {
  PIX_MemBitmap* dest = new PIX_MemBitmap(destW, destH, kLineAlignment);
  PIX_ScaledBlit(dest, srcBitmap->mData, 0, 0, destW, destH, 0.0f, 0.0f, static_cast<float>(srcBitmap->W),
                 static_cast<float>(srcBitmap->H), 1.0f, PIX_MODE_FILTER_BILINEAR | PIX_MODE_COPY);
  IBitmap scaled(dest, destW, destH, srcBitmap->N, false);
  RetainBitmap(&scaled);
  return scaled;
}

IBitmap IGraphics::CropBitmap(IBitmap* srcBitmap, IRECT* r) {
  const int w = r->W();
  const int h = r->H();
  PIX_MemBitmap* dest = new PIX_MemBitmap(w, h, kLineAlignment);
  PIX_Blit(dest, srcBitmap->mData, 0, 0, r->L, r->T, w, h, 1.0f, PIX_MODE_COPY);
  IBitmap cropped(dest, w, h, srcBitmap->N, false);
  RetainBitmap(&cropped);
  return cropped;
}

void* IGraphics::GetBits() { return GetDrawBitmap()->getBits(); }

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY, const IChannelBlend* blend) {
  const IRECT r = dest->Intersect(mDrawRECT);
  srcX += r.L - dest->L;
  srcY += r.T - dest->T;
  PIX_Blit(mDrawBitmap, bitmap->mData, r.L, r.T, srcX, srcY, r.W(), r.H(), PixWeight(blend), PixBlendMode(blend));
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
  PIX_RotatedBlit(mDrawBitmap, bitmap->mData, destCtrX - w / 2, destCtrY - h / 2, w, h, 0.0f, 0.0f,
                  static_cast<float>(w), static_cast<float>(h), static_cast<float>(angle), false, PixWeight(blend),
                  PixBlendMode(blend) | PIX_MODE_FILTER_BILINEAR, 0.0f, static_cast<float>(yOffsetZeroDeg));
  return true;
}

bool IGraphics::DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y, double angle,
                                const IChannelBlend* blend) {
  if (!mTmpBitmap) mTmpBitmap = new PIX_MemBitmap(0, 0, kLineAlignment);
  const int w = base->W;
  const int h = base->H;
  const float radians = static_cast<float>(angle * kPi / 180.0);
  const float xCentreOffset = (w & 1) ? -0.5f : 0.0f;

  PIX_Copy(mTmpBitmap, base->mData);
  PIX_ClearRect(mTmpBitmap, 0, 0, w, h, kClearAlphaKeepMask, 0);
  PIX_RotatedBlit(mTmpBitmap, mask->mData, 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h),
                  radians, true, 1.0f, kMaskMode, xCentreOffset, 0.0f);
  PIX_RotatedBlit(mTmpBitmap, top->mData, 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h),
                  radians, true, 1.0f, kTopMode, xCentreOffset, 0.0f);

  IBitmap composed(mTmpBitmap, w, h);
  IRECT dest(x, y, x + w, y + h);
  return DrawBitmap(&composed, &dest, 0, 0, blend);
}
