#include "VoiceRenderer.h"

#include <algorithm>

#include "InstrumentParams.h"

bool VoiceRenderer::prepare(double sampleRate, int maxBlockSize, const char** error) {
  if (!Krummel::isSupportedRate(sampleRate)) {
    *error = "the kick voice only plays at 44100, 48000 or 96000 Hz";
    return false;
  }
  if (maxBlockSize < 1) {
    *error = "the block size must be at least 1";
    return false;
  }
  // The instrument's start state; the parameters follow through setParameter.
  voice.setTone(0.5);
  voice.setTune(0.5);
  voice.setLevel(0.5);
  voice.setDecay(0.5);
  voice.setAccent(0.5);
  voice.setMidiTuneFlag(0);
  voice.setMidiAccentFlag(0);
  voice.setMidiNote(0);
  voice.setMidiVelocity(0.0);
  voice.setLongDecayFlag(0);
  voice.glide.mode = 0;
  voice.setSampleRate(sampleRate);
  voice.glide.setSampleRate(static_cast<float>(sampleRate));
  for (int i = 0; i < kNumParams; ++i) setParameter(i, kParams[i].defaultValue);
  pending.clear();
  return true;
}

void VoiceRenderer::setParameter(int index, double value) {
  switch (index) {
    case kParamTone: voice.setTone(value); break;
    case kParamTune: voice.setTune(value); break;
    case kParamFine: voice.setFine(value / 100); break;
    case kParamDecay: voice.setDecay(value); break;
    case kParamAccent: voice.setLevel(value); break;
    case kParamMidiTune: voice.setMidiTuneFlag(static_cast<int>(value)); break;
    case kParamLongDecay: voice.setLongDecayFlag(static_cast<int>(value)); break;
    case kParamComp: voice.setComp(value); break;
    case kParamDrive: voice.setDrive(value); break;
    case kParamGlide: voice.glide.setGlideTime(static_cast<float>(value)); break;
    case kParamGlideMode: voice.glide.mode = static_cast<int>(value); break;
    case kParamDynDecay: voice.dynDecay = value; break;
    case kParamDynComp: voice.dynComp = value; break;
    case kParamDynDrive: voice.dynDrive = value; break;
    case kParamDynTone: voice.dynTone = value; break;
    case kParamDynLevel: voice.dynLevel = value; break;
    case kParamDriveEnv: voice.driveEnv = value != 0; break;
    default: break;  // MIDI Learn / Clear do nothing to the sound
  }
}

void VoiceRenderer::noteOn(int offset, int note, int velocity) {
  if (velocity >= 1) pending.push_back({std::max(offset, 0), note, velocity});
}

void VoiceRenderer::midi(int offset, unsigned char status, unsigned char data1, unsigned char data2) {
  const unsigned char kNoteOn = 0x9;
  if (status >> 4 == kNoteOn) noteOn(offset, data1, data2);
}

void VoiceRenderer::process(double** outputs, int frames) {
  size_t next = 0;
  std::stable_sort(pending.begin(), pending.end(), [](const Hit& a, const Hit& b) { return a.offset < b.offset; });
  for (int i = 0; i < frames; ++i) {
    for (; next < pending.size() && pending[next].offset <= i; ++next) {
      voice.glide.setValue(pending[next].note);
      voice.setMidiVelocity(pending[next].velocity / 128.0);
      voice.restart();
    }
    outputs[0][i] = voice.getSample();
  }
  std::copy(outputs[0], outputs[0] + frames, outputs[1]);
  // Later hits move to the next block.
  pending.erase(pending.begin(), pending.begin() + next);
  for (Hit& h : pending) h.offset -= frames;
}
