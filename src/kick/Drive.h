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

  // The same stage for the voice's sample loops, where a division costs as much as the rest
  // of the stage: the divisions by 3 become multiplications by 1/3 and the normaliser's
  // division is skipped where it is exactly 1 (amount >= 1), so a sample takes at most one
  // division instead of up to four. Within a few ulp of process(); a test compares them.
  struct Setting {
    double gain;  // (1 + amount) / 3
    double norm;  // nonlin(gain)
  };
  static Setting settingFor(double amount);
  static double nonlinFast(double x);
  static double processFast(double x, const Setting& setting);

private:
  static constexpr double kOneThird = 1 / kKneeDivisor;
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

inline double Drive::nonlinFast(double x) {
  const double m = std::fabs(x);
  if (m < 1.0 / 3) return 2 * x;
  if (m < 2.0 / 3) {
    const double t = 2 - 3 * m;
    return (x > 0 ? kOneThird : -kOneThird) * (3 - t * t);
  }
  return x > 0 ? 1 : -1;
}

inline Drive::Setting Drive::settingFor(double amount) {
  const double gain = (1 + amount) * kOneThird;
  return {gain, nonlinFast(gain)};
}

inline double Drive::processFast(double x, const Setting& setting) {
  const double y = nonlinFast(setting.gain * x);
  return setting.norm == 1 ? y : y / setting.norm;
}
