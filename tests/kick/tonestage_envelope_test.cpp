#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>

#include "kick/Denormal.h"
#include "kick/Tonestage.h"
#include "kick/ahd.h"

namespace {

// The analog corner 1/(2 pi RC) recovered from a bilinear first-order pole a1 = (T - 2RC)/(T + 2RC).
double cornerHz(double a1, double fs) {
  const double rc = (1 - a1) / (1 + a1) / fs / 2;
  return 1 / (2 * M_PI * rc);
}

// Gain at DC and at Nyquist of y = b0 x + b1 x1 - a1 y1.
double gainAtDc(double b0, double b1, double a1) { return (b0 + b1) / (1 + a1); }
double gainAtNyquist(double b0, double b1, double a1) { return (b0 - b1) / (1 - a1); }

const double kRates[] = {44100, 48000, 96000};

TEST(Tonestage, ToneCornerFollowsTheResistance) {
  struct Case {
    double p;
    double hz;
  };
  const Case cases[] = {{0, 7234}, {0.25, 717}, {0.5, 448}, {1, 305}};
  for (double fs : kRates) {
    for (const Case& c : cases) {
      Tonestage t;
      t.calculateToneCoeffs(c.p, fs);
      EXPECT_NEAR(cornerHz(t.toneA1, fs), c.hz, 0.5) << fs << " p " << c.p;
      EXPECT_EQ(t.toneB0, t.toneB1);
      EXPECT_NEAR(gainAtDc(t.toneB0, t.toneB1, t.toneA1), 1.0, 1e-12);
    }
  }
}

TEST(Tonestage, LevelAndOutputHighPassesAtThreePointThreeNineHz) {
  for (double fs : kRates) {
    Tonestage t;
    t.calculateHighpassCoeffs(fs);
    EXPECT_NEAR(cornerHz(t.highpassA1, fs), 3.39, 0.005);
    EXPECT_NEAR(gainAtNyquist(t.highpassB0, t.highpassB1, t.highpassA1), 0.82, 1e-12);
    EXPECT_EQ(gainAtDc(t.highpassB0, t.highpassB1, t.highpassA1), 0.0);
    const double levels[] = {0, 0.25, 0.5, 1};
    for (double level : levels) {
      t.calculateLevelCoeffs(1 - level * level, fs);
      EXPECT_NEAR(cornerHz(t.levelA1, fs), 3.39, 0.005);
      EXPECT_NEAR(gainAtNyquist(t.levelB0, t.levelB1, t.levelA1), level * level, 1e-12);
      EXPECT_EQ(gainAtDc(t.levelB0, t.levelB1, t.levelA1), 0.0);
    }
  }
}

TEST(Tonestage, DcThroughEachSection) {
  const double fs = 48000, dc = 0.75;
  Tonestage t;
  t.calculateToneCoeffs(0.3, fs);
  t.calculateLevelCoeffs(0.0, fs);
  t.calculateHighpassCoeffs(fs);
  double tone = 0, level = 0, out = 0;
  for (int i = 0; i < 10 * 48000; ++i) {
    tone = t.processTone(dc);
    level = t.processLevel(dc);
    out = t.processHighpass(dc);
  }
  EXPECT_NEAR(tone, dc, 1e-12);       // the low-pass keeps DC
  EXPECT_NEAR(level, 0.0, 1e-12);     // both high-passes remove it
  EXPECT_NEAR(out, 0.0, 1e-12);
  t.reset();
  EXPECT_EQ(t.toneX1 + t.toneY1 + t.levelX1 + t.levelY1 + t.highpassX1 + t.highpassY1, 0.0);
  EXPECT_NE(t.toneB0, 0.0);  // reset keeps the coefficients
}

TEST(Tonestage, SilentBeforeCoefficientsAndAtLevelZero) {
  Tonestage t;
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(t.processTone(1.0), 0.0);
    EXPECT_EQ(t.processLevel(1.0), 0.0);
    EXPECT_EQ(t.processHighpass(1.0), 0.0);
  }
  t.calculateLevelCoeffs(1.0, 48000);  // level amount 0
  for (int i = 0; i < 100; ++i) EXPECT_EQ(t.processLevel(std::sin(i * 0.1)), 0.0);
}

// Left alone, a decaying section would end in subnormals (and rounding can hold it there);
// flushed at the voice's interval it reaches exact zero without ever passing through them.
TEST(Tonestage, DecayedStatesFlushToZero) {
  Tonestage t;
  t.calculateToneCoeffs(0, 44100);  // the fastest-decaying tone setting
  t.calculateLevelCoeffs(0, 44100);
  t.calculateHighpassCoeffs(44100);
  t.processHighpass(t.processLevel(t.processTone(1.0)));
  for (int i = 1; i <= 44100 * 10; ++i) {
    const double y = t.processHighpass(t.processLevel(t.processTone(0.0)));
    ASSERT_TRUE(y == 0.0 || std::fabs(y) >= DBL_MIN) << i;
    ASSERT_TRUE(t.toneY1 == 0.0 || std::fabs(t.toneY1) >= DBL_MIN) << i;
    if (i % kFlushInterval == 0) t.flushTinyStates();
  }
  EXPECT_EQ(t.toneY1, 0.0);
  EXPECT_EQ(t.levelY1, 0.0);
  EXPECT_EQ(t.highpassY1, 0.0);
}

ahd voiceEnvelope(double fs) {
  ahd e;
  e.setDecay(0.12f);
  e.setAmp(1.0f);
  e.setHold(0.002f);
  e.setSamplingRate(fs);
  return e;
}

// Hold 0.002 s (a float) covers samples 1..88 at 44.1 kHz and 1..96 at 48 kHz; the next sample
// is the first decay sample, which still returns 1, and the fall is heard one sample later.
TEST(ahd, HoldAndDecayBoundary) {
  struct Case {
    double fs;
    int firstDecaySample;
  };
  const Case cases[] = {{44100, 89}, {48000, 97}, {96000, 193}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fs);
    ahd e = voiceEnvelope(c.fs);
    // Let a first hit decay past audibility, then start a new one.
    e.reset();
    for (int i = 0; i < c.fs * 5; ++i) e.getSample();
    e.reset();
    EXPECT_EQ(e.getSample(), 0.0f);  // the previous target, one sample late
    for (int n = 2; n < c.firstDecaySample; ++n) {
      ASSERT_EQ(e.getSample(), 1.0f) << n;
      ASSERT_EQ(e.target, 1.0f) << n;
    }
    EXPECT_NEAR(e.getSample(), 1.0f, 1e-6);
    EXPECT_EQ(e.target, 0.0f);
    const float fall = static_cast<float>(std::exp(-1 / (0.12 * c.fs)));
    EXPECT_EQ(e.a, fall);
    float previous = e.getSample();
    EXPECT_NEAR(previous, fall, 1e-6);
    for (int n = 0; n < 100; ++n) {
      const float v = e.getSample();
      EXPECT_NEAR(v, previous * fall, 1e-6);
      previous = v;
    }
  }
}

TEST(ahd, FreshEnvelopeStartsAtOneAndAmpScales) {
  ahd e = voiceEnvelope(48000);
  e.setAmp(0.5f);
  e.reset();
  EXPECT_EQ(e.getSample(), 0.5f);  // x starts at 1
  EXPECT_EQ(e.b, 1.0f);            // attack 0: no smoothing
  EXPECT_EQ(e.a, 0.0f);
}

TEST(ahd, CountSaturatesAndTailFlushes) {
  ahd e = voiceEnvelope(48000);
  e.setSampleCount(INT_MAX - 1);
  for (int i = 1; i <= 48000 * 20; ++i) {
    e.getSample();
    if (i % kFlushInterval == 0) e.flushTinyStates();
  }
  EXPECT_EQ(e.sampleCount, INT_MAX);
  EXPECT_EQ(e.y, 0.0);
}

}  // namespace
