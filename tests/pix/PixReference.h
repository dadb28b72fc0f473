#pragma once
// Plain, slow reference versions of the combine formulas, written channel by
// channel, against which the library's loops are checked.

#include <algorithm>
#include <cstdint>
#include <random>

namespace pixref {

inline int Ch(unsigned p, int i) { return int((p >> (8 * i)) & 255); }
inline unsigned Pack(const int c[4]) {
  return unsigned(c[0]) | unsigned(c[1]) << 8 | unsigned(c[2]) << 16 | unsigned(c[3]) << 24;
}
inline int Clamp(int v) { return std::min(255, std::max(0, v)); }

// One channel of the plain formula of mode (low byte 0-4) at weight w.
inline int Formula(int mode, int d, int s, int w) {
  switch (mode) {
    case 0: return s + (d - s) * (256 - w) / 256;
    case 1: return Clamp(d + s * w / 256);
    case 2: {
      const int t = s * w / 256;
      return Clamp(t > 254 ? d * 256 : d * 256 / (256 - t));
    }
    case 3: return d * (((256 - w) * 256) + s * w) / 65536;
    case 4: {
      const int m = (256 - w) * 128;
      return Clamp(d * (d * (32768 - s * w - m) / 256 + s * w + m) / 32768);
    }
  }
  return d;
}

// The plain formula on all four channels (modes 0-4).
inline unsigned Plain(int mode, unsigned d, unsigned s, int w) {
  if (mode == 0 && w == 256) return s;
  int c[4];
  for (int i = 0; i < 4; ++i) c[i] = Formula(mode, Ch(d, i), Ch(s, i), w);
  return Pack(c);
}

// What a blit does to one pixel (modes 0-4, with or without 0x10000).
inline unsigned Blit(int mode, unsigned d, unsigned s, float alpha) {
  const int w = int(alpha * 256);
  const int low = mode & 255;
  if (!(mode & 0x10000)) {
    if (low == 0 && alpha == 1.0f) return s;
    if (low == 0 && alpha == 0.5f) {
      int c[4];
      // Each byte halved (rounded down) before adding.
      for (int i = 0; i < 4; ++i) c[i] = Ch(d, i) / 2 + Ch(s, i) / 2;
      return Pack(c);
    }
    if (w == 0) return d;
    return Plain(low, d, s, w);
  }
  const int sa = Ch(s, 0);
  if (w == 0) return d;
  if (low == 0) {
    if (sa == 0) return d;
    int c[4];
    if (w == 256) {
      if (sa == 255) return s;
      for (int i = 1; i < 4; ++i) c[i] = Ch(s, i) + (Ch(d, i) - Ch(s, i)) * (255 - sa) / 256;
      c[0] = std::min(255, sa + Ch(d, 0));
    } else {
      const int ws = w * (sa + 1) / 256;
      for (int i = 1; i < 4; ++i) c[i] = Ch(s, i) + (Ch(d, i) - Ch(s, i)) * (256 - ws) / 256;
      c[0] = std::min(255, Ch(d, 0) + ws);
    }
    return Pack(c);
  }
  if ((low == 1 || low == 3) && sa == 0) return d;
  return Plain(low, d, s, w * (sa + 1) / 256);
}

// Random pixels whose alpha is 0, 255 or anything, in roughly equal parts.
inline unsigned RandomPixel(std::mt19937& rng) {
  unsigned p = unsigned(rng());
  switch (rng() % 3) {
    case 0: return p & 0xFFFFFF00u;
    case 1: return p | 0xFFu;
    default: return p;
  }
}

}  // namespace pixref
