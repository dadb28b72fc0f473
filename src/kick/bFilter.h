#pragma once
// The ringing body of the kick: a decaying complex oscillator (a rotating, shrinking phasor)
// whose imaginary part is the output. Seeded with the pulse's last value, it rings without
// end; its frequency starts 15 Hz above the target and falls to it over 62.5 ms.
// The exp/cos/sin behind the coefficients are cached and recomputed only when tau, fcur or
// the rate change, which gives the same bits as evaluating them every sample. During the
// sweep fcur moves every sample, but by the same step, so the rotation is turned on by one
// fixed small rotation per sample instead of a cos and sin per sample; it is re-anchored to
// the exact cos and sin every kSweepAnchorInterval samples and whenever freq or the rate
// changes, which keeps it within about 1e-14 of them. The owner calls flushTinyStates()
// regularly (see Denormal.h).
// Plain value class; called from whichever thread renders the voice.

#include <climits>
#include <cmath>

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
  // Samples from now on that fall in the sweep (0 once it is over).
  int sweepSamplesLeft() const;
  // For a ring past its sweep: fcur and the coefficients as nextSample() would set them.
  void settle();
  // count nextSample() calls into out, with freq, tau and the rate unchanged throughout; the
  // state is held in registers rather than stored every sample.
  void render(double* out, int count);

  // A ring past its sweep, turned by the owner's own loop: each turn waits for the one before,
  // so a loop that only turns the ring leaves most of the processor idle, and the owner can
  // fill it with work of its own. beginSteadyRing() settles and hands out the phasor; each
  // next() gives what nextSample() would, with freq, tau and the rate unchanged;
  // endSteadyRing() takes the phasor back and counts the samples.
  struct SteadyRing {
    double c, s, x, y;
    double next() {
      const double xNext = c * x - s * y;
      y = s * x + c * y;
      x = xNext;
      return y;
    }
  };
  SteadyRing beginSteadyRing();
  void endSteadyRing(const SteadyRing& ring, int samples);
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
  // Sweep samples between exact cos/sin evaluations: the recurrence's rounding error grows by
  // about an ulp a step, so 32 steps stay far below 1e-13; the anchor costs a cos and a sin.
  static constexpr int kSweepAnchorInterval = 32;

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
  // Exact cos/sin of this sweep sample's phase step, and the per-sample turn for the rate.
  void anchorSweepRotation();
  void stepSweepRotation();
  // render() for samples that all fall in the sweep.
  void renderSweep(double* out, int count);

  // r = exp(-1 / (tau * rate)) and cos/sin of the phase step, with the inputs they came from.
  CacheKey rTau, rRate;
  double r = 0;
  CacheKey wFreq, wRate;
  double cosW = 0;
  double sinW = 0;
  // The sweep: which sweep sample fcur belongs to (-1 after the sweep), the rotation of the
  // last sweep sample and the freq and rate it was anchored with.
  int sweepIndex = -1;
  int rotationIndex = -2;
  int anchorCountdown = 0;
  CacheKey sweepFreq, sweepRate, turnRate;
  double sweepCos = 1, sweepSin = 0;
  double turnCos = 1, turnSin = 0;  // cos/sin of the phase step's fall per sample
};

// Per-sample work, inline so that the voice's sample loop compiles as one piece.

inline void bFilter::computeFreqEnvelope() {
  const double sweepLength = kSweepSeconds * samplingRate;
  if (n >= sweepLength) {
    fcur = freq;
    sweepIndex = -1;
  } else {
    fcur = freq + kSweepDepthHz - kSweepDepthHz * n / sweepLength;
    sweepIndex = n;
  }
  // Saturates instead of overflowing in a ring left alone for hours; the sweep is long over.
  if (n < INT_MAX) ++n;
}

inline void bFilter::stepSweepRotation() {
  // cos and sin of (w - d) from those of w and d.
  const double c0 = sweepCos, s0 = sweepSin;
  sweepCos = c0 * turnCos + s0 * turnSin;
  sweepSin = s0 * turnCos - c0 * turnSin;
}

inline void bFilter::updateCoeffs() {
  if (!rTau.matches(tau) || !rRate.matches(samplingRate)) recomputeDecay();
  if (sweepIndex >= 0) {
    if (sweepIndex == rotationIndex + 1 && --anchorCountdown > 0 && sweepFreq.matches(freq) &&
        sweepRate.matches(samplingRate))
      stepSweepRotation();
    else
      anchorSweepRotation();
    rotationIndex = sweepIndex;
    c = r * sweepCos;
    s = r * sweepSin;
    return;
  }
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

inline int bFilter::sweepSamplesLeft() const {
  const double sweepLength = kSweepSeconds * samplingRate;
  if (!(n < sweepLength)) return 0;
  // The samples n, n + 1, ... below the sweep length.
  return static_cast<int>(std::ceil(sweepLength)) - n;
}

inline void bFilter::settle() {
  fcur = freq;
  sweepIndex = -1;
  updateCoeffs();
}

inline bFilter::SteadyRing bFilter::beginSteadyRing() {
  settle();
  return {c, s, x, y};
}

inline void bFilter::endSteadyRing(const SteadyRing& ring, int samples) {
  x = ring.x;
  y = ring.y;
  n = n > INT_MAX - samples ? INT_MAX : n + samples;
}

inline void bFilter::render(double* out, int count) {
  const int sweepLeft = sweepSamplesLeft();
  const int swept = sweepLeft < count ? sweepLeft : count;
  if (swept > 0) renderSweep(out, swept);
  if (swept == count) return;
  SteadyRing ring = beginSteadyRing();
  for (int i = swept; i < count; ++i) out[i] = ring.next();
  endSteadyRing(ring, count - swept);
}
