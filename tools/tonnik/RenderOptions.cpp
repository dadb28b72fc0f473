#include "RenderOptions.h"

#include "CommandLine.h"

namespace {

const double kMaxLengthSeconds = 3600;  // an hour of kick drum is more than any song asks for

const char kUsage[] =
    "Usage: tonnik render [--midi FILE.mid] [-o FILE] [options]\n"
    "Loads the instrument through its Audio Unit entry, plays a MIDI file (or a built-in pattern\n"
    "of kick hits) to it and writes what it renders to a stereo audio file.\n"
    "\n"
    "  --midi FILE.mid       play a Standard MIDI File (format 0 or 1): note-ons on any channel\n"
    "                        start hits, control changes reach learned controllers; the render\n"
    "                        ends when the last hit has rung out (below -90 dBFS for 100 ms).\n"
    "                        Controllers learned in a --preset move their parameters; or\n"
    "                        --set \"MIDI Learn=on\" --set Decay=0.5 gives the file's next\n"
    "                        controller to Decay, as touching a knob in a host does\n"
    "  --length SECONDS      render exactly this long instead\n"
    "  -o, --output FILE     file to write (default: the MIDI file's name as .wav, or\n"
    "                        out/demo.wav for the pattern)\n"
    "  -q, --quiet           no progress line (shown on a terminal for renders over 2 s)\n"
    "  --plot FILE.png       also draw the waveform and the pitch of the ring over time\n"
    "  --format F            wav, flac or aiff (default: from the output's extension, else wav)\n"
    "  --bits B              16, 24 (default) or 32f (32-bit float; not for flac)\n"
    "  --no-dither           16-bit samples without the TPDF dither (which is seeded, so the\n"
    "                        same render always gives the same file)\n"
    "  --rate HZ             sample rate: 44100, 48000 (default) or 96000\n"
    "  --note N              base MIDI note of the built-in pattern, 0..127 (default 33)\n"
    "  --velocity V          base velocity of the built-in pattern, 1..127 (default 100)\n"
    "  --block N             frames per render call, 1..8192 (default 512)\n";

bool setInteger(const std::string& option, const std::string& text, int lo, int hi, int& target, std::string& error) {
  if (parseInteger(text, lo, hi, target)) return true;
  error = "--" + option + ": '" + text + "' is not a whole number in " + std::to_string(lo) + ".." + std::to_string(hi);
  return false;
}

}  // namespace

std::string renderOutputPath(const RenderOptions& o) {
  if (o.outputGiven) return o.outputPath;
  if (o.midiPath.empty()) return o.formatGiven ? "out/demo" + std::string(audioExtension(o.format.container)) : o.outputPath;
  const size_t slash = o.midiPath.find_last_of('/');
  const size_t dot = o.midiPath.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? o.midiPath.substr(0, dot) : o.midiPath) + audioExtension(o.format.container);
}

std::string renderOptionsUsage() {
  return std::string(kUsage) + instrumentOptionsUsage() + "Values may also be given as --name=value.\n";
}

bool parseRenderOptions(int argc, const char* const* argv, int first, RenderOptions& o, bool& wantsHelp,
                        std::string& error) {
  std::string patternOption;  // one that only the built-in pattern uses
  const OptionHandler handle = [&](const std::string& name, const std::string& value, std::string& err) {
    if (name.empty()) return (err = "unexpected argument '" + value + "'"), false;
    if (name == "output") {
      if (value.empty()) return (err = "--output needs a file name"), false;
      o.outputPath = value;
      o.outputGiven = true;
      return true;
    }
    if (name == "format") {
      if (!parseAudioContainer(value, o.format.container)) return (err = "--format: '" + value + "' is not wav, flac or aiff"), false;
      o.formatGiven = true;
      return true;
    }
    if (name == "bits") {
      if (!parseAudioSamples(value, o.format.samples)) return (err = "--bits: '" + value + "' is not 16, 24 or 32f"), false;
      return true;
    }
    if (name == "no-dither") {
      o.format.dither = false;
      return true;
    }
    if (name == "quiet") return (o.quiet = true), true;
    if (name == "plot") {
      if (value.empty()) return (err = "--plot needs a file name"), false;
      o.plotPath = value;
      return true;
    }
    if (name == "midi") {
      if (value.empty()) return (err = "--midi needs a file name"), false;
      o.midiPath = value;
      return true;
    }
    if (name == "length") {
      if (!parseNumber(value, o.lengthSeconds) || o.lengthSeconds <= 0 || o.lengthSeconds > kMaxLengthSeconds)
        return (err = "--length: '" + value + "' is not a number of seconds in 0..3600"), false;
      return true;
    }
    if (name == "rate") {
      double rate;
      if (!parseNumber(value, rate) || (rate != 44100 && rate != 48000 && rate != 96000))
        return (err = "--rate: '" + value + "' is not 44100, 48000 or 96000"), false;
      o.sampleRate = rate;
      return true;
    }
    if (name == "note" || name == "velocity") patternOption = "--" + name;
    if (name == "note") return setInteger(name, value, 0, 127, o.note, err);
    if (name == "velocity") return setInteger(name, value, 1, 127, o.velocity, err);
    if (name == "block") return setInteger(name, value, 1, 8192, o.blockSize, err);
    bool handled = false;
    if (!parseInstrumentOption(name, value, o.instrument, handled, err)) return false;
    if (!handled) return (err = "unknown option '--" + name + "' (see tonnik render --help)"), false;
    return true;
  };
  if (!forEachOption(argc, argv, first, handle, wantsHelp, error, {"no-dither", "quiet"})) return false;
  if (!o.midiPath.empty() && !patternOption.empty())
    return (error = patternOption + " sets the built-in pattern; the MIDI file gives its own notes"), false;
  if (!o.formatGiven && o.outputGiven) audioContainerOfPath(o.outputPath, o.format.container);
  std::string reason;
  if (!audioFormatIsValid(o.format, reason)) return (error = "--bits: " + reason), false;
  if (!o.midiPath.empty() && renderOutputPath(o) == o.midiPath)
    return (error = o.midiPath + ": the render would overwrite the MIDI file it plays (give -o)"), false;
  return true;
}
