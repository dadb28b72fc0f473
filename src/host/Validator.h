#pragma once
// A conformance run for an Audio Unit music device, in the spirit of the
// validation tool Mac hosts run on every unit: it drives the component only
// through its entry (with AUHost) and checks, phase by phase, what hosts rely
// on: repeated open and close, the instrument's bus shape and channel
// configurations, every advertised property, every parameter, parameter
// changes inside a render, renders at many rates and block sizes, MIDI
// timing, Reset, saved state and factory presets.
//
// Each check opens its own instances and closes them again; a failure is
// reported with a one-line reason and never stops the run. The same checks
// back the conformance tests, which call them one by one (the render check
// over a table of cases).
//
// Ownership: the validator only borrows the entry function. Threads: one
// thread drives a validator; separate validators may run on separate threads.

#include <functional>
#include <string>
#include <vector>

#include "au/apple/AudioUnit.h"

// One render configuration: the host's sample rate, maximum frames per
// slice, frames per render call and output channels.
struct ValidatorRenderCase {
  double sampleRate;
  UInt32 maxFrames;
  UInt32 frames;
  int nChannels;
};

// The outcome of one phase.
struct ValidatorResult {
  std::string phase;
  bool passed;
  std::string reason;  // empty when passed
};

class Validator {
public:
  // sounds tells at which rates the unit is expected to sound; at every
  // other rate it must render silence.
  Validator(ComponentRoutineUPP entry, const ComponentDescription& description,
            std::function<bool(double)> sounds);

  // Runs every phase in order and calls report after each. True when all passed.
  bool RunAll(const std::function<void(const ValidatorResult&)>& report);

  // ---- The phases; each answers true or false with a reason ----

  // Open, initialize, uninitialize and close, many times over.
  bool CheckOpenClose(std::string* reason);
  // No input bus, one output bus; each advertised channel configuration
  // initializes; channel counts outside them are refused.
  bool CheckShape(std::string* reason);
  // Every property GetPropertyInfo advertises in the global, input and
  // output scopes is returned, at the advertised size.
  bool CheckProperties(std::string* reason);
  // Every parameter set to its minimum, maximum and default reads back;
  // value to text to value keeps the text.
  bool CheckParameters(std::string* reason);
  // Immediate and scheduled parameter changes between and inside renders
  // take effect and keep the output finite.
  bool CheckParameterChangesInRender(std::string* reason);
  // Ten blocks of one case: a note-on at offset min(10, frames), a note-off
  // in the last block; every sample written (buffers are poisoned first),
  // finite, sounding only at the sounding rates and not before the note.
  bool CheckRender(const ValidatorRenderCase& renderCase, std::string* reason);
  // The same audio rendered in 512-frame and in 64-frame calls is identical.
  bool CheckSlicing(double sampleRate, std::string* reason);
  // A render call of more frames than the maximum is refused and writes nothing.
  bool CheckTooManyFrames(std::string* reason);
  // Reset, then the same input, gives the same output.
  bool CheckReset(std::string* reason);
  // ClassInfo saved, parameters changed, restored: every parameter back and
  // the state saved again is byte for byte the same.
  bool CheckState(std::string* reason);
  // Every factory preset can be selected and is then the current one.
  bool CheckFactoryPresets(std::string* reason);

  // The render cases of the full run.
  static const std::vector<ValidatorRenderCase>& RenderCases();

  // Written into every output sample before a render; a sample still
  // holding it afterwards was never written.
  static const float kPoison;

private:
  bool Sounds(double sampleRate) const;

  ComponentRoutineUPP mEntry;
  ComponentDescription mDescription;
  std::function<bool(double)> mSounds;
};
