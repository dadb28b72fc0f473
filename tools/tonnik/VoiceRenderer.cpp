#include "VoiceRenderer.h"

#include <algorithm>

#include "tonnik/TonnikParams.h"

bool VoiceRenderer::prepare(double sampleRate, int maxBlockSize, const char** error) {
  if (!Krummel::isSupportedRate(sampleRate)) {
    *error = "the kick voice plays at 8000 to 384000 Hz";
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
  voice.glide.mode = Glide::kBothWays;
  voice.setSampleRate(sampleRate);
  voice.glide.setSampleRate(static_cast<float>(sampleRate));
  for (int i = 0; i < TonnikParamIndices::kNumParams; ++i) setParameter(i, kTonnikParams[i].defaultValue);
  pending.clear();
  return true;
}

// The instrument's own rows; MIDI Learn and Clear have no voice setter and do nothing to the sound.
void VoiceRenderer::setParameter(int index, double value) {
  if (index < 0 || index >= TonnikParamIndices::kNumParams || !kTonnikParams[index].toVoice) return;
  kTonnikParams[index].toVoice(voice, value);
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
  // The voice renders the stretch between two hits in one call.
  int from = 0;
  while (from < frames) {
    for (; next < pending.size() && pending[next].offset <= from; ++next) {
      voice.glide.setValue(pending[next].note);
      voice.setMidiVelocity(pending[next].velocity / 128.0);
      voice.restart();
    }
    const int to = next < pending.size() ? std::min(pending[next].offset, frames) : frames;
    voice.render(outputs[0] + from, to - from);
    from = to;
  }
  std::copy(outputs[0], outputs[0] + frames, outputs[1]);
  // Later hits move to the next block.
  pending.erase(pending.begin(), pending.begin() + next);
  for (Hit& h : pending) h.offset -= frames;
}
