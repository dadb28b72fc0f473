#pragma once
// The instrument's 19 parameters, one row each: what a host sees (name, kind,
// default, range, step, shape, label, display texts) and what the parameter
// drives (a voice control, a velocity ring, the MIDI learn state), and how a
// MIDI controller moves it. The instrument initialises its IParams from these
// rows and applies every change through them; the tonnik program and the
// generators read the same rows without constructing anything.
//
// Ownership: static, read-only data.
// Threads: any thread. A row's toVoice writes the voice it is given and
// belongs to whichever thread owns that voice (the render thread for the
// instrument's own).

class Krummel;

// Parameter and ring indices, under the names the instrument uses
// (Tonnik::kDecay is TonnikParamIndices::kDecay).
struct TonnikParamIndices {
  enum EParams {
    kTone = 0,
    kTune,
    kFine,
    kDecay,
    kAccent,
    kMidiTune,
    kLongDecay,
    kMidiLearn,
    kMidiClear,
    kComp,
    kDrive,
    kGlide,
    kGlideMode,
    kDynDecay,
    kDynComp,
    kDynDrive,
    kDynTone,
    kDynLevel,
    kDriveEnv,
    kNumParams
  };

  // The velocity rings, in the order the editor attaches them.
  enum ERing { kNoRing = -1, kDecayRing = 0, kToneRing, kCompRing, kAccentRing, kDriveRing, kNumRings };
};

struct TonnikParamRow {
  // The three parameter kinds: InitDouble, InitInt, InitBool (range 0..1,
  // "off" and "on" from InitBool itself).
  enum EKind { kDouble, kInt, kBool };
  // Besides the voice, a parameter drives nothing else, or is one of the two
  // MIDI learn switches (which never have a controller of their own and are
  // not "touched" for learning).
  enum ERole { kSound, kLearnSwitch, kClearSwitch };
  // Which angle of its ring a parameter sets: the centre follows the knob's
  // value, the span how far velocity reaches.
  enum ERingAngle { kCentre, kSpan };
  // How a controller's 0..1 moves the parameter: continuously, as an on/off
  // switch, or in the three positions 0, 0.5 and 1.
  enum EControllerSteps { kContinuous, kOnOff, kThreeWay };

  static constexpr int kMaxDisplayTexts = 3;

  const char* name;
  EKind kind;
  double defaultValue;
  double min;
  double max;
  double step;
  double shape;                                // 1 is linear
  const char* label;                           // unit, or ""
  const char* displayTexts[kMaxDisplayTexts];  // for min, min + 1, ...; null ends them

  ERole role;
  // Sets the voice from a plain value; null for the learn switches.
  void (*toVoice)(Krummel& voice, double value);
  TonnikParamIndices::ERing ring;
  ERingAngle ringAngle;
  EControllerSteps controllerSteps;
};

// Row i describes parameter i.
extern const TonnikParamRow kTonnikParams[TonnikParamIndices::kNumParams];
