#include "lv2/LV2TestHost.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "lv2/atom/util.h"
#include "lv2/buf-size/buf-size.h"
#include "lv2/midi/midi.h"

namespace {

int LogVprintf(LV2_Log_Handle h, LV2_URID type, const char* fmt, va_list args) {
  char text[1024];
  const int n = std::vsnprintf(text, sizeof text, fmt, args);
  static_cast<std::vector<std::string>*>(h)->push_back(text);
  return n;
}

int LogPrintf(LV2_Log_Handle h, LV2_URID type, const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  const int n = LogVprintf(h, type, fmt, args);
  va_end(args);
  return n;
}

}  // namespace

LogCapture::LogCapture() {
  mLog.handle = &mMessages;
  mLog.printf = LogPrintf;
  mLog.vprintf = LogVprintf;
}

bool LogCapture::Says(const char* text) const {
  for (const std::string& m : mMessages)
    if (m.find(text) != std::string::npos) return true;
  return false;
}

HostOptions::HostOptions(UridMap& map, int maxBlockLength, int nominalBlockLength)
    : mMax(maxBlockLength), mNominal(nominalBlockLength) {
  const LV2_URID intType = map.Map(LV2_ATOM__Int);
  if (mMax > 0)
    mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, map.Map(LV2_BUF_SIZE__maxBlockLength), sizeof mMax, intType, &mMax});
  if (mNominal > 0)
    mOptions.push_back(
        {LV2_OPTIONS_INSTANCE, 0, map.Map(LV2_BUF_SIZE__nominalBlockLength), sizeof mNominal, intType, &mNominal});
  mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
}

HostFeatures::HostFeatures(UridMap* map, LogCapture* log, const HostOptions* options) {
  if (map) mFeatures.push_back({LV2_URID__map, map->MapFeature()});
  if (map) mFeatures.push_back({LV2_URID__unmap, map->UnmapFeature()});
  if (log) mFeatures.push_back({LV2_LOG__log, log->Feature()});
  if (options) mFeatures.push_back({LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options->Get())});
  for (const LV2_Feature& f : mFeatures) mList.push_back(&f);
  mList.push_back(nullptr);
}

MidiSequence::MidiSequence(UridMap& map, size_t capacity)
    : mBuffer((capacity + 7) / 8, 0),
      mSequence(map.Map(LV2_ATOM__Sequence)),
      mMidiEvent(map.Map(LV2_MIDI__MidiEvent)) {
  Clear();
}

void MidiSequence::Clear() {
  LV2_Atom_Sequence* seq = Get();
  seq->atom.type = mSequence;
  seq->atom.size = sizeof(LV2_Atom_Sequence_Body);
  seq->body.unit = 0;
  seq->body.pad = 0;
}

bool MidiSequence::AddEvent(int64_t frame, LV2_URID type, const void* data, uint32_t size) {
  LV2_Atom_Sequence* seq = Get();
  const size_t used = sizeof(LV2_Atom) + seq->atom.size;
  const size_t needed = sizeof(LV2_Atom_Event) + lv2_atom_pad_size(size);
  if (used + needed > mBuffer.size() * sizeof(uint64_t)) return false;
  LV2_Atom_Event* ev = reinterpret_cast<LV2_Atom_Event*>(reinterpret_cast<uint8_t*>(seq) + used);
  ev->time.frames = frame;
  ev->body.type = type;
  ev->body.size = size;
  if (size > 0) std::memcpy(ev + 1, data, size);
  seq->atom.size += (uint32_t)needed;
  return true;
}

bool MidiSequence::AddMidi(int64_t frame, uint8_t status, uint8_t data1, uint8_t data2) {
  const uint8_t bytes[3] = {status, data1, data2};
  return AddEvent(frame, mMidiEvent, bytes, 3);
}
