// tonnik render: the instrument through its entry, a MIDI file or the default
// pattern as MIDI, host-sized blocks, a WAV, FLAC or AIFF file.

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "Commands.h"
#include "HostRenderer.h"
#include "Instrument.h"
#include "MidiFile.h"
#include "OutputFile.h"
#include "Pattern.h"
#include "PatternPlayer.h"
#include "Progress.h"
#include "RenderOptions.h"
#include "RenderPlot.h"
#include "AudioFileWriter.h"

namespace {

// What a render came to: on success the audio (already written), else the
// exit code to leave with and the one-line reason to print.
struct RenderResult {
  int exitCode = 0;
  std::string reason;
  StereoBuffer audio;

  bool failed() const { return exitCode != 0; }
};

RenderResult failure(std::string reason, int exitCode = kExitFailure) {
  RenderResult result;
  result.exitCode = exitCode;
  result.reason = std::move(reason);
  return result;
}

// Creates the folder of path when it is a single missing level (such as out/).
void makeParentFolder(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return;
  mkdir(path.substr(0, slash).c_str(), 0777);
}

// An output that cannot be written is told before a long render, not after.
RenderResult probeOutputs(const RenderOptions& options) {
  for (const std::string& path : {renderOutputPath(options), options.plotPath}) {
    if (path.empty()) continue;
    makeParentFolder(path);
    OutputFile probe;
    std::string error;
    if (!probe.open(path, error)) return failure(error);
  }
  return RenderResult();
}

// The built-in pattern or the MIDI file's, cut to the asked length.
bool loadPattern(const RenderOptions& options, Pattern& pattern, std::string& error) {
  if (options.midiPath.empty()) {
    pattern = defaultPattern(options.note, options.velocity);
  } else {
    MidiFileContents song;
    if (!readMidiFile(options.midiPath, song, error)) return false;
    pattern = midiFilePattern(song);
  }
  if (options.lengthSeconds > 0) pattern.fixedSeconds = options.lengthSeconds;
  return true;
}

// Plays the pattern through the instrument's entry in host-sized blocks.
RenderResult play(const RenderOptions& options, const Pattern& pattern) {
  AUHost host(InstrumentEntry(), InstrumentDescription());
  if (host.Open() != noErr) return failure("the instrument could not be opened");
  // Settings after the unit's start-up, as a user makes them in a host, so that
  // "MIDI Learn" and the parameter touched after it are what the file's
  // controllers meet.
  HostRenderer renderer(&host);
  const char* renderError = nullptr;
  if (!renderer.prepare(options.sampleRate, options.blockSize, &renderError)) return failure(renderError);
  bool usageError = false;
  std::string error;
  if (!applyInstrumentOptions(&host, options.instrument, usageError, error))
    return failure(error, usageError ? kExitUsage : kExitFailure);

  RenderResult result;
  ProgressLine line(progressWanted(options.quiet));
  const std::string doing = "rendering " + (options.midiPath.empty() ? std::string("the pattern") : options.midiPath);
  const PlayProgress progress = [&](double fraction) { line.update(doing, fraction); };
  const bool played =
      playPattern(pattern, renderer, options.sampleRate, options.blockSize, result.audio, &renderError, progress);
  line.finish();
  if (!played) return failure(renderError);
  if (renderer.firstError() != noErr)
    return failure("the instrument answered error " + std::to_string((int)renderer.firstError()) +
                   " while rendering");
  return result;
}

// The whole render: outputs checked, pattern played, audio and plot written.
RenderResult render(const RenderOptions& options) {
  RenderResult result = probeOutputs(options);
  if (result.failed()) return result;
  Pattern pattern;
  std::string error;
  if (!loadPattern(options, pattern, error)) return failure(error);
  result = play(options, pattern);
  if (result.failed()) return result;

  if (!writeAudioFile(renderOutputPath(options), result.audio, static_cast<int>(options.sampleRate), options.format,
                      error))
    return failure(error);
  if (!options.plotPath.empty()) {
    const std::string source = options.midiPath.empty() ? "the built-in pattern" : options.midiPath;
    const std::string title = std::string(InstrumentName()) + " playing " + source;
    if (!writeRenderPlot(options.plotPath, result.audio.left, options.sampleRate, title, error)) return failure(error);
  }
  return result;
}

void printSummary(const RenderOptions& options, const StereoBuffer& audio) {
  double peak = 0;
  for (double v : audio.left) peak = std::fmax(peak, std::fabs(v));
  const size_t frames = audio.left.size();
  std::printf("wrote %s: %.0f Hz, %s stereo, %zu frames, %.3f s, peak %.4f (%.1f dBFS)%s\n",
              renderOutputPath(options).c_str(), options.sampleRate, describeAudioFormat(options.format).c_str(),
              frames, frames / options.sampleRate, peak, peak > 0 ? 20 * std::log10(peak) : -INFINITY,
              peak > 1 ? ", clipped" : "");
}

}  // namespace

int runRender(int argc, const char* const* argv) {
  RenderOptions options;
  bool wantsHelp = false;
  std::string error;
  if (!parseRenderOptions(argc, argv, 2, options, wantsHelp, error)) {
    std::fprintf(stderr, "tonnik render: %s\n", error.c_str());
    return kExitUsage;
  }
  if (wantsHelp) {
    std::fputs(renderOptionsUsage().c_str(), stdout);
    return 0;
  }
  const RenderResult result = render(options);
  if (result.failed()) {
    std::fprintf(stderr, "tonnik render: %s\n", result.reason.c_str());
    return result.exitCode;
  }
  printSummary(options, result.audio);
  return 0;
}
