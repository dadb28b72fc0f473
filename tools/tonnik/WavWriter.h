#pragma once
// Writes a stereo buffer as a 24-bit PCM WAV file with libsndfile, clipping at full scale.
// Main thread.

#include <string>

#include "PatternPlayer.h"

// Returns false with libsndfile's message (or ours) in error.
bool writeWav24(const std::string& path, const StereoBuffer& audio, int sampleRate, std::string& error);
