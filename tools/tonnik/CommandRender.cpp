// tonnik render: the instrument through its entry, a MIDI file or the default
// pattern as MIDI, host-sized blocks, a WAV, FLAC or AIFF file.

#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <string>

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

// Creates the folder of path when it is a single missing level (such as out/).
void makeParentFolder(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return;
  mkdir(path.substr(0, slash).c_str(), 0777);
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

  // An output that cannot be written is told before a long render, not after.
  const std::string outputPath = renderOutputPath(options);
  for (const std::string& path : {outputPath, options.plotPath}) {
    if (path.empty()) continue;
    makeParentFolder(path);
    OutputFile probe;
    if (!probe.open(path, error)) {
      std::fprintf(stderr, "tonnik render: %s\n", error.c_str());
      return kExitFailure;
    }
  }

  Pattern pattern;
  if (options.midiPath.empty()) {
    pattern = defaultPattern(options.note, options.velocity);
  } else {
    MidiFileContents song;
    if (!readMidiFile(options.midiPath, song, error)) {
      std::fprintf(stderr, "tonnik render: %s\n", error.c_str());
      return kExitFailure;
    }
    pattern = midiFilePattern(song);
  }
  if (options.lengthSeconds > 0) pattern.fixedSeconds = options.lengthSeconds;

  AUHost host(InstrumentEntry(), InstrumentDescription());
  if (host.Open() != noErr) {
    std::fprintf(stderr, "tonnik render: the instrument could not be opened\n");
    return kExitFailure;
  }
  // Settings after the unit's start-up, as a user makes them in a host, so that
  // "MIDI Learn" and the parameter touched after it are what the file's
  // controllers meet.
  HostRenderer renderer(&host);
  const char* renderError = nullptr;
  if (!renderer.prepare(options.sampleRate, options.blockSize, &renderError)) {
    std::fprintf(stderr, "tonnik render: %s\n", renderError);
    return kExitFailure;
  }
  bool usageError = false;
  if (!applyInstrumentOptions(&host, options.instrument, usageError, error)) {
    std::fprintf(stderr, "tonnik render: %s\n", error.c_str());
    return usageError ? kExitUsage : kExitFailure;
  }

  StereoBuffer audio;
  ProgressLine line(progressWanted(options.quiet));
  const std::string doing = "rendering " + (options.midiPath.empty() ? std::string("the pattern") : options.midiPath);
  const PlayProgress progress = [&](double fraction) { line.update(doing, fraction); };
  const bool played = playPattern(pattern, renderer, options.sampleRate, options.blockSize, audio, &renderError, progress);
  line.finish();
  if (!played) {
    std::fprintf(stderr, "tonnik render: %s\n", renderError);
    return kExitFailure;
  }
  if (renderer.firstError() != noErr) {
    std::fprintf(stderr, "tonnik render: the instrument answered error %d while rendering\n",
                 (int)renderer.firstError());
    return kExitFailure;
  }

  if (!writeAudioFile(outputPath, audio, static_cast<int>(options.sampleRate), options.format, error)) {
    std::fprintf(stderr, "tonnik render: %s\n", error.c_str());
    return kExitFailure;
  }

  if (!options.plotPath.empty()) {
    const std::string source = options.midiPath.empty() ? "the built-in pattern" : options.midiPath;
    const std::string title = std::string(InstrumentName()) + " playing " + source;
    if (!writeRenderPlot(options.plotPath, audio.left, options.sampleRate, title, error)) {
      std::fprintf(stderr, "tonnik render: %s\n", error.c_str());
      return kExitFailure;
    }
  }

  double peak = 0;
  for (double v : audio.left) peak = std::fmax(peak, std::fabs(v));
  const size_t frames = audio.left.size();
  std::printf("wrote %s: %.0f Hz, %s stereo, %zu frames, %.3f s, peak %.4f (%.1f dBFS)%s\n",
              outputPath.c_str(), options.sampleRate, describeAudioFormat(options.format).c_str(), frames, frames / options.sampleRate, peak,
              peak > 0 ? 20 * std::log10(peak) : -INFINITY, peak > 1 ? ", clipped" : "");
  return 0;
}
