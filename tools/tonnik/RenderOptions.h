#pragma once
// Parses the options of `tonnik render` into RenderOptions. Pure function of its arguments;
// any thread.

#include <string>

#include "AudioFileWriter.h"
#include "InstrumentOptions.h"

struct RenderOptions {
  std::string outputPath = "out/demo.wav";
  bool outputGiven = false;  // without -o a MIDI file's render goes beside it, as NAME.wav
  std::string midiPath;      // empty: the built-in pattern
  double lengthSeconds = 0;  // > 0: render exactly this long instead of until the ring ends
  bool quiet = false;        // -q: no progress line
  std::string plotPath;      // non-empty: also draw the waveform and pitch there as PNG
  double sampleRate = 48000;
  int note = 33;       // base note of the pattern
  int velocity = 100;  // base velocity of the pattern
  int blockSize = 512; // frames per host render call
  AudioFormat format;      // from --format, --bits, --no-dither, else the output's extension
  bool formatGiven = false;
  InstrumentOptions instrument;
};

// Fills options from argv[first..argc-1]. On failure returns false with a one-line message
// in error; options is then unspecified. Sets wantsHelp (and returns true) for -h/--help.
// Parameter values are checked against the instrument when they are applied. Without
// --format the output file's extension chooses it (WAV when it names none).
bool parseRenderOptions(int argc, const char* const* argv, int first, RenderOptions& options, bool& wantsHelp,
                        std::string& error);

// The file the render goes to: -o, or for a MIDI file without -o the file's name with
// the extension of the output format, or out/demo.wav.
std::string renderOutputPath(const RenderOptions& options);

// The option list shown by `tonnik render --help`.
std::string renderOptionsUsage();
