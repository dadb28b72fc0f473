// Feeds arbitrary bytes to the MIDI file reader: it either refuses them with a
// message that names the file, or gives channel messages in time order with
// finite, non-negative times. libsmf must never stop the program.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "MidiFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<unsigned char> bytes(data, data + size);
  MidiFileContents song;
  std::string error;
  if (!parseMidiFile(bytes, "fuzz.mid", song, error)) {
    if (error.compare(0, 10, "fuzz.mid: ") != 0 || error.find('\n') != std::string::npos) __builtin_trap();
    return 0;
  }
  double last = 0;
  for (const MidiFileEvent& e : song.events) {
    if (!std::isfinite(e.seconds) || e.seconds < last || e.status < 0x80 || e.status >= 0xF0) __builtin_trap();
    if (e.data1 > 0x7F || e.data2 > 0x7F) __builtin_trap();
    last = e.seconds;
  }
  return 0;
}
