#pragma once
// Converts a length in samples (rate x seconds) to an unsigned count, truncating like a cast,
// but without the undefined behaviour a cast has for negative, NaN or too-large values:
// those give 0 (negative, NaN) or the largest count. Any thread.

#include <cstdint>

inline uint32_t toSampleCount(double samples) {
  if (!(samples > 0.0)) return 0;
  if (samples >= 4294967295.0) return UINT32_MAX;
  return static_cast<uint32_t>(samples);
}
