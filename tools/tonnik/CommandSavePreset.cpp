// tonnik save-preset: the instrument's state, after an optional preset and
// parameter settings, written as an .aupreset file, an LV2 preset bundle, or
// both.

#include <cstdio>
#include <string>

#include "CommandLine.h"
#include "Commands.h"
#include "Instrument.h"
#include "InstrumentOptions.h"
#include "LV2PresetBundle.h"

namespace {

const char kUsage[] =
    "Usage: tonnik save-preset FILE [options]\n"
    "       tonnik save-preset --lv2 DIR [options]\n"
    "Opens the instrument, applies the options in order and saves its state (the ClassInfo\n"
    "dictionary a host saves) as an XML property list, e.g. out/kick.aupreset, and/or as an\n"
    "LV2 preset bundle named after its folder, e.g. ~/.lv2/deep-kick.lv2 (preset \"deep-kick\").\n"
    "\n"
    "  --lv2 DIR             write the LV2 preset bundle DIR\n";

}  // namespace

int runSavePreset(int argc, const char* const* argv) {
  std::string path;
  std::string lv2Dir;
  InstrumentOptions options;
  bool wantsHelp = false;
  std::string error;
  const OptionHandler handle = [&](const std::string& name, const std::string& value, std::string& err) {
    if (name.empty()) {
      if (!path.empty()) return (err = "unexpected argument '" + value + "'"), false;
      path = value;
      return true;
    }
    if (name == "lv2") {
      if (value.empty()) return (err = "--lv2 needs a folder"), false;
      lv2Dir = value;
      return true;
    }
    bool handled = false;
    if (!parseInstrumentOption(name, value, options, handled, err)) return false;
    if (!handled) return (err = "unknown option '--" + name + "' (see tonnik save-preset --help)"), false;
    return true;
  };
  if (!forEachOption(argc, argv, 2, handle, wantsHelp, error) || (!wantsHelp && path.empty() && lv2Dir.empty())) {
    std::fprintf(stderr, "tonnik save-preset: %s\n", error.empty() ? "which file? (tonnik save-preset FILE)" : error.c_str());
    return kExitUsage;
  }
  if (wantsHelp) {
    std::printf("%s%s", kUsage, instrumentOptionsUsage());
    return 0;
  }

  AUHost host(InstrumentEntry(), InstrumentDescription());
  if (host.Open() != noErr) {
    std::fprintf(stderr, "tonnik save-preset: the instrument could not be opened\n");
    return kExitFailure;
  }
  bool usageError = false;
  if (!applyInstrumentOptions(&host, options, usageError, error)) {
    std::fprintf(stderr, "tonnik save-preset: %s\n", error.c_str());
    return usageError ? kExitUsage : kExitFailure;
  }
  AUHostPreset current = {-1, ""};
  host.GetCurrentPreset(&current);
  if (!path.empty()) {
    long bytes = 0;
    if (!SavePresetFile(&host, path, &bytes, &error)) {
      std::fprintf(stderr, "tonnik save-preset: %s\n", error.c_str());
      return kExitFailure;
    }
    std::printf("wrote %s: state of %s (preset \"%s\", %ld bytes of data)\n", path.c_str(), InstrumentName(),
                current.name.c_str(), bytes);
  }
  if (!lv2Dir.empty()) {
    if (!SaveLV2PresetBundle(&host, lv2Dir, &error)) {
      std::fprintf(stderr, "tonnik save-preset: %s\n", error.c_str());
      return kExitFailure;
    }
    std::printf("wrote %s: LV2 preset \"%s\" of %s\n", lv2Dir.c_str(), LV2PresetName(lv2Dir).c_str(),
                InstrumentName());
  }
  return 0;
}
