#pragma once
// Note glide, linear in note numbers: each new value is approached over the glide time, in
// both directions (mode 0, "Up/Down"), upward only (1, "Up") or downward only (2, "Down").
// The owner sets mode directly. Plain value class; called from whichever thread renders the
// voice (the instrument sets it there, from the values other threads post).

#include <cstdint>

class Glide {
public:
  void setSampleRate(float fs);
  void setGlideTime(float seconds);
  // New target; a glide in progress continues from where it stands.
  void setValue(double v);
  double Process();

  double current = 0;
  double target = 0;
  double start = 0;
  uint32_t length = 0;
  uint32_t counter = 0;
  float sampleRate = 0;
  float glideTime = 0;
  // The values mode takes (the "Glide Mode" parameter's integers).
  static constexpr int kBothWays = 0;  // "Up/Down"
  static constexpr int kUpOnly = 1;    // "Up": a lower note jumps at once
  static constexpr int kDownOnly = 2;  // "Down": a higher note jumps at once
  int mode = kBothWays;
};

inline double Glide::Process() {
  current = target;
  if (counter < length) {
    current = start + counter * (target - start) / length;
    counter += 1;
  }
  return current;
}
