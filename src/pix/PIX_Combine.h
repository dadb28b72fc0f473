#pragma once
// Internal: the per-pixel combine formulas as small functors, and the
// dispatchers that pick one per call so every inner loop is instantiated
// once per formula. A combiner is called as c(dest, src) and returns the new
// destination pixel. Formulas with a static Mix(d, s, w) can also be used
// with a weight that changes per pixel (anti-aliasing).

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "pix/PIX_Pixel.h"

namespace PIX_Combine {

inline int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Applies a per-channel formula f(d, s) -> 0..255 to all four bytes.
template <class F>
inline unsigned EachChannel(unsigned d, unsigned s, F f) {
  return PIX_MakePixel(unsigned(f(PIX_Alpha(d), PIX_Alpha(s))), unsigned(f(PIX_Red(d), PIX_Red(s))),
                       unsigned(f(PIX_Green(d), PIX_Green(s))), unsigned(f(PIX_Blue(d), PIX_Blue(s))));
}

// Fixed mixes by shifting and masking.
inline unsigned Half(unsigned d, unsigned s) { return ((d >> 1) & 0x7F7F7F7Fu) + ((s >> 1) & 0x7F7F7F7Fu); }
inline unsigned Quarter(unsigned d, unsigned s) {
  return ((d >> 1) & 0x7F7F7F7Fu) + ((d >> 2) & 0x3F3F3F3Fu) + ((s >> 2) & 0x3F3F3F3Fu);
}
inline unsigned ThreeQuarters(unsigned d, unsigned s) { return Quarter(s, d); }

struct Clobber {
  unsigned operator()(unsigned, unsigned s) const { return s; }
};
struct HalfMix {
  unsigned operator()(unsigned d, unsigned s) const { return Half(d, s); }
};
struct QuarterMix {
  unsigned operator()(unsigned d, unsigned s) const { return Quarter(d, s); }
};
struct ThreeQuarterMix {
  unsigned operator()(unsigned d, unsigned s) const { return ThreeQuarters(d, s); }
};

struct Copy {
  int w;
  static unsigned Mix(unsigned d, unsigned s, int w) {
    const int keep = 256 - w;
    return EachChannel(d, s, [keep](int dc, int sc) { return sc + (dc - sc) * keep / 256; });
  }
  unsigned operator()(unsigned d, unsigned s) const { return Mix(d, s, w); }
};

struct Add {
  int w;
  static unsigned Mix(unsigned d, unsigned s, int w) {
    return EachChannel(d, s, [w](int dc, int sc) { return Clamp255(dc + sc * w / 256); });
  }
  unsigned operator()(unsigned d, unsigned s) const { return Mix(d, s, w); }
};

// Colour dodge, d / (1 - s), in fixed point where 256 stands for 1: the
// source is first scaled by the weight (t). From t = 255 the divisor would be
// 1 or less, so the channel saturates instead (dc * 256 clamps to 255 for any
// non-black destination; black stays black).
struct Dodge {
  int w;
  static unsigned Mix(unsigned d, unsigned s, int w) {
    return EachChannel(d, s, [w](int dc, int sc) {
      const int t = sc * w / 256;
      return Clamp255(t > 254 ? dc * 256 : dc * 256 / (256 - t));
    });
  }
  unsigned operator()(unsigned d, unsigned s) const { return Mix(d, s, w); }
};

struct Multiply {
  int w;
  static unsigned Mix(unsigned d, unsigned s, int w) {
    const int base = (256 - w) * 256;
    return EachChannel(d, s, [w, base](int dc, int sc) { return dc * (base + sc * w) / 65536; });
  }
  unsigned operator()(unsigned d, unsigned s) const { return Mix(d, s, w); }
};

// Soft light, d * (d * (1 - 2s) + 2s), with d and s as fractions of 256.
// The effective source s' = (sc * w + m) / 65536 pulls the source toward
// mid-grey as the weight drops (m = (256 - w) * 128), and mid-grey leaves the
// destination unchanged. In units of 1 / 32768 (= 128 * 256):
// 32768 - sw - m is 32768 * (1 - 2s') and sw + m is 32768 * 2s'.
struct Overlay {
  int w;
  static unsigned Mix(unsigned d, unsigned s, int w) {
    const int m = (256 - w) * 128;
    return EachChannel(d, s, [w, m](int dc, int sc) {
      const int sw = sc * w;
      return Clamp255(dc * (dc * (32768 - sw - m) / 256 + sw + m) / 32768);
    });
  }
  unsigned operator()(unsigned d, unsigned s) const { return Mix(d, s, w); }
};

// Hue 0..383 (six sectors of 64), saturation and value 0..255.
struct Hsv {
  int w;
  static unsigned Mix(unsigned d, unsigned s, int w);
  unsigned operator()(unsigned d, unsigned s) const { return Mix(d, s, w); }
};

// Copy weighted by the source alpha at full weight.
struct CopyOver {
  unsigned operator()(unsigned d, unsigned s) const {
    const int sa = PIX_Alpha(s);
    if (sa == 0) return d;
    const int keep = 255 - sa;
    const int da = PIX_Alpha(d);
    const unsigned a = unsigned(sa + da > 255 ? 255 : sa + da);
    const unsigned rgb = EachChannel(d, s, [keep](int dc, int sc) { return sc + (dc - sc) * keep / 256; });
    return PIX_WithAlpha(rgb, a);
  }
};

// Copy weighted by the source alpha and a weight below 256.
struct CopyOverWeighted {
  int w;
  unsigned operator()(unsigned d, unsigned s) const {
    const int sa = PIX_Alpha(s);
    if (sa == 0) return d;
    const int ws = w * (sa + 1) / 256;
    const int da = PIX_Alpha(d);
    const unsigned a = unsigned(da + ws > 255 ? 255 : da + ws);
    return PIX_WithAlpha(Copy::Mix(d, s, ws), a);
  }
};

// Any formula with the weight scaled by the source alpha. Add and multiply
// leave the pixel alone where the source is fully transparent.
template <class Formula, bool kSkipTransparent>
struct SourceAlpha {
  int w;
  unsigned operator()(unsigned d, unsigned s) const {
    const int sa = PIX_Alpha(s);
    if (kSkipTransparent && sa == 0) return d;
    return Formula::Mix(d, s, w * (sa + 1) / 256);
  }
};

enum {
  kModeCopy = 0,
  kModeAdd = 1,
  kModeDodge = 2,
  kModeMultiply = 3,
  kModeOverlay = 4,
  kModeHsv = 5,
  kModeChannelCopy = 0xF0,
  kFlagBilinear = 0x100,
  kFlagSourceAlpha = 0x10000,
};

// Calls f(combiner) for the plain formula of the mode's low byte at weight
// w (1..256): copy at 256 stores, other modes apply their formula to all
// channels. False (nothing called) for a mode without a formula.
template <class F>
bool WithFormula(int mode, int w, F&& f) {
  switch (mode & 255) {
    case kModeCopy:
      if (w >= 256) f(Clobber{}); else f(Copy{w});
      return true;
    case kModeAdd: f(Add{w}); return true;
    case kModeDodge: f(Dodge{w}); return true;
    case kModeMultiply: f(Multiply{w}); return true;
    case kModeOverlay: f(Overlay{w}); return true;
    case kModeHsv: f(Hsv{w}); return true;
    default: return false;
  }
}

// As WithFormula, with copy at the weights 3/4, 1/2 and 1/4 done by the
// fixed mixes (fills, single pixels and lines).
template <class F>
bool WithFixedMixFormula(int mode, int w, F&& f) {
  if ((mode & 255) == kModeCopy) {
    switch (w) {
      case 192: f(ThreeQuarterMix{}); return true;
      case 128: f(HalfMix{}); return true;
      case 64: f(QuarterMix{}); return true;
      default: break;
    }
  }
  return WithFormula(mode, w, f);
}

// The blit combiners: the plain formula, or with 0x10000 the formula
// weighted by each source pixel's alpha.
template <class F>
bool WithBlendFormula(int mode, int w, F&& f) {
  if (!(mode & kFlagSourceAlpha)) return WithFormula(mode, w, f);
  switch (mode & 255) {
    case kModeCopy:
      if (w >= 256) f(CopyOver{}); else f(CopyOverWeighted{w});
      return true;
    case kModeAdd: f(SourceAlpha<Add, true>{w}); return true;
    case kModeDodge: f(SourceAlpha<Dodge, false>{w}); return true;
    case kModeMultiply: f(SourceAlpha<Multiply, true>{w}); return true;
    case kModeOverlay: f(SourceAlpha<Overlay, false>{w}); return true;
    case kModeHsv: f(SourceAlpha<Hsv, false>{w}); return true;
    default: return false;
  }
}

// Calls f(formulaTag) with a type whose static Mix(d, s, w) is the plain
// formula of the mode's low byte, for weights that change per pixel.
template <class F>
bool WithVariableWeightFormula(int mode, F&& f) {
  switch (mode & 255) {
    case kModeCopy: f(Copy{0}); return true;
    case kModeAdd: f(Add{0}); return true;
    case kModeDodge: f(Dodge{0}); return true;
    case kModeMultiply: f(Multiply{0}); return true;
    case kModeOverlay: f(Overlay{0}); return true;
    case kModeHsv: f(Hsv{0}); return true;
    default: return false;
  }
}

}  // namespace PIX_Combine

namespace PIX_Combine {

// The inner loop of every blit: one instance per combiner.
template <class C>
inline void CombineSpan(unsigned* __restrict dst, const unsigned* __restrict src, int n, C c) {
  for (int x = 0; x < n; ++x) dst[x] = c(dst[x], src[x]);
}

// Copy weighted by source alpha is the editor's most common blit; it has a
// vectorised loop with the same arithmetic.
void CombineSpanCopyOver(unsigned* dst, const unsigned* src, int n);
inline void CombineSpan(unsigned* dst, const unsigned* src, int n, CopyOver) { CombineSpanCopyOver(dst, src, n); }

// The inner loop of every fill: one colour combined into a run.
template <class C>
inline void CombineSpanWithColor(unsigned* dst, unsigned color, int n, C c) {
  for (int x = 0; x < n; ++x) dst[x] = c(dst[x], color);
}

// A run set to one colour, four pixels a store (the compiler leaves the plain loop scalar).
inline void FillSpan(unsigned* dst, unsigned color, int n) {
  int x = 0;
#if defined(__SSE2__)
  const __m128i c = _mm_set1_epi32(int(color));
  for (; x + 4 <= n; x += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x), c);
#endif
  for (; x < n; ++x) dst[x] = color;
}
inline void CombineSpanWithColor(unsigned* dst, unsigned color, int n, Clobber) { FillSpan(dst, color, n); }

}  // namespace PIX_Combine

namespace PIX_Combine {

// The shape combiners: copy at full weight stores and at half weight uses
// the half mix; everything else is the plain formula (lines, circles).
template <class F>
bool WithShapeFormula(int mode, int w, F&& f) {
  if ((mode & 255) == kModeCopy && w == 128) {
    f(HalfMix{});
    return true;
  }
  return WithFormula(mode, w, f);
}

}  // namespace PIX_Combine
