#pragma once
// Plays a pattern through a Renderer in blocks, as a host would: parameter changes are applied
// before the block that contains their time, note-ons are handed over with their exact sample
// offset. Main thread.

#include <functional>
#include <vector>

#include "Pattern.h"
#include "Renderer.h"

struct StereoBuffer {
  std::vector<double> left;
  std::vector<double> right;
};

// Renders the whole pattern (events plus tail, or its fixed length) into out, starting from
// the renderer's own parameter values; a tail that ends in silence stops at the first sample
// after the last event that closes kSilenceHoldSeconds below kSilenceDb. Returns false with a message when the renderer refuses the rate or block
// size.
// progress, when given, hears after each block how much of the render is done (0..1; a
// tail that ends in silence is estimated until it ends).
typedef std::function<void(double fraction)> PlayProgress;
bool playPattern(const Pattern& pattern, Renderer& renderer, double sampleRate, int blockSize, StereoBuffer& out,
                 const char** error, const PlayProgress& progress = PlayProgress());
