#include "kick/Krummel.h"

#include <cmath>
#include <type_traits>

#include "kick/SampleCount.h"
#include "kick/bound.h"

// What lets a host reset rebuild the voice on the audio thread: nothing to allocate or free.
static_assert(std::is_trivially_copyable<Krummel>::value && std::is_trivially_destructible<Krummel>::value,
              "the voice must own no memory");

namespace {

const double kBaseNote = 33;  // A1, 55 Hz: the pitch with MIDI Tune off
const double kUntunedHz = 100;  // a MIDI Tune flag that is neither 0 nor 1 (only a broken state sets one)
// Pitch reference: MIDI note 69 is concert A at 440 Hz, 12 semitones an octave.
const double kA4Note = 69;
const double kA4Hz = 440;
const double kSemitonesPerOctave = 12;

// The first pass of a ring run: each sample of the ring (ring.next()) through the drive with
// a steady setting ...
template <class Ring>
inline Ring driveSteady(double* out, int length, Ring ring, const Drive::Setting& setting) {
  const Drive::Setting steady = setting;
  for (int i = 0; i < length; ++i) out[i] = Drive::processFast(ring.next(), steady);
  return ring;
}

// ... or with the amount the drive envelope gives each sample, as driveEnvelope.getSample()
// and the amount in fullSample() would, from the envelope's level and on to its last. The
// envelope's chain of float multiplies runs beside the ring's, and neither waits for the other.
template <bool unitAmplitude, class Ring>
inline Ring driveWithEnvelopeAt(double* out, int length, Ring ring, const ahd& driveEnvelope, float& level,
                                double amountBeforeEnvelope) {
  const ahd envelope = driveEnvelope;
  float envelopeLevel = level;
  for (int i = 0; i < length; ++i) {
    const double s = ring.next();
    envelopeLevel = envelope.steadyDecayStep(envelopeLevel);
    // amp × level rounded to float is the level itself when amp is 1.
    const double envelopeValue = unitAmplitude ? envelopeLevel : static_cast<float>(envelope.amp * envelopeLevel);
    const double amount = Krummel::kDriveAmountRange * (amountBeforeEnvelope * envelopeValue);
    out[i] = Drive::processFast(s, Drive::settingFor(amount));
  }
  level = envelopeLevel;
  return ring;
}

// The voice's envelope has amplitude 1 (see the constructor): its loop leaves out the multiply
// and the two conversions that amp × level costs, which are a tenth of the pass.
template <class Ring>
inline Ring driveWithEnvelope(double* out, int length, Ring ring, const ahd& driveEnvelope, float& level,
                              double amountBeforeEnvelope) {
  if (driveEnvelope.amp == 1)
    return driveWithEnvelopeAt<true>(out, length, ring, driveEnvelope, level, amountBeforeEnvelope);
  return driveWithEnvelopeAt<false>(out, length, ring, driveEnvelope, level, amountBeforeEnvelope);
}

// The ring of a run in the sweep, from its own loop.
struct SweptRing {
  const double* samples;
  double next() { return *samples++; }
};

// The last pass: the filters and the declick, on stages held in locals.
inline void filterAndDeclick(double* out, int length, Tonestage& stages, Fader& declick) {
  for (int i = 0; i < length; ++i) {
    // The factor is current: the full sample before the run used it, and nothing changed it.
    out[i] = stages.processHighpass(stages.processLevel(stages.processTone(out[i]))) + declick.nextSteadyValue();
  }
}

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
  const double toneAmount = velocityScaled(tone, dynTone, v);
  const double levelAmount = bound(level + dynLevel * v, 0, 1);
  const double decayAmount = velocityScaled(decay, dynDecay, v);

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
  pitchHz = kA4Hz * std::pow(2.0, semitonesFromA4 / kSemitonesPerOctave);
  pitchKey.set(semitonesFromA4);
}

void Krummel::cacheHoldTau(uint32_t holdSamples) {
  holdTau = tau - kCompTauShortening * holdSamples / sampleRate;
  holdKey = holdSamples;
  holdTauKey.set(tau);
  holdRateKey.set(sampleRate);
}

void Krummel::cacheDrive(double amount) {
  driveSetting = Drive::settingFor(amount);
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
  return Drive::processFast(x, driveSetting);
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
  double s;
  render(&s, 1);
  return s;
}

void Krummel::render(double* out, int count) {
  int i = 0;
  while (i < count) {
    if (canRunRing())
      i += driveEnv ? ringRun<true>(out + i, count - i) : ringRun<false>(out + i, count - i);
    else
      out[i++] = fullSample();
  }
}

inline bool Krummel::canRunRing() const {
  // Setters clear steady; the inputs written directly are compared here. The drive envelope
  // takes its hold and its first decay sample in full samples.
  return steady && steadyDynComp.matches(dynComp) && steadyDynDrive.matches(dynDrive) &&
         glide.counter >= glide.length && steadyGlideTarget.matches(glide.target) &&
         (!driveEnv || driveEnvelope.inSteadyDecay());
}

// With the glide arrived and every input unchanged, a full sample would derive the same hold
// length, pitch, drive amount and coefficients again, and the glide would stand still; only
// the ring (and its sweep), the hold count, the envelope and the filters move on. The run
// takes two passes over the block, each with its state in locals so that it stays in
// registers instead of being stored every sample (out might alias the members as far as the
// compiler knows): the ring with the envelope and the drive, then the filters and the
// declick. In the sweep the ring comes from its own loop first.
template <bool withEnvelope>
int Krummel::ringRun(double* out, int count) {
  // A run stays within one stretch of the hold, of the sweep and of the flush interval.
  int length = count < flushCountdown ? count : flushCountdown;
  const int sweepLeft = filter.sweepSamplesLeft();
  if (sweepLeft > 0 && sweepLeft < length) length = sweepLeft;
  if (holdCount < steadyHoldSamples) {
    const uint32_t holdLeft = steadyHoldSamples - holdCount;
    if (holdLeft < static_cast<uint32_t>(length)) length = static_cast<int>(holdLeft);
    holdCount += static_cast<uint32_t>(length);
  } else {
    filter.setTau(tauAfterHold(steadyHoldSamples));
  }

  const double amountBeforeEnvelope = steadyDriveAmount;
  double steadyAmount = kDriveAmountRange * amountBeforeEnvelope;
  float level = withEnvelope ? driveEnvelope.beginSteadyDecay() : 0;
  // Once the envelope has decayed to exact zero (see Denormal.h) it stays there, and so does
  // the amount: the run takes the steady drive with the amount a sample would derive from 0.
  const bool amountMoves = withEnvelope && level != 0;
  if (withEnvelope && !amountMoves)
    steadyAmount = kDriveAmountRange * (amountBeforeEnvelope * static_cast<float>(driveEnvelope.amp * level));
  if (!amountMoves && !driveKey.matches(steadyAmount)) cacheDrive(steadyAmount);
  if (sweepLeft > 0) {
    double swept[kFlushInterval];  // a run is at most a flush interval long
    filter.render(swept, length);
    if (amountMoves)
      driveWithEnvelope(out, length, SweptRing{swept}, driveEnvelope, level, amountBeforeEnvelope);
    else
      driveSteady(out, length, SweptRing{swept}, driveSetting);
  } else {
    bFilter::SteadyRing ring = filter.beginSteadyRing();
    if (amountMoves)
      ring = driveWithEnvelope(out, length, ring, driveEnvelope, level, amountBeforeEnvelope);
    else
      ring = driveSteady(out, length, ring, driveSetting);
    filter.endSteadyRing(ring, length);
  }
  if (withEnvelope) driveEnvelope.endSteadyDecay(level, length);

  Tonestage stages = tonestage;
  Fader declick = fader;
  filterAndDeclick(out, length, stages, declick);
  tonestage = stages;
  fader = declick;
  lastOutput = out[length - 1];
  flushCountdown -= length - 1;
  countToFlush();
  return length;
}

double Krummel::fullSample() {
  // Every stage's coefficients depend on the rate; an undefined one (0, negative, infinite)
  // would turn them into NaN, so the voice is simply silent until a defined rate is set.
  if (!rateDefined()) {
    lastOutput = 0;
    return 0;
  }
  const double v = midiVelocity;

  const double compAmount = velocityScaled(comp, dynComp, v);
  const uint32_t holdSamples = toSampleCount(compAmount * sampleRate * tau);
  if (holdCount < holdSamples)
    holdCount += 1;
  else
    filter.setTau(tauAfterHold(holdSamples));

  midiNote = glide.Process();

  double hz = kUntunedHz;
  if (midiTuneFlag == kFixedPitch)
    hz = pitchToHz(kBaseNote + tune + fine - kA4Note);
  else if (midiTuneFlag == kPitchFromNote)
    hz = pitchToHz(midiNote + tune + fine - kA4Note);
  filter.setFreq(hz);

  double s = 0;
  if (phase == kPulsePhase) {
    s = pulse.nextSample();
    phase = pulse.getLastSampleFlag();
    filter.setStartState(pulse.getLastSampleValue(), 1.0);
  } else if (phase == kRingPhase) {
    s = filter.nextSample();
  }

  const double driveAmount = velocityScaled(drive, dynDrive, v);
  double drivenAmount = driveAmount;
  if (driveEnv) drivenAmount *= driveEnvelope.getSample();
  s = driven(s, kDriveAmountRange * drivenAmount);

  s = tonestage.processHighpass(tonestage.processLevel(tonestage.processTone(s)));
  s += fader.getFaderValue();
  lastOutput = s;
  countToFlush();
  checkSteady(holdSamples, driveAmount);
  return s;
}

void Krummel::checkSteady(uint32_t holdSamples, double driveAmount) {
  // The glide must have arrived: this sample's pitch came from the note it returned.
  steady = phase == kRingPhase && glide.counter >= glide.length && glide.current == glide.target;
  steadyHoldSamples = holdSamples;
  steadyDriveAmount = driveAmount;
  steadyDynComp.set(dynComp);
  steadyDynDrive.set(dynDrive);
  steadyGlideTarget.set(glide.target);
}
