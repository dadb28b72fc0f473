// The voice caches exp/cos/sin/pow results, turns its sweep's rotation by a recurrence and
// renders steady stretches in runs; this compares it with the plain voice that evaluates every
// formula on every sample, over seeded random performances (pitch, glide, decay, Comp, drive
// and envelope moving while hits sound). Every hit's sweep goes through the recurrence, whose
// rounding differs from a cos and sin per sample by about 1e-15 a step, so the two agree within
// kTolerance rather than bit for bit; render() and getSample(), and the runs and the samples
// computed in full, are compared bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "kick/Krummel.h"
#include "support/KrummelPlain.h"

namespace {

// The audible difference allowed: some 180 dB below full scale.
const double kTolerance = 1e-9;

// Random changes every few milliseconds: knobs, switches, notes; a hit now and then.
// A retarget moves the glide without a hit.
void randomEvent(std::mt19937& rng, KickControls& c, bool& hit, bool& retarget, double& note) {
  std::uniform_real_distribution<double> unit(0, 1), bipolar(-1, 1);
  std::uniform_int_distribution<int> pick(0, 13);
  switch (pick(rng)) {
    case 0: c.tune = std::uniform_int_distribution<int>(-12, 12)(rng); break;
    case 1: c.fine = std::uniform_int_distribution<int>(-100, 100)(rng) / 100.0; break;
    case 2: c.decay = unit(rng); break;
    case 3: c.comp = unit(rng); c.dynComp = bipolar(rng); break;
    case 4: c.drive = unit(rng); c.dynDrive = bipolar(rng); break;
    case 5: c.driveEnv = !c.driveEnv; break;
    case 6: c.glideTime = static_cast<float>(std::round(unit(rng) * 100) / 100); c.glideMode = pick(rng) % 3; break;
    case 7: c.midiTune = pick(rng) % 3; break;
    case 8: c.tone = unit(rng); c.dynTone = bipolar(rng); c.level = unit(rng); c.dynLevel = bipolar(rng); break;
    case 9: c.longDecay = 1 - c.longDecay; c.dynDecay = bipolar(rng); break;
    case 10: c.velocity = std::uniform_int_distribution<int>(1, 127)(rng) / 128.0; break;
    case 11:
      retarget = true;
      note = std::uniform_int_distribution<int>(24, 72)(rng);
      break;
    default:
      hit = true;
      note = std::uniform_int_distribution<int>(24, 72)(rng);
      c.velocity = std::uniform_int_distribution<int>(1, 127)(rng) / 128.0;
      break;
  }
}

// One performance: the events, drawn from the seed, applied to both voices alike.
struct Performance {
  Performance(double rate, unsigned seedValue, int seconds, double eventsPerSecond, const KickControls& start)
      : fs(rate), rng(seedValue), c(start), gap(eventsPerSecond / rate), samples(static_cast<long>(rate * seconds)) {}

  // Applies the event due at sample i, if any, to the voice and (when given) the plain voice.
  void eventAt(long i, Krummel& voice, KrummelPlain* plain) {
    if (i != nextEvent) return;
    bool hit = first, retarget = false;
    double note = 45;
    if (!first) randomEvent(rng, c, hit, retarget, note);
    first = false;
    c.apply(voice);
    if (plain) {
      plain->c = c;
      plain->glide.mode = c.glideMode;
      plain->glide.setGlideTime(c.glideTime);
    }
    if (hit || retarget) {
      voice.glide.setValue(note);
      if (plain) plain->glide.setValue(note);
    }
    if (hit) {
      voice.restart();
      if (plain) plain->restart();
    }
    nextEvent = i + 1 + static_cast<long>(gap(rng));
  }

  double fs;
  std::mt19937 rng;
  KickControls c;
  std::exponential_distribution<double> gap;
  long samples;
  long nextEvent = 0;
  bool first = true;
};

Krummel voiceAt(double fs) {
  Krummel voice;
  voice.setSampleRate(fs);
  voice.glide.setSampleRate(static_cast<float>(fs));
  return voice;
}

void expectCloseToPlain(double fs, unsigned seed, int seconds, double eventsPerSecond, const KickControls& start) {
  SCOPED_TRACE(testing::Message() << fs << " Hz, seed " << seed);
  Performance perf(fs, seed, seconds, eventsPerSecond, start);
  Krummel voice = voiceAt(fs);
  KrummelPlain plain(fs);
  perf.c.apply(voice);
  plain.c = perf.c;
  plain.glide = voice.glide;
  double worst = 0;
  for (long i = 0; i < perf.samples; ++i) {
    perf.eventAt(i, voice, &plain);
    const double got = voice.getSample();
    const double want = plain.getSample();
    const double diff = std::fabs(got - want);
    // Written so that a NaN on either side fails.
    if (!(diff <= kTolerance)) FAIL() << "sample " << i << ": " << got << " vs " << want;
    worst = std::max(worst, diff);
  }
  testing::Test::RecordProperty("worst_difference", testing::PrintToString(worst));
}

TEST(KrummelFastPaths, WithinToleranceOfThePlainFormulasEverySample) {
  const double rates[] = {44100, 48000, 96000};
  unsigned seed = 1;
  for (double fs : rates) {
    for (int run = 0; run < 3; ++run) expectCloseToPlain(fs, seed++, 3, 40, KickControls());
    expectCloseToPlain(fs, seed++, 10, 2, KickControls());  // long steady stretches between changes
  }
}

// A long ring, still sounding when the drive envelope has decayed to exact zero (after some
// 8 s), driven below the rail where the normaliser is not 1.
KickControls longRingWithEnvelope() {
  KickControls c;
  c.decay = 1;
  c.longDecay = 1;
  c.driveEnv = true;
  c.drive = 0.05;
  return c;
}

TEST(KrummelFastPaths, WithinToleranceThroughALongDecayedTail) {
  KickControls c;
  c.decay = 0;
  c.driveEnv = true;
  c.drive = 0.4;
  expectCloseToPlain(48000, 99, 30, 0.01, c);  // one hit, then 30 s of tail and flushing
  expectCloseToPlain(48000, 99, 12, 0.01, longRingWithEnvelope());
}

// Blocks of every length, events landing between them as the instrument applies them,
// against the same performance one getSample() at a time. With fullSamples, the one at a time
// voice has an input set on every sample (one with no effect on the sound), which ends any
// run, so that each of its samples is computed in full.
void expectBlocksGiveTheSameBits(double fs, unsigned seed, int seconds, double eventsPerSecond, const KickControls& start,
                                 float envelopeAmp, bool fullSamples) {
  SCOPED_TRACE(testing::Message() << fs << " Hz, seed " << seed << ", envelope amplitude " << envelopeAmp);
  Performance one(fs, seed, seconds, eventsPerSecond, start), other(fs, seed, seconds, eventsPerSecond, start);
  Krummel bySample = voiceAt(fs), byBlock = voiceAt(fs);
  bySample.driveEnvelope.setAmp(envelopeAmp);
  byBlock.driveEnvelope.setAmp(envelopeAmp);
  std::mt19937 blockSizes(seed);
  std::vector<double> block;
  long i = 0;
  while (i < one.samples) {
    other.eventAt(i, byBlock, nullptr);
    long n = std::uniform_int_distribution<long>(1, 700)(blockSizes);
    // A block ends before the next event, as the instrument splits its blocks at events.
    n = std::min({n, one.samples - i, other.nextEvent - i});
    block.resize(static_cast<size_t>(n));
    byBlock.render(block.data(), static_cast<int>(n));
    for (long k = 0; k < n; ++k, ++i) {
      one.eventAt(i, bySample, nullptr);
      if (fullSamples) bySample.setMidiAccentFlag(bySample.midiAccentFlag);
      const double want = bySample.getSample();
      ASSERT_EQ(std::memcmp(&block[static_cast<size_t>(k)], &want, sizeof want), 0)
          << "sample " << i << ": " << block[static_cast<size_t>(k)] << " vs " << want;
    }
  }
}

TEST(KrummelFastPaths, RenderGivesTheSameBitsAsGetSample) {
  const double rates[] = {44100, 48000, 96000};
  unsigned seed = 50;
  for (double fs : rates) expectBlocksGiveTheSameBits(fs, seed++, 4, 20, KickControls(), 1.0f, false);
}

// The runs derive nothing that a full sample would derive differently: the same bits with the
// drive envelope moving above and below the drive's rail, decayed to zero, and at an envelope
// amplitude other than the voice's 1.
TEST(KrummelFastPaths, RingRunsGiveTheSameBitsAsFullSamples) {
  const double rates[] = {44100, 48000, 96000};
  const float amplitudes[] = {1.0f, 0.5f};
  unsigned seed = 70;
  for (float amp : amplitudes)
    for (double fs : rates) expectBlocksGiveTheSameBits(fs, seed++, 4, 20, KickControls(), amp, true);
  expectBlocksGiveTheSameBits(48000, 98, 12, 0.01, longRingWithEnvelope(), 1.0f, true);
}

}  // namespace
