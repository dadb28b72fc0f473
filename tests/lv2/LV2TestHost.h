#pragma once
// The pieces of an LV2 host that the LV2 tests, the fuzzer and the benchmark
// share: the URID map, a log that keeps what the plug-in says, host options,
// and a MIDI atom sequence written the way a host writes one before run().
// Plain objects owned by the caller; one thread.

#include <cstdint>
#include <string>
#include <vector>

#include "lv2/atom/atom.h"
#include "lv2/core/lv2.h"
#include "lv2/log/log.h"
#include "lv2/options/options.h"
#include "lv2/LV2UridMap.h"
#include "lv2/urid/urid.h"

// The URID map of these hosts.
using UridMap = LV2UridMap;

class LogCapture {
public:
  LogCapture();
  LV2_Log_Log* Feature() { return &mLog; }
  const std::vector<std::string>& Messages() const { return mMessages; }
  // True when some message contains text.
  bool Says(const char* text) const;
  void Clear() { mMessages.clear(); }

private:
  LV2_Log_Log mLog;
  std::vector<std::string> mMessages;
};

// The options a host announces at instantiate: the block bounds (0: left out).
class HostOptions {
public:
  HostOptions(UridMap& map, int maxBlockLength, int nominalBlockLength);
  const LV2_Options_Option* Get() const { return mOptions.data(); }

private:
  int32_t mMax;
  int32_t mNominal;
  std::vector<LV2_Options_Option> mOptions;
};

// The feature list of a host with the map, the log and the options, any of
// which may be left out.
class HostFeatures {
public:
  HostFeatures(UridMap* map, LogCapture* log, const HostOptions* options);
  const LV2_Feature* const* Get() const { return mList.data(); }

private:
  std::vector<LV2_Feature> mFeatures;
  std::vector<const LV2_Feature*> mList;
};

// A MIDI input port's buffer. Clear() before each block, then Add events.
class MidiSequence {
public:
  explicit MidiSequence(UridMap& map, size_t capacity = 1 << 16);
  void Clear();
  // One event of any type; false when the buffer is full.
  bool AddEvent(int64_t frame, LV2_URID type, const void* data, uint32_t size);
  bool AddMidi(int64_t frame, uint8_t status, uint8_t data1, uint8_t data2);
  bool AddNoteOn(int64_t frame, int note, int velocity) { return AddMidi(frame, 0x90, (uint8_t)note, (uint8_t)velocity); }
  LV2_Atom_Sequence* Get() { return reinterpret_cast<LV2_Atom_Sequence*>(mBuffer.data()); }
  LV2_URID MidiType() const { return mMidiEvent; }

private:
  std::vector<uint64_t> mBuffer;  // 8-byte aligned, as atoms are
  LV2_URID mSequence;
  LV2_URID mMidiEvent;
};
