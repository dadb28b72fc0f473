#include "pix/PIX_Blit.h"

#include <algorithm>
#include <cstring>

#include "kit/KIT_TypedBuf.h"
#include "pix/PIX_Combine.h"
#include "pix/PIX_Raster.h"

using namespace PIX_Combine;

namespace {

// A clipped blit: w x h pixels from src (rows srcStep apart) to dst.
struct BlitArea {
  unsigned* dst;
  std::ptrdiff_t dstStep;
  const unsigned* src;
  std::ptrdiff_t srcStep;
  int w;
  int h;
};

void ChannelCopy(const BlitArea& a, int mode) {
  const int srcShift = (mode & 3) * 8;
  const int dstShift = ((mode >> 2) & 3) * 8;
  const unsigned keep = ~(0xFFu << dstShift);
  unsigned* dst = a.dst;
  const unsigned* src = a.src;
  for (int y = 0; y < a.h; ++y, dst += a.dstStep, src += a.srcStep)
    for (int x = 0; x < a.w; ++x) dst[x] = (dst[x] & keep) | (((src[x] >> srcShift) & 0xFFu) << dstShift);
}

void CopyRows(const BlitArea& a) {
  unsigned* dst = a.dst;
  const unsigned* src = a.src;
  for (int y = 0; y < a.h; ++y, dst += a.dstStep, src += a.srcStep)
    std::memcpy(dst, src, size_t(a.w) * sizeof(unsigned));
}

template <class C>
void CombineRows(const BlitArea& a, C c) {
  unsigned* dst = a.dst;
  const unsigned* src = a.src;
  for (int y = 0; y < a.h; ++y, dst += a.dstStep, src += a.srcStep) CombineSpan(dst, src, a.w, c);
}

// A start below 0 on one side becomes 0, and the other side's start moves
// along with it, so both still name the same pixel.
void ClipStart(long long* start, long long* other) {
  if (*start >= 0) return;
  *other -= *start;
  *start = 0;
}
}  // namespace

void PIX_Blit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw, int srch,
              float alpha, int mode) {
  const long long right = static_cast<long long>(srcx) + srcw;
  const long long bottom = static_cast<long long>(srcy) + srch;
  RECT r = {srcx, srcy, int(std::min<long long>(right, 0x7FFFFFFF)), int(std::min<long long>(bottom, 0x7FFFFFFF))};
  PIX_Blit(dest, src, dstx, dsty, &r, alpha, mode);
}

void PIX_Blit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, const RECT* srcrect, float alpha, int mode) {
  PIX_Rows d, s;
  if (!PIX_GetRows(dest, &d) || !PIX_GetRows(src, &s)) return;
  if (!(alpha > 0.0f)) return;

  long long left = srcrect ? srcrect->left : 0;
  long long top = srcrect ? srcrect->top : 0;
  long long right = srcrect ? srcrect->right : s.width;
  long long bottom = srcrect ? srcrect->bottom : s.height;
  long long x = dstx;
  long long y = dsty;
  // A source rectangle starting outside the source moves the destination
  // with it instead of reading outside the bitmap.
  ClipStart(&left, &x);
  ClipStart(&top, &y);
  right = std::min<long long>(right, s.width);
  bottom = std::min<long long>(bottom, s.height);
  ClipStart(&x, &left);
  ClipStart(&y, &top);
  const long long w = std::min<long long>(right - left, d.width - x);
  const long long h = std::min<long long>(bottom - top, d.height - y);
  if (w <= 0 || h <= 0) return;

  BlitArea area = {d.Row(int(y)) + x, d.step, s.Row(int(top)) + left, s.step, int(w), int(h)};

  // Blitting a bitmap onto itself: take a copy of the source area first so
  // overlapping rows are read before they are written.
  KIT_TypedBuf<unsigned> copy;
  if (d.top == s.top) {
    if (!copy.Resize(area.w * area.h)) return;
    const unsigned* from = area.src;
    for (int row = 0; row < area.h; ++row, from += area.srcStep)
      std::memcpy(copy.Get() + std::ptrdiff_t(row) * area.w, from, size_t(area.w) * sizeof(unsigned));
    area.src = copy.Get();
    area.srcStep = area.w;
  }

  if ((mode & 255) >= kModeChannelCopy) {
    ChannelCopy(area, mode);
    return;
  }
  if ((mode & 255) == kModeCopy && !(mode & kFlagSourceAlpha)) {
    if (alpha == 1.0f) {
      CopyRows(area);
      return;
    }
    if (alpha == 0.5f) {
      CombineRows(area, HalfMix{});
      return;
    }
  }
  const int weight = PIX_Weight(alpha);
  if (weight == 0) return;
  WithBlendFormula(mode, weight, [&](auto c) { CombineRows(area, c); });
}

void PIX_Copy(PIX_IBitmap* dest, PIX_IBitmap* src) {
  if (!dest || !src || dest == src) return;
  dest->resize(src->getWidth(), src->getHeight());
  PIX_Blit(dest, src, 0, 0, nullptr, 1.0f, 0);
}
