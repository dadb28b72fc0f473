// The run, and the phases about lifecycle, shape and factory presets.

#include "host/Validator.h"

#include <algorithm>

#include "host/ValidatorSupport.h"

const float Validator::kPoison = -7.25e33f;

namespace {
const int kOpenCloseRounds = 10;
// Channel counts a host may try; those the unit does not advertise must be refused.
const int kMaxTriedChannels = 8;
}  // namespace

Validator::Validator(ComponentRoutineUPP entry, const ComponentDescription& description,
                     std::function<bool(double)> sounds)
    : mEntry(entry), mDescription(description), mSounds(std::move(sounds)) {}

const std::vector<ValidatorRenderCase>& Validator::RenderCases() {
  static const std::vector<ValidatorRenderCase> cases = {
      {44100, 512, 512, 2},   {44100, 512, 64, 2},     {22050, 64, 64, 2},     {96000, 137, 137, 2},
      {48000, 4096, 4096, 2}, {192000, 4096, 4096, 2}, {11025, 4096, 4096, 2}, {48000, 512, 512, 1},
  };
  return cases;
}

bool Validator::Sounds(double sampleRate) const {
  return mSounds(sampleRate);
}

bool Validator::RunAll(const std::function<void(const ValidatorResult&)>& report) {
  bool allPassed = true;
  auto run = [&](const std::string& phase, const std::function<bool(std::string*)>& check) {
    std::string reason;
    const bool passed = check(&reason);
    if (passed) reason.clear();
    allPassed = allPassed && passed;
    report(ValidatorResult{phase, passed, reason});
  };
  run("open and close", [this](std::string* r) { return CheckOpenClose(r); });
  run("instrument shape", [this](std::string* r) { return CheckShape(r); });
  run("properties", [this](std::string* r) { return CheckProperties(r); });
  run("parameters", [this](std::string* r) { return CheckParameters(r); });
  run("parameter changes in render", [this](std::string* r) { return CheckParameterChangesInRender(r); });
  for (const ValidatorRenderCase& c : RenderCases()) {
    const std::string name = Printf("render %u frames (max %u) at %g Hz, %s", c.frames, c.maxFrames, c.sampleRate,
                                    c.nChannels == 1 ? "mono" : "stereo");
    run(name, [this, c](std::string* r) { return CheckRender(c, r); });
  }
  run("render in 64-frame slices at 44100 Hz", [this](std::string* r) { return CheckSlicing(44100, r); });
  run("too many frames refused", [this](std::string* r) { return CheckTooManyFrames(r); });
  run("reset", [this](std::string* r) { return CheckReset(r); });
  run("saved state", [this](std::string* r) { return CheckState(r); });
  run("factory presets", [this](std::string* r) { return CheckFactoryPresets(r); });
  return allPassed;
}

bool Validator::CheckOpenClose(std::string* reason) {
  for (int round = 0; round < kOpenCloseRounds; ++round) {
    AUHost host(mEntry, mDescription);
    if (!Ok(host.Open(), Printf("open, round %d", round).c_str(), reason)) return false;
    if (round % 2 == 1) {
      if (!Ok(host.Initialize(), Printf("initialize, round %d", round).c_str(), reason)) return false;
      if (!Ok(host.Uninitialize(), Printf("uninitialize, round %d", round).c_str(), reason)) return false;
    } else if (round % 4 == 2) {
      // Closed while initialized, as hosts do when a document closes.
      if (!Ok(host.Initialize(), Printf("initialize, round %d", round).c_str(), reason)) return false;
    }
    if (!Ok(host.Close(), Printf("close, round %d", round).c_str(), reason)) return false;
  }

  // One instance initialized and uninitialized again and again still renders.
  AUHost host(mEntry, mDescription);
  if (!OpenForChecks(&host, reason)) return false;
  for (int round = 0; round < kOpenCloseRounds; ++round)
    if (!Ok(host.Uninitialize(), "uninitialize", reason) || !Ok(host.Initialize(), "initialize again", reason))
      return false;
  RenderedAudio audio;
  if (!RenderBlocks(&host, 512, 1, 2, nullptr, &audio, reason)) return false;

  // Two instances live at once are independent.
  AUHost second(mEntry, mDescription);
  if (!OpenPrepared(&second, 44100, 256, 2, reason)) return false;
  if (host.Unit() == second.Unit()) return Fail(reason, "two opens answered the same instance");
  double rate = 0;
  if (!Ok(host.GetSampleRate(&rate), "sample rate of the first instance", reason)) return false;
  if (rate != 48000) return Fail(reason, Printf("the second instance changed the first one's rate to %g", rate));
  return RenderBlocks(&second, 256, 1, 2, nullptr, &audio, reason) && CheckWrittenAndFinite(audio, reason);
}

bool Validator::CheckShape(std::string* reason) {
  AUHost host(mEntry, mDescription);
  if (!Ok(host.Open(), "open", reason)) return false;
  UInt32 inputs = 99, outputs = 99;
  if (!Ok(host.GetElementCount(kAudioUnitScope_Input, &inputs), "input element count", reason) ||
      !Ok(host.GetElementCount(kAudioUnitScope_Output, &outputs), "output element count", reason))
    return false;
  if (inputs != 0) return Fail(reason, Printf("an instrument has no input bus, this one has %u", inputs));
  if (outputs != 1) return Fail(reason, Printf("expected one output bus, found %u", outputs));

  std::vector<AUChannelInfo> configs;
  if (!Ok(host.GetSupportedChannels(&configs), "SupportedNumChannels", reason)) return false;
  if (configs.empty()) return Fail(reason, "no channel configuration advertised");
  std::vector<bool> advertised(kMaxTriedChannels + 1, false);
  for (const AUChannelInfo& config : configs) {
    if (config.inChannels != 0 && config.inChannels != -1)
      return Fail(reason, Printf("configuration %d-%d has inputs", config.inChannels, config.outChannels));
    for (int n = 1; n <= kMaxTriedChannels; ++n)
      if (config.outChannels == n || config.outChannels < 0) advertised[(size_t)n] = true;
  }

  AudioStreamBasicDescription asbd = {};
  asbd.mSampleRate = 48000;
  asbd.mFormatID = kAudioFormatLinearPCM;
  asbd.mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
  asbd.mBytesPerPacket = asbd.mBytesPerFrame = 4;
  asbd.mFramesPerPacket = 1;
  asbd.mChannelsPerFrame = 2;
  asbd.mBitsPerChannel = 32;
  if (AudioUnitSetProperty(host.Unit(), kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, 0, &asbd,
                           sizeof asbd) == noErr)
    return Fail(reason, "a stream format on a missing input bus was accepted");

  for (int n = 0; n <= kMaxTriedChannels; ++n) {
    AUHost unit(mEntry, mDescription);
    if (!Ok(unit.Open(), "open", reason)) return false;
    const OSStatus format = unit.SetStreamFormat(n);
    const OSStatus init = format == noErr ? unit.Initialize() : format;
    const bool wanted = n > 0 && advertised[(size_t)n];
    if (wanted && init != noErr)
      return Fail(reason, Printf("advertised %d output channels refused: ", n) + StatusText(init));
    if (!wanted && init == noErr) return Fail(reason, Printf("%d output channels accepted but not advertised", n));
    if (wanted) {
      RenderedAudio audio;
      if (!RenderBlocks(&unit, 512, 1, n, nullptr, &audio, reason) || !CheckWrittenAndFinite(audio, reason))
        return Fail(reason, Printf("%d channels: ", n) + *reason);
    }
  }
  return true;
}

bool Validator::CheckFactoryPresets(std::string* reason) {
  AUHost host(mEntry, mDescription);
  if (!OpenForChecks(&host, reason)) return false;
  std::vector<AUHostPreset> presets;
  if (!Ok(host.GetFactoryPresets(&presets), "FactoryPresets", reason)) return false;
  if (presets.empty()) return Fail(reason, "no factory presets listed");
  for (const AUHostPreset& preset : presets) {
    const std::string what = Printf("preset %d \"%s\"", (int)preset.number, preset.name.c_str());
    if (!Ok(host.SelectPreset(preset.number), ("select " + what).c_str(), reason)) return false;
    AUHostPreset current = {-1, ""};
    if (!Ok(host.GetCurrentPreset(&current), "read the current preset", reason)) return false;
    if (current.number != preset.number || current.name != preset.name)
      return Fail(reason, "after selecting " + what + Printf(" the current preset is %d \"%s\"", (int)current.number,
                                                             current.name.c_str()));
    RenderedAudio audio;
    if (!RenderBlocks(&host, 512, 2, 2, nullptr, &audio, reason) || !CheckWrittenAndFinite(audio, reason))
      return Fail(reason, what + ": " + *reason);
  }
  // A preset number outside the list is refused or ignored, never selected.
  const SInt32 missing = (SInt32)presets.size() + 10;
  host.SelectPreset(missing);
  AUHostPreset current = {-1, ""};
  if (!Ok(host.GetCurrentPreset(&current), "read the current preset", reason)) return false;
  if (current.number == missing) return Fail(reason, Printf("preset %d does not exist but became current", (int)missing));
  return true;
}
