// Each step of eight samples becomes vector conversions: with the x86-64
// baseline (SSE2) four of two samples, with AVX two of four. Each loop is
// compiled once for either, and the version the processor supports is picked
// when the library is loaded. Both round as the scalar conversion does, so
// the choice never changes a sample.

#include "plugin/SampleConvert.h"

namespace {

// Samples converted per step of the vector loops.
constexpr int kStep = 8;

// Eight samples a step, written out as eight plain conversions so that the
// compiler vectorises them; the tail goes one by one.
__attribute__((always_inline)) inline void ConvertLoop(const double* __restrict src, float* __restrict dst,
                                                       int nFrames) {
  int s = 0;
  for (; s + kStep <= nFrames; s += kStep) {
    const float a = static_cast<float>(src[s]), b = static_cast<float>(src[s + 1]);
    const float c = static_cast<float>(src[s + 2]), d = static_cast<float>(src[s + 3]);
    const float e = static_cast<float>(src[s + 4]), f = static_cast<float>(src[s + 5]);
    const float g = static_cast<float>(src[s + 6]), h = static_cast<float>(src[s + 7]);
    dst[s] = a;
    dst[s + 1] = b;
    dst[s + 2] = c;
    dst[s + 3] = d;
    dst[s + 4] = e;
    dst[s + 5] = f;
    dst[s + 6] = g;
    dst[s + 7] = h;
  }
  for (; s < nFrames; ++s) dst[s] = static_cast<float>(src[s]);
}

// The same step stored twice: each sample is converted once.
__attribute__((always_inline)) inline void ConvertPairLoop(const double* __restrict src, float* __restrict dst0,
                                                           float* __restrict dst1, int nFrames) {
  int s = 0;
  for (; s + kStep <= nFrames; s += kStep) {
    const float a = static_cast<float>(src[s]), b = static_cast<float>(src[s + 1]);
    const float c = static_cast<float>(src[s + 2]), d = static_cast<float>(src[s + 3]);
    const float e = static_cast<float>(src[s + 4]), f = static_cast<float>(src[s + 5]);
    const float g = static_cast<float>(src[s + 6]), h = static_cast<float>(src[s + 7]);
    dst0[s] = a;
    dst0[s + 1] = b;
    dst0[s + 2] = c;
    dst0[s + 3] = d;
    dst0[s + 4] = e;
    dst0[s + 5] = f;
    dst0[s + 6] = g;
    dst0[s + 7] = h;
    dst1[s] = a;
    dst1[s + 1] = b;
    dst1[s + 2] = c;
    dst1[s + 3] = d;
    dst1[s + 4] = e;
    dst1[s + 5] = f;
    dst1[s + 6] = g;
    dst1[s + 7] = h;
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

using ConvertFn = void (*)(const double*, float*, int);
using ConvertPairFn = void (*)(const double*, float*, float*, int);

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("avx"))) void ConvertAVX(const double* src, float* dst, int nFrames) {
  ConvertLoop(src, dst, nFrames);
}
__attribute__((target("avx"))) void ConvertPairAVX(const double* src, float* dst0, float* dst1, int nFrames) {
  ConvertPairLoop(src, dst0, dst1, nFrames);
}

// The detection is initialised first: this runs among the static constructors.
bool HasAVX() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx");
}
#else
void ConvertAVX(const double* src, float* dst, int nFrames) { ConvertBaseline(src, dst, nFrames); }
void ConvertPairAVX(const double* src, float* dst0, float* dst1, int nFrames) {
  ConvertPairBaseline(src, dst0, dst1, nFrames);
}

bool HasAVX() { return false; }
#endif

// Chosen once, when the library is loaded.
const ConvertFn kConvert = HasAVX() ? ConvertAVX : ConvertBaseline;
const ConvertPairFn kConvertPair = HasAVX() ? ConvertPairAVX : ConvertPairBaseline;

}  // namespace

void ConvertToFloat(const double* src, float* dst, int nFrames) { kConvert(src, dst, nFrames); }

void ConvertToFloatPair(const double* src, float* dst0, float* dst1, int nFrames) {
  kConvertPair(src, dst0, dst1, nFrames);
}

void AddToFloat(const double* src, float* dst, int nFrames) {
  for (int s = 0; s < nFrames; ++s) dst[s] += static_cast<float>(src[s]);
}
