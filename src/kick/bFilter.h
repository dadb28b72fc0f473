#pragma once
// The ringing body of the kick: a decaying complex oscillator (a rotating, shrinking phasor)
// whose imaginary part is the output. Seeded with the pulse's last value, it rings without
// end; its frequency starts 15 Hz above the target and falls to it over 62.5 ms.
// The exp/cos/sin behind the coefficients are cached and recomputed only when tau, fcur or
// the rate change, which gives the same bits as evaluating them every sample. Phasor values
// below kFlushThreshold are flushed to zero (see Denormal.h).
// Plain value class; called from whichever thread renders the voice.

#include "kick/CacheKey.h"

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
  // Moves fcur along the start sweep and counts the sample.
  void computeFreqEnvelope();
  // c and s from tau, fcur and the rate.
  void updateCoeffs();

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
  // r = exp(-1 / (tau * rate)) and cos/sin of the phase step, with the inputs they came from.
  CacheKey rTau, rRate;
  double r = 0;
  CacheKey wFreq, wRate;
  double cosW = 0;
  double sinW = 0;
};
