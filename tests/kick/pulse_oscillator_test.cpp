#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <vector>

#include "kick/Denormal.h"
#include "kick/ExciterTables.h"
#include "kick/Pulse.h"
#include "kick/bFilter.h"

namespace {

struct RateCase {
  double rate;
  int length;  // samples until the flag
};

const RateCase kRates[] = {{96000, 571}, {48000, 286}, {44100, 262}};
const double kAccents[] = {4, 9, 14};

// The table value the pulse must play at sample i, read as each rate reads it.
double expectedTableValue(const double* table, double rate, int i) {
  if (rate == 96000) return table[i];
  if (rate == 48000) return table[2 * i];
  const double p = i * 96 / 44.1;
  const int k = static_cast<int>(p);
  return table[k] + (p - k) * (table[k + 1] - table[k]);
}

std::vector<double> playPulse(double rate, double accent, int samples) {
  Pulse pulse;
  pulse.setSamplingRate(rate);
  pulse.setAccent(accent);
  pulse.reset();
  std::vector<double> out;
  for (int i = 0; i < samples; ++i) out.push_back(pulse.nextSample());
  return out;
}

TEST(Pulse, LengthAndTablesAtEveryRateAndAccent) {
  for (const RateCase& rc : kRates) {
    for (double accent : kAccents) {
      SCOPED_TRACE(testing::Message() << rc.rate << " Hz, accent " << accent);
      Pulse pulse;
      pulse.setSamplingRate(rc.rate);
      pulse.setAccent(accent);
      pulse.reset();
      const double mix = (accent - 4) / 10;
      for (int i = 0; i < rc.length; ++i) {
        EXPECT_EQ(pulse.getLastSampleFlag(), 0) << i;
        const double a = expectedTableValue(kExciterTableA, rc.rate, i);
        const double b = expectedTableValue(kExciterTableB, rc.rate, i);
        const double got = pulse.nextSample();
        EXPECT_NEAR(got, a + (b - a) * mix, 1e-12) << i;
        if (accent == 4) {
          EXPECT_EQ(got, a) << i;
        }
        if (accent == 14) {
          EXPECT_NEAR(got, b, 1e-12) << i;
        }
      }
      EXPECT_EQ(pulse.getLastSampleFlag(), 1);
      EXPECT_NEAR(pulse.getLastSampleValue(),
                  expectedTableValue(kExciterTableA, rc.rate, rc.length - 1) * (1 - mix) +
                      expectedTableValue(kExciterTableB, rc.rate, rc.length - 1) * mix,
                  1e-12);
      for (int i = 0; i < 10; ++i) EXPECT_EQ(pulse.nextSample(), 0.0);
      // All three last about 5.95 ms.
      EXPECT_NEAR(rc.length / rc.rate, 0.00595, 0.00003);
    }
  }
}

TEST(Pulse, AccentBelowFourScalesTableA) {
  const std::vector<double> one = playPulse(96000, 1.0, 571);
  EXPECT_NEAR(one.front(), 0.90136, 0.5e-5);
  EXPECT_NEAR(one.back(), 0.28527, 0.5e-5);
  const std::vector<double> silent = playPulse(48000, 0.0, 286);
  for (double v : silent) EXPECT_EQ(v, 0.0);
}

TEST(Pulse, UndefinedRatesAreSilentAndNeverEnd) {
  const double rates[] = {0, 22050, 88200, 192000, -48000, NAN, INFINITY, 1e300};
  for (double rate : rates) {
    Pulse pulse;
    pulse.setSamplingRate(rate);
    pulse.setAccent(14);
    pulse.reset();
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(pulse.nextSample(), 0.0) << rate;
    EXPECT_EQ(pulse.getLastSampleFlag(), 0) << rate;
  }
}

TEST(Pulse, ResetReplaysAndCopiesOwnTheirTables) {
  Pulse pulse;
  pulse.setSamplingRate(48000);
  pulse.setAccent(9);
  pulse.reset();
  for (int i = 0; i < 300; ++i) pulse.nextSample();
  Pulse copy(pulse);
  copy.tableA[0] = 99;  // must not reach the original
  pulse.reset();
  EXPECT_EQ(pulse.getLastSampleFlag(), 0);
  EXPECT_EQ(pulse.getLastSampleValue(), 0.0);
  EXPECT_NEAR(pulse.nextSample(), (kExciterTableA[0] + kExciterTableB[0]) / 2, 1e-12);
  Pulse assigned;
  assigned = copy;
  EXPECT_EQ(assigned.tableA[0], 99.0);
  EXPECT_EQ(assigned.index, copy.index);
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
