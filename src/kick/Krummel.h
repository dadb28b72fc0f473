#pragma once
// The one monophonic bass-drum voice. restart() starts a hit; every getSample() then runs
//   exciter pulse -> decaying pitch oscillator -> drive -> tone low-pass -> level high-pass
//   -> output high-pass, plus the declick fader.
// render() gives the same samples as as many getSample() calls, faster: once the pulse is
// over and the glide has arrived, nothing but the ring, its sweep, the Comp hold count, the
// drive envelope and the filters can change from one sample to the next, so a run of such
// samples is computed with the stages held in registers and nothing re-derived.
// The voice owns all its stages. The instrument writes glide, the five dyn amounts and
// driveEnv directly and everything else through the setters, which the voice relies on: a
// setter ends a run; the directly written inputs are compared at the start of each sample or
// render call. Its stages are changed only by the voice itself. It plays at the rates the
// pulse plays (Pulse::playsAt); at any other rate it outputs silence.
// The voice owns no memory: building, copying and assigning one never allocates, so
// `voice = Krummel()` brings a voice back to its fresh state on the audio thread.
// Not thread-safe: the owner calls everything from the render thread or under its own lock.
// getSample(), render() and restart() never allocate or block.

#include <cstdint>

#include "kick/CacheKey.h"
#include "kick/Denormal.h"
#include "kick/Drive.h"
#include "kick/Fader.h"
#include "kick/Glide.h"
#include "kick/Pulse.h"
#include "kick/Tonestage.h"
#include "kick/ahd.h"
#include "kick/bFilter.h"

class Krummel {
public:
  Krummel();
  ~Krummel() = default;

  // Starts a hit; a sounding one is cut and faded out by the declick.
  void restart();
  double getSample();
  // The next count samples into out, as count getSample() calls would give them.
  void render(double* out, int count);

  void setTone(double v) {
    tone = v;
    steady = false;
  }
  void setTune(double v) {
    tune = v;
    steady = false;
  }
  void setFine(double v) {
    fine = v;
    steady = false;
  }
  void setLevel(double v) {
    level = v;
    steady = false;
  }
  void setDecay(double v) {
    decay = v;
    steady = false;
  }
  void setAccent(double v) {
    accent = v;
    steady = false;
  }
  void setComp(double v) {
    comp = v;
    steady = false;
  }
  void setDrive(double v) {
    drive = v;
    steady = false;
  }
  void setMidiVelocity(double v) {
    midiVelocity = v;
    steady = false;
  }
  void setMidiTuneFlag(int v) {
    midiTuneFlag = v;
    steady = false;
  }
  void setMidiAccentFlag(int v) {
    midiAccentFlag = v;
    steady = false;
  }
  void setLongDecayFlag(int v) {
    longDecayFlag = v;
    steady = false;
  }
  void setMidiNote(int note) {
    midiNote = note;
    steady = false;
  }
  // Part of the voice's interface; the instrument itself never reads it back.
  double getLevel() const { return level; }
  // Sets every stage's rate; the glide's rate is set separately by the owner.
  void setSampleRate(double fs);

  double tone = 0;
  double tune = 0;
  double fine = 0;
  double level = 0;
  double decay = 0;
  double accent = 0;
  int midiTuneFlag = 0;
  int midiAccentFlag = 0;
  double midiNote = 0;
  double midiVelocity = 0;
  double sampleRate = 0;
  int longDecayFlag = 0;
  Pulse pulse;
  bFilter filter;
  Tonestage tonestage;
  Fader fader;
  Drive driveStage;
  int phase = 0;
  double lastOutput = 0;
  uint32_t holdCount = 0;
  double comp = 0;
  double tau = kShortestTau;
  double drive = 0;
  Glide glide;
  double dynDecay = 0, dynComp = 0, dynDrive = 0, dynTone = 0, dynLevel = 0;
  ahd driveEnvelope;
  bool driveEnv = false;

  // Decay time constant of a hit: (kLongDecayStretch·longDecayFlag + 1) × (kShortestTau +
  // kTauSpan·decay amount) seconds, 0.011..0.370 s, five times that with Long Decay.
  static constexpr double kShortestTau = 0.011;  // s: Decay 0, the tightest click-and-thump
  static constexpr double kTauSpan = 0.359;      // s: Decay 1 adds this, a 0.37 s boom
  static constexpr int kLongDecayStretch = 4;    // Long Decay makes the time constant 4 + 1 = 5 times longer
  // While Comp holds the ring it barely decays; afterwards the time constant is shortened by
  // kCompTauShortening of the hold, so a held hit still dies away within tau·(1 − 0.7·Comp).
  static constexpr double kCompHoldTau = 10.0;      // s: slow enough to sound like a sustain
  static constexpr double kCompTauShortening = 0.7;  // of the hold's length, taken off tau after it
  static constexpr double kDeclickTau = 0.1;       // s: fades a cut hit out without a step or an audible tail
  static constexpr double kDriveAmountRange = 10;  // the drive amount 0..1 scaled to the clipper's 0..10
  // DriveEnv: the drive stays full for kDriveHoldSeconds after the hit, then falls with
  // kDriveDecaySeconds, so only the attack is driven hard. Given as float, as the envelope's setters
  // take them.
  static constexpr float kDriveHoldSeconds = 0.002f;
  static constexpr float kDriveDecaySeconds = 0.12f;

  // The values midiTuneFlag takes.
  static constexpr int kFixedPitch = 0;     // every hit at note 33, 55 Hz, shifted by Tune and Fine
  static constexpr int kPitchFromNote = 1;  // the hit's MIDI note sets the pitch

  // The values phase takes.
  static constexpr int kPulsePhase = 0;
  static constexpr int kRingPhase = 1;
  static constexpr int kSilentPhase = 2;

  static bool isSupportedRate(double fs) { return Pulse::playsAt(fs); }

private:
  // One sample, every input re-derived.
  double fullSample();
  // Whether the next samples may be computed as a ring run: the last full sample left the
  // voice steady and no directly written input has changed since.
  bool canRunRing() const;
  // Up to count samples of a steady ring, ending early where the Comp hold ends or the tiny
  // states are due to be flushed; returns how many it wrote. Same bits as full samples.
  template <bool withEnvelope>
  int ringRun(double* out, int count);
  // After a full sample: whether the next ones may be ring runs.
  void checkSteady(uint32_t holdSamples, double driveAmount);
  void countToFlush();

  // Each of these returns a value that depends only on its arguments, cached on them.
  bool rateDefined();
  // Oscillator frequency for a pitch in semitones relative to A 440.
  double pitchToHz(double semitonesFromA4);
  // The oscillator's time constant once the Comp hold is over.
  double tauAfterHold(uint32_t holdSamples);
  // Drive::processFast(x, amount) with its setting taken from the cache.
  double driven(double x, double amount);
  // Fill the caches above for new inputs.
  void cacheRate(double fs);
  void cachePitch(double semitonesFromA4);
  void cacheHoldTau(uint32_t holdSamples);
  void cacheDrive(double amount);

  // Set when nothing but the ring itself can change the next sample, with the directly
  // written inputs it was decided with and what the last full sample derived from them.
  bool steady = false;
  CacheKey steadyDynComp, steadyDynDrive, steadyGlideTarget;
  uint32_t steadyHoldSamples = 0;
  double steadyDriveAmount = 0;  // the drive amount before the envelope
  // Counts down to the next flush of tiny stage states (see Denormal.h).
  int flushCountdown = kFlushInterval;
  CacheKey rateKey;
  bool rateIsDefined = false;
  CacheKey pitchKey;
  double pitchHz = 0;
  CacheKey holdTauKey, holdRateKey;
  uint32_t holdKey = 0;
  double holdTau = 0;
  CacheKey driveKey;
  Drive::Setting driveSetting = {0, 0};
};
