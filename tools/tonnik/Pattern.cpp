#include "Pattern.h"

#include <algorithm>

#include "MidiFile.h"
#include "tonnik/TonnikParams.h"

namespace {

PatternEvent noteOn(double seconds, int note, int velocity) {
  return {seconds, PatternEvent::NoteOn, std::clamp(note, 0, 127), std::clamp(velocity, 1, 127), 0, 0};
}

PatternEvent setParam(double seconds, int param, double value) {
  return {seconds, PatternEvent::SetParam, 0, 0, param, value};
}

}  // namespace

double Pattern::lastEventSeconds() const {
  double last = 0;
  for (const PatternEvent& e : events) last = std::max(last, e.seconds);
  return last;
}

double Pattern::lengthSeconds() const { return fixedSeconds > 0 ? fixedSeconds : lastEventSeconds() + tailSeconds; }

Pattern midiFilePattern(const MidiFileContents& file) {
  Pattern p;
  for (const MidiFileEvent& e : file.events)
    p.events.push_back({e.seconds, PatternEvent::Midi, 0, 0, 0, 0, e.status, e.data1, e.data2});
  p.tailSeconds = kMaxTailSeconds;
  p.tailUntilSilent = true;
  return p;
}

Pattern defaultPattern(int baseNote, int baseVelocity) {
  const double beat = 0.5;  // 120 BPM
  auto velocity = [&](double scale) { return static_cast<int>(baseVelocity * scale + 0.5); };
  Pattern p;
  p.events = {
      noteOn(0 * beat, baseNote, velocity(1.0)),
      noteOn(1 * beat, baseNote, velocity(0.5)),
      noteOn(2 * beat, baseNote, velocity(0.8)),
      noteOn(2.5 * beat, baseNote, velocity(1.0)),  // cuts the previous hit while it rings
      noteOn(3 * beat, baseNote + 12, velocity(0.3)),
      noteOn(4 * beat, baseNote, velocity(1.27)),
      setParam(5 * beat, TonnikParamIndices::kLongDecay, 1),
      noteOn(5 * beat, baseNote, velocity(1.0)),
  };
  p.tailSeconds = 3.0;
  return p;
}
