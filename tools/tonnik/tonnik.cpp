// The tonnik program: renders, describes and checks the instrument through
// its Audio Unit entry, as a host would.

#include <cstdio>
#include <cstring>

#include "Commands.h"

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
  std::fprintf(to, "Usage: tonnik <command> [options]\n\nCommands:\n");
  for (const Command& c : kCommands) std::fprintf(to, "  %-12s %s\n", c.name, c.description);
}

}  // namespace

int runHelp(int, const char* const*) {
  printUsage(stdout);
  return 0;
}

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
