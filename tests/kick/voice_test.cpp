#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "kick/Drive.h"
#include "kick/Glide.h"
#include "kick/Krummel.h"
#include "kick/bound.h"

namespace {

// A voice set up the way the instrument does it, with its default parameters.
void prepare(Krummel& k, double fs) {
  k.setTone(0.5);
  k.setLevel(0.5);
  k.setDecay(0.5);
  k.setSampleRate(fs);
  k.glide.setSampleRate(static_cast<float>(fs));
  k.setMidiVelocity(0.5);
}

std::vector<double> render(Krummel& k, int samples) {
  std::vector<double> out(samples);
  for (double& v : out) v = k.getSample();
  return out;
}

double peak(const std::vector<double>& v, size_t from = 0) {
  double p = 0;
  for (size_t i = from; i < v.size(); ++i) p = std::max(p, std::fabs(v[i]));
  return p;
}

TEST(Bound, ClampsAndPassesNaN) {
  EXPECT_EQ(bound(2, 0, 1), 1.0);
  EXPECT_EQ(bound(-2, 0, 1), 0.0);
  EXPECT_EQ(bound(0.25, 0, 1), 0.25);
  EXPECT_TRUE(std::isnan(bound(NAN, 0, 1)));
}

TEST(Drive, IdentityAtAmountZeroBelowOne) {
  Drive d;
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> in(-0.999999, 0.999999);
  for (int i = 0; i < 10000; ++i) {
    const double x = in(rng);
    ASSERT_NEAR(d.process(x, 0), x, 1e-15) << x;
  }
}

TEST(Drive, SoftClipperShape) {
  Drive d;
  EXPECT_EQ(d.nonlin(0.25), 0.5);
  EXPECT_EQ(d.nonlin(-0.25), -0.5);
  EXPECT_DOUBLE_EQ(d.nonlin(0.5), (3 - 0.25) / 3);
  EXPECT_DOUBLE_EQ(d.nonlin(-0.5), -(3 - 0.25) / 3);
  EXPECT_EQ(d.nonlin(0.7), 1.0);
  EXPECT_EQ(d.nonlin(-0.7), -1.0);
  EXPECT_EQ(d.nonlin(0.0), 0.0);
  // From amount 1 on the normaliser is 1 and the output saturates.
  EXPECT_EQ(d.process(0.9, 10), 1.0);
  EXPECT_EQ(d.process(0.1, 1), d.nonlin(0.1 * 2.0 / 3));
}

// The voice's form of the stage against the formula, over every region of the clipper and
// amounts on both sides of 1, where the normaliser becomes 1.
TEST(Drive, FastFormWithinAFewUlpOfTheFormula) {
  Drive d;
  std::mt19937 rng(8);
  std::uniform_real_distribution<double> in(-1.5, 1.5), amounts(0, 10);
  for (int i = 0; i < 100000; ++i) {
    const double x = in(rng);
    const double amount = i % 10 == 0 ? 0.0 : amounts(rng);
    const double want = d.process(x, amount);
    ASSERT_NEAR(Drive::processFast(x, Drive::settingFor(amount)), want, 4e-16 * (1 + std::fabs(want)))
        << x << " at " << amount;
  }
  // Signs, saturation and zero come out exactly.
  EXPECT_EQ(Drive::processFast(0.9, Drive::settingFor(10)), 1.0);
  EXPECT_EQ(Drive::processFast(-0.9, Drive::settingFor(10)), -1.0);
  EXPECT_EQ(Drive::processFast(0.0, Drive::settingFor(0)), 0.0);
  EXPECT_EQ(Drive::settingFor(1).inverse, 1.0);
  // The setting skips the clip from the rail on; around it the reciprocal is the same either way.
  for (double amount = std::nextafter(1.0, 0.0) - 8e-16; amount < 1 + 1e-15; amount = std::nextafter(amount, 2.0)) {
    const Drive::Setting s = Drive::settingFor(amount);
    ASSERT_EQ(s.inverse, 1 / Drive::nonlinFast(s.gain)) << amount;
  }
}

struct GlideRun {
  Glide g;
  GlideRun(int mode, float seconds) {
    g.setSampleRate(1000);
    g.setGlideTime(seconds);
    g.mode = mode;
    g.length = 0;  // start on note 40 without a glide from 0
    g.setValue(40);
    g.Process();
    g.setGlideTime(seconds);
  }
};

TEST(Glide, ModesAndGlideInProgress) {
  struct Case {
    int mode;
    double note;
    bool glides;
  };
  const Case cases[] = {
      {0, 52, true}, {0, 28, true},    // Up/Down
      {1, 52, true}, {1, 28, false},   // Up only
      {2, 52, false}, {2, 28, true},   // Down only
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " to " << c.note);
    GlideRun run(c.mode, 0.1f);
    ASSERT_EQ(run.g.length, 100u);
    run.g.setValue(c.note);
    for (int k = 0; k < 100; ++k) {
      const double want = c.glides ? 40 + k * (c.note - 40) / 100 : c.note;
      ASSERT_DOUBLE_EQ(run.g.Process(), want) << k;
    }
    EXPECT_EQ(run.g.Process(), c.note);
  }
  // Mode 0: a new target mid-glide starts from where the glide stands.
  GlideRun run(0, 0.1f);
  run.g.setValue(52);
  double stand = 0;
  for (int k = 0; k < 50; ++k) stand = run.g.Process();
  run.g.setValue(40);
  EXPECT_EQ(run.g.start, stand);
  EXPECT_DOUBLE_EQ(run.g.Process(), stand);
  for (int k = 1; k < 100; ++k) EXPECT_DOUBLE_EQ(run.g.Process(), stand + k * (40 - stand) / 100);
  EXPECT_EQ(run.g.Process(), 40.0);
  // Modes 1 and 2 compare with the previous target, not with where the glide stands.
  GlideRun up(1, 0.1f);
  up.g.setValue(52);
  for (int k = 0; k < 50; ++k) up.g.Process();
  up.g.setValue(46);  // below the target 52, above the current 46-ish: jumps
  EXPECT_EQ(up.g.Process(), 46.0);
}

TEST(Glide, LengthFromRateAndTimeWithHostileValues) {
  Glide g;
  g.setSampleRate(48000);
  g.setGlideTime(0.5f);
  EXPECT_EQ(g.length, 24000u);
  g.setGlideTime(-1.0f);
  EXPECT_EQ(g.length, 0u);
  g.setGlideTime(NAN);
  EXPECT_EQ(g.length, 0u);
  g.setGlideTime(1e30f);
  EXPECT_EQ(g.length, UINT32_MAX);
  g.setGlideTime(0);
  g.setValue(60);
  EXPECT_EQ(g.Process(), 60.0);  // length 0: the target at once
}

TEST(Krummel, ConstructorState) {
  Krummel k;
  EXPECT_EQ(k.phase, 0);
  EXPECT_EQ(k.tau, 0.011);
  EXPECT_EQ(k.fader.tau, 0.1);
  EXPECT_EQ(k.driveEnvelope.decay, static_cast<double>(0.12f));
  EXPECT_EQ(k.driveEnvelope.hold, static_cast<double>(0.002f));
  EXPECT_EQ(k.driveEnvelope.amp, 1.0);
  EXPECT_EQ(k.driveEnvelope.attack, 0.0f);
  EXPECT_FALSE(k.driveEnv);
  EXPECT_EQ(k.sampleRate, 0.0);
  EXPECT_EQ(k.glide.length, 0u);
}

TEST(Krummel, SilentBeforeTheFirstHit) {
  Krummel k;
  prepare(k, 48000);
  for (double v : render(k, 2000)) ASSERT_EQ(v, 0.0);
}

TEST(Krummel, PulseThenRingAtEachRate) {
  struct Case {
    double fs;
    int pulseLength;
  };
  const Case cases[] = {{44100, 262}, {48000, 286}, {96000, 571}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fs);
    Krummel k;
    prepare(k, c.fs);
    k.restart();
    for (int i = 0; i < c.pulseLength - 1; ++i) {
      k.getSample();
      ASSERT_EQ(k.phase, Krummel::kPulsePhase) << i;
    }
    k.getSample();
    EXPECT_EQ(k.phase, Krummel::kRingPhase);
    EXPECT_EQ(k.filter.y, k.pulse.getLastSampleValue());  // the ring continues the pulse
    EXPECT_EQ(k.filter.n, 0);
    k.getSample();
    EXPECT_EQ(k.filter.n, 1);  // the sweep starts with the ring
    EXPECT_EQ(k.filter.fcur, 55 + 15.0);
    EXPECT_GT(peak(render(k, static_cast<int>(c.fs / 10))), 0.01);
  }
}

TEST(Krummel, DecayTimeConstantFromDecayAndLongDecay) {
  struct Case {
    double decay;
    int longDecay;
    double tau;
  };
  const Case cases[] = {{0, 0, 0.011}, {1, 0, 0.370}, {0.5, 0, 0.1905}, {0, 1, 0.055}, {1, 1, 1.85}};
  for (const Case& c : cases) {
    Krummel k;
    prepare(k, 48000);
    k.setDecay(c.decay);
    k.setLongDecayFlag(c.longDecay);
    k.restart();
    EXPECT_NEAR(k.tau, c.tau, 1e-12);
    // Comp 0: the ring decays with tau from its first sample.
    k.getSample();
    EXPECT_NEAR(k.filter.tau, c.tau, 1e-12);
  }
}

TEST(Krummel, CompHoldsForTauThenDecaysFaster) {
  Krummel k;
  prepare(k, 48000);
  k.setComp(1);
  k.restart();
  const double tau = k.tau;
  const uint32_t hold = static_cast<uint32_t>(1 * 48000 * tau);
  for (uint32_t i = 0; i < hold; ++i) {
    k.getSample();
    ASSERT_EQ(k.filter.tau, 10.0) << i;  // the pulse's samples count towards the hold
  }
  EXPECT_EQ(k.holdCount, hold);
  k.getSample();
  EXPECT_EQ(k.filter.tau, tau - 0.7 * hold / 48000);
  EXPECT_NEAR(k.filter.tau, 0.3 * tau, 1e-4);
  // During the hold the ring barely decays.
  Krummel held;
  prepare(held, 48000);
  held.setComp(1);
  held.restart();
  const std::vector<double> out = render(held, static_cast<int>(hold));
  const double early = peak(std::vector<double>(out.begin() + 1000, out.begin() + 3000));
  const double late = peak(std::vector<double>(out.end() - 2000, out.end()));
  EXPECT_GT(late, 0.8 * early);
}

TEST(Krummel, CompActsOnASoundingHit) {
  Krummel k;
  prepare(k, 48000);
  k.restart();
  render(k, 1000);
  EXPECT_NE(k.filter.tau, 10.0);
  k.setComp(1);  // hold now longer than the samples played: back to counting
  const uint32_t before = k.holdCount;
  k.getSample();
  EXPECT_EQ(k.holdCount, before + 1);
}

TEST(Krummel, VelocityHalfIsNeutralExceptForLevel) {
  Krummel plain, dyn;
  prepare(plain, 48000);
  prepare(dyn, 48000);
  plain.setComp(0.3);
  plain.setDrive(0.2);
  plain.setLevel(0.5 + 0.5 * -0.4);
  dyn.setComp(0.3);
  dyn.setDrive(0.2);
  dyn.dynDecay = 1;
  dyn.dynComp = -1;
  dyn.dynDrive = 0.7;
  dyn.dynTone = -0.3;
  dyn.dynLevel = -0.4;
  plain.restart();
  dyn.restart();
  EXPECT_EQ(render(plain, 20000), render(dyn, 20000));
}

TEST(Krummel, PitchFromTuneFineAndMidiNote) {
  Krummel k;
  prepare(k, 48000);
  k.setTune(12);
  k.setFine(-0.5);
  k.glide.setValue(60);
  k.restart();
  k.getSample();
  EXPECT_NEAR(k.filter.freq, 440 * std::pow(2.0, (33 + 12 - 0.5 - 69) / 12), 1e-12);  // note ignored
  k.setMidiTuneFlag(1);
  k.getSample();
  EXPECT_NEAR(k.filter.freq, 440 * std::pow(2.0, (60 + 12 - 0.5 - 69) / 12), 1e-12);
  k.setMidiTuneFlag(2);
  k.getSample();
  EXPECT_EQ(k.filter.freq, 100.0);
}

void prepareLoud(Krummel& k, double fs) {
  prepare(k, fs);
  k.setTone(1);
  k.setLevel(1);
  k.setDecay(1);
  k.setDrive(0.5);
}

TEST(Krummel, RetriggerDuringALoudRingAddsNoStep) {
  const double fs = 48000;
  Krummel probe, k, fresh;
  prepareLoud(probe, fs);
  prepareLoud(k, fs);
  prepareLoud(fresh, fs);
  probe.restart();
  const std::vector<double> ring = render(probe, 4000);
  size_t loudest = 1000;  // well into the ring
  for (size_t i = 1000; i < ring.size(); ++i)
    if (std::fabs(ring[i]) > std::fabs(ring[loudest])) loudest = i;

  k.restart();
  render(k, static_cast<int>(loudest + 1));
  const double last = k.lastOutput;
  ASSERT_GT(std::fabs(last), 0.3);
  k.restart();
  fresh.restart();
  const std::vector<double> after = render(k, 20000);
  const std::vector<double> alone = render(fresh, 20000);
  // The new hit plus the old value dying away with the 0.1 s fader, and nothing else.
  const double factor = std::exp(-1 / (0.1 * fs));
  double old = last;
  for (size_t i = 0; i < after.size(); ++i) {
    old *= factor;
    ASSERT_NEAR(after[i], alone[i] + old, 1e-9) << i;
  }
  // So the first sample moves from the old output by the new pulse's first value only.
  EXPECT_NEAR(after[0] - last, alone[0], std::fabs(last) * (1 - factor) + 1e-12);
}

TEST(Krummel, SilentAtRatesItDoesNotPlay) {
  const double rates[] = {7999, 384001};
  for (double fs : rates) {
    Krummel k;
    prepare(k, fs);
    k.restart();
    for (double v : render(k, 20000)) ASSERT_EQ(v, 0.0) << fs;
  }
}

// What the ear hears of a hit: the ring's pitch (from its upward zero crossings after the
// sweep) and the time until it has fallen 60 dB below its peak.
struct RingHeard {
  double hz;
  double decaySeconds;
};

RingHeard hearRing(double fs) {
  Krummel k;
  prepare(k, fs);
  k.restart();
  const std::vector<double> out = render(k, static_cast<int>(fs * 1.6));
  double first = -1, last = -1;
  int crossings = 0;
  for (size_t i = static_cast<size_t>(0.1 * fs); i < static_cast<size_t>(0.4 * fs); ++i)
    if (out[i - 1] < 0 && out[i] >= 0) {
      const double t = (i - 1 + out[i - 1] / (out[i - 1] - out[i])) / fs;
      if (first < 0) first = t;
      last = t;
      ++crossings;
    }
  const double floor = peak(out) * 1e-3;
  size_t end = out.size() - 1;
  while (end > 0 && std::fabs(out[end]) < floor) --end;
  return {(crossings - 1) / (last - first), end / fs};
}

TEST(Krummel, PitchAndDecaySoundTheSameAtEveryRate) {
  const RingHeard reference = hearRing(48000);
  EXPECT_NEAR(reference.hz, 55, 0.55);
  const double rates[] = {22050, 32000, 44100, 88200, 96000, 176400, 192000};
  for (double fs : rates) {
    SCOPED_TRACE(fs);
    const RingHeard ring = hearRing(fs);
    EXPECT_NEAR(ring.hz, reference.hz, 0.01 * reference.hz);
    EXPECT_NEAR(ring.decaySeconds, reference.decaySeconds, 0.02 * reference.decaySeconds);
  }
}

// A rate that cannot give finite coefficients (0, negative, NaN) silences the voice instead of
// filling the output with NaN, also when a defined rate comes back.
TEST(Krummel, HostileRatesNeverProduceNaN) {
  const double rates[] = {0, -48000, NAN, INFINITY};
  for (double bad : rates) {
    SCOPED_TRACE(bad);
    Krummel k;
    prepare(k, 48000);
    k.restart();
    render(k, 3000);
    k.setSampleRate(bad);
    for (double v : render(k, 1000)) ASSERT_EQ(v, 0.0);
    k.restart();  // a hit at the bad rate stays silent
    k.setSampleRate(48000);
    for (double v : render(k, 1000)) ASSERT_EQ(v, 0.0);
    k.restart();
    const std::vector<double> out = render(k, 5000);
    for (double v : out) ASSERT_TRUE(std::isfinite(v));
    EXPECT_GT(peak(out), 0.01);
  }
}

TEST(Krummel, DriveEnvelopeAdvancesOnlyWhenOn) {
  Krummel k;
  prepare(k, 48000);
  k.setDrive(1);
  k.restart();
  render(k, 500);
  EXPECT_EQ(k.driveEnvelope.sampleCount, 0);
  k.driveEnv = true;
  render(k, 500);
  EXPECT_EQ(k.driveEnvelope.sampleCount, 500);
}

TEST(Krummel, DecayedVoiceFlushesToExactZero) {
  Krummel k;
  prepare(k, 48000);
  k.setDecay(0);
  k.driveEnv = true;
  k.setDrive(0.5);
  k.restart();
  render(k, 48000 * 30);
  EXPECT_EQ(k.getSample(), 0.0);
  EXPECT_EQ(k.filter.x, 0.0);
  EXPECT_EQ(k.filter.y, 0.0);
  EXPECT_EQ(k.fader.value, 0.0);
  EXPECT_EQ(k.driveEnvelope.y, 0.0);
}

}  // namespace
