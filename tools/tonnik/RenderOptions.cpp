#include "RenderOptions.h"

#include "CommandLine.h"

namespace {

const char kUsage[] =
    "Usage: tonnik render [-o FILE] [options]\n"
    "Loads the instrument through its Audio Unit entry, plays a pattern of kick hits to it as\n"
    "MIDI and writes what it renders to a 24-bit stereo WAV file (default out/demo.wav).\n"
    "\n"
    "  -o, --output FILE     file to write\n"
    "  --rate HZ             sample rate: 44100, 48000 (default) or 96000\n"
    "  --note N              base MIDI note of the pattern, 0..127 (default 33)\n"
    "  --velocity V          base velocity of the pattern, 1..127 (default 100)\n"
    "  --block N             frames per render call, 1..8192 (default 512)\n";

bool setInteger(const std::string& option, const std::string& text, int lo, int hi, int& target, std::string& error) {
  if (parseInteger(text, lo, hi, target)) return true;
  error = "--" + option + ": '" + text + "' is not a whole number in " + std::to_string(lo) + ".." + std::to_string(hi);
  return false;
}

}  // namespace

std::string renderOptionsUsage() {
  return std::string(kUsage) + instrumentOptionsUsage() + "Values may also be given as --name=value.\n";
}

bool parseRenderOptions(int argc, const char* const* argv, int first, RenderOptions& o, bool& wantsHelp,
                        std::string& error) {
  const OptionHandler handle = [&](const std::string& name, const std::string& value, std::string& err) {
    if (name.empty()) return (err = "unexpected argument '" + value + "'"), false;
    if (name == "output") {
      if (value.empty()) return (err = "--output needs a file name"), false;
      o.outputPath = value;
      return true;
    }
    if (name == "rate") {
      double rate;
      if (!parseNumber(value, rate) || (rate != 44100 && rate != 48000 && rate != 96000))
        return (err = "--rate: '" + value + "' is not 44100, 48000 or 96000"), false;
      o.sampleRate = rate;
      return true;
    }
    if (name == "note") return setInteger(name, value, 0, 127, o.note, err);
    if (name == "velocity") return setInteger(name, value, 1, 127, o.velocity, err);
    if (name == "block") return setInteger(name, value, 1, 8192, o.blockSize, err);
    bool handled = false;
    if (!parseInstrumentOption(name, value, o.instrument, handled, err)) return false;
    if (!handled) return (err = "unknown option '--" + name + "' (see tonnik render --help)"), false;
    return true;
  };
  return forEachOption(argc, argv, first, handle, wantsHelp, error);
}
