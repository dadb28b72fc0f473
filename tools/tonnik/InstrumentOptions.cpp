#include "InstrumentOptions.h"

#include <cctype>
#include <cmath>

#include "CommandLine.h"
#include "Instrument.h"

namespace {

struct Alias {
  const char* option;
  const char* param;
};

const Alias kAliases[] = {
    {"tone", "Tone"},           {"tune", "Tune"},           {"fine", "Fine"},
    {"decay", "Decay"},         {"accent", "Accent"},       {"level", "Accent"},
    {"midi-tune", "MIDI Tune"}, {"long-decay", "Long Decay"}, {"comp", "Comp"},
    {"drive", "Drive"},         {"glide", "Glide"},         {"glide-mode", "Glide Mode"},
    {"dyn-decay", "DynDecay"},  {"dyn-comp", "DynComp"},    {"dyn-drive", "DynDrive"},
    {"dyn-tone", "DynTone"},    {"dyn-level", "DynLevel"},  {"drive-env", "DriveEnv"},
};

const char kUsage[] =
    "  --preset FILE         start from a saved state (.aupreset)\n"
    "  --set NAME=VALUE      set the instrument parameter NAME, e.g. --set Decay=0.8,\n"
    "                        --set \"Glide Mode=Up\", --set \"MIDI Tune=on\" (see tonnik info)\n"
    "  --tone X              Tone, 0..1\n"
    "  --tune N              Tune in semitones, -12..12\n"
    "  --fine N              Fine in cents, -100..100\n"
    "  --decay X             Decay, 0..1\n"
    "  --accent X, --level X Accent, 0..1\n"
    "  --comp X              Comp, 0..1\n"
    "  --drive X             Drive, 0..1\n"
    "  --glide S             Glide time in seconds, 0..1\n"
    "  --glide-mode M        Glide Mode: updown, up, down or 0..2\n"
    "  --dyn-decay X, --dyn-comp X, --dyn-drive X, --dyn-tone X, --dyn-level X\n"
    "                        velocity amounts, -1..1\n"
    "  --drive-env on|off    DriveEnv: drive follows the envelope\n"
    "  --long-decay on|off   Long Decay: five times the decay\n"
    "  --midi-tune on|off    MIDI Tune: pitch follows the note\n";

// Lower-case letters and digits only, so "Glide Mode", "glide-mode" and
// "GlideMode" compare equal, as do "Up/Down" and "updown".
std::string simplified(const std::string& text) {
  std::string out;
  for (unsigned char c : text)
    if (std::isalnum(c)) out += static_cast<char>(std::tolower(c));
  return out;
}

std::string rangeText(float lo, float hi) {
  char text[64];
  std::snprintf(text, sizeof text, "%g..%g", (double)lo, (double)hi);
  return text;
}

bool findParameter(AUHost* host, const std::string& name, AUHostParamInfo& info) {
  std::vector<AudioUnitParameterID> ids;
  if (host->GetParameterList(&ids) != noErr) return false;
  for (AudioUnitParameterID id : ids)
    if (host->GetParameterInfo(id, &info) == noErr && simplified(info.name) == simplified(name)) return true;
  return false;
}

// The plain value a setting's text stands for.
bool valueOf(AUHost* host, const AUHostParamInfo& info, const std::string& text, float& value, std::string& expected) {
  std::vector<std::string> texts;
  host->GetParameterValueStrings(info.id, &texts);
  const bool isSwitch = info.unit == kAudioUnitParameterUnit_Boolean;
  const bool whole = isSwitch || info.unit == kAudioUnitParameterUnit_Indexed;
  for (size_t i = 0; i < texts.size(); ++i)
    if (simplified(texts[i]) == simplified(text)) return (value = info.minValue + (float)i), true;
  if (isSwitch) {
    for (const char* on : {"yes", "true"})
      if (simplified(text) == on) return (value = info.maxValue), true;
    for (const char* off : {"no", "false"})
      if (simplified(text) == off) return (value = info.minValue), true;
  }
  double number = 0;
  const bool ok = parseNumber(text, number) && number >= info.minValue && number <= info.maxValue &&
                  (!whole || number == std::floor(number));
  if (ok) return (value = (float)number), true;

  expected = isSwitch ? "on or off" : whole ? "a whole number in " + rangeText(info.minValue, info.maxValue)
                                            : "a number in " + rangeText(info.minValue, info.maxValue);
  if (!texts.empty() && !isSwitch) {
    std::string names;
    for (const std::string& t : texts) names += (names.empty() ? "" : ", ") + t;
    expected = names + " or " + expected;
  }
  return false;
}

}  // namespace

bool parseInstrumentOption(const std::string& name, const std::string& value, InstrumentOptions& options,
                           bool& handled, std::string& error) {
  handled = true;
  if (name == "preset") {
    if (value.empty()) return (error = "--preset needs a file name"), false;
    options.presetPath = value;
    return true;
  }
  if (name == "set") {
    const size_t eq = value.find('=');
    if (eq == std::string::npos || eq == 0) return (error = "--set '" + value + "' is not NAME=VALUE"), false;
    options.settings.push_back({"--set " + value.substr(0, eq), value.substr(0, eq), value.substr(eq + 1)});
    return true;
  }
  for (const Alias& alias : kAliases)
    if (name == alias.option) {
      options.settings.push_back({"--" + name, alias.param, value});
      return true;
    }
  handled = false;
  return true;
}

bool applyInstrumentOptions(AUHost* host, const InstrumentOptions& options, bool& usageError, std::string& error) {
  usageError = false;
  if (!options.presetPath.empty() && !LoadPresetFile(host, options.presetPath, &error)) return false;
  usageError = true;
  for (const ParamSetting& s : options.settings) {
    AUHostParamInfo info;
    if (!findParameter(host, s.name, info))
      return (error = s.option + ": the instrument has no parameter '" + s.name + "' (see tonnik info)"), false;
    float value = 0;
    std::string expected;
    if (!valueOf(host, info, s.value, value, expected))
      return (error = s.option + ": '" + s.value + "' is not " + expected), false;
    const OSStatus status = host->SetParameter(info.id, value);
    if (status != noErr) {
      usageError = false;
      return (error = s.option + ": the instrument refused the value (error " + std::to_string((int)status) + ")"),
             false;
    }
  }
  usageError = false;
  return true;
}

const char* instrumentOptionsUsage() { return kUsage; }
