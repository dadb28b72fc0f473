#pragma once
// Signed distances to the shapes the keys and panel are made of (negative
// inside, in output pixels), and the outward normal of a bevelled edge.

#include <cmath>

#include "Light.h"

struct RoundBox {
  float left, top, width, height, radius;

  // Negative inside, zero on the outline.
  float Distance(float x, float y) const {
    const float hx = width / 2, hy = height / 2;
    const float qx = std::fabs(x - (left + hx)) - hx + radius;
    const float qy = std::fabs(y - (top + hy)) - hy + radius;
    const float ox = qx > 0 ? qx : 0, oy = qy > 0 ? qy : 0;
    const float inside = qx > qy ? qx : qy;
    return std::sqrt(ox * ox + oy * oy) + (inside < 0 ? inside : 0) - radius;
  }
};

// The normal of a surface whose edge rounds off over `bevel` pixels inside
// the outline of a shape with distance function `distance`.
template <class Shape>
Vec3 BevelNormal(const Shape& shape, float x, float y, float bevel, float steepness) {
  const float d = shape.Distance(x, y);
  if (d < -bevel) return {0.0f, 0.0f, 1.0f};
  const float e = 0.05f;
  float gx = shape.Distance(x + e, y) - shape.Distance(x - e, y);
  float gy = shape.Distance(x, y + e) - shape.Distance(x, y - e);
  const float len = std::sqrt(gx * gx + gy * gy);
  if (len <= 0.0f) return {0.0f, 0.0f, 1.0f};
  const float t = (d + bevel) / bevel;  // 0 where the edge starts, 1 at the outline
  const float slope = steepness * t * t;
  return {gx / len * slope, gy / len * slope, 1.0f};
}
