#include "kick/bFilter.h"

#include <cmath>


bFilter::bFilter() : pi(2 * std::acos(0.0)) {
  recomputeDecay();
  recomputeRotation();
  updateCoeffs();
}

void bFilter::setStartState(double value, double amplitude) {
  y = value;
  // A value beyond the amplitude has no real root; the phasor then starts on the imaginary axis.
  const double radicand = amplitude * amplitude - value * value;
  x = radicand > 0 ? std::sqrt(radicand) : 0.0;
}

void bFilter::reset() {
  n = 0;
  x = 0;
  y = 0;
}

void bFilter::recomputeDecay() {
  r = std::exp(-1 / (tau * samplingRate));
  rTau.set(tau);
  rRate.set(samplingRate);
}

void bFilter::recomputeRotation() {
  const double w = 2 * pi * fcur / samplingRate;
  cosW = std::cos(w);
  sinW = std::sin(w);
  wFreq.set(fcur);
  wRate.set(samplingRate);
}
