#include "PitchTrack.h"

#include <cmath>

std::vector<PitchPoint> zeroCrossingPitch(const double* samples, size_t count, double sampleRate) {
  std::vector<PitchPoint> points;
  const double floor = std::pow(10.0, kPitchFloorDb / 20);
  double lastCrossing = -1;  // in samples, between samples
  double peak = 0;           // largest magnitude since the last crossing
  for (size_t i = 1; i < count; ++i) {
    peak = std::fmax(peak, std::fabs(samples[i]));
    const double a = samples[i - 1], b = samples[i];
    if (!(a < 0 && b >= 0)) continue;
    const double crossing = (double)(i - 1) + a / (a - b);
    if (lastCrossing >= 0 && peak >= floor) {
      const double hertz = sampleRate / (crossing - lastCrossing);
      if (hertz >= kMinPitchHz && hertz <= kMaxPitchHz)
        points.push_back({(crossing + lastCrossing) / 2 / sampleRate, hertz});
    }
    lastCrossing = crossing;
    peak = 0;
  }
  return points;
}
