// tonnik save-preset: the instrument's state, after an optional preset and
// parameter settings, written as an .aupreset file.

#include <cstdio>
#include <string>

#include "CommandLine.h"
#include "Commands.h"
#include "Instrument.h"
#include "InstrumentOptions.h"

namespace {

const char kUsage[] =
    "Usage: tonnik save-preset FILE [options]\n"
    "Opens the instrument, applies the options in order and saves its state (the ClassInfo\n"
    "dictionary a host saves) as an XML property list, e.g. out/kick.aupreset.\n"
    "\n";

}  // namespace

int runSavePreset(int argc, const char* const* argv) {
  std::string path;
  InstrumentOptions options;
  bool wantsHelp = false;
  std::string error;
  const OptionHandler handle = [&](const std::string& name, const std::string& value, std::string& err) {
    if (name.empty()) {
      if (!path.empty()) return (err = "unexpected argument '" + value + "'"), false;
      path = value;
      return true;
    }
    bool handled = false;
    if (!parseInstrumentOption(name, value, options, handled, err)) return false;
    if (!handled) return (err = "unknown option '--" + name + "' (see tonnik save-preset --help)"), false;
    return true;
  };
  if (!forEachOption(argc, argv, 2, handle, wantsHelp, error) || (!wantsHelp && path.empty())) {
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
  long bytes = 0;
  if (!SavePresetFile(&host, path, &bytes, &error)) {
    std::fprintf(stderr, "tonnik save-preset: %s\n", error.c_str());
    return kExitFailure;
  }
  AUHostPreset current = {-1, ""};
  host.GetCurrentPreset(&current);
  std::printf("wrote %s: state of %s (preset \"%s\", %ld bytes of data)\n", path.c_str(), InstrumentName(),
              current.name.c_str(), bytes);
  return 0;
}
