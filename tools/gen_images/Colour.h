#pragma once
// Colours as floating-point red, green and blue for shading, and their
// conversion to the raster library's pixels (alpha in bits 0-7, red 8-15,
// green 16-23, blue 24-31).

struct Colour {
  float r;
  float g;
  float b;
};

inline float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

inline Colour Mix(Colour a, Colour b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline Colour Scale(Colour c, float k) { return {c.r * k, c.g * k, c.b * k}; }

inline Colour Add(Colour c, float v) { return {c.r + v, c.g + v, c.b + v}; }

inline unsigned ToByte(float v) { return unsigned(Clamp01(v) * 255.0f + 0.5f); }

inline unsigned Pixel(Colour c, float alpha = 1.0f) {
  return ToByte(alpha) | ToByte(c.r) << 8 | ToByte(c.g) << 16 | ToByte(c.b) << 24;
}

// A grey pixel of the given level, used for coverage masks.
inline unsigned Grey(float level) {
  const unsigned v = ToByte(level);
  return 255u | v << 8 | v << 16 | v << 24;
}
