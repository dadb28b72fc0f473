#pragma once
// The kick's saturation: a symmetric soft clipper, normalised so that amount 0 passes
// magnitudes below 1 unchanged and higher amounts clip harder. No state; any thread.

#include <cmath>

class Drive {
public:
  double nonlin(double x) const;
  // amount 0..10.
  double process(double x, double amount) const;

  // The clipper is linear (slope 2) below 1/3 of full scale. Dividing the gain 1 + amount by
  // 3 puts amount 0 exactly on that knee, where the normalised stage is the identity.
  static constexpr double kKneeDivisor = 3;
};

inline double Drive::nonlin(double x) const {
  const double m = std::fabs(x);
  if (m < 1.0 / 3) return 2 * x;
  if (m < 2.0 / 3) {
    const double t = 2 - 3 * m;
    return (x > 0 ? 1 : -1) * (3 - t * t) / 3;
  }
  return x > 0 ? 1 : -1;
}

inline double Drive::process(double x, double amount) const {
  const double g = (1 + amount) / kKneeDivisor;
  return nonlin(g * x) / nonlin(g);
}
