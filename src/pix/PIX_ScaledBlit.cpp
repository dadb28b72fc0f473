#include <algorithm>
#include <cmath>

#include "kit/KIT_TypedBuf.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Combine.h"
#include "pix/PIX_Raster.h"

using namespace PIX_Combine;

namespace {

// Where one destination column (or row) samples the source: the two
// neighbours and the weight of the second in 1/256 (bilinear), or the
// first and one-past-last source index of its footprint (box).
struct Tap {
  int first;
  int second;
  int frac;
};

enum class Filter { kNearest, kBilinear, kBox };

// Builds the taps of `count` destination cells mapped onto source cells
// start + (i + 0.5) * scale, held to the valid source range [lo, hi).
void BuildTaps(Tap* taps, int firstCell, int count, double start, double scale, int lo, int hi, Filter filter) {
  for (int i = 0; i < count; ++i) {
    const double cell = firstCell + i;
    Tap& t = taps[i];
    if (filter == Filter::kBox) {
      int a = int(std::floor(start + cell * scale));
      int b = int(std::ceil(start + (cell + 1) * scale));
      a = std::clamp(a, lo, hi - 1);
      b = std::clamp(b, a + 1, hi);
      t = {a, b, 0};
    } else if (filter == Filter::kBilinear) {
      const double pos = start + (cell + 0.5) * scale - 0.5;
      const double base = std::floor(pos);
      int a = int(base);
      int f = int((pos - base) * 256.0);
      if (a < lo) {
        a = lo;
        f = 0;
      } else if (a >= hi - 1) {
        a = hi - 1;
        f = 0;
      }
      t = {a, std::min(a + 1, hi - 1), f};
    } else {
      const int a = std::clamp(int(std::floor(start + (cell + 0.5) * scale)), lo, hi - 1);
      t = {a, a, 0};
    }
  }
}

inline unsigned Lerp(unsigned a, unsigned b, int f) {
  return EachChannel(a, b, [f](int ac, int bc) { return (ac * (256 - f) + bc * f) >> 8; });
}

// Fills `out` with the samples of one destination row span.
void SampleRow(const PIX_Rows& s, const Tap& row, const Tap* cols, int n, Filter filter, unsigned* out) {
  if (filter == Filter::kNearest) {
    const unsigned* line = s.Row(row.first);
    for (int i = 0; i < n; ++i) out[i] = line[cols[i].first];
  } else if (filter == Filter::kBilinear) {
    const unsigned* l0 = s.Row(row.first);
    const unsigned* l1 = s.Row(row.second);
    for (int i = 0; i < n; ++i) {
      const Tap& c = cols[i];
      out[i] = Lerp(Lerp(l0[c.first], l0[c.second], c.frac), Lerp(l1[c.first], l1[c.second], c.frac), row.frac);
    }
  } else {
    for (int i = 0; i < n; ++i) {
      const Tap& c = cols[i];
      unsigned sum[4] = {0, 0, 0, 0};
      for (int y = row.first; y < row.second; ++y) {
        const unsigned* line = s.Row(y);
        for (int x = c.first; x < c.second; ++x)
          for (int k = 0; k < 4; ++k) sum[k] += (line[x] >> (8 * k)) & 255;
      }
      const unsigned area = unsigned((row.second - row.first) * (c.second - c.first));
      out[i] = sum[0] / area | (sum[1] / area) << 8 | (sum[2] / area) << 16 | (sum[3] / area) << 24;
    }
  }
}

}  // namespace

void PIX_ScaledBlit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                    float srcy, float srcw, float srch, float alpha, int mode) {
  PIX_Rows d, s;
  if (!PIX_GetRows(dest, &d) || !PIX_GetRows(src, &s)) return;
  if (dstw <= 0 || dsth <= 0 || !(srcw > 0.0f) || !(srch > 0.0f)) return;
  // Coordinates beyond any bitmap would only overflow the index arithmetic.
  const float limit = 1e7f;
  for (float v : {srcx, srcy, srcw, srch})
    if (!(std::fabs(v) < limit)) return;
  const int weight = PIX_Weight(alpha);
  if (weight == 0 || dest == src) return;

  const double scaleX = double(srcw) / dstw;
  const double scaleY = double(srch) / dsth;
  // Only destination cells whose centres fall inside the source bitmap are drawn.
  const double firstX = std::ceil((0.0 - srcx) / scaleX - 0.5);
  const double endX = std::ceil((s.width - double(srcx)) / scaleX - 0.5);
  const double firstY = std::ceil((0.0 - srcy) / scaleY - 0.5);
  const double endY = std::ceil((s.height - double(srcy)) / scaleY - 0.5);
  const long long i0 = std::max({0.0, firstX, -double(dstx)});
  const long long i1 = std::min({double(dstw), endX, double(d.width) - dstx});
  const long long j0 = std::max({0.0, firstY, -double(dsty)});
  const long long j1 = std::min({double(dsth), endY, double(d.height) - dsty});
  if (i0 >= i1 || j0 >= j1) return;

  Filter filter = Filter::kNearest;
  if (mode & kFlagBilinear) filter = (scaleX > 1.0 || scaleY > 1.0) ? Filter::kBox : Filter::kBilinear;
  // A box footprint along an enlarged axis is one source pixel.
  const Filter filterX = (filter == Filter::kBox && scaleX <= 1.0) ? Filter::kNearest : filter;
  const Filter filterY = (filter == Filter::kBox && scaleY <= 1.0) ? Filter::kNearest : filter;

  const int cols = int(i1 - i0);
  KIT_TypedBuf<Tap> colTaps;
  KIT_TypedBuf<unsigned> samples;
  if (!colTaps.Resize(cols) || !samples.Resize(cols)) return;
  BuildTaps(colTaps.Get(), int(i0), cols, srcx, scaleX, 0, s.width, filterX);
  if (filterX == Filter::kNearest && filter == Filter::kBox)
    for (int i = 0; i < cols; ++i) colTaps.Get()[i].second = colTaps.Get()[i].first + 1;

  WithBlendFormula(mode, weight, [&](auto c) {
    for (long long j = j0; j < j1; ++j) {
      Tap row;
      BuildTaps(&row, int(j), 1, srcy, scaleY, 0, s.height, filterY);
      if (filterY == Filter::kNearest && filter == Filter::kBox) row.second = row.first + 1;
      SampleRow(s, row, colTaps.Get(), cols, filter, samples.Get());
      CombineSpan(d.Row(int(dsty + j)) + dstx + i0, samples.Get(), cols, c);
    }
  });
}
