#include "MidiFile.h"

#include "MidiFileBytes.h"

#include <glib.h>
#include <smf.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const double kMicrosecondsPerSecond = 1e6;

// Keeps the first warning or error glib reports while libsmf loads, instead of
// letting it print its own lines.
class LibsmfMessages {
public:
  LibsmfMessages() { mPrevious = g_log_set_default_handler(&LibsmfMessages::collect, this); }
  ~LibsmfMessages() { g_log_set_default_handler(mPrevious, nullptr); }
  LibsmfMessages(const LibsmfMessages&) = delete;
  LibsmfMessages& operator=(const LibsmfMessages&) = delete;

  const std::string& first() const { return mFirst; }

private:
  static void collect(const gchar*, GLogLevelFlags level, const gchar* message, gpointer self) {
    LibsmfMessages* me = static_cast<LibsmfMessages*>(self);
    const int serious = G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING;
    if ((level & serious) && me->mFirst.empty()) me->mFirst = message ? message : "unknown problem";
  }

  GLogFunc mPrevious = nullptr;
  std::string mFirst;
};

double secondsOf(smf_t* smf, const MidiTiming& timing, int pulses) {
  if (timing.ppqn == 0) return pulses / timing.ticksPerSecond;
  const smf_tempo_t* tempo = smf_get_tempo_by_pulses(smf, pulses);
  if (!tempo) return 0;
  return tempo->time_seconds + (double)(pulses - tempo->time_pulses) * tempo->microseconds_per_quarter_note /
                                   (kMicrosecondsPerSecond * timing.ppqn);
}

bool isChannelMessage(const smf_event_t* e) {
  return e->midi_buffer_length >= 2 && e->midi_buffer[0] >= 0x80 && e->midi_buffer[0] < 0xF0;
}

}  // namespace

bool parseMidiFile(const std::vector<unsigned char>& bytes, const std::string& name, MidiFileContents& contents,
                   std::string& error) {
  std::vector<unsigned char> prepared;
  MidiTiming timing;
  std::string problem;
  if (!prepareMidiBytes(bytes, prepared, timing, contents.format, problem)) return (error = name + ": " + problem), false;

  LibsmfMessages messages;
  smf_t* smf = smf_load_from_memory(prepared.data(), prepared.size());
  if (!smf || !messages.first().empty()) {  // not expected once the bytes are prepared
    if (smf) smf_delete(smf);
    error = name + ": libsmf could not read it (" + (messages.first().empty() ? "no reason given" : messages.first()) + ")";
    return false;
  }
  contents.tracks = smf->number_of_tracks;
  contents.events.clear();
  smf_rewind(smf);
  for (smf_event_t* e = smf_get_next_event(smf); e; e = smf_get_next_event(smf)) {
    if (!isChannelMessage(e)) continue;
    const unsigned char data2 = e->midi_buffer_length >= 3 ? e->midi_buffer[2] : 0;
    contents.events.push_back({secondsOf(smf, timing, e->time_pulses), e->midi_buffer[0], e->midi_buffer[1], data2});
  }
  smf_delete(smf);
  return true;
}

bool readMidiFile(const std::string& path, MidiFileContents& contents, std::string& error) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return (error = path + ": " + std::strerror(errno)), false;
  std::vector<unsigned char> bytes;
  unsigned char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return (error = path + ": could not be read"), false;
  return parseMidiFile(bytes, path, contents, error);
}
