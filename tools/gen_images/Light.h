#pragma once
// Lighting shared by every image: the one light of Style, diffuse and
// specular terms for a surface normal (x right, y down, z towards the viewer).

#include <cmath>

#include "Style.h"

struct Vec3 {
  float x, y, z;
};

inline Vec3 Normalised(Vec3 v) {
  const float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return len > 0.0f ? Vec3{v.x / len, v.y / len, v.z / len} : Vec3{0.0f, 0.0f, 1.0f};
}

inline float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline Vec3 LightDirection() { return Normalised({Style::kLightX, Style::kLightY, Style::kLightZ}); }

// Lambert term, 0..1.
inline float Diffuse(Vec3 normal) {
  const float d = Dot(Normalised(normal), LightDirection());
  return d > 0.0f ? d : 0.0f;
}

// Blinn-Phong highlight for a viewer straight in front.
inline float Specular(Vec3 normal, float shininess) {
  const Vec3 l = LightDirection();
  const Vec3 h = Normalised({l.x, l.y, l.z + 1.0f});
  const float d = Dot(Normalised(normal), h);
  return d > 0.0f ? std::pow(d, shininess) : 0.0f;
}

// How much a flat surface facing straight up is lit, used to keep flat
// areas at their nominal colour.
inline float FlatDiffuse() { return Diffuse({0.0f, 0.0f, 1.0f}); }

// Direction (clockwise from straight up, radians) towards the light.
inline float LightAngle() { return std::atan2(Style::kLightX, -Style::kLightY); }

// A small deterministic noise value in -1..1 for integer coordinates.
inline float Hash(int x, int y) {
  unsigned h = unsigned(x) * 374761393u + unsigned(y) * 668265263u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return float(h & 0xFFFF) / 32767.5f - 1.0f;
}
