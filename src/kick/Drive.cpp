#include "kick/Drive.h"

#include <cmath>

double Drive::nonlin(double x) const {
  const double m = std::fabs(x);
  if (m < 1.0 / 3) return 2 * x;
  if (m < 2.0 / 3) {
    const double t = 2 - 3 * m;
    return (x > 0 ? 1 : -1) * (3 - t * t) / 3;
  }
  return x > 0 ? 1 : -1;
}

double Drive::process(double x, double amount) const {
  const double g = (1 + amount) / 3;
  return nonlin(g * x) / nonlin(g);
}
