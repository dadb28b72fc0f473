#include "pix/PIX_Combine.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

namespace PIX_Combine {

#if defined(__SSE2__)

// Four pixels at a time (eight where the processor has AVX2). For each colour byte, s + (d - s) * k / 256 with
// k = 255 - sa and truncation toward zero is s + q when d >= s and s - q
// otherwise, where q = |d - s| * k >> 8 (the product fits 16 bits and q
// never passes d). Alpha is the saturating sum; a clear source pixel keeps
// the destination.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

// The same steps eight pixels at a time; every step works within 128-bit halves, so each
// half is the SSE2 loop's four pixels. Returns how many pixels it did (a multiple of 8).
__attribute__((target("avx2"))) static int CombineSpanCopyOverAVX2(unsigned* dst, const unsigned* src, int n) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i alpha = _mm256_set1_epi32(0xFF);
  const __m256i full = _mm256_set1_epi32(255);
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
    const __m256i sa = _mm256_and_si256(s, alpha);
    const __m256i k32 = _mm256_sub_epi32(full, sa);
    const __m256i k = _mm256_or_si256(k32, _mm256_slli_epi32(k32, 16));
    const __m256i up = _mm256_subs_epu8(d, s);
    const __m256i diff = _mm256_or_si256(up, _mm256_subs_epu8(s, d));
    const __m256i qLo =
        _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(diff, zero), _mm256_unpacklo_epi32(k, k)), 8);
    const __m256i qHi =
        _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(diff, zero), _mm256_unpackhi_epi32(k, k)), 8);
    const __m256i q = _mm256_packus_epi16(qLo, qHi);
    const __m256i rising = _mm256_cmpeq_epi8(up, zero);
    const __m256i moved =
        _mm256_subs_epu8(_mm256_adds_epu8(s, _mm256_andnot_si256(rising, q)), _mm256_and_si256(rising, q));
    const __m256i a = _mm256_adds_epu8(sa, _mm256_and_si256(d, alpha));
    const __m256i mixed = _mm256_or_si256(_mm256_andnot_si256(alpha, moved), a);
    const __m256i clear = _mm256_cmpeq_epi32(sa, zero);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                        _mm256_or_si256(_mm256_and_si256(clear, d), _mm256_andnot_si256(clear, mixed)));
  }
  return i;
}

// Decided once, when the library is loaded.
static const bool sHasAVX2 = __builtin_cpu_supports("avx2");
#endif

void CombineSpanCopyOver(unsigned* dst, const unsigned* src, int n) {
  int i = 0;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  if (sHasAVX2) i = CombineSpanCopyOverAVX2(dst, src, n);
#endif
  const __m128i zero = _mm_setzero_si128();
  const __m128i alpha = _mm_set1_epi32(0xFF);
  const __m128i full = _mm_set1_epi32(255);
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
