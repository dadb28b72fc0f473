#pragma once
// A pattern: timed events for the instrument, a note-on or a parameter change (plain value,
// instrument parameter index), in time order, plus how long to let the last hit ring.
// Plain data; built on the main thread.

#include <vector>

struct PatternEvent {
  enum Kind { NoteOn, SetParam };
  double seconds;
  Kind kind;
  int note;      // NoteOn
  int velocity;  // NoteOn, 1..127
  int param;     // SetParam
  double value;  // SetParam
};

struct Pattern {
  std::vector<PatternEvent> events;
  double tailSeconds = 0;

  double lengthSeconds() const;
};

// The demo: hits at varied velocities around baseVelocity, a retrigger while the previous hit
// still rings, a higher note, and a final hit with Long Decay on, all on baseNote.
Pattern defaultPattern(int baseNote, int baseVelocity);
