#pragma once
// Reading a Standard MIDI File (format 0 or 1, any number of tracks, ticks per
// quarter note with its tempo map, or SMPTE frames) into the channel messages it
// holds, each with the time in seconds at which it sounds. libsmf parses the
// events and keeps the tempo map once MidiFileBytes has checked the bytes and
// removed what libsmf cannot be trusted with; SMPTE division, which libsmf
// refuses, is timed here from the ticks.
//
// Threads: main thread only (libsmf's messages are caught through glib's
// process-wide log handler while a file loads).

#include <string>
#include <vector>

struct MidiFileEvent {
  double seconds;
  unsigned char status;  // 0x80..0xEF: the kind in the high nibble, the channel in the low one
  unsigned char data1;
  unsigned char data2;   // 0 for messages with one data byte
};

struct MidiFileContents {
  int format = 0;
  int tracks = 0;
  std::vector<MidiFileEvent> events;  // in time order; ties in file order
};

// False with a one-line message that names the file and the problem (empty,
// truncated, not a MIDI file, zero ticks per quarter note, a data byte without
// a status byte, ...); contents is then unspecified.
bool readMidiFile(const std::string& path, MidiFileContents& contents, std::string& error);

// The same, from bytes already in memory; name stands for the file in messages.
bool parseMidiFile(const std::vector<unsigned char>& bytes, const std::string& name, MidiFileContents& contents,
                   std::string& error);
