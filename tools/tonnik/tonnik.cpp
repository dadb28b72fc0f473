// The tonnik program: renders, describes and checks the instrument through
// its Audio Unit entry, as a host would.

#include <cstdio>
#include <cstring>

#include "Commands.h"
#include "InstalledResources.h"
#include "Instrument.h"

namespace {

const Command kCommands[] = {
    {"help", "show this list of commands", runHelp},
    {"render", "render a MIDI file or a pattern of kick hits to an audio file (tonnik render --help)", runRender},
    {"export-kit", "render one hit per note and velocity to WAV files with an SFZ file for samplers (tonnik export-kit --help)", runExportKit},
    {"info", "describe the instrument as a host sees it: identity, channels, parameters, presets", runInfo},
    {"save-preset", "save the instrument's state as an .aupreset file (tonnik save-preset --help)", runSavePreset},
    {"validate", "run the conformance checks hosts rely on; exit code 0 when all pass", runValidate},
    {"editor", "draw the instrument's editor to a PNG image, replaying clicks and keys (tonnik editor --help)", runEditor},
};

void printUsage(FILE* to) {
  std::fprintf(to, "Usage: tonnik <command> [options]\n       tonnik --help | -h | --version\n\nCommands:\n");
  for (const Command& c : kCommands) std::fprintf(to, "  %-12s %s\n", c.name, c.description);
}

// The program's version is the instrument's, as a host reads it.
int printVersion() {
  AUHost host(InstrumentEntry(), InstrumentDescription());
  SInt32 version = 0;
  if (host.Open() != noErr || host.GetVersion(&version) != noErr) {
    std::fprintf(stderr, "tonnik: the instrument did not open\n");
    return kExitFailure;
  }
  std::printf("tonnik %d.%d.%d (%s)\n", (int)(version >> 16), (int)((version >> 8) & 0xFF), (int)(version & 0xFF),
              InstrumentName());
  return 0;
}

}  // namespace

int runHelp(int, const char* const*) {
  printUsage(stdout);
  return 0;
}

int main(int argc, char** argv) {
  UseInstalledResources();
  if (argc < 2) {
    printUsage(stderr);
    return kExitUsage;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) return runHelp(argc, argv);
  if (std::strcmp(argv[1], "--version") == 0) return printVersion();
  for (const Command& c : kCommands)
    if (std::strcmp(argv[1], c.name) == 0) return c.run(argc, argv);
  std::fprintf(stderr, "tonnik: unknown command '%s'\n\n", argv[1]);
  printUsage(stderr);
  return kExitUsage;
}
