#pragma once
// The options every command that loads the instrument shares: a saved
// state to start from (--preset FILE) and parameter settings, either by the
// instrument's parameter name (--set Decay=0.8, --set "MIDI Tune=on") or by
// the short aliases kept from the first version of the program (--decay 0.8,
// --level 0.7 for Accent). Settings apply in the order given, after the preset.

#include <string>
#include <vector>

#include "host/AUHost.h"

struct ParamSetting {
  std::string option;  // as typed, for messages ("--decay", "--set Decay")
  std::string name;    // the instrument parameter's name
  std::string value;   // as typed
};

struct InstrumentOptions {
  std::string presetPath;  // empty: start from the defaults
  std::vector<ParamSetting> settings;
};

// Takes the option if it is one of these (true, or false with a message in
// error for a malformed one); handled tells whether it was.
bool parseInstrumentOption(const std::string& name, const std::string& value, InstrumentOptions& options,
                           bool& handled, std::string& error);

// Loads the preset and applies the settings to the open unit. A setting
// names a parameter by its name (case, spaces and punctuation ignored) and
// gives a number in its range (whole for switches and indexed parameters) or
// one of its value texts ("on", "Up"). False with a message; usageError
// tells a bad option (exit code 2) from a failure to load (exit code 1).
bool applyInstrumentOptions(AUHost* host, const InstrumentOptions& options, bool& usageError, std::string& error);

// The lines of --help that describe these options.
const char* instrumentOptionsUsage();
