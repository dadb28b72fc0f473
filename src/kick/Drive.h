#pragma once
// The kick's saturation: a symmetric soft clipper, normalised so that amount 0 passes
// magnitudes below 1 unchanged and higher amounts clip harder. No state; any thread.

class Drive {
public:
  double nonlin(double x) const;
  // amount 0..10.
  double process(double x, double amount) const;
};
