#pragma once
// Double-to-float conversion of rendered channels, the step every float host
// needs after the double-precision rendering. Each sample is rounded to the
// nearest float, exactly as static_cast<float> rounds it; the vector versions
// chosen on the first call (AVX where the processor has it, the
// x86-64 baseline otherwise) give the same floats as the plain loops below.
// Callable from the audio thread: no allocation, no locks.

// dst[s] = (float)src[s] for s in 0 .. nFrames - 1.
void ConvertToFloat(const double* src, float* dst, int nFrames);
// Both destinations receive the converted channel, in one pass over src (a
// mono signal on two outputs). The three buffers must not overlap.
void ConvertToFloatPair(const double* src, float* dst0, float* dst1, int nFrames);
// dst[s] += (float)src[s].
void AddToFloat(const double* src, float* dst, int nFrames);

// One compiled version of ConvertToFloat and ConvertToFloatPair. The calls
// above use the widest version the processor runs; tests hold every version
// it runs to the plain loops, so the baseline is checked on wide machines too.
struct SampleConvertVersion {
  const char* name;
  bool (*supported)();
  void (*convert)(const double* src, float* dst, int nFrames);
  void (*convertPair)(const double* src, float* dst0, float* dst1, int nFrames);
};
// The versions compiled in, baseline first and widest last; *count receives
// their number. The table is static: valid for the program's life.
const SampleConvertVersion* SampleConvertVersions(int* count);

// The plain formula ConvertToFloat, and ConvertToFloatPair into each of its
// destinations, must equal.
inline void ConvertToFloatPlain(const double* src, float* dst, int nFrames) {
  for (int s = 0; s < nFrames; ++s) dst[s] = static_cast<float>(src[s]);
}
