#pragma once
// What the validator's phases share: opening prepared units, rendering
// series of blocks into poisoned buffers, and checking what came out.
// Private to the validator. Threads: as the validator.

#include <functional>
#include <string>
#include <vector>

#include "host/AUHost.h"

// The output channels of a series of render calls, one call after another.
struct RenderedAudio {
  std::vector<std::vector<float>> channels;
};

// Called before each block (numbered from 0) to send MIDI or change
// parameters; false with a reason stops the series.
typedef std::function<bool(int block, std::string* reason)> BeforeBlock;

// "error -10851 (kAudioUnitErr_InvalidPropertyValue)" style text for a status.
std::string StatusText(OSStatus status);
std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// reason = text; answers false, so a check can end with `return Fail(...)`.
bool Fail(std::string* reason, const std::string& text);
// Fails with "what: <status>" when status is not noErr.
bool Ok(OSStatus status, const char* what, std::string* reason);

// Opens the unit and prepares it: sample rate, output format, maximum
// frames, host callbacks, initialize.
bool OpenPrepared(AUHost* host, double sampleRate, UInt32 maxFrames, int nChannels, std::string* reason);
// OpenPrepared at the setting most checks run at: a rate the instrument
// plays, the block length hosts use most, stereo.
bool OpenForChecks(AUHost* host, std::string* reason);

// Renders nBlocks calls of frames each into buffers filled with the poison
// value, appending each channel's samples to audio. Fails when a call
// answers an error or the unit swaps the host's buffers for its own.
bool RenderBlocks(AUHost* host, UInt32 frames, int nBlocks, int nChannels, const BeforeBlock& beforeBlock,
                  RenderedAudio* audio, std::string* reason);

// Every sample written (no poison left) and finite.
bool CheckWrittenAndFinite(const RenderedAudio& audio, std::string* reason);
// Largest magnitude over samples [from, to) of every channel.
float Peak(const RenderedAudio& audio, size_t from, size_t to);
// Index of the first sample where two renders differ, or -1 when equal.
long FirstDifference(const RenderedAudio& a, const RenderedAudio& b);

// Saves the unit's ClassInfo and writes it as property-list text.
bool SaveStateText(AUHost* host, std::string* text, std::string* reason);

// A value of the parameter's range other than value (its maximum, or its
// minimum when value is the maximum).
float OtherValue(const AUHostParamInfo& info, float value);
