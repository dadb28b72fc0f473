#include "pix/PIX_Reduce.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "pix/PIX_Raster.h"

namespace {

// Weights are fixed point: the weights of one destination pixel along one
// axis add up to kOne.
constexpr int kWeightBits = 12;
constexpr int kOne = 1 << kWeightBits;
// Source pixels one destination pixel can touch along an axis at the
// largest ratio (the area may start and end inside a pixel).
constexpr int kMaxTaps = static_cast<int>(kPixMaxReduceRatio) + 2;
constexpr int kChannels = 4;

struct Taps {
  int first = 0;
  int count = 0;
  int weight[kMaxTaps] = {};
};

// The source pixels of destination cell i along an axis of `size` source
// pixels, with their share of the cell's area.
Taps TapsOf(int i, double ratio, int size) {
  const double a = i * ratio;
  const double b = std::min((i + 1) * ratio, double(size));
  Taps t;
  t.first = int(std::floor(a));
  const int end = std::min(int(std::ceil(b)), size);
  t.count = std::min(end - t.first, kMaxTaps);
  const double total = b - a;
  int given = 0;
  for (int k = 0; k < t.count; ++k) {
    const double lo = std::max(a, double(t.first + k));
    const double hi = std::min(b, double(t.first + k + 1));
    t.weight[k] = int(std::lround((hi - lo) / total * kOne));
    given += t.weight[k];
  }
  // Rounding must not brighten or darken: the largest tap takes the rest.
  if (t.count > 0) *std::max_element(t.weight, t.weight + t.count) += kOne - given;
  return t;
}

}  // namespace

void PIX_AreaReduce(PIX_IBitmap* dest, int dx, int dy, int dw, int dh, PIX_IBitmap* src, double ratio) {
  PIX_Rows d, s;
  if (!std::isfinite(ratio) || ratio < 1.0 || ratio > kPixMaxReduceRatio) return;
  if (!PIX_GetRows(dest, &d) || !PIX_GetRows(src, &s) || dest == src) return;
  // Clip to the destination and to the cells whose area starts inside the source.
  const int x0 = std::max(dx, 0), y0 = std::max(dy, 0);
  const int x1 = std::min({dx + dw, d.width, int(std::ceil(s.width / ratio))});
  const int y1 = std::min({dy + dh, d.height, int(std::ceil(s.height / ratio))});
  if (x0 >= x1 || y0 >= y1) return;

  std::vector<Taps> cols(size_t(x1 - x0));
  for (int x = x0; x < x1; ++x) cols[size_t(x - x0)] = TapsOf(x, ratio, s.width);
  const int srcX0 = cols.front().first;
  const int srcX1 = cols.back().first + cols.back().count;
  // One source row span summed vertically, per channel, before the columns.
  std::vector<int> column(size_t(srcX1 - srcX0) * kChannels);

  for (int y = y0; y < y1; ++y) {
    const Taps row = TapsOf(y, ratio, s.height);
    std::fill(column.begin(), column.end(), 0);
    for (int k = 0; k < row.count; ++k) {
      const unsigned* line = s.Row(row.first + k);
      const int w = row.weight[k];
      int* sum = column.data();
      for (int x = srcX0; x < srcX1; ++x)
        for (int c = 0; c < kChannels; ++c) *sum++ += int((line[x] >> (8 * c)) & 255) * w;
    }
    unsigned* out = d.Row(y);
    for (int x = x0; x < x1; ++x) {
      const Taps& col = cols[size_t(x - x0)];
      long long acc[kChannels] = {};
      for (int k = 0; k < col.count; ++k) {
        const int* sum = column.data() + size_t(col.first + k - srcX0) * kChannels;
        for (int c = 0; c < kChannels; ++c) acc[c] += (long long)sum[c] * col.weight[k];
      }
      unsigned pixel = 0;
      constexpr long long kHalf = 1LL << (2 * kWeightBits - 1);
      for (int c = 0; c < kChannels; ++c)
        pixel |= unsigned(std::min<long long>(255, (acc[c] + kHalf) >> (2 * kWeightBits))) << (8 * c);
      out[x] = pixel;
    }
  }
}
