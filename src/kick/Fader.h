#pragma once
// Declick: carries the voice's last output into a new hit and lets it die away exponentially,
// so a retrigger adds no step. The decay factor is cached and recomputed only when tau or the
// rate changes. The owner calls flushTinyStates() regularly (see Denormal.h).
// Plain value class; called from whichever thread renders the voice.

#include "kick/CacheKey.h"
#include "kick/Denormal.h"

class Fader {
public:
  Fader() { recomputeFactor(); }

  void setStartValue(double v) { value = v; }
  void setTau(double seconds) { tau = seconds; }
  void setSampleRate(double fs) { sampleRate = fs; }
  // Decays one sample and returns the new value.
  double getFaderValue();
  // getFaderValue() when tau and the rate have not changed since the last call.
  double nextSteadyValue() {
    value = value * factor;
    return value;
  }
  void flushTinyStates() { value = flushTiny(value); }

  double value = 0;
  double tau = 0;
  double sampleRate = 0;

private:
  void recomputeFactor();

  CacheKey factorTau, factorRate;
  double factor = 0;
};

inline double Fader::getFaderValue() {
  if (!factorTau.matches(tau) || !factorRate.matches(sampleRate)) recomputeFactor();
  value = value * factor;
  return value;
}
