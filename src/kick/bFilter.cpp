#include "kick/bFilter.h"

#include <climits>
#include <cmath>

#include "kick/Denormal.h"

bFilter::bFilter() : pi(2 * std::acos(0.0)) {}

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

void bFilter::computeFreqEnvelope() {
  const double sweepLength = 0.0625 * samplingRate;
  fcur = n >= sweepLength ? freq : freq + 15 - 15 * n / sweepLength;
  // Saturates instead of overflowing in a ring left alone for hours; the sweep is long over.
  if (n < INT_MAX) ++n;
}

void bFilter::updateCoeffs() {
  if (!rTau.matches(tau) || !rRate.matches(samplingRate)) {
    r = std::exp(-1 / (tau * samplingRate));
    rTau.set(tau);
    rRate.set(samplingRate);
  }
  if (!wFreq.matches(fcur) || !wRate.matches(samplingRate)) {
    const double w = 2 * pi * fcur / samplingRate;
    cosW = std::cos(w);
    sinW = std::sin(w);
    wFreq.set(fcur);
    wRate.set(samplingRate);
  }
  c = r * cosW;
  s = r * sinW;
}
double bFilter::nextSample() {
  computeFreqEnvelope();
  updateCoeffs();
  const double xNext = c * x - s * y;
  const double yNext = s * x + c * y;
  x = flushTiny(xNext);
  y = flushTiny(yNext);
  return y;
}
