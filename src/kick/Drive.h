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
  // of the stage: the divisions by 3 become multiplications by 1/3, and the normaliser's
  // division a multiplication by its reciprocal, taken once per setting. A setting is made
  // once per amount where the amount stands still, and every sample where the drive envelope
  // moves it; from amount 1 on (gain 2/3) the normaliser is exactly 1 and the setting is made
  // without clipping or dividing. Within a few ulp of process(); a test compares them.
  struct Setting {
    double gain;     // (1 + amount) / 3
    double inverse;  // 1 / nonlin(gain)
  };
  static Setting settingFor(double amount);
  static double nonlinFast(double x);
  static double processFast(double x, const Setting& setting);

private:
  static constexpr double kOneThird = 1 / kKneeDivisor;
  // From this gain on nonlin(gain) is 1: the clip's last stretch starts at 2/3.
  static constexpr double kRailGain = 2.0 / 3;
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
  // The same bits as below, without the clip and the division.
  if (gain >= kRailGain) return {gain, 1};
  return {gain, 1 / nonlinFast(gain)};
}

inline double Drive::processFast(double x, const Setting& setting) {
  return nonlinFast(setting.gain * x) * setting.inverse;
}
