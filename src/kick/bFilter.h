#pragma once
// The ringing body of the kick: a decaying complex oscillator (a rotating, shrinking phasor)
// whose imaginary part is the output. Seeded with the pulse's last value, it rings without
// end; its frequency starts 15 Hz above the target and falls to it over 62.5 ms.
// The exp/cos/sin behind the coefficients are cached and recomputed only when tau, fcur or
// the rate change, which gives the same bits as evaluating them every sample. The owner calls
// flushTinyStates() regularly (see Denormal.h).
// Plain value class; called from whichever thread renders the voice.

#include <climits>

#include "kick/CacheKey.h"
#include "kick/Denormal.h"

class bFilter {
public:
  bFilter();
  ~bFilter() = default;

  // The setters only store; they may be called every sample.
  void setSamplingRate(double fs) { samplingRate = fs; }
  void setFreq(double hz) { freq = hz; }
  void setTau(double seconds) { tau = seconds; }
  // Puts the phasor at the given amplitude with its output at value.
  void setStartState(double value, double amplitude);
  void reset();
  double nextSample();
  // nextSample() for a ring whose sweep is over and whose freq, tau and rate have not changed
  // since the last sample, so fcur, c and s stay as they are.
  double nextSteadySample();
  // Moves fcur along the start sweep and counts the sample.
  void computeFreqEnvelope();
  // c and s from tau, fcur and the rate.
  void updateCoeffs();
  void flushTinyStates() {
    x = flushTiny(x);
    y = flushTiny(y);
  }

  // The struck skin is tighter: the ring starts kSweepDepthHz above its pitch and falls
  // linearly to it within kSweepSeconds of the ring's start.
  static constexpr double kSweepDepthHz = 15;
  static constexpr double kSweepSeconds = 0.0625;

  double pi;
  double freq = 0;
  double tau = 0;
  double c = 0;
  double s = 0;
  double samplingRate = 0;
  double x = 0;
  double y = 0;
  int n = 0;
  double fcur = 0;

private:
  void recomputeDecay();
  void recomputeRotation();

  // r = exp(-1 / (tau * rate)) and cos/sin of the phase step, with the inputs they came from.
  CacheKey rTau, rRate;
  double r = 0;
  CacheKey wFreq, wRate;
  double cosW = 0;
  double sinW = 0;
};

// Per-sample work, inline so that the voice's sample loop compiles as one piece.

inline void bFilter::computeFreqEnvelope() {
  const double sweepLength = kSweepSeconds * samplingRate;
  fcur = n >= sweepLength ? freq : freq + kSweepDepthHz - kSweepDepthHz * n / sweepLength;
  // Saturates instead of overflowing in a ring left alone for hours; the sweep is long over.
  if (n < INT_MAX) ++n;
}

inline void bFilter::updateCoeffs() {
  if (!rTau.matches(tau) || !rRate.matches(samplingRate)) recomputeDecay();
  if (!wFreq.matches(fcur) || !wRate.matches(samplingRate)) recomputeRotation();
  c = r * cosW;
  s = r * sinW;
}

inline double bFilter::nextSample() {
  computeFreqEnvelope();
  updateCoeffs();
  const double xNext = c * x - s * y;
  const double yNext = s * x + c * y;
  x = xNext;
  y = yNext;
  return y;
}

inline double bFilter::nextSteadySample() {
  if (n < INT_MAX) ++n;
  const double xNext = c * x - s * y;
  const double yNext = s * x + c * y;
  x = xNext;
  y = yNext;
  return y;
}
