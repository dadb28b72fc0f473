#include "StandaloneOptions.h"

#include <cstdlib>

namespace {
// The editor's range of screen scales.
constexpr double kMinScale = 1.0;
constexpr double kMaxScale = 2.0;
}  // namespace

const char* const kStandaloneUsage =
    "Usage: tonnik-standalone [--state FILE] [--connect] [--name NAME] [--no-audio] [--scale S]\n"
    "Plays TONNIK-PRO as a JACK client (MIDI in, two audio outs) with its editor in a window.\n"
    "The state is loaded at start and saved when the window closes or on SIGINT/SIGTERM.\n"
    "  --state FILE  the saved state (default $XDG_CONFIG_HOME/tonnik/state.aupreset)\n"
    "  --connect     connect to the system's playback ports and MIDI sources\n"
    "  --name NAME   the JACK client's name (default tonnik)\n"
    "  --no-audio    show the editor without a JACK server\n"
    "  --scale S     screen pixels per editor pixel, 1 to 2 (default: the desktop's, from GDK_SCALE or Xft.dpi)\n";

bool ParseStandaloneOptions(int argc, const char* const* argv, StandaloneOptions* options, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string opt = argv[i];
    if (opt == "--help" || opt == "-h") {
      options->help = true;
    } else if (opt == "--connect") {
      options->connect = true;
    } else if (opt == "--no-audio") {
      options->noAudio = true;
    } else if (opt == "--scale") {
      char* end = nullptr;
      const double scale = i + 1 < argc ? std::strtod(argv[i + 1], &end) : 0;
      if (i + 1 >= argc || end == argv[i + 1] || *end || !(scale >= kMinScale && scale <= kMaxScale)) {
        *error = "--scale wants a number from 1 to 2";
        return false;
      }
      options->scale = scale;
      ++i;
    } else if (opt == "--state" || opt == "--name") {
      if (i + 1 >= argc || !argv[i + 1][0]) {
        *error = "missing value after " + opt;
        return false;
      }
      (opt == "--state" ? options->statePath : options->clientName) = argv[++i];
    } else {
      *error = "unknown option " + opt;
      return false;
    }
  }
  if (options->statePath.empty()) options->statePath = DefaultStatePath();
  if (options->statePath.empty()) {
    *error = "no place for the state: set XDG_CONFIG_HOME or HOME, or give --state FILE";
    return false;
  }
  return true;
}

std::string DefaultStatePath() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string folder;
  if (config && *config) {
    folder = config;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) return "";
    folder = std::string(home) + "/.config";
  }
  return folder + "/tonnik/state.aupreset";
}

std::string WindowTitle(const std::string& statePath) {
  const std::string name = "TONNIK-PRO";
  if (statePath == DefaultStatePath()) return name;
  const size_t slash = statePath.find_last_of('/');
  return name + " - " + (slash == std::string::npos ? statePath : statePath.substr(slash + 1));
}
