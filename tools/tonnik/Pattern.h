#pragma once
// A pattern: timed events for the instrument, a note-on, a parameter change (plain value,
// instrument parameter index) or a raw MIDI channel message, plus how long to let the last
// hit ring: a fixed time, or until the output has gone quiet. Plain data; built on the main
// thread.

#include <vector>

struct PatternEvent {
  enum Kind { NoteOn, SetParam, Midi };
  double seconds;
  Kind kind;
  int note;      // NoteOn
  int velocity;  // NoteOn, 1..127
  int param;     // SetParam
  double value;  // SetParam
  unsigned char status = 0, data1 = 0, data2 = 0;  // Midi: as a host hands it over, any channel
};

// The ring counts as over once the output has stayed below kSilenceDb (dBFS) for
// kSilenceHoldSeconds: well under the noise of any 16-bit or analogue playback chain.
const double kSilenceDb = -90;
const double kSilenceHoldSeconds = 0.1;
// The longest ring the instrument makes (Long Decay at full Decay) is far shorter.
const double kMaxTailSeconds = 30;

struct Pattern {
  std::vector<PatternEvent> events;
  double tailSeconds = 0;         // after the last event; with tailUntilSilent the most it may take
  bool tailUntilSilent = false;   // end the tail once the output has gone quiet (see kSilenceDb)
  double fixedSeconds = 0;        // > 0: exactly this long, later events dropped, no tail rule

  // The time of the last event.
  double lastEventSeconds() const;
  // The longest the render can be: fixedSeconds, or the last event plus tailSeconds.
  double lengthSeconds() const;
};

struct MidiFileContents;

// Every channel message of the file at its time, handed to the instrument as it is
// (note-ons on any channel start hits, velocity 0 and note-offs do nothing, control
// changes reach learned parameters); the tail rings until silent, at most kMaxTailSeconds.
Pattern midiFilePattern(const MidiFileContents& file);

// The demo: hits at varied velocities around baseVelocity, a retrigger while the previous hit
// still rings, a higher note, and a final hit with Long Decay on, all on baseNote.
Pattern defaultPattern(int baseNote, int baseVelocity);
