#pragma once
// Clamp used for the voice's velocity-scaled amounts. A NaN x is returned unchanged.
// Any thread.

inline double bound(double x, double lo, double hi) {
  if (x > hi) return hi;
  if (lo > x) return lo;
  return x;
}
