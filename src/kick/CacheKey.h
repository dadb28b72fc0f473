#pragma once
// Remembers the exact bits of an input that a cached coefficient was computed from, so the
// coefficient is recomputed only when the input really changes. Comparing bits (not values)
// keeps the cache exact for -0.0 versus 0.0 and lets a NaN input be cached like any other.
// The owner fills each cache for its initial inputs on construction, so a key is always valid.
// Plain value; used by the voice's stages on the thread that renders.

#include <cstdint>
#include <cstring>

class CacheKey {
public:
  bool matches(double v) const { return bits == bitsOf(v); }
  void set(double v) { bits = bitsOf(v); }

private:
  static uint64_t bitsOf(double v) {
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
  }

  uint64_t bits = 0;
};
