#pragma once
// Writes a stereo buffer as a WAV, FLAC or AIFF file with 16-bit or 24-bit
// samples or 32-bit floats, through libsndfile. Integer samples are rounded
// from the full-scale range (clipping there); 16-bit samples get TPDF dither
// (triangular noise of +-1 step, from a fixed seed so that the same render
// always gives the same file) unless it is turned off. Floats keep overs.
// The file is written whole or not at all (OutputFile). Main thread.

#include <string>

#include "PatternPlayer.h"

enum class AudioContainer { Wav, Flac, Aiff };
enum class AudioSamples { Int16, Int24, Float32 };

struct AudioFormat {
  AudioContainer container = AudioContainer::Wav;
  AudioSamples samples = AudioSamples::Int24;
  bool dither = true;  // 16-bit only
};

// "wav", "flac", "aiff" (also "aif"); false for anything else.
bool parseAudioContainer(const std::string& name, AudioContainer& container);
// "16", "24", "32f"; false for anything else.
bool parseAudioSamples(const std::string& name, AudioSamples& samples);
// The container a file name's extension asks for (.wav, .flac, .aif, .aiff, any
// letter case); false when it names none of them.
bool audioContainerOfPath(const std::string& path, AudioContainer& container);
// False with the reason when the container cannot hold the samples (FLAC holds no floats).
bool audioFormatIsValid(const AudioFormat& format, std::string& reason);
const char* audioExtension(AudioContainer container);
// "24-bit WAV" and so on, for messages.
std::string describeAudioFormat(const AudioFormat& format);

// False with a message naming the file (libsndfile's or ours); nothing is left
// under path or beside it then.
bool writeAudioFile(const std::string& path, const StereoBuffer& audio, int sampleRate, const AudioFormat& format,
                    std::string& error);
