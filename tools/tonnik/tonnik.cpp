// The tonnik command: renders the instrument offline.
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "Pattern.h"
#include "PatternPlayer.h"
#include "RenderOptions.h"
#include "VoiceRenderer.h"
#include "WavWriter.h"

namespace {

const int kExitFailure = 1;
const int kExitUsage = 2;

int runHelp(int argc, const char* const* argv);
int runRender(int argc, const char* const* argv);

struct Command {
  const char* name;
  const char* description;
  int (*run)(int argc, const char* const* argv);
};

const Command kCommands[] = {
    {"help", "show this list of commands", runHelp},
    {"render", "render a pattern of kick hits to a WAV file (tonnik render --help)", runRender},
};

void printUsage(FILE* to) {
  std::fprintf(to, "Usage: tonnik <command> [options]\n\nCommands:\n");
  for (const Command& c : kCommands) std::fprintf(to, "  %-8s %s\n", c.name, c.description);
}

int runHelp(int, const char* const*) {
  printUsage(stdout);
  return 0;
}

// Creates the folder of path when it is a single missing level (such as out/).
void makeParentFolder(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return;
  mkdir(path.substr(0, slash).c_str(), 0777);
}

int runRender(int argc, const char* const* argv) {
  RenderOptions options;
  bool wantsHelp = false;
  std::string error;
  if (!parseRenderOptions(argc, argv, 2, options, wantsHelp, error)) {
    std::fprintf(stderr, "tonnik render: %s\n", error.c_str());
    return kExitUsage;
  }
  if (wantsHelp) {
    std::fputs(renderOptionsUsage(), stdout);
    return 0;
  }

  const Pattern pattern = defaultPattern(options.note, options.velocity);
  VoiceRenderer renderer;
  StereoBuffer audio;
  const char* renderError = nullptr;
  if (!playPattern(pattern, renderer, options.sampleRate, options.blockSize, options.params, kNumParams, audio,
                   &renderError)) {
    std::fprintf(stderr, "tonnik render: %s\n", renderError);
    return kExitFailure;
  }

  makeParentFolder(options.outputPath);
  if (!writeWav24(options.outputPath, audio, static_cast<int>(options.sampleRate), error)) {
    std::fprintf(stderr, "tonnik render: %s\n", error.c_str());
    return kExitFailure;
  }

  double peak = 0;
  for (double v : audio.left) peak = std::fmax(peak, std::fabs(v));
  const size_t frames = audio.left.size();
  std::printf("wrote %s: %.0f Hz, 24-bit stereo, %zu frames, %.3f s, peak %.4f (%.1f dBFS)%s\n",
              options.outputPath.c_str(), options.sampleRate, frames, frames / options.sampleRate, peak,
              peak > 0 ? 20 * std::log10(peak) : -INFINITY, peak > 1 ? ", clipped" : "");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    printUsage(stderr);
    return kExitUsage;
  }
  for (const Command& c : kCommands)
    if (std::strcmp(argv[1], c.name) == 0) return c.run(argc, argv);
  std::fprintf(stderr, "tonnik: unknown command '%s'\n\n", argv[1]);
  printUsage(stderr);
  return kExitUsage;
}
