#include "host/ValidatorSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "host/AUPresetFile.h"
#include "host/Validator.h"

std::string StatusText(OSStatus status) {
  const struct {
    OSStatus status;
    const char* name;
  } names[] = {
      {kAudioUnitErr_InvalidProperty, "InvalidProperty"},
      {kAudioUnitErr_InvalidParameter, "InvalidParameter"},
      {kAudioUnitErr_InvalidElement, "InvalidElement"},
      {kAudioUnitErr_TooManyFramesToProcess, "TooManyFramesToProcess"},
      {kAudioUnitErr_FormatNotSupported, "FormatNotSupported"},
      {kAudioUnitErr_InvalidScope, "InvalidScope"},
      {kAudioUnitErr_InvalidPropertyValue, "InvalidPropertyValue"},
      {kAudioUnitErr_PropertyNotInUse, "PropertyNotInUse"},
      {badComponentSelector, "badComponentSelector"},
      {paramErr, "paramErr"},
      {invalidComponentID, "invalidComponentID"},
  };
  for (const auto& n : names)
    if (n.status == status) return Printf("error %d (%s)", (int)status, n.name);
  return Printf("error %d", (int)status);
}

std::string Printf(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

bool Fail(std::string* reason, const std::string& text) {
  *reason = text;
  return false;
}

bool Ok(OSStatus status, const char* what, std::string* reason) {
  return status == noErr || Fail(reason, std::string(what) + ": " + StatusText(status));
}

bool OpenForChecks(AUHost* host, std::string* reason) {
  const double kRate = 48000.0;  // Hz
  const UInt32 kMaxFrames = 512;
  const int kChannels = 2;
  return OpenPrepared(host, kRate, kMaxFrames, kChannels, reason);
}

bool OpenPrepared(AUHost* host, double sampleRate, UInt32 maxFrames, int nChannels, std::string* reason) {
  return Ok(host->Open(), "open", reason) &&
         Ok(host->Prepare(sampleRate, maxFrames, nChannels),
            Printf("prepare at %g Hz, %u frames, %d channels", sampleRate, maxFrames, nChannels).c_str(), reason);
}

bool RenderBlocks(AUHost* host, UInt32 frames, int nBlocks, int nChannels, const BeforeBlock& beforeBlock,
                  RenderedAudio* audio, std::string* reason) {
  std::vector<std::vector<float>> buffers((size_t)nChannels, std::vector<float>(frames));
  audio->channels.resize((size_t)nChannels);
  for (int block = 0; block < nBlocks; ++block) {
    if (beforeBlock && !beforeBlock(block, reason)) return false;
    float* out[AUHost::kMaxChannels];
    for (int c = 0; c < nChannels; ++c) {
      std::fill(buffers[(size_t)c].begin(), buffers[(size_t)c].end(), Validator::kPoison);
      out[c] = buffers[(size_t)c].data();
    }
    const OSStatus status = host->Render(frames, out, nChannels);
    if (status != noErr) return Fail(reason, Printf("render of block %d (%u frames): ", block, frames) + StatusText(status));
    for (int c = 0; c < nChannels; ++c) {
      if (out[c] != buffers[(size_t)c].data())
        return Fail(reason, Printf("render of block %d replaced the host's buffer of channel %d", block, c));
      audio->channels[(size_t)c].insert(audio->channels[(size_t)c].end(), out[c], out[c] + frames);
    }
  }
  return true;
}

bool CheckWrittenAndFinite(const RenderedAudio& audio, std::string* reason) {
  for (size_t c = 0; c < audio.channels.size(); ++c) {
    const std::vector<float>& samples = audio.channels[c];
    for (size_t i = 0; i < samples.size(); ++i) {
      if (std::memcmp(&samples[i], &Validator::kPoison, sizeof(float)) == 0)
        return Fail(reason, Printf("channel %zu, sample %zu was never written", c, i));
      if (!std::isfinite(samples[i]))
        return Fail(reason, Printf("channel %zu, sample %zu is not finite (%g)", c, i, (double)samples[i]));
    }
  }
  return true;
}

float Peak(const RenderedAudio& audio, size_t from, size_t to) {
  float peak = 0.0f;
  for (const std::vector<float>& samples : audio.channels)
    for (size_t i = from; i < to && i < samples.size(); ++i) peak = std::fmax(peak, std::fabs(samples[i]));
  return peak;
}

long FirstDifference(const RenderedAudio& a, const RenderedAudio& b) {
  if (a.channels.size() != b.channels.size()) return 0;
  long first = -1;
  for (size_t c = 0; c < a.channels.size(); ++c) {
    const std::vector<float>& x = a.channels[c];
    const std::vector<float>& y = b.channels[c];
    const size_t n = std::min(x.size(), y.size());
    for (size_t i = 0; i < n; ++i)
      if (std::memcmp(&x[i], &y[i], sizeof(float)) != 0) {
        if (first < 0 || (long)i < first) first = (long)i;
        break;
      }
    if (x.size() != y.size() && (first < 0 || (long)n < first)) first = (long)n;
  }
  return first;
}

bool SaveStateText(AUHost* host, std::string* text, std::string* reason) {
  CFPropertyListRef state = nullptr;
  if (!Ok(host->GetClassInfo(&state), "save ClassInfo", reason)) return false;
  if (!state || CFGetTypeID(state) != CFDictionaryGetTypeID()) {
    if (state) CFRelease(state);
    return Fail(reason, "ClassInfo is not a dictionary");
  }
  std::string why;
  const EAUPresetFileResult result = AUPresetToXML(static_cast<CFDictionaryRef>(state), text, &why);
  CFRelease(state);
  return result == kAUPresetOK || Fail(reason, "ClassInfo cannot be written as a property list: " + why);
}

float OtherValue(const AUHostParamInfo& info, float value) { return value != info.maxValue ? info.maxValue : info.minValue; }
