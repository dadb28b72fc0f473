#include "MidiFileBytes.h"

#include <cstring>

namespace {

const size_t kChunkHeaderBytes = 8;  // four-letter id, 32-bit big-endian length
const size_t kHeaderDataBytes = 6;   // format, track count, division
const size_t kFormatAt = 8, kTracksAt = 10, kDivisionAt = 12;
const unsigned kSmpteFlag = 0x8000;  // division: SMPTE frames instead of ticks per quarter note
// Stands in for an SMPTE division so that libsmf parses the events; their times
// are then taken from the ticks, not from libsmf's tempo map.
const unsigned char kPlaceholderDivision[2] = {0x01, 0x00};
const double kDropFrameRate = 30000.0 / 1001.0;  // SMPTE "29" is 29.97 frames per second
// libsmf counts ticks in an int and writes delta times of at most four bytes
// (28 bits); at 480 PPQ and 120 BPM this is still 77 hours.
const unsigned long kMaxTicks = 0x0FFFFFFF;
const int kMaxVlqBytes = 4;
const unsigned char kMeta = 0xFF, kSysEx = 0xF0, kEscape = 0xF7;
const unsigned char kMetaEndOfTrack = 0x2F, kMetaTempo = 0x51;
const unsigned long kTempoBytes = 3;

unsigned be16(const unsigned char* p) { return (unsigned)p[0] << 8 | p[1]; }
unsigned long be32(const unsigned char* p) {
  return (unsigned long)p[0] << 24 | (unsigned long)p[1] << 16 | (unsigned long)p[2] << 8 | p[3];
}

void putBe32(std::vector<unsigned char>& out, size_t at, unsigned long v) {
  for (int i = 0; i < 4; ++i) out[at + i] = (unsigned char)(v >> (24 - 8 * i));
}

void putVlq(std::vector<unsigned char>& out, unsigned long v) {
  unsigned char bytes[kMaxVlqBytes];
  int n = 0;
  do {
    bytes[n++] = v & 0x7F;
    v >>= 7;
  } while (v && n < kMaxVlqBytes);
  while (n > 1) out.push_back(bytes[--n] | 0x80);
  out.push_back(bytes[0]);
}

// Reads a variable-length number of at most four bytes at p[at..end).
bool getVlq(const unsigned char* p, size_t end, size_t& at, unsigned long& v) {
  v = 0;
  for (int n = 0; n < kMaxVlqBytes; ++n) {
    if (at >= end) return false;
    const unsigned char b = p[at++];
    v = v << 7 | (b & 0x7F);
    if (!(b & 0x80)) return true;
  }
  return false;
}

int dataBytesOf(unsigned char status) {
  const unsigned kind = status >> 4;
  return kind == 0xC || kind == 0xD ? 1 : 2;  // program change and channel pressure have one
}

// Walks one track's events in p[0..n) and appends the kept ones, with the
// deltas of the dropped ones carried over, to out.
bool copyTrack(const unsigned char* p, size_t n, int number, std::vector<unsigned char>& out, std::string& problem) {
  const std::string where = "track " + std::to_string(number);
  size_t at = 0;
  unsigned long ticks = 0, lastKept = 0;
  unsigned char running = 0;
  auto keep = [&]() {
    putVlq(out, ticks - lastKept);
    lastKept = ticks;
  };
  while (at < n) {
    unsigned long delta = 0;
    if (!getVlq(p, n, at, delta)) return (problem = "damaged " + where + " (a delta time is cut off or too long)"), false;
    ticks += delta;
    if (ticks > kMaxTicks) return (problem = "damaged " + where + " (its times run past 2^28 ticks)"), false;
    if (at >= n) return (problem = "truncated (" + where + " ends inside an event)"), false;
    const unsigned char first = p[at];
    if (first == kMeta || first == kSysEx || first == kEscape) {
      const bool meta = first == kMeta;
      const unsigned char type = meta && at + 1 < n ? p[at + 1] : 0;
      at += meta ? 2 : 1;
      unsigned long length = 0;
      if (!getVlq(p, n, at, length) || length > n - at)
        return (problem = "truncated (an event runs past the end of " + where + ")"), false;
      const unsigned char* data = p + at;
      at += length;
      running = 0;  // meta and system-exclusive events cancel running status
      if (meta && type == kMetaEndOfTrack) {
        keep();
        out.insert(out.end(), {kMeta, kMetaEndOfTrack, 0});
        return true;
      }
      if (meta && type == kMetaTempo && length == kTempoBytes) {
        keep();
        out.insert(out.end(), {kMeta, kMetaTempo, (unsigned char)kTempoBytes, data[0], data[1], data[2]});
      }
      continue;
    }
    unsigned char status = running;
    if (first & 0x80) {
      if (first > kSysEx) return (problem = "damaged " + where + " (a system message inside the track)"), false;
      status = first;
      ++at;
    } else if (!running) {
      return (problem = "running-status error in " + where + " (a data byte with no status byte before it)"), false;
    }
    running = status;
    const int count = dataBytesOf(status);
    if ((size_t)count > n - at) return (problem = "truncated (an event runs past the end of " + where + ")"), false;
    for (int i = 0; i < count; ++i)
      if (p[at + i] & 0x80) return (problem = "damaged " + where + " (a status byte inside a message)"), false;
    keep();
    out.push_back(status);
    out.insert(out.end(), p + at, p + at + count);
    at += count;
  }
  return (problem = "truncated (" + where + " has no end-of-track mark)"), false;
}

bool readHeader(const std::vector<unsigned char>& in, MidiTiming& timing, int& format, unsigned& tracks,
                std::string& problem) {
  if (in.empty()) return (problem = "the file is empty"), false;
  if (in.size() < 4 || std::memcmp(in.data(), "MThd", 4) != 0)
    return (problem = "not a MIDI file (it does not start with an MThd header)"), false;
  if (in.size() < kChunkHeaderBytes + kHeaderDataBytes) return (problem = "truncated in its header"), false;
  if (be32(in.data() + 4) != kHeaderDataBytes) return (problem = "damaged header (its length is not 6)"), false;
  format = (int)be16(in.data() + kFormatAt);
  if (format > 1)
    return (problem = "MIDI file format " + std::to_string(format) + " is not supported (only 0 and 1)"), false;
  tracks = be16(in.data() + kTracksAt);
  if (tracks == 0) return (problem = "the header declares no tracks"), false;
  const unsigned division = be16(in.data() + kDivisionAt);
  timing = MidiTiming();
  if (division & kSmpteFlag) {
    const int fps = 256 - (int)(division >> 8);
    const int ticksPerFrame = (int)(division & 0xFF);
    if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || ticksPerFrame == 0)
      return (problem = "damaged SMPTE division (" + std::to_string(fps) + " frames per second, " +
                        std::to_string(ticksPerFrame) + " ticks per frame)"),
             false;
    timing.ticksPerSecond = (fps == 29 ? kDropFrameRate : fps) * ticksPerFrame;
  } else {
    if (division == 0) return (problem = "zero PPQ (the header gives 0 ticks per quarter note)"), false;
    timing.ppqn = (int)division;
  }
  return true;
}

}  // namespace

bool prepareMidiBytes(const std::vector<unsigned char>& in, std::vector<unsigned char>& out, MidiTiming& timing,
                      int& format, std::string& problem) {
  unsigned declared = 0;
  if (!readHeader(in, timing, format, declared, problem)) return false;
  out.assign(in.begin(), in.begin() + kChunkHeaderBytes + kHeaderDataBytes);
  if (timing.ppqn == 0) std::memcpy(out.data() + kDivisionAt, kPlaceholderDivision, 2);
  unsigned found = 0;
  for (size_t at = kChunkHeaderBytes + kHeaderDataBytes; at < in.size() && found < declared;) {
    if (in.size() - at < kChunkHeaderBytes)
      return (problem = "truncated (a chunk header is cut off at byte " + std::to_string(at) + ")"), false;
    const unsigned long length = be32(in.data() + at + 4);
    const size_t left = in.size() - at - kChunkHeaderBytes;
    if (length > left)
      return (problem = "truncated (track " + std::to_string(found + 1) + " needs " + std::to_string(length) +
                        " bytes, " + std::to_string(left) + " are left)"),
             false;
    if (std::memcmp(in.data() + at, "MTrk", 4) == 0) {  // other chunk kinds are skipped, as readers must
      const size_t start = out.size();
      out.insert(out.end(), in.begin() + at, in.begin() + at + kChunkHeaderBytes);
      if (!copyTrack(in.data() + at + kChunkHeaderBytes, length, (int)found + 1, out, problem)) return false;
      putBe32(out, start + 4, (unsigned long)(out.size() - start - kChunkHeaderBytes));
      ++found;
    }
    at += kChunkHeaderBytes + length;
  }
  if (found < declared)
    return (problem = "truncated (the header declares " + std::to_string(declared) + " tracks, the file holds " +
                      std::to_string(found) + ")"),
           false;
  return true;
}
