// The voice caches exp/cos/sin/pow results; this compares it bit for bit with a plain
// implementation that evaluates every formula on every sample, over seeded random
// performances (pitch, glide, decay, Comp, drive and envelope moving while hits sound).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "kick/Denormal.h"
#include "kick/Drive.h"
#include "kick/Glide.h"
#include "kick/Krummel.h"
#include "kick/Pulse.h"
#include "kick/Tonestage.h"
#include "kick/bFilter.h"
#include "kick/bound.h"

namespace {

struct Controls {
  double tone = 0.5, tune = 0, fine = 0, level = 0.5, decay = 0.5, comp = 0, drive = 0;
  double velocity = 0.5;
  int midiTune = 0, longDecay = 0, glideMode = 0;
  float glideTime = 0;
  double dynDecay = 0, dynComp = 0, dynDrive = 0, dynTone = 0, dynLevel = 0;
  bool driveEnv = false;
};

void apply(Krummel& k, const Controls& c) {
  k.setTone(c.tone);
  k.setTune(c.tune);
  k.setFine(c.fine);
  k.setLevel(c.level);
  k.setDecay(c.decay);
  k.setComp(c.comp);
  k.setDrive(c.drive);
  k.setMidiVelocity(c.velocity);
  k.setMidiTuneFlag(c.midiTune);
  k.setLongDecayFlag(c.longDecay);
  k.glide.mode = c.glideMode;
  k.glide.setGlideTime(c.glideTime);
  k.dynDecay = c.dynDecay;
  k.dynComp = c.dynComp;
  k.dynDrive = c.dynDrive;
  k.dynTone = c.dynTone;
  k.dynLevel = c.dynLevel;
  k.driveEnv = c.driveEnv;
}

// The voice written straight from its formulas, everything evaluated every sample. Shares only
// the stages that cache nothing (pulse, tone stage, drive, glide) and the flush rule.
class ReferenceVoice {
public:
  explicit ReferenceVoice(double rate) : fs(rate) {
    pulse.setSamplingRate(fs);
    tonestage.calculateHighpassCoeffs(fs);
    glide.setSampleRate(static_cast<float>(fs));
  }

  Controls c;
  Glide glide;

  void restart() {
    const double v = c.velocity;
    const double T = bound(c.tone + 2 * c.dynTone * (v - 0.5), 0, 1);
    const double L = bound(c.level + c.dynLevel * v, 0, 1);
    const double D = bound(c.decay + 2 * c.dynDecay * (v - 0.5), 0, 1);
    pulse.reset();
    oscN = 0;
    oscX = oscY = 0;
    tonestage.reset();
    phase = 0;
    tonestage.calculateToneCoeffs((1 - T) * (1 - T), fs);
    tonestage.calculateLevelCoeffs(1 - L * L, fs);
    tau = (Krummel::kLongDecayStretch * c.longDecay + 1) * (Krummel::kShortestTau + Krummel::kTauSpan * D);
    pulse.setAccent(1.0);
    oscTau = Krummel::kCompHoldTau;
    holdCount = 0;
    envCount = 0;
    envTarget = 1;
    faderValue = lastOutput;
  }

  double getSample() {
    const double v = c.velocity;
    const double C = bound(c.comp + 2 * c.dynComp * (v - 0.5), 0, 1);
    const uint32_t holdSamples = static_cast<uint32_t>(C * fs * tau);
    if (holdCount < holdSamples)
      holdCount += 1;
    else
      oscTau = tau - Krummel::kCompTauShortening * holdSamples / fs;

    const double note = glide.Process();
    double f = 100;
    if (c.midiTune == 0) f = 440 * std::pow(2.0, (33 + c.tune + c.fine - 69) / 12);
    if (c.midiTune == 1) f = 440 * std::pow(2.0, (note + c.tune + c.fine - 69) / 12);

    double s = 0;
    if (phase == 0) {
      s = pulse.nextSample();
      phase = pulse.getLastSampleFlag();
      oscY = pulse.getLastSampleValue();
      oscX = std::sqrt(1.0 - oscY * oscY);
    } else if (phase == 1) {
      const double L = bFilter::kSweepSeconds * fs;
      const double fcur = oscN >= L ? f : f + bFilter::kSweepDepthHz - bFilter::kSweepDepthHz * oscN / L;
      ++oscN;
      const double r = std::exp(-1 / (oscTau * fs));
      const double w = 2 * (2 * std::acos(0.0)) * fcur / fs;
      const double cw = r * std::cos(w), sw = r * std::sin(w);
      const double x = cw * oscX - sw * oscY;
      const double y = sw * oscX + cw * oscY;
      oscX = x;
      oscY = y;
      s = oscY;
    }

    double a = bound(c.drive + 2 * c.dynDrive * (v - 0.5), 0, 1);
    if (c.driveEnv) a *= envelopeSample();
    s = drive.process(s, Krummel::kDriveAmountRange * a);
    s = tonestage.processHighpass(tonestage.processLevel(tonestage.processTone(s)));
    faderValue = faderValue * std::exp(-1 / (Krummel::kDeclickTau * fs));
    s += faderValue;
    lastOutput = s;
    if (++samplesRendered % kFlushInterval == 0) {
      oscX = flushTiny(oscX);
      oscY = flushTiny(oscY);
      tonestage.flushTinyStates();
      faderValue = flushTiny(faderValue);
      envY = flushTiny(envY);
    }
    return s;
  }

private:
  float envelopeSample() {
    const double hold = Krummel::kDriveHoldSeconds, decay = Krummel::kDriveDecaySeconds;
    ++envCount;
    float ea, eb;
    if (envCount > hold * fs) {
      envTarget = 0;
      ea = static_cast<float>(std::exp(-1 / (fs * decay)));
      eb = static_cast<float>(1 - std::exp(-1 / (fs * decay)));
    } else {
      ea = static_cast<float>(std::exp(-1 / (fs * 0.0f)));
      eb = static_cast<float>(1 - std::exp(-1 / (fs * 0.0f)));
      envTarget = 1;
    }
    envY = static_cast<float>(eb * envX + ea * envY);
    envX = envTarget;
    return static_cast<float>(1.0 * envY);
  }

  double fs;
  Pulse pulse;
  Tonestage tonestage;
  Drive drive;
  int phase = 0;
  double lastOutput = 0;
  uint32_t holdCount = 0;
  double tau = Krummel::kShortestTau;
  double oscTau = 0, oscX = 0, oscY = 0;
  int oscN = 0;
  double faderValue = 0;
  double envX = 1.0, envY = 0;
  int envCount = 66666;
  float envTarget = 1;
  long samplesRendered = 0;
};

// Random changes every few milliseconds: knobs, switches, notes; a hit now and then.
// A retarget moves the glide without a hit.
void randomEvent(std::mt19937& rng, Controls& c, bool& hit, bool& retarget, double& note) {
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

void expectIdentical(double fs, unsigned seed, int seconds, double eventsPerSecond, const Controls& start) {
  SCOPED_TRACE(testing::Message() << fs << " Hz, seed " << seed);
  std::mt19937 rng(seed);
  Krummel voice;
  voice.setSampleRate(fs);
  voice.glide.setSampleRate(static_cast<float>(fs));
  ReferenceVoice ref(fs);
  Controls c = start;
  apply(voice, c);
  ref.c = c;
  ref.glide = voice.glide;
  std::exponential_distribution<double> gap(eventsPerSecond / fs);
  long nextEvent = 0;
  bool first = true;
  const long samples = static_cast<long>(fs * seconds);
  for (long i = 0; i < samples; ++i) {
    if (i == nextEvent) {
      bool hit = first, retarget = false;
      double note = 45;
      if (!first) randomEvent(rng, c, hit, retarget, note);
      first = false;
      apply(voice, c);
      ref.c = c;
      ref.glide.mode = c.glideMode;
      ref.glide.setGlideTime(c.glideTime);
      if (hit || retarget) {
        voice.glide.setValue(note);
        ref.glide.setValue(note);
      }
      if (hit) {
        voice.restart();
        ref.restart();
      }
      nextEvent = i + 1 + static_cast<long>(gap(rng));
    }
    const double got = voice.getSample();
    const double want = ref.getSample();
    if (std::memcmp(&got, &want, sizeof got) != 0) {
      FAIL() << "sample " << i << ": " << got << " != " << want;
    }
  }
}

TEST(KrummelCaching, BitIdenticalToFormulasEverySample) {
  const double rates[] = {44100, 48000, 96000};
  unsigned seed = 1;
  for (double fs : rates) {
    for (int run = 0; run < 3; ++run) expectIdentical(fs, seed++, 3, 40, Controls());
    expectIdentical(fs, seed++, 10, 2, Controls());  // long steady stretches between changes
  }
}

TEST(KrummelCaching, BitIdenticalThroughALongDecayedTail) {
  Controls c;
  c.decay = 0;
  c.driveEnv = true;
  c.drive = 0.4;
  expectIdentical(48000, 99, 30, 0.01, c);  // one hit, then 30 s of tail and flushing
}

}  // namespace
