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
  rotationIndex = -2;
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

void bFilter::anchorSweepRotation() {
  const double w = 2 * pi * fcur / samplingRate;
  sweepCos = std::cos(w);
  sweepSin = std::sin(w);
  sweepFreq.set(freq);
  sweepRate.set(samplingRate);
  anchorCountdown = kSweepAnchorInterval;
  if (!turnRate.matches(samplingRate)) {
    // fcur falls by kSweepDepthHz / sweep length every sample.
    const double sweepLength = kSweepSeconds * samplingRate;
    const double turn = 2 * pi * (kSweepDepthHz / sweepLength) / samplingRate;
    turnCos = std::cos(turn);
    turnSin = std::sin(turn);
    turnRate.set(samplingRate);
  }
}

// nextSample() count times, with what cannot change during the sweep (r, the turn, whether
// the rotation continues from the last sample) decided once, and the state in locals.
void bFilter::renderSweep(double* out, int count) {
  if (!rTau.matches(tau) || !rRate.matches(samplingRate)) recomputeDecay();
  const double rr = r;
  const double sweepLength = kSweepSeconds * samplingRate;
  bool continues = rotationIndex + 1 == n && sweepFreq.matches(freq) && sweepRate.matches(samplingRate);
  double xr = x, yr = y;
  double cw = sweepCos, sw = sweepSin, tc = turnCos, ts = turnSin;
  int countdown = anchorCountdown;
  for (int i = 0; i < count; ++i) {
    if (continues && --countdown > 0) {
      const double c0 = cw;
      cw = c0 * tc + sw * ts;
      sw = sw * tc - c0 * ts;
    } else {
      fcur = freq + kSweepDepthHz - kSweepDepthHz * (n + i) / sweepLength;
      anchorSweepRotation();
      cw = sweepCos;
      sw = sweepSin;
      tc = turnCos;
      ts = turnSin;
      countdown = anchorCountdown;
      continues = true;
    }
    const double cr = rr * cw, sr = rr * sw;
    const double xNext = cr * xr - sr * yr;
    yr = sr * xr + cr * yr;
    xr = xNext;
    out[i] = yr;
  }
  // Where count nextSample() calls leave the state.
  const int last = n + count - 1;
  fcur = freq + kSweepDepthHz - kSweepDepthHz * last / sweepLength;
  sweepIndex = rotationIndex = last;
  n = last + 1;
  x = xr;
  y = yr;
  sweepCos = cw;
  sweepSin = sw;
  anchorCountdown = countdown;
  c = rr * cw;
  s = rr * sw;
}
