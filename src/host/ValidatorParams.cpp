// The parameter phases: ranges, read-back, text round trips, and changes
// made between and inside renders.

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/Validator.h"
#include "host/ValidatorSupport.h"

namespace {

const int kChangeBlocks = 8;
const UInt32 kChangeFrames = 256;

bool ReadsBack(AUHost* host, const AUHostParamInfo& info, float expected, const char* when, std::string* reason) {
  float value = NAN;
  if (!Ok(host->GetParameter(info.id, &value), Printf("read \"%s\" %s", info.name.c_str(), when).c_str(), reason))
    return false;
  // Plain values cross the interface as floats; allow their rounding only.
  const float tolerance = 1e-6f * std::fmax(1.0f, std::fabs(expected));
  if (std::fabs(value - expected) <= tolerance) return true;
  return Fail(reason, Printf("\"%s\" %s reads back %g instead of %g", info.name.c_str(), when, (double)value,
                             (double)expected));
}

bool SetAndReadBack(AUHost* host, const AUHostParamInfo& info, float value, const char* when, std::string* reason) {
  return Ok(host->SetParameter(info.id, value), Printf("set \"%s\" %s", info.name.c_str(), when).c_str(), reason) &&
         ReadsBack(host, info, value, when, reason);
}

// value -> text -> value -> text keeps the text.
bool TextRoundTrip(AUHost* host, const AUHostParamInfo& info, float value, std::string* reason) {
  std::string text, again;
  float back = NAN;
  const std::string what = Printf("\"%s\" at %g", info.name.c_str(), (double)value);
  if (!Ok(host->GetParameterDisplay(info.id, &value, &text), (what + ": value to text").c_str(), reason) ||
      !Ok(host->GetParameterValueFromText(info.id, text.c_str(), &back), (what + ": text to value").c_str(), reason) ||
      !Ok(host->GetParameterDisplay(info.id, &back, &again), (what + ": value to text again").c_str(), reason))
    return false;
  if (text.empty()) return Fail(reason, what + " has an empty display text");
  if (text != again)
    return Fail(reason, what + " shows \"" + text + Printf("\", which reads back as %g, shown as \"", (double)back) +
                            again + "\"");
  return true;
}

bool CheckOneParameter(AUHost* host, AudioUnitParameterID id, std::string* reason) {
  AUHostParamInfo info;
  if (!Ok(host->GetParameterInfo(id, &info), Printf("ParameterInfo of %u", id).c_str(), reason)) return false;
  if (info.name.empty()) return Fail(reason, Printf("parameter %u has no name", id));
  if (!(info.minValue <= info.defaultValue && info.defaultValue <= info.maxValue))
    return Fail(reason, Printf("\"%s\": default %g outside %g..%g", info.name.c_str(), (double)info.defaultValue,
                               (double)info.minValue, (double)info.maxValue));
  if (!(info.flags & kAudioUnitParameterFlag_IsReadable)) return Fail(reason, "\"" + info.name + "\" is not readable");
  if (!ReadsBack(host, info, info.defaultValue, "when fresh", reason)) return false;
  if (!(info.flags & kAudioUnitParameterFlag_IsWritable)) return true;

  if (!SetAndReadBack(host, info, info.minValue, "to its minimum", reason) ||
      !SetAndReadBack(host, info, info.maxValue, "to its maximum", reason) ||
      !SetAndReadBack(host, info, info.defaultValue, "to its default", reason))
    return false;
  // Out of range is either refused (nothing changes) or held to the range.
  const float span = info.maxValue - info.minValue + 1.0f;
  if (!ReadsBack(host, info, host->SetParameter(id, info.maxValue + span) == noErr ? info.maxValue : info.defaultValue,
                 "after a set above its maximum", reason) ||
      !SetAndReadBack(host, info, info.defaultValue, "to its default", reason) ||
      !ReadsBack(host, info, host->SetParameter(id, info.minValue - span) == noErr ? info.minValue : info.defaultValue,
                 "after a set below its minimum", reason) ||
      !SetAndReadBack(host, info, info.defaultValue, "to its default", reason))
    return false;
  // Not a number is refused, or at least changes nothing.
  if (host->SetParameter(id, NAN) == noErr && !ReadsBack(host, info, info.defaultValue, "after a set to NaN", reason))
    return false;

  const float middle = info.minValue + 0.37f * (info.maxValue - info.minValue);
  for (float value : {info.minValue, info.defaultValue, middle, info.maxValue})
    if (!TextRoundTrip(host, info, value, reason)) return false;

  std::vector<std::string> texts;
  if (host->GetParameterValueStrings(id, &texts) == noErr && !texts.empty()) {
    const size_t expected = (size_t)std::lround(info.maxValue - info.minValue) + 1;
    if (texts.size() != expected)
      return Fail(reason, Printf("\"%s\" has %zu value strings for %zu values", info.name.c_str(), texts.size(), expected));
    for (size_t i = 0; i < texts.size(); ++i) {
      float value = NAN;
      if (!Ok(host->GetParameterValueFromText(id, texts[i].c_str(), &value), "value of a value string", reason))
        return false;
      if (value != info.minValue + (float)i)
        return Fail(reason, "\"" + info.name + "\": \"" + texts[i] + Printf("\" reads as %g", (double)value));
    }
  }
  return true;
}

}  // namespace

bool Validator::CheckParameters(std::string* reason) {
  AUHost host(mEntry, mDescription);
  if (!OpenForChecks(&host, reason)) return false;
  std::vector<AudioUnitParameterID> ids;
  if (!Ok(host.GetParameterList(&ids), "ParameterList", reason)) return false;
  if (ids.empty()) return Fail(reason, "no parameters listed");
  for (AudioUnitParameterID id : ids)
    if (!CheckOneParameter(&host, id, reason)) return false;

  // IDs outside the list are refused and change nothing.
  AudioUnitParameterID missing = 0;
  while (std::find(ids.begin(), ids.end(), missing) != ids.end()) ++missing;
  float value = 0.0f;
  if (host.GetParameter(missing, &value) == noErr) return Fail(reason, Printf("parameter %u does not exist but reads", missing));
  if (host.SetParameter(missing, 0.5f) == noErr) return Fail(reason, Printf("parameter %u does not exist but sets", missing));
  return true;
}

bool Validator::CheckParameterChangesInRender(std::string* reason) {
  std::vector<AudioUnitParameterID> ids;
  std::vector<AUHostParamInfo> infos;
  RenderedAudio baseline;
  {
    AUHost host(mEntry, mDescription);
    if (!OpenPrepared(&host, 48000, kChangeFrames, 2, reason)) return false;
    if (!Ok(host.GetParameterList(&ids), "ParameterList", reason)) return false;
    for (AudioUnitParameterID id : ids) {
      AUHostParamInfo info;
      if (!Ok(host.GetParameterInfo(id, &info), "ParameterInfo", reason)) return false;
      if (info.flags & kAudioUnitParameterFlag_IsWritable) infos.push_back(info);
    }
    const BeforeBlock note = [&](int block, std::string* r) {
      return block != 0 || Ok(host.SendMidi(0x90, 36, 100, 10), "note-on", r);
    };
    if (!RenderBlocks(&host, kChangeFrames, kChangeBlocks, 2, note, &baseline, reason)) return false;
  }

  // Each parameter moved immediately between renders and by a scheduled
  // event inside one; each time the value holds and the output stays sound.
  for (const AUHostParamInfo& info : infos) {
    AUHost host(mEntry, mDescription);
    if (!OpenPrepared(&host, 48000, kChangeFrames, 2, reason)) return false;
    const float other = OtherValue(info, info.defaultValue);
    const BeforeBlock changes = [&](int block, std::string* r) {
      if (block == 0) return Ok(host.SendMidi(0x90, 36, 100, 10), "note-on", r);
      if (block == 2) return SetAndReadBack(&host, info, other, "between renders", r);
      if (block == 4) return Ok(host.ScheduleParameter(info.id, info.defaultValue, kChangeFrames / 2),
                                Printf("schedule \"%s\"", info.name.c_str()).c_str(), r);
      if (block == 5) return ReadsBack(&host, info, info.defaultValue, "after a scheduled change", r);
      return true;
    };
    RenderedAudio audio;
    if (!RenderBlocks(&host, kChangeFrames, kChangeBlocks, 2, changes, &audio, reason) ||
        !CheckWrittenAndFinite(audio, reason))
      return Fail(reason, "changing \"" + info.name + "\": " + *reason);
  }

  // All parameters moved at once before the note must change the sound.
  AUHost host(mEntry, mDescription);
  if (!OpenPrepared(&host, 48000, kChangeFrames, 2, reason)) return false;
  const BeforeBlock allMoved = [&](int block, std::string* r) {
    if (block != 0) return true;
    for (const AUHostParamInfo& info : infos)
      if (!Ok(host.ScheduleParameter(info.id, OtherValue(info, info.defaultValue), 0), "schedule", r)) return false;
    return Ok(host.SendMidi(0x90, 36, 100, 10), "note-on", r);
  };
  RenderedAudio moved;
  if (!RenderBlocks(&host, kChangeFrames, kChangeBlocks, 2, allMoved, &moved, reason) ||
      !CheckWrittenAndFinite(moved, reason))
    return false;
  if (Sounds(48000) && FirstDifference(baseline, moved) < 0)
    return Fail(reason, "moving every parameter left the sound unchanged");
  return true;
}
