#pragma once
// Parses the options of `tonnik render` into RenderOptions. Pure function of its arguments;
// any thread.

#include <string>

#include "InstrumentParams.h"

struct RenderOptions {
  std::string outputPath = "out/demo.wav";
  double sampleRate = 48000;
  int note = 33;       // base note of the pattern
  int velocity = 100;  // base velocity of the pattern
  int blockSize = 512;
  double params[kNumParams];  // plain values, defaults unless set

  RenderOptions();
};

// Fills options from argv[first..argc-1]. On failure returns false with a one-line message
// in error; options is then unspecified. Sets wantsHelp (and returns true) for -h/--help.
bool parseRenderOptions(int argc, const char* const* argv, int first, RenderOptions& options, bool& wantsHelp,
                        std::string& error);

// The option list shown by `tonnik render --help`.
const char* renderOptionsUsage();
