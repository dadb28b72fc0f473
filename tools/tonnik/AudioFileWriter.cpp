#include "AudioFileWriter.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <vector>

#include "OutputFile.h"

namespace {

struct ContainerInfo {
  AudioContainer container;
  const char* name;
  const char* alias;  // another name and extension for it
  const char* extension;
  int sndfileFormat;
  bool holdsFloats;
};

const ContainerInfo kContainers[] = {
    {AudioContainer::Wav, "wav", "wave", ".wav", SF_FORMAT_WAV, true},
    {AudioContainer::Flac, "flac", "flac", ".flac", SF_FORMAT_FLAC, false},
    {AudioContainer::Aiff, "aiff", "aif", ".aiff", SF_FORMAT_AIFF, true},
};

struct SamplesInfo {
  AudioSamples samples;
  const char* name;
  const char* description;
  int sndfileSubtype;
  double fullScale;  // steps per unit of signal; 0 for floats
};

const SamplesInfo kSamples[] = {
    {AudioSamples::Int16, "16", "16-bit", SF_FORMAT_PCM_16, 32768.0},
    {AudioSamples::Int24, "24", "24-bit", SF_FORMAT_PCM_24, 8388608.0},
    {AudioSamples::Float32, "32f", "32-bit float", SF_FORMAT_FLOAT, 0},
};

// libsndfile takes 24-bit samples in the top three bytes of an int.
const int kInt24Shift = 8;
// Frames converted and handed to libsndfile at a time.
const size_t kChunkFrames = 8192;
const uint64_t kDitherSeed = 0x746F6E6E696B2121ull;  // any fixed value; "tonnik!!"

const ContainerInfo& infoOf(AudioContainer c) {
  for (const ContainerInfo& i : kContainers)
    if (i.container == c) return i;
  return kContainers[0];
}

const SamplesInfo& infoOf(AudioSamples s) {
  for (const SamplesInfo& i : kSamples)
    if (i.samples == s) return i;
  return kSamples[0];
}

std::string lower(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = (char)std::tolower((unsigned char)c);
  return out;
}

// Uniform numbers from xorshift64*: small, fast and the same on every platform.
class DitherNoise {
public:
  // Triangular noise in (-1, 1) steps: the sum of two uniform numbers in (-0.5, 0.5).
  double next() { return uniform() + uniform() - 1.0; }

private:
  double uniform() {
    mState ^= mState >> 12;
    mState ^= mState << 25;
    mState ^= mState >> 27;
    const uint64_t r = mState * 0x2545F4914F6CDD1Dull;
    return ((r >> 11) + 0.5) * (1.0 / 9007199254740992.0);  // 53 bits into (0, 1)
  }
  uint64_t mState = kDitherSeed;
};

int quantize(double value, double fullScale, double noise) {
  const double steps = std::nearbyint(value * fullScale + noise);
  return (int)std::clamp(steps, -fullScale, fullScale - 1);
}

bool writeFrames(SNDFILE* file, const StereoBuffer& audio, const AudioFormat& format) {
  const SamplesInfo& samples = infoOf(format.samples);
  const size_t frames = audio.left.size();
  DitherNoise noise;
  const bool dither = format.dither && format.samples == AudioSamples::Int16;
  std::vector<float> floats;
  std::vector<short> shorts;
  std::vector<int> ints;
  for (size_t start = 0; start < frames; start += kChunkFrames) {
    const size_t n = std::min(kChunkFrames, frames - start);
    sf_count_t written = 0;
    if (format.samples == AudioSamples::Float32) {
      floats.resize(2 * n);
      for (size_t i = 0; i < n; ++i) {
        floats[2 * i] = (float)audio.left[start + i];
        floats[2 * i + 1] = (float)audio.right[start + i];
      }
      written = sf_writef_float(file, floats.data(), (sf_count_t)n);
    } else if (format.samples == AudioSamples::Int16) {
      shorts.resize(2 * n);
      for (size_t i = 0; i < n; ++i) {
        // One noise value per frame: the mono voice's two equal channels stay equal.
        const double d = dither ? noise.next() : 0.0;
        shorts[2 * i] = (short)quantize(audio.left[start + i], samples.fullScale, d);
        shorts[2 * i + 1] = (short)quantize(audio.right[start + i], samples.fullScale, d);
      }
      written = sf_writef_short(file, shorts.data(), (sf_count_t)n);
    } else {
      ints.resize(2 * n);
      for (size_t i = 0; i < n; ++i) {
        ints[2 * i] = (int)((unsigned)quantize(audio.left[start + i], samples.fullScale, 0) << kInt24Shift);
        ints[2 * i + 1] = (int)((unsigned)quantize(audio.right[start + i], samples.fullScale, 0) << kInt24Shift);
      }
      written = sf_writef_int(file, ints.data(), (sf_count_t)n);
    }
    if (written != (sf_count_t)n) return false;
  }
  return true;
}

}  // namespace

bool parseAudioContainer(const std::string& name, AudioContainer& container) {
  for (const ContainerInfo& i : kContainers)
    if (lower(name) == i.name || lower(name) == i.alias) return (container = i.container), true;
  return false;
}

bool parseAudioSamples(const std::string& name, AudioSamples& samples) {
  for (const SamplesInfo& i : kSamples)
    if (lower(name) == i.name) return (samples = i.samples), true;
  return false;
}

bool audioContainerOfPath(const std::string& path, AudioContainer& container) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  return parseAudioContainer(path.substr(dot + 1), container);
}

bool audioFormatIsValid(const AudioFormat& format, std::string& reason) {
  if (format.samples == AudioSamples::Float32 && !infoOf(format.container).holdsFloats)
    return (reason = "FLAC holds 16 or 24 bits, not floats"), false;
  return true;
}

const char* audioExtension(AudioContainer container) { return infoOf(container).extension; }

std::string describeAudioFormat(const AudioFormat& format) {
  std::string name = infoOf(format.container).name;
  for (char& c : name) c = (char)std::toupper((unsigned char)c);
  std::string text = std::string(infoOf(format.samples).description) + " " + name;
  if (format.samples == AudioSamples::Int16) text += format.dither ? ", dithered" : ", not dithered";
  return text;
}

bool writeAudioFile(const std::string& path, const StereoBuffer& audio, int sampleRate, const AudioFormat& format,
                    std::string& error) {
  std::string reason;
  if (!audioFormatIsValid(format, reason)) return (error = path + ": " + reason), false;
  if (audio.left.size() != audio.right.size()) return (error = "left and right channels differ in length"), false;
  OutputFile out;
  if (!out.open(path, error)) return false;
  SF_INFO info = {};
  info.samplerate = sampleRate;
  info.channels = 2;
  info.format = infoOf(format.container).sndfileFormat | infoOf(format.samples).sndfileSubtype;
  SNDFILE* file = sf_open_fd(out.descriptor(), SFM_WRITE, &info, SF_TRUE);
  if (!file) return (error = path + ": " + sf_strerror(nullptr)), false;
  out.descriptorClosed();  // libsndfile closes it
  const bool written = writeFrames(file, audio, format);
  if (!written) error = path + ": " + sf_strerror(file);
  if (sf_close(file) != 0 && written) return (error = path + ": could not finish the file"), false;
  return written && out.commit(error);
}
