#include "InstrumentOptions.h"

#include <cctype>
#include <cmath>

#include "CommandLine.h"
#include "Instrument.h"
#include "tonnik/TonnikParams.h"

namespace {

using Param = TonnikParamIndices;

// The short options kept from the first version of the program. Names,
// ranges and value texts come from the instrument's parameter rows.
struct Alias {
  const char* option;
  Param::EParams param;
  const char* metavar;
  const char* meaning;  // after the parameter's name in --help
};

const Alias kAliases[] = {
    {"tone", Param::kTone, "X", ""},
    {"tune", Param::kTune, "N", " in semitones"},
    {"fine", Param::kFine, "N", " in cents"},
    {"decay", Param::kDecay, "X", ""},
    {"accent", Param::kAccent, "X", ""},
    {"level", Param::kAccent, "X", ""},
    {"midi-tune", Param::kMidiTune, "on|off", ": pitch follows the note"},
    {"long-decay", Param::kLongDecay, "on|off", ": five times the decay"},
    {"comp", Param::kComp, "X", ""},
    {"drive", Param::kDrive, "X", ""},
    {"glide", Param::kGlide, "S", " time in seconds"},
    {"glide-mode", Param::kGlideMode, "M", ""},
    {"dyn-decay", Param::kDynDecay, "X", ": velocity amount"},
    {"dyn-comp", Param::kDynComp, "X", ": velocity amount"},
    {"dyn-drive", Param::kDynDrive, "X", ": velocity amount"},
    {"dyn-tone", Param::kDynTone, "X", ": velocity amount"},
    {"dyn-level", Param::kDynLevel, "X", ": velocity amount"},
    {"drive-env", Param::kDriveEnv, "on|off", ": drive follows the envelope"},
};

const char kUsageHead[] =
    "  --preset FILE         start from a saved state (.aupreset)\n"
    "  --set NAME=VALUE      set the instrument parameter NAME, e.g. --set Decay=0.8,\n"
    "                        --set \"Glide Mode=Up\", --set \"MIDI Tune=on\" (see tonnik info)\n";
// Width of the option column of --help, two spaces of indent included.
const int kUsageColumn = 24;

// Lower-case letters and digits only, so "Glide Mode", "glide-mode" and
// "GlideMode" compare equal, as do "Up/Down" and "updown".
std::string simplified(const std::string& text) {
  std::string out;
  for (unsigned char c : text)
    if (std::isalnum(c)) out += static_cast<char>(std::tolower(c));
  return out;
}

std::string rangeText(double lo, double hi) {
  char text[64];
  std::snprintf(text, sizeof text, "%g..%g", lo, hi);
  return text;
}

// "Tune in semitones, -12..12", "Glide Mode: updown, up, down or 0..2",
// "DriveEnv: drive follows the envelope".
std::string aliasHelp(const Alias& alias) {
  const TonnikParamRow& row = kTonnikParams[alias.param];
  std::string text = std::string(row.name) + alias.meaning;
  if (row.kind == TonnikParamRow::kBool) return text;
  std::string texts;
  for (int t = 0; t < TonnikParamRow::kMaxDisplayTexts && row.displayTexts[t]; ++t)
    texts += (texts.empty() ? "" : ", ") + simplified(row.displayTexts[t]);
  return text + (texts.empty() ? ", " : ": " + texts + " or ") + rangeText(row.min, row.max);
}

std::string buildUsage() {
  std::string usage = kUsageHead;
  for (const Alias& alias : kAliases) {
    std::string line = std::string("  --") + alias.option + " " + alias.metavar;
    line.resize(kUsageColumn, ' ');
    usage += line + aliasHelp(alias) + "\n";
  }
  return usage;
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
      options.settings.push_back({"--" + name, kTonnikParams[alias.param].name, value});
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

const char* instrumentOptionsUsage() {
  static const std::string usage = buildUsage();
  return usage.c_str();
}
