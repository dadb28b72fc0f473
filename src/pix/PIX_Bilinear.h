#pragma once
// Internal: one bilinearly filtered sample of four neighbouring pixels a b / c d, with
// 16-bit fractions fx (towards b and d) and fy (towards c and d): every channel is
// (p × (65536 − f) + q × f) >> 16 across, then the same down. PIX_BilinearPlain is the
// formula; PIX_BilinearFast gives the same bits with the four channels of the top and the
// bottom pair in one SSE2 register. The rotated blit uses the fast form; a test compares them
// for every channel value and many fractions.

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Channels 0 and 2 (or 1 and 3) of a pixel spread 32 bits apart, so one 64-bit multiply
// weighs two channels; a channel times a 16-bit weight fits its 32-bit field.
inline uint64_t PIX_EvenChannels(unsigned p) { return (p & 0xFFu) | uint64_t(p & 0xFF0000u) << 16; }
inline uint64_t PIX_OddChannels(unsigned p) { return ((p >> 8) & 0xFFu) | uint64_t(p >> 24) << 32; }

// (a x (65536 - f) + b x f) >> 16 for both channels of a pair.
inline uint64_t PIX_Lerp16(uint64_t a, uint64_t b, uint64_t f) {
  return ((a * (65536 - f) + b * f) >> 16) & 0x000000FF000000FFull;
}

inline unsigned PIX_BilinearPlain(unsigned a, unsigned b, unsigned c, unsigned d, unsigned fx, unsigned fy) {
  const uint64_t even = PIX_Lerp16(PIX_Lerp16(PIX_EvenChannels(a), PIX_EvenChannels(b), fx),
                                   PIX_Lerp16(PIX_EvenChannels(c), PIX_EvenChannels(d), fx), fy);
  const uint64_t odd = PIX_Lerp16(PIX_Lerp16(PIX_OddChannels(a), PIX_OddChannels(b), fx),
                                  PIX_Lerp16(PIX_OddChannels(c), PIX_OddChannels(d), fx), fy);
  return unsigned(even) | unsigned(even >> 16) | unsigned(odd) << 8 | unsigned(odd >> 32) << 24;
}

#if defined(__SSE2__)

// p × (65536 − f) + q × f = p × 65536 + (q − p) × f, so the lerp is p + floor((q − p) × f /
// 65536). With f read as a signed 16-bit number (f − 65536 when f >= 32768) the signed high
// multiply gives floor((q − p) × f_signed / 65536), and the integer (q − p) makes up the
// difference when f >= 32768. Lanes are 16-bit channels; every value stays within −255..255.
inline __m128i PIX_Lerp16x8(__m128i p, __m128i q, __m128i f, __m128i fHigh) {
  const __m128i diff = _mm_sub_epi16(q, p);
  return _mm_add_epi16(_mm_add_epi16(p, _mm_mulhi_epi16(diff, f)), _mm_and_si128(diff, fHigh));
}

inline unsigned PIX_BilinearFast(unsigned a, unsigned b, unsigned c, unsigned d, unsigned fx, unsigned fy) {
  const __m128i zero = _mm_setzero_si128();
  // Lanes 0-3: the top pixel's channels, 4-7: the bottom one's.
  const __m128i left = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(int(a)), _mm_cvtsi32_si128(int(c))), zero);
  const __m128i right = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(int(b)), _mm_cvtsi32_si128(int(d))), zero);
  const __m128i fx16 = _mm_set1_epi16(short(fx));
  const __m128i across = PIX_Lerp16x8(left, right, fx16, _mm_srai_epi16(fx16, 15));
  const __m128i fy16 = _mm_set1_epi16(short(fy));
  const __m128i down = PIX_Lerp16x8(across, _mm_srli_si128(across, 8), fy16, _mm_srai_epi16(fy16, 15));
  return unsigned(_mm_cvtsi128_si32(_mm_packus_epi16(down, zero)));
}

#else

inline unsigned PIX_BilinearFast(unsigned a, unsigned b, unsigned c, unsigned d, unsigned fx, unsigned fy) {
  return PIX_BilinearPlain(a, b, c, d, fx, fy);
}

#endif
