// The render phases: rates, block sizes and channel counts, slicing, the
// frame limit and Reset.

#include <algorithm>
#include <vector>

#include "host/Validator.h"
#include "host/ValidatorSupport.h"

namespace {

const int kBlocks = 10;
const UInt8 kNote = 36;
const UInt8 kVelocity = 100;
// Below this a render counts as silent, above kSoundLevel as sounding.
const float kSilenceLevel = 1e-6f;
const float kSoundLevel = 1e-3f;

// A note-on at offset min(10, frames) in the first block and its note-off
// in the last.
BeforeBlock NoteScript(AUHost* host, UInt32 frames, int nBlocks) {
  return [=](int block, std::string* reason) {
    if (block == 0) return Ok(host->SendMidi(0x90, kNote, kVelocity, std::min<UInt32>(10, frames)), "note-on", reason);
    if (block == nBlocks - 1) return Ok(host->SendMidi(0x80, kNote, 0, 0), "note-off", reason);
    return true;
  };
}

}  // namespace

bool Validator::CheckRender(const ValidatorRenderCase& c, std::string* reason) {
  AUHost host(mEntry, mDescription);
  if (!OpenPrepared(&host, c.sampleRate, c.maxFrames, c.nChannels, reason)) return false;
  RenderedAudio audio;
  if (!RenderBlocks(&host, c.frames, kBlocks, c.nChannels, NoteScript(&host, c.frames, kBlocks), &audio, reason) ||
      !CheckWrittenAndFinite(audio, reason))
    return false;
  const size_t noteAt = std::min<UInt32>(10, c.frames);
  const size_t total = (size_t)c.frames * kBlocks;
  const float before = Peak(audio, 0, noteAt);
  const float after = Peak(audio, noteAt, total);
  if (before > kSilenceLevel)
    return Fail(reason, Printf("sound (peak %g) before the note-on at sample %zu", (double)before, noteAt));
  if (Sounds(c.sampleRate) && after < kSoundLevel)
    return Fail(reason, Printf("the note-on sounds too little (peak %g)", (double)after));
  if (!Sounds(c.sampleRate) && after > kSilenceLevel)
    return Fail(reason, Printf("sound (peak %g) at a rate that should be silent", (double)after));
  return true;
}

bool Validator::CheckSlicing(double sampleRate, std::string* reason) {
  const UInt32 whole = 512, slice = 64;
  const int nBlocks = 4;
  RenderedAudio wholeAudio, slicedAudio;
  {
    AUHost host(mEntry, mDescription);
    if (!OpenPrepared(&host, sampleRate, whole, 2, reason) ||
        !RenderBlocks(&host, whole, nBlocks, 2, NoteScript(&host, whole, nBlocks), &wholeAudio, reason))
      return false;
  }
  {
    // The same events at the same sample times, in calls of 64 frames.
    AUHost host(mEntry, mDescription);
    const int perBlock = (int)(whole / slice);
    const BeforeBlock events = [&](int call, std::string* r) {
      if (call == 0) return Ok(host.SendMidi(0x90, kNote, kVelocity, 10), "note-on", r);
      if (call == (nBlocks - 1) * perBlock) return Ok(host.SendMidi(0x80, kNote, 0, 0), "note-off", r);
      return true;
    };
    if (!OpenPrepared(&host, sampleRate, whole, 2, reason) ||
        !RenderBlocks(&host, slice, nBlocks * perBlock, 2, events, &slicedAudio, reason))
      return false;
  }
  if (!CheckWrittenAndFinite(slicedAudio, reason)) return false;
  const long at = FirstDifference(wholeAudio, slicedAudio);
  if (at >= 0) return Fail(reason, Printf("64-frame calls differ from 512-frame calls from sample %ld", at));
  return true;
}

bool Validator::CheckTooManyFrames(std::string* reason) {
  const UInt32 maxFrames = 512, frames = 8192;
  AUHost host(mEntry, mDescription);
  if (!OpenPrepared(&host, 48000, maxFrames, 2, reason)) return false;
  std::vector<float> left(frames, kPoison), right(frames, kPoison);
  float* out[2] = {left.data(), right.data()};
  const OSStatus status = host.Render(frames, out, 2);
  if (status == noErr) return Fail(reason, Printf("%u frames rendered with a maximum of %u", frames, maxFrames));
  for (const std::vector<float>* channel : {&left, &right})
    for (float sample : *channel)
      if (sample != kPoison) return Fail(reason, "the refused render wrote into the host's buffers");
  // The unit still renders what it may.
  RenderedAudio audio;
  return RenderBlocks(&host, maxFrames, 1, 2, nullptr, &audio, reason) && CheckWrittenAndFinite(audio, reason);
}

bool Validator::CheckReset(std::string* reason) {
  const UInt32 frames = 512;
  AUHost host(mEntry, mDescription);
  if (!OpenPrepared(&host, 48000, frames, 2, reason)) return false;
  RenderedAudio first, second;
  if (!Ok(host.Reset(), "reset", reason) ||
      !RenderBlocks(&host, frames, kBlocks, 2, NoteScript(&host, frames, kBlocks), &first, reason) ||
      !Ok(host.Reset(), "reset", reason) ||
      !RenderBlocks(&host, frames, kBlocks, 2, NoteScript(&host, frames, kBlocks), &second, reason))
    return false;
  const long at = FirstDifference(first, second);
  if (at >= 0) return Fail(reason, Printf("after Reset the same input renders differently from sample %ld", at));
  return true;
}
