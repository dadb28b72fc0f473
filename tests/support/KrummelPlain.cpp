#include "support/KrummelPlain.h"

#include <cmath>

#include "kick/Denormal.h"
#include "kick/Krummel.h"
#include "kick/bFilter.h"
#include "kick/bound.h"

void KickControls::apply(Krummel& k) const {
  k.setTone(tone);
  k.setTune(tune);
  k.setFine(fine);
  k.setLevel(level);
  k.setDecay(decay);
  k.setComp(comp);
  k.setDrive(drive);
  k.setMidiVelocity(velocity);
  k.setMidiTuneFlag(midiTune);
  k.setLongDecayFlag(longDecay);
  k.glide.mode = glideMode;
  k.glide.setGlideTime(glideTime);
  k.dynDecay = dynDecay;
  k.dynComp = dynComp;
  k.dynDrive = dynDrive;
  k.dynTone = dynTone;
  k.dynLevel = dynLevel;
  k.driveEnv = driveEnv;
}

KrummelPlain::KrummelPlain(double rate) : fs(rate), tau(Krummel::kShortestTau) {
  pulse.setSamplingRate(fs);
  tonestage.calculateHighpassCoeffs(fs);
  glide.setSampleRate(static_cast<float>(fs));
}

void KrummelPlain::restart() {
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

double KrummelPlain::getSample() {
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

float KrummelPlain::envelopeSample() {
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
