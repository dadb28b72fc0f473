#pragma once
// Clamp used for the voice's velocity-scaled amounts. A NaN x is returned unchanged.
// Any thread.

inline double bound(double x, double lo, double hi) {
  if (x > hi) return hi;
  if (lo > x) return lo;
  return x;
}

// A 0..1 setting moved by the hit's velocity v (0..1): its Dyn amount dyn (-1..1) shifts it
// by up to dyn either way around the neutral velocity 0.5, held to 0..1. (The level has its
// own rule: setting + dyn·v.)
inline double velocityScaled(double setting, double dyn, double v) { return bound(setting + 2 * dyn * (v - 0.5), 0, 1); }
