#include "plugin/IMidiMsg.h"

#include <cstdio>

#include "plugin/Assert.h"

void IMidiMsg::Clear() {
  mOffset = 0;
  mStatus = mData1 = mData2 = 0;
}

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel) {
  Clear();
  mStatus = static_cast<uint8_t>(0x90 | channel);
  mData1 = static_cast<uint8_t>(noteNumber);
  mData2 = static_cast<uint8_t>(velocity);
  mOffset = offset;
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset, int channel) {
  Clear();
  mStatus = static_cast<uint8_t>(0x80 | channel);
  mData1 = static_cast<uint8_t>(noteNumber);
  mOffset = offset;
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel) {
  Clear();
  mStatus = static_cast<uint8_t>(0xE0 | channel);
  // Held before the cast so out-of-range input cannot overflow it.
  double scaled = value * 8192.0;
  if (!(scaled > -8192.0)) scaled = -8192.0;
  if (scaled > 8191.0) scaled = 8191.0;
  const int i = static_cast<int>(scaled) + 8192;
  mData1 = static_cast<uint8_t>(i & 0x7F);
  mData2 = static_cast<uint8_t>(i >> 7);
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel) {
  Clear();
  mStatus = static_cast<uint8_t>(0xB0 | channel);
  mData1 = static_cast<uint8_t>(idx);
  double scaled = value * 127.0;
  if (!(scaled > 0.0)) scaled = 0.0;
  if (scaled > 127.0) scaled = 127.0;
  mData2 = static_cast<uint8_t>(scaled);
}

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const {
  const int kind = mStatus >> 4;
  return kind >= kNoteOff && kind <= kPitchWheel ? static_cast<EStatusMsg>(kind) : kNone;
}

int IMidiMsg::NoteNumber() const {
  switch (StatusMsg()) {
    case kNoteOff:
    case kNoteOn:
    case kPolyAftertouch: return mData1;
    default: return -1;
  }
}

int IMidiMsg::Velocity() const {
  switch (StatusMsg()) {
    case kNoteOff:
    case kNoteOn: return mData2;
    default: return -1;
  }
}

int IMidiMsg::Program() const { return StatusMsg() == kProgramChange ? mData1 : -1; }

double IMidiMsg::PitchWheel() const {
  if (StatusMsg() != kPitchWheel) return 0.0;
  return ((mData2 << 7) + mData1 - 8192) / 8192.0;
}

double IMidiMsg::ControlChange(EControlChangeMsg idx) const {
  if (StatusMsg() == kControlChange && mData1 == idx) return mData2 / 127.0;
  return -1.0;
}

void ISysEx::Clear() {
  mOffset = mSize = 0;
  mData = nullptr;
}

const char* StatusMsgStr(IMidiMsg::EStatusMsg msg) {
  switch (msg) {
    case IMidiMsg::kNone: return "none";
    case IMidiMsg::kNoteOff: return "noteoff";
    case IMidiMsg::kNoteOn: return "noteon";
    case IMidiMsg::kPolyAftertouch: return "aftertouch";
    case IMidiMsg::kControlChange: return "controlchange";
    case IMidiMsg::kProgramChange: return "programchange";
    case IMidiMsg::kChannelAftertouch: return "channelaftertouch";
    case IMidiMsg::kPitchWheel: return "pitchwheel";
    default: return "unknown";
  }
}

char* SysExStr(char* str, int maxlen, const uint8_t* data, int size) {
  TONNIK_ASSERT(str != NULL && maxlen >= 3);
  str[0] = 0;
  if (!data || size <= 0) return str;
  const int n = size < maxlen / 3 ? size : maxlen / 3;
  char* pos = str;
  for (int i = 0; i < n; ++i) {
    if (i > 0) *pos++ = ' ';
    std::snprintf(pos, 3, "%02X", data[i]);
    pos += 2;
  }
  return str;
}
