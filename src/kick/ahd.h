#pragma once
// Attack-hold-decay envelope: one-pole smoothing towards 1 during attack and hold (measured
// from reset) and towards 0 after, one sample late. The voice uses it to shape the drive
// amount. The exp() behind its coefficients is cached per phase and recomputed only when the
// time constant or the rate changes (same bits as computing it every sample). The owner calls
// flushTinyStates() regularly (see Denormal.h).
// Plain value class; called from whichever thread renders the voice.

#include <climits>

#include "kick/CacheKey.h"
#include "kick/Denormal.h"

class ahd {
public:
  ahd() {
    recompute(attackSmoothing, attack, samplingRate);
    recompute(decaySmoothing, decay, samplingRate);
  }

  void setSamplingRate(double fs) { samplingRate = fs; }
  // Part of the envelope's interface; the voice keeps the attack at 0 and never calls it.
  void setAttack(float seconds) { attack = seconds; }
  void setHold(float seconds) { hold = seconds; }
  void setDecay(float seconds) { decay = seconds; }
  void setAmp(float value) { amp = value; }
  // Part of the envelope's interface; the voice never calls it.
  void setSampleCount(int count) { sampleCount = count; }
  float getSample();
  // Starts attack and hold again from the level the envelope has now.
  void reset();
  // Whether the hold is over and the smoothing input has reached the decay's target, so that
  // from the next sample on getSample() only decays y.
  bool inSteadyDecay() const { return x == 0 && sampleCount >= hold * samplingRate; }
  // While inSteadyDecay(), a stretch of samples without re-deriving the phase and its
  // coefficients every sample: beginSteadyDecay() gives the level y to start from, each
  // steadyDecayStep(level) gives the next level as getSample() would (its output is
  // amp × level), and endSteadyDecay(level, samples) stores the last one and counts them.
  float beginSteadyDecay();
  float steadyDecayStep(float level) const;
  void endSteadyDecay(float level, int samples);
  void flushTinyStates() { y = flushTiny(y); }

  float attack = 0;
  double hold = 0;
  double decay = 0;
  double amp = 0;
  double samplingRate = 0;
  double x = 1.0;
  double y = 0;
  // A new envelope counts as far past any hold (66666 samples: 0.17 s at 384 kHz, far longer
  // than the voice's 2 ms), so it sits in its decay at 0 until the first reset.
  int sampleCount = kStartSampleCount;
  static constexpr int kStartSampleCount = 66666;
  float target = 1.0f;
  float b = 0;
  float a = 0;

private:
  // exp(-1 / (rate * time)) for each phase, with the inputs it came from.
  struct Smoothing {
    CacheKey time, rate;
    double factor = 0;
  };
  static double factorFor(Smoothing& cache, double time, double rate);
  static void recompute(Smoothing& cache, double time, double rate);

  Smoothing attackSmoothing, decaySmoothing;
};

// Per-sample work, inline so that the voice's sample loop compiles as one piece.

inline double ahd::factorFor(Smoothing& cache, double time, double rate) {
  if (!cache.time.matches(time) || !cache.rate.matches(rate)) recompute(cache, time, rate);
  return cache.factor;
}

inline float ahd::getSample() {
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
  y = static_cast<float>(b * x + a * y);
  x = target;
  return static_cast<float>(amp * y);
}

inline float ahd::beginSteadyDecay() {
  const double e = factorFor(decaySmoothing, decay, samplingRate);
  a = static_cast<float>(e);
  b = static_cast<float>(1 - e);
  target = 0;
  return static_cast<float>(y);
}

inline float ahd::steadyDecayStep(float level) const {
  // b * x + a * y with x = 0, rounded to float, is a float multiply: a and y are floats, so
  // their product in double is exact and rounding it once to float is what the float multiply
  // does; b * 0 adds +0, which changes nothing (a, y >= 0). Same bits as getSample(), with one
  // multiply instead of a multiply, an add and two conversions from sample to sample.
  return a * level;
}

inline void ahd::endSteadyDecay(float level, int samples) {
  y = level;
  sampleCount = sampleCount > INT_MAX - samples ? INT_MAX : sampleCount + samples;
}
