#include "kick/Krummel.h"

#include <cmath>

#include "kick/SampleCount.h"
#include "kick/bound.h"

namespace {

const double kBaseNote = 33;  // A1, 55 Hz
const double kUntunedHz = 100;

}  // namespace

void Krummel::setSampleRate(double fs) {
  steady = false;
  sampleRate = fs;
  pulse.setSamplingRate(fs);
  filter.setSamplingRate(fs);
  tonestage.calculateHighpassCoeffs(fs);
  fader.setSampleRate(fs);
  driveEnvelope.setSamplingRate(fs);
}

void Krummel::restart() {
  const double v = midiVelocity;
  const double toneAmount = bound(tone + 2 * dynTone * (v - 0.5), 0, 1);
  const double levelAmount = bound(level + dynLevel * v, 0, 1);
  const double decayAmount = bound(decay + 2 * dynDecay * (v - 0.5), 0, 1);

  steady = false;
  pulse.reset();
  filter.reset();
  tonestage.reset();
  phase = kPulsePhase;
  // Coefficients for an undefined rate could be infinite or NaN and would poison the filters
  // for good; such a hit stays silent and keeps the previous coefficients.
  if (isSupportedRate(sampleRate)) {
    tonestage.calculateToneCoeffs((1 - toneAmount) * (1 - toneAmount), sampleRate);
    tonestage.calculateLevelCoeffs(1 - levelAmount * levelAmount, sampleRate);
  } else {
    phase = kSilentPhase;
  }
  tau = (kLongDecayStretch * longDecayFlag + 1) * (kShortestTau + kTauSpan * decayAmount);
  accent = 1.0;
  pulse.setAccent(1.0);
  filter.setTau(kCompHoldTau);
  holdCount = 0;
  driveEnvelope.reset();
  fader.setStartValue(lastOutput);
}

void Krummel::cacheRate(double fs) {
  rateIsDefined = isSupportedRate(fs);
  rateKey.set(fs);
}

void Krummel::cachePitch(double semitonesFromA4) {
  pitchHz = 440 * std::pow(2.0, semitonesFromA4 / 12);
  pitchKey.set(semitonesFromA4);
}

void Krummel::cacheHoldTau(uint32_t holdSamples) {
  holdTau = tau - kCompTauShortening * holdSamples / sampleRate;
  holdKey = holdSamples;
  holdTauKey.set(tau);
  holdRateKey.set(sampleRate);
}

void Krummel::cacheDrive(double amount) {
  driveGain = (1 + amount) / Drive::kKneeDivisor;
  driveNorm = driveStage.nonlin(driveGain);
  driveKey.set(amount);
}

inline void Krummel::countToFlush() {
  if (--flushCountdown == 0) {
    flushCountdown = kFlushInterval;
    filter.flushTinyStates();
    tonestage.flushTinyStates();
    fader.flushTinyStates();
    driveEnvelope.flushTinyStates();
  }
}

inline bool Krummel::rateDefined() {
  if (!rateKey.matches(sampleRate)) cacheRate(sampleRate);
  return rateIsDefined;
}

inline double Krummel::pitchToHz(double semitonesFromA4) {
  if (!pitchKey.matches(semitonesFromA4)) cachePitch(semitonesFromA4);
  return pitchHz;
}

inline double Krummel::tauAfterHold(uint32_t holdSamples) {
  if (holdSamples != holdKey || !holdTauKey.matches(tau) || !holdRateKey.matches(sampleRate))
    cacheHoldTau(holdSamples);
  return holdTau;
}

inline double Krummel::driven(double x, double amount) {
  if (!driveKey.matches(amount)) cacheDrive(amount);
  return driveStage.nonlin(driveGain * x) / driveNorm;
}

// With the hold, sweep and glide over and every input unchanged, the full path would set the
// same tau, frequency and coefficients again; only the ring, the drive envelope and the
// filters move on.
inline double Krummel::steadyRingSample() {
  glide.current = glide.target;
  midiNote = glide.current;
  double s = filter.nextSteadySample();
  double driveAmount = steadyDriveAmount;
  if (driveEnv) driveAmount *= driveEnvelope.getSample();
  s = driven(s, kDriveAmountRange * driveAmount);
  s = tonestage.processHighpass(tonestage.processLevel(tonestage.processTone(s)));
  s += fader.nextSteadyValue();
  lastOutput = s;
  countToFlush();
  return s;
}

Krummel::Krummel() {
  cacheRate(sampleRate);
  cachePitch(0);
  cacheHoldTau(0);
  cacheDrive(0);
  fader.setTau(kDeclickTau);
  driveEnvelope.setDecay(kDriveDecaySeconds);
  driveEnvelope.setAmp(1.0f);
  driveEnvelope.setHold(kDriveHoldSeconds);
}

double Krummel::getSample() {
  // Setters clear steady; the inputs written directly are compared here.
  if (steady && steadyDynComp.matches(dynComp) && steadyDynDrive.matches(dynDrive) && glide.counter >= glide.length &&
      steadyGlideTarget.matches(glide.target))
    return steadyRingSample();
  // Every stage's coefficients depend on the rate; an undefined one (0, negative, infinite)
  // would turn them into NaN, so the voice is simply silent until a defined rate is set.
  if (!rateDefined()) {
    lastOutput = 0;
    return 0;
  }
  const double v = midiVelocity;

  const double compAmount = bound(comp + 2 * dynComp * (v - 0.5), 0, 1);
  const uint32_t holdSamples = toSampleCount(compAmount * sampleRate * tau);
  const bool holdOver = holdCount >= holdSamples;
  if (!holdOver)
    holdCount += 1;
  else
    filter.setTau(tauAfterHold(holdSamples));

  midiNote = glide.Process();

  double hz = kUntunedHz;
  if (midiTuneFlag == 0)
    hz = pitchToHz(kBaseNote + tune + fine - 69);
  else if (midiTuneFlag == 1)
    hz = pitchToHz(midiNote + tune + fine - 69);
  filter.setFreq(hz);

  double s = 0;
  if (phase == kPulsePhase) {
    s = pulse.nextSample();
    phase = pulse.getLastSampleFlag();
    filter.setStartState(pulse.getLastSampleValue(), 1.0);
  } else if (phase == kRingPhase) {
    s = filter.nextSample();
  }

  double driveAmount = bound(drive + 2 * dynDrive * (v - 0.5), 0, 1);
  steadyDriveAmount = driveAmount;
  if (driveEnv) driveAmount *= driveEnvelope.getSample();
  s = driven(s, kDriveAmountRange * driveAmount);

  s = tonestage.processHighpass(tonestage.processLevel(tonestage.processTone(s)));
  s += fader.getFaderValue();
  lastOutput = s;
  countToFlush();
  checkSteady(holdOver);
  return s;
}

void Krummel::checkSteady(bool holdOver) {
  // The glide must have arrived: this sample's pitch came from the note it returned.
  steady = phase == kRingPhase && holdOver && glide.counter >= glide.length && glide.current == glide.target &&
           filter.n >= bFilter::kSweepSeconds * filter.samplingRate && filter.fcur == filter.freq;
  steadyDynComp.set(dynComp);
  steadyDynDrive.set(dynDrive);
  steadyGlideTarget.set(glide.target);
}

