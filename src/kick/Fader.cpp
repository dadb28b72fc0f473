#include "kick/Fader.h"

#include <cmath>

void Fader::recomputeFactor() {
  factor = std::exp(-1 / (tau * sampleRate));
  factorTau.set(tau);
  factorRate.set(sampleRate);
}
