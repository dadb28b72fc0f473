#pragma once
// Plays a pattern through a Renderer in blocks, as a host would: parameter changes are applied
// before the block that contains their time, note-ons are handed over with their exact sample
// offset. Main thread.

#include <vector>

#include "Pattern.h"
#include "Renderer.h"

struct StereoBuffer {
  std::vector<double> left;
  std::vector<double> right;
};

// Renders the whole pattern (events plus tail) into out, starting from the renderer's own
// parameter values. Returns false with a message when the renderer refuses the rate or block
// size.
bool playPattern(const Pattern& pattern, Renderer& renderer, double sampleRate, int blockSize, StereoBuffer& out,
                 const char** error);
