#include "pix/PIX_Combine.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace PIX_Combine {

#if defined(__SSE2__)

// Four pixels at a time. For each colour byte, s + (d - s) * k / 256 with
// k = 255 - sa and truncation toward zero is s + q when d >= s and s - q
// otherwise, where q = |d - s| * k >> 8 (the product fits 16 bits and q
// never passes d). Alpha is the saturating sum; a clear source pixel keeps
// the destination.
void CombineSpanCopyOver(unsigned* dst, const unsigned* src, int n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alpha = _mm_set1_epi32(0xFF);
  const __m128i full = _mm_set1_epi32(255);
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
    const __m128i sa = _mm_and_si128(s, alpha);
    const __m128i k32 = _mm_sub_epi32(full, sa);
    const __m128i k = _mm_or_si128(k32, _mm_slli_epi32(k32, 16));
    const __m128i up = _mm_subs_epu8(d, s);
    const __m128i diff = _mm_or_si128(up, _mm_subs_epu8(s, d));
    const __m128i qLo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(diff, zero), _mm_unpacklo_epi32(k, k)), 8);
    const __m128i qHi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(diff, zero), _mm_unpackhi_epi32(k, k)), 8);
    const __m128i q = _mm_packus_epi16(qLo, qHi);
    const __m128i rising = _mm_cmpeq_epi8(up, zero);  // d <= s: move down from s
    const __m128i moved = _mm_subs_epu8(_mm_adds_epu8(s, _mm_andnot_si128(rising, q)), _mm_and_si128(rising, q));
    const __m128i a = _mm_adds_epu8(sa, _mm_and_si128(d, alpha));
    const __m128i mixed = _mm_or_si128(_mm_andnot_si128(alpha, moved), a);
    const __m128i clear = _mm_cmpeq_epi32(sa, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                     _mm_or_si128(_mm_and_si128(clear, d), _mm_andnot_si128(clear, mixed)));
  }
  const CopyOver c;
  for (; i < n; ++i) dst[i] = c(dst[i], src[i]);
}

#else

void CombineSpanCopyOver(unsigned* dst, const unsigned* src, int n) {
  const CopyOver c;
  for (int i = 0; i < n; ++i) dst[i] = c(dst[i], src[i]);
}

#endif

}  // namespace PIX_Combine
