#include "RenderOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct ParamOption {
  const char* name;
  int param;
};

const ParamOption kParamOptions[] = {
    {"tone", kParamTone},           {"tune", kParamTune},
    {"fine", kParamFine},           {"decay", kParamDecay},
    {"accent", kParamAccent},       {"level", kParamAccent},
    {"midi-tune", kParamMidiTune},  {"long-decay", kParamLongDecay},
    {"comp", kParamComp},           {"drive", kParamDrive},
    {"glide", kParamGlide},         {"glide-mode", kParamGlideMode},
    {"dyn-decay", kParamDynDecay},  {"dyn-comp", kParamDynComp},
    {"dyn-drive", kParamDynDrive},  {"dyn-tone", kParamDynTone},
    {"dyn-level", kParamDynLevel},  {"drive-env", kParamDriveEnv},
};

const char kUsage[] =
    "Usage: tonnik render [-o FILE] [options]\n"
    "Renders a pattern of kick hits to a 24-bit stereo WAV file (default out/demo.wav).\n"
    "\n"
    "  -o, --output FILE     file to write\n"
    "  --rate HZ             sample rate: 44100, 48000 (default) or 96000\n"
    "  --note N              base MIDI note of the pattern, 0..127 (default 33)\n"
    "  --velocity V          base velocity of the pattern, 1..127 (default 100)\n"
    "  --block N             frames per processing block, 1..8192 (default 512)\n"
    "  --tone X              0..1 (default 0.5)\n"
    "  --tune N              semitones, -12..12 (default 0)\n"
    "  --fine N              cents, -100..100 (default 0)\n"
    "  --decay X             0..1 (default 0.5)\n"
    "  --accent X, --level X 0..1 (default 0.5)\n"
    "  --comp X              0..1 (default 0)\n"
    "  --drive X             0..1 (default 0)\n"
    "  --glide S             glide time in seconds, 0..1 (default 0)\n"
    "  --glide-mode M        updown, up, down or 0..2 (default updown)\n"
    "  --dyn-decay X, --dyn-comp X, --dyn-drive X, --dyn-tone X, --dyn-level X\n"
    "                        velocity amounts, -1..1 (default 0)\n"
    "  --drive-env on|off    drive follows the envelope (default off)\n"
    "  --long-decay on|off   five times the decay (default off)\n"
    "  --midi-tune on|off    pitch follows the note (default off)\n"
    "Values may also be given as --name=value.\n";

bool parseNumber(const char* text, double& value) {
  if (!*text) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtod(text, &end);
  return errno == 0 && *end == '\0' && std::isfinite(value);
}

bool parseInteger(const char* text, int& value) {
  double d;
  if (!parseNumber(text, d) || d != std::floor(d) || std::fabs(d) > 1e9) return false;
  value = static_cast<int>(d);
  return true;
}

bool parseSwitch(const char* text, double& value) {
  const char* on[] = {"on", "1", "true", "yes"};
  const char* off[] = {"off", "0", "false", "no"};
  for (const char* t : on)
    if (std::strcmp(text, t) == 0) return (value = 1), true;
  for (const char* t : off)
    if (std::strcmp(text, t) == 0) return (value = 0), true;
  return false;
}

bool parseGlideMode(const char* text, double& value) {
  const char* names[] = {"updown", "up", "down"};
  for (int i = 0; i < 3; ++i)
    if (std::strcmp(text, names[i]) == 0) return (value = i), true;
  int n;
  if (!parseInteger(text, n) || n < 0 || n > 2) return false;
  value = n;
  return true;
}

std::string rangeText(const ParamInfo& p) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%g..%g", p.min, p.max);
  return buf;
}

bool setParam(const char* option, const char* text, int index, RenderOptions& o, std::string& error) {
  const ParamInfo& p = kParams[index];
  double value = 0;
  bool ok = false;
  if (index == kParamGlideMode) {
    ok = parseGlideMode(text, value);
  } else if (p.kind == ParamKind::Bool) {
    ok = parseSwitch(text, value);
  } else if (p.kind == ParamKind::Int) {
    int n;
    ok = parseInteger(text, n) && n >= p.min && n <= p.max;
    value = n;
  } else {
    ok = parseNumber(text, value) && value >= p.min && value <= p.max;
  }
  if (!ok) {
    const std::string expected = index == kParamGlideMode ? "updown, up, down or 0..2"
                                 : p.kind == ParamKind::Bool ? "on or off"
                                 : p.kind == ParamKind::Int  ? "a whole number in " + rangeText(p)
                                                             : "a number in " + rangeText(p);
    error = std::string("--") + option + ": '" + text + "' is not " + expected;
    return false;
  }
  o.params[index] = value;
  return true;
}

bool setInteger(const char* option, const char* text, int lo, int hi, int& target, std::string& error) {
  int n;
  if (!parseInteger(text, n) || n < lo || n > hi) {
    error = std::string(option) + ": '" + text + "' is not a whole number in " + std::to_string(lo) + ".." +
            std::to_string(hi);
    return false;
  }
  target = n;
  return true;
}

}  // namespace

RenderOptions::RenderOptions() {
  for (int i = 0; i < kNumParams; ++i) params[i] = kParams[i].defaultValue;
}

const char* renderOptionsUsage() { return kUsage; }

bool parseRenderOptions(int argc, const char* const* argv, int first, RenderOptions& o, bool& wantsHelp,
                        std::string& error) {
  wantsHelp = false;
  for (int i = first; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      wantsHelp = true;
      return true;
    }
    std::string name;
    std::string value;
    bool hasValue = false;
    if (arg == "-o") {
      name = "output";
    } else if (arg.compare(0, 2, "--") == 0 && arg.size() > 2) {
      name = arg.substr(2);
      const size_t eq = name.find('=');
      if (eq != std::string::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
        hasValue = true;
      }
    } else {
      error = "unexpected argument '" + arg + "'";
      return false;
    }
    if (!hasValue) {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    const std::string option = "--" + name;
    if (name == "output") {
      if (value.empty()) {
        error = "--output needs a file name";
        return false;
      }
      o.outputPath = value;
    } else if (name == "rate") {
      double rate;
      if (!parseNumber(value.c_str(), rate) || (rate != 44100 && rate != 48000 && rate != 96000)) {
        error = "--rate: '" + value + "' is not 44100, 48000 or 96000";
        return false;
      }
      o.sampleRate = rate;
    } else if (name == "note") {
      if (!setInteger(option.c_str(), value.c_str(), 0, 127, o.note, error)) return false;
    } else if (name == "velocity") {
      if (!setInteger(option.c_str(), value.c_str(), 1, 127, o.velocity, error)) return false;
    } else if (name == "block") {
      if (!setInteger(option.c_str(), value.c_str(), 1, 8192, o.blockSize, error)) return false;
    } else {
      bool known = false;
      for (const ParamOption& p : kParamOptions) {
        if (name != p.name) continue;
        known = true;
        if (!setParam(p.name, value.c_str(), p.param, o, error)) return false;
      }
      if (!known) {
        error = "unknown option '" + option + "' (see tonnik render --help)";
        return false;
      }
    }
  }
  return true;
}
