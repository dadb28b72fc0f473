#pragma once
// The kick voice written straight from its formulas: every exp, cos, sin and pow evaluated on
// every sample, no caches, no runs, no recurrences. It is what Krummel must equal (the tests
// compare the two over random performances) and what the benchmarks measure Krummel against.
// It shares with Krummel only the stages that cache nothing (pulse, tone stage, drive, glide)
// and the flush rule of Denormal.h.
// KickControls is the one record both voices are set from, so a test or benchmark drives them
// alike: apply() sets a Krummel through its setters and direct fields.
// Plain value classes; one thread at a time.

#include <cstdint>

#include "kick/Drive.h"
#include "kick/Glide.h"
#include "kick/Pulse.h"
#include "kick/Tonestage.h"

class Krummel;

struct KickControls {
  double tone = 0.5, tune = 0, fine = 0, level = 0.5, decay = 0.5, comp = 0, drive = 0;
  double velocity = 0.5;
  int midiTune = 0, longDecay = 0, glideMode = 0;
  float glideTime = 0;
  double dynDecay = 0, dynComp = 0, dynDrive = 0, dynTone = 0, dynLevel = 0;
  bool driveEnv = false;

  // Sets the voice's controls (not its glide target, not its rate).
  void apply(Krummel& voice) const;
};

class KrummelPlain {
public:
  explicit KrummelPlain(double rate);

  // Controls are read at every sample (tone, level and decay at restart), as the voice does.
  KickControls c;
  // The glide's target, mode and time are set by the owner, as the instrument sets the voice's.
  Glide glide;

  void restart();
  double getSample();

private:
  float envelopeSample();

  double fs;
  Pulse pulse;
  Tonestage tonestage;
  Drive drive;
  int phase = 0;
  double lastOutput = 0;
  uint32_t holdCount = 0;
  double tau;
  double oscTau = 0, oscX = 0, oscY = 0;
  int oscN = 0;
  double faderValue = 0;
  double envX = 1.0, envY = 0;
  int envCount = 66666;
  float envTarget = 1;
  long samplesRendered = 0;
};
