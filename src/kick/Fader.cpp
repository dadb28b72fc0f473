#include "kick/Fader.h"

#include <cmath>

#include "kick/Denormal.h"

double Fader::getFaderValue() {
  if (!factorTau.matches(tau) || !factorRate.matches(sampleRate)) {
    factor = std::exp(-1 / (tau * sampleRate));
    factorTau.set(tau);
    factorRate.set(sampleRate);
  }
  value = flushTiny(value * factor);
  return value;
}
