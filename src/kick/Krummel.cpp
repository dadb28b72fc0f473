#include "kick/Krummel.h"

#include <cmath>

#include "kick/SampleCount.h"
#include "kick/bound.h"

namespace {

const double kBaseNote = 33;  // A1, 55 Hz
const double kUntunedHz = 100;

}  // namespace

Krummel::Krummel() {
  fader.setTau(0.1);
  driveEnvelope.setDecay(0.12f);
  driveEnvelope.setAmp(1.0f);
  driveEnvelope.setHold(0.002f);
}

void Krummel::setSampleRate(double fs) {
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
  tau = (4 * longDecayFlag + 1) * (0.011 + 0.359 * decayAmount);
  accent = 1.0;
  pulse.setAccent(1.0);
  filter.setTau(10.0);
  holdCount = 0;
  driveEnvelope.reset();
  fader.setStartValue(lastOutput);
}

double Krummel::pitchToHz(double semitonesFromA4) {
  if (!pitchKey.matches(semitonesFromA4)) {
    pitchHz = 440 * std::pow(2.0, semitonesFromA4 / 12);
    pitchKey.set(semitonesFromA4);
  }
  return pitchHz;
}

double Krummel::getSample() {
  // Every stage's coefficients depend on the rate; an undefined one (0, negative, infinite)
  // would turn them into NaN, so the voice is simply silent until a defined rate is set.
  if (!isSupportedRate(sampleRate)) {
    lastOutput = 0;
    return 0;
  }
  const double v = midiVelocity;

  const double compAmount = bound(comp + 2 * dynComp * (v - 0.5), 0, 1);
  const uint32_t holdSamples = toSampleCount(compAmount * sampleRate * tau);
  if (holdCount < holdSamples)
    holdCount += 1;
  else
    filter.setTau(tau - 0.7 * holdSamples / sampleRate);

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
  if (driveEnv) driveAmount *= driveEnvelope.getSample();
  s = driveStage.process(s, 10 * driveAmount);

  s = tonestage.processHighpass(tonestage.processLevel(tonestage.processTone(s)));
  s += fader.getFaderValue();
  lastOutput = s;
  return s;
}
