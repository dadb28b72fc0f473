#include "kick/ahd.h"

#include <cmath>

void ahd::recompute(Smoothing& cache, double time, double rate) {
  cache.factor = std::exp(-1 / (rate * time));
  cache.time.set(time);
  cache.rate.set(rate);
}

void ahd::reset() {
  sampleCount = 0;
  target = 1;
}
