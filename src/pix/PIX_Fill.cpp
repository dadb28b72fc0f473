#include <algorithm>

#include "pix/PIX_Blit.h"
#include "pix/PIX_Combine.h"
#include "pix/PIX_Raster.h"

using namespace PIX_Combine;

namespace {

// A rectangle clipped to the bitmap; false when nothing is left.
bool ClipToBitmap(const PIX_Rows& rows, int x, int y, int w, int h, int* x0, int* y0, int* x1, int* y1) {
  const long long left = std::max<long long>(x, 0);
  const long long top = std::max<long long>(y, 0);
  const long long right = std::min<long long>(static_cast<long long>(x) + w, rows.width);
  const long long bottom = std::min<long long>(static_cast<long long>(y) + h, rows.height);
  if (left >= right || top >= bottom) return false;
  *x0 = int(left);
  *y0 = int(top);
  *x1 = int(right);
  *y1 = int(bottom);
  return true;
}

// Keeps the destination's alpha byte around any colour formula.
template <class C>
struct KeepAlpha {
  C inner;
  unsigned operator()(unsigned d, unsigned s) const { return (inner(d, s) & 0xFFFFFF00u) | (d & 255u); }
};

}  // namespace

void PIX_Clear(PIX_IBitmap* bitmap, unsigned color) {
  PIX_Rows rows;
  if (!PIX_GetRows(bitmap, &rows)) return;
  for (int y = 0; y < rows.height; ++y) FillSpan(rows.Row(y), color, rows.width);
}

void PIX_ClearRect(PIX_IBitmap* bitmap, int x, int y, int w, int h, unsigned keepMask, unsigned setBits) {
  PIX_Rows rows;
  int x0, y0, x1, y1;
  if (!PIX_GetRows(bitmap, &rows) || !ClipToBitmap(rows, x, y, w, h, &x0, &y0, &x1, &y1)) return;
  for (int row = y0; row < y1; ++row) {
    unsigned* p = rows.Row(row);
    for (int col = x0; col < x1; ++col) p[col] = (p[col] & keepMask) | setBits;
  }
}

void PIX_FillRect(PIX_IBitmap* bitmap, int x, int y, int w, int h, unsigned color, float alpha, int mode) {
  PIX_Rows rows;
  int x0, y0, x1, y1;
  if (!PIX_GetRows(bitmap, &rows) || !ClipToBitmap(rows, x, y, w, h, &x0, &y0, &x1, &y1)) return;
  if (mode & kFlagSourceAlpha) alpha = alpha * float(color & 255) / 255.0f;
  const int weight = PIX_Weight(alpha);
  if (weight == 0) return;
  auto fill = [&](auto c) {
    for (int row = y0; row < y1; ++row) CombineSpanWithColor(rows.Row(row) + x0, color, x1 - x0, c);
  };
  if ((mode & 255) == kModeCopy && (weight == 256 || weight == 192 || weight == 128 || weight == 64)) {
    WithFixedMixFormula(mode, weight, fill);
    return;
  }
  WithFormula(mode, weight, [&](auto c) { fill(KeepAlpha<decltype(c)>{c}); });
}

void PIX_PutPixel(PIX_IBitmap* bitmap, int x, int y, unsigned color, float alpha, int mode) {
  PIX_Rows rows;
  if (!PIX_GetRows(bitmap, &rows) || x < 0 || y < 0 || x >= rows.width || y >= rows.height) return;
  const int weight = PIX_Weight(alpha);
  if (weight == 0) return;
  unsigned* p = rows.Row(y) + x;
  WithFixedMixFormula(mode, weight, [&](auto c) { *p = c(*p, color); });
}

unsigned PIX_GetPixel(PIX_IBitmap* bitmap, int x, int y) {
  PIX_Rows rows;
  if (!PIX_GetRows(bitmap, &rows) || x < 0 || y < 0 || x >= rows.width || y >= rows.height) return 0;
  return rows.Row(y)[x];
}
