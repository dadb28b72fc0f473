#pragma once
// The bytes of a Standard MIDI File checked and made safe for libsmf before it
// parses them. libsmf 1.3 trusts what it reads: a chunk length past the end of
// the file makes it read outside its buffer, a track without its end mark or
// delta times that add up past 2^31 ticks trip assertions that stop the
// program, it reads a meta event's length as one byte (so any text longer than
// 127 bytes derails the rest of the track), rejects valid escaped (F7) events
// and refuses SMPTE division. So the chunks and events are walked here, every
// problem is named, and libsmf receives a copy holding only what the renderer
// needs: the header (an SMPTE division replaced by a stand-in), and per track
// the channel messages with explicit status bytes, the tempo changes and the
// end mark, each at its original tick. Pure functions; any thread.

#include <string>
#include <vector>

struct MidiTiming {
  int ppqn = 0;               // ticks per quarter note, or 0 for SMPTE timing
  double ticksPerSecond = 0;  // SMPTE timing: frames per second times ticks per frame
};

// False with the problem in words ("truncated (...)", "running-status error
// (...)", "zero PPQ (...)") when the bytes are not a format 0 or 1 file that
// can be played.
bool prepareMidiBytes(const std::vector<unsigned char>& in, std::vector<unsigned char>& out, MidiTiming& timing,
                      int& format, std::string& problem);
