#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <algorithm>
#include <cmath>
#include <vector>

#include "kick/Denormal.h"
#include "kick/ExciterTables.h"
#include "kick/Pulse.h"
#include "kick/bFilter.h"

namespace {

// Rates hosts run at, from the lowest the pulse plays to the highest.
const double kPlayedRates[] = {8000,  11025, 22050,  32000,  44100,  48000,
                               88200, 96000, 176400, 192000, 352800, 384000};
const double kTableRate = 96000;  // Hz, the rate the tables were recorded at
const double kPulseSeconds = 570 / kTableRate;

// The samples until the flag, and the flag's value.
std::vector<double> playPulse(double rate, double accent, int* flagValue = nullptr) {
  Pulse pulse;
  pulse.setSamplingRate(rate);
  pulse.setAccent(accent);
  pulse.reset();
  std::vector<double> out;
  while (!pulse.getLastSampleFlag() && out.size() < 100000) out.push_back(pulse.nextSample());
  if (flagValue) *flagValue = pulse.getLastSampleFlag();
  EXPECT_EQ(pulse.getLastSampleValue(), out.back());
  for (int i = 0; i < 10; ++i) EXPECT_EQ(pulse.nextSample(), 0.0) << "after the end";
  return out;
}

// At 96 kHz the tables play as they are; accent 4 is table A, 14 table B, 9 their mean.
TEST(Pulse, NativeRatePlaysTheTablesAndBlendsByAccent) {
  const std::vector<double> a = playPulse(96000, 4), b = playPulse(96000, 14), mid = playPulse(96000, 9);
  ASSERT_EQ(a.size(), 571u);
  for (int i = 0; i < 571; ++i) {
    ASSERT_EQ(a[i], kExciterTableA[i]) << i;
    ASSERT_NEAR(b[i], kExciterTableB[i], 1e-12) << i;
    ASSERT_NEAR(mid[i], (kExciterTableA[i] + kExciterTableB[i]) / 2, 1e-12) << i;
  }
  // 48 kHz takes every second entry.
  const std::vector<double> half = playPulse(48000, 4);
  ASSERT_EQ(half.size(), 286u);
  for (int i = 0; i < 286; ++i) ASSERT_EQ(half[i], kExciterTableA[2 * i]) << i;
}

// Every rate plays the same 5.94 ms waveform: it ends on the last sample within the tables,
// and each sample lies between the two table entries around its time.
TEST(Pulse, EveryRateFromEightTo384kHzPlaysTheSameWaveform) {
  for (double rate : kPlayedRates) {
    SCOPED_TRACE(testing::Message() << rate << " Hz");
    int flag = 0;
    const std::vector<double> out = playPulse(rate, 4, &flag);
    EXPECT_EQ(flag, 1);
    const double last = (out.size() - 1) / rate;
    EXPECT_LE(last, kPulseSeconds + 1e-12);
    EXPECT_GT(last + 1 / rate, kPulseSeconds);
    for (size_t i = 0; i < out.size(); ++i) {
      const double t = i / rate * kTableRate;
      const int before = static_cast<int>(std::floor(t)), after = std::min(570, before + 1);
      const double lo = std::min(kExciterTableA[before], kExciterTableA[after]);
      const double hi = std::max(kExciterTableA[before], kExciterTableA[after]);
      ASSERT_GE(out[i], lo - 1e-12) << i;
      ASSERT_LE(out[i], hi + 1e-12) << i;
    }
  }
}

TEST(Pulse, AccentBelowFourScalesTableA) {
  const std::vector<double> one = playPulse(96000, 1.0);
  EXPECT_NEAR(one.front(), 0.90136, 0.5e-5);
  EXPECT_NEAR(one.back(), 0.28527, 0.5e-5);
  for (double v : playPulse(48000, 0.0)) EXPECT_EQ(v, 0.0);
}

TEST(Pulse, RatesOutsideTheRangeAreSilentAndNeverEnd) {
  const double rates[] = {0, 7999, 384001, -48000, NAN, INFINITY, 1e300};
  for (double rate : rates) {
    EXPECT_FALSE(Pulse::playsAt(rate)) << rate;
    Pulse pulse;
    pulse.setSamplingRate(rate);
    pulse.setAccent(14);
    pulse.reset();
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(pulse.nextSample(), 0.0) << rate;
    EXPECT_EQ(pulse.getLastSampleFlag(), 0) << rate;
  }
  for (double rate : kPlayedRates) EXPECT_TRUE(Pulse::playsAt(rate)) << rate;
}

TEST(Pulse, ResetReplaysAndCopiesAreIndependent) {
  Pulse pulse;
  pulse.setSamplingRate(48000);
  pulse.setAccent(9);
  pulse.reset();
  for (int i = 0; i < 300; ++i) pulse.nextSample();
  Pulse copy(pulse);
  pulse.reset();
  EXPECT_EQ(pulse.getLastSampleFlag(), 0);
  EXPECT_EQ(pulse.getLastSampleValue(), 0.0);
  EXPECT_NEAR(pulse.nextSample(), (kExciterTableA[0] + kExciterTableB[0]) / 2, 1e-12);
  EXPECT_EQ(copy.index, 300);
  EXPECT_EQ(copy.getLastSampleFlag(), 1);
}

TEST(Pulse, IndexSaturatesInsteadOfOverflowing) {
  Pulse pulse;
  pulse.setSamplingRate(44100);
  pulse.setAccent(4);
  pulse.index = INT_MAX - 1;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(pulse.nextSample(), 0.0);
  EXPECT_EQ(pulse.index, INT_MAX);
}

// The sweep runs from freq + 15 Hz down to freq over 62.5 ms of oscillator samples.
TEST(bFilter, SweepFromFifteenHzAboveOverSixtyTwoPointFiveMs) {
  const double rates[] = {44100, 48000, 96000};
  for (double rate : rates) {
    SCOPED_TRACE(rate);
    bFilter f;
    f.setSamplingRate(rate);
    f.setFreq(55);
    f.setTau(1);
    f.reset();
    f.setStartState(0.2, 1.0);
    const double sweep = 0.0625 * rate;
    for (int n = 0; n < static_cast<int>(sweep) + 10; ++n) {
      f.nextSample();
      const double want = n >= sweep ? 55 : 70 - 15 * n / sweep;
      ASSERT_NEAR(f.fcur, want, 1e-9) << n;
    }
    EXPECT_EQ(f.fcur, 55.0);
  }
  bFilter f;
  f.setSamplingRate(48000);
  f.setFreq(55);
  f.computeFreqEnvelope();
  EXPECT_EQ(f.fcur, 70.0);
  for (int n = 1; n < 3000; ++n) f.computeFreqEnvelope();
  EXPECT_GT(f.fcur, 55.0);
  f.computeFreqEnvelope();
  EXPECT_EQ(f.fcur, 55.0);  // the 3001st sample, n = 3000
}

// The output is a sine of amplitude r^n following the swept frequency, continuing from the seed.
TEST(bFilter, RingFollowsTheSweptPhaseAndDecay) {
  const double rate = 48000, tau = 0.2, seed = 0.28527;
  bFilter f;
  f.setSamplingRate(rate);
  f.setFreq(60);
  f.setTau(tau);
  f.reset();
  f.setStartState(seed, 1.0);
  EXPECT_EQ(f.y, seed);
  EXPECT_NEAR(f.x * f.x + f.y * f.y, 1.0, 1e-15);
  const double pi = 2 * std::acos(0.0);
  const double r = std::exp(-1 / (tau * rate));
  double phase = std::atan2(seed, f.x);
  for (int n = 0; n < 6000; ++n) {
    const double fcur = n >= 3000 ? 60 : 75 - 15 * n / 3000.0;
    phase += 2 * pi * fcur / rate;
    const double want = std::pow(r, n + 1) * std::sin(phase);
    ASSERT_NEAR(f.nextSample(), want, 1e-9) << n;
  }
}

TEST(bFilter, CoefficientsForALongRing) {
  bFilter f;
  f.setSamplingRate(44100);
  f.setTau(10);
  f.setFreq(55);
  f.fcur = 55;
  f.updateCoeffs();
  const double r = std::exp(-1 / 441000.0);
  EXPECT_NEAR(std::hypot(f.c, f.s), r, 1e-15);
  EXPECT_NEAR(std::atan2(f.s, f.c), 2 * M_PI * 55 / 44100, 1e-15);
  // A new tau takes effect on the next update.
  f.setTau(0.1);
  f.updateCoeffs();
  EXPECT_NEAR(std::hypot(f.c, f.s), std::exp(-1 / 4410.0), 1e-15);
}

TEST(bFilter, StartStateBeyondTheAmplitudeStaysFinite) {
  bFilter f;
  f.setStartState(0.6, 1.0);
  EXPECT_DOUBLE_EQ(f.x, 0.8);
  f.setStartState(-1.5, 1.0);  // no real root: start on the imaginary axis
  EXPECT_EQ(f.x, 0.0);
  EXPECT_EQ(f.y, -1.5);
}

// Flushed at the voice's interval, the fastest ring reaches exact zero without ever
// producing a subnormal value.
TEST(bFilter, DecayedRingFlushesToExactZero) {
  bFilter f;
  f.setSamplingRate(44100);
  f.setFreq(55);
  f.setTau(0.3 * 0.011);  // the shortest decay Comp can give
  f.reset();
  f.setStartState(0.3, 1.0);
  for (int i = 1; i <= 44100; ++i) {
    const double y = f.nextSample();
    ASSERT_TRUE(y == 0.0 || std::fabs(y) >= DBL_MIN) << i;
    if (i % kFlushInterval == 0) f.flushTinyStates();
  }
  EXPECT_EQ(f.x, 0.0);
  EXPECT_EQ(f.y, 0.0);
}

TEST(bFilter, SweepCounterSaturates) {
  bFilter f;
  f.setSamplingRate(48000);
  f.setFreq(55);
  f.n = INT_MAX;
  f.computeFreqEnvelope();
  EXPECT_EQ(f.n, INT_MAX);
  EXPECT_EQ(f.fcur, 55.0);
}

}  // namespace
