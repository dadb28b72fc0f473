#pragma once
// Parses the options of `tonnik render` into RenderOptions. Pure function of its arguments;
// any thread.

#include <string>

#include "InstrumentOptions.h"

struct RenderOptions {
  std::string outputPath = "out/demo.wav";
  double sampleRate = 48000;
  int note = 33;       // base note of the pattern
  int velocity = 100;  // base velocity of the pattern
  int blockSize = 512; // frames per host render call
  InstrumentOptions instrument;
};

// Fills options from argv[first..argc-1]. On failure returns false with a one-line message
// in error; options is then unspecified. Sets wantsHelp (and returns true) for -h/--help.
// Parameter values are checked against the instrument when they are applied.
bool parseRenderOptions(int argc, const char* const* argv, int first, RenderOptions& options, bool& wantsHelp,
                        std::string& error);

// The option list shown by `tonnik render --help`.
std::string renderOptionsUsage();
