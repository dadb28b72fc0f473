// Each loop is compiled twice, for the x86-64 baseline (SSE2) and for AVX,
// and the widest version the processor supports is picked on the first call.
// Vector conversions round as the scalar one does, so the choice never
// changes a sample.

#include "plugin/SampleConvert.h"

namespace {

// Samples converted per step of the loops. Each step is unrolled whole and
// becomes vector conversions (SSE2: eight of two samples; AVX: four of four)
// and stores, with one loop count per 16 samples.
constexpr int kStep = 16;

__attribute__((always_inline)) inline void ConvertLoop(const double* __restrict src, float* __restrict dst,
                                                       int nFrames) {
  int s = 0;
  for (; s + kStep <= nFrames; s += kStep) {
#pragma GCC unroll 16
    for (int k = 0; k < kStep; ++k) dst[s + k] = static_cast<float>(src[s + k]);
  }
  for (; s < nFrames; ++s) dst[s] = static_cast<float>(src[s]);
}

// Each sample converted once, stored twice.
__attribute__((always_inline)) inline void ConvertPairLoop(const double* __restrict src, float* __restrict dst0,
                                                           float* __restrict dst1, int nFrames) {
  int s = 0;
  for (; s + kStep <= nFrames; s += kStep) {
#pragma GCC unroll 16
    for (int k = 0; k < kStep; ++k) {
      const float v = static_cast<float>(src[s + k]);
      dst0[s + k] = v;
      dst1[s + k] = v;
    }
  }
  for (; s < nFrames; ++s) {
    const float v = static_cast<float>(src[s]);
    dst0[s] = v;
    dst1[s] = v;
  }
}

void ConvertBaseline(const double* src, float* dst, int nFrames) { ConvertLoop(src, dst, nFrames); }
void ConvertPairBaseline(const double* src, float* dst0, float* dst1, int nFrames) {
  ConvertPairLoop(src, dst0, dst1, nFrames);
}

bool Always() { return true; }

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("avx"))) void ConvertAVX(const double* src, float* dst, int nFrames) {
  ConvertLoop(src, dst, nFrames);
}
__attribute__((target("avx"))) void ConvertPairAVX(const double* src, float* dst0, float* dst1, int nFrames) {
  ConvertPairLoop(src, dst0, dst1, nFrames);
}

bool HasAVX() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx");
}
#endif

constexpr SampleConvertVersion kVersions[] = {
    {"baseline", Always, ConvertBaseline, ConvertPairBaseline},
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    {"avx", HasAVX, ConvertAVX, ConvertPairAVX},
#endif
};
constexpr int kVersionCount = sizeof kVersions / sizeof kVersions[0];

const SampleConvertVersion& Widest() {
  int v = kVersionCount - 1;
  while (v > 0 && !kVersions[v].supported()) --v;
  return kVersions[v];
}

// Chosen on first use rather than among the static constructors, so that a
// conversion made while another library's statics are built (a plug-in made
// at load) cannot find the choice not yet made.
const SampleConvertVersion& Chosen() {
  static const SampleConvertVersion& chosen = Widest();
  return chosen;
}

}  // namespace

void ConvertToFloat(const double* src, float* dst, int nFrames) { Chosen().convert(src, dst, nFrames); }

void ConvertToFloatPair(const double* src, float* dst0, float* dst1, int nFrames) {
  Chosen().convertPair(src, dst0, dst1, nFrames);
}

void AddToFloat(const double* src, float* dst, int nFrames) {
  for (int s = 0; s < nFrames; ++s) dst[s] += static_cast<float>(src[s]);
}

const SampleConvertVersion* SampleConvertVersions(int* count) {
  *count = kVersionCount;
  return kVersions;
}
