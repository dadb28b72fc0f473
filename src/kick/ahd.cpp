#include "kick/ahd.h"

#include <climits>
#include <cmath>

#include "kick/Denormal.h"

double ahd::factorFor(Smoothing& cache, double time, double rate) {
  if (!cache.time.matches(time) || !cache.rate.matches(rate)) {
    cache.factor = std::exp(-1 / (rate * time));
    cache.time.set(time);
    cache.rate.set(rate);
  }
  return cache.factor;
}

float ahd::getSample() {
  // Saturates instead of overflowing when the envelope runs for hours without a reset.
  if (sampleCount < INT_MAX) ++sampleCount;
  if (sampleCount > hold * samplingRate) {
    target = 0;
    const double e = factorFor(decaySmoothing, decay, samplingRate);
    a = static_cast<float>(e);
    b = static_cast<float>(1 - e);
  } else {
    const double e = factorFor(attackSmoothing, attack, samplingRate);
    a = static_cast<float>(e);
    b = static_cast<float>(1 - e);
    target = 1;
  }
  y = flushTiny(static_cast<float>(b * x + a * y));
  x = target;
  return static_cast<float>(amp * y);
}

void ahd::reset() {
  sampleCount = 0;
  target = 1;
}
