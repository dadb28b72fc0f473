#pragma once
// MIDI vocabulary of the framework: a short channel message stamped with the
// sample offset at which it takes effect in the block being rendered, and a
// system-exclusive message that refers to bytes it does not own.
// Plain values; no locking. Any thread.

#include <cstdint>

struct IMidiMsg {
  enum EStatusMsg {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  // Controller number 0..127.
  enum EControlChangeMsg {
    kModWheel = 1,
    kBreathController = 2,
    kFootController = 4,
    kChannelVolume = 7,
    kBalance = 8,
    kPan = 10,
    kExpressionController = 11,
    kSustainOnOff = 64,
    kAllNotesOff = 123
  };

  int mOffset;
  uint8_t mStatus;
  uint8_t mData1;
  uint8_t mData2;

  IMidiMsg(int offset = 0, uint8_t status = 0, uint8_t data1 = 0, uint8_t data2 = 0)
      : mOffset(offset), mStatus(status), mData1(data1), mData2(data2) {}

  void Clear();
  void MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel = 0);
  void MakeNoteOffMsg(int noteNumber, int offset, int channel = 0);
  // value -1..1 maps to 0..16383 with 0 at 8192 (held to that range).
  void MakePitchWheelMsg(double value, int channel = 0);
  // value 0..1 becomes 0..127.
  void MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel = 0);

  int Channel() const { return mStatus & 0x0F; }
  // The kind in the high nibble, or kNone for system messages.
  EStatusMsg StatusMsg() const;
  // -1 when the message carries no note.
  int NoteNumber() const;
  // -1 unless a note on or note off.
  int Velocity() const;
  // -1 unless a program change.
  int Program() const;
  // -1 up to 8191/8192; 0 unless a pitch wheel message.
  double PitchWheel() const;
  int ControlChangeIdx() const { return mData1; }
  // 0..1 for a control change of controller idx; -1 otherwise.
  double ControlChange(EControlChangeMsg idx) const;
  // Trace hook; silent in this configuration.
  void LogMsg() const {}
};

struct ISysEx {
  int mOffset;
  int mSize;
  const uint8_t* mData;

  ISysEx(int offset = 0, const uint8_t* data = nullptr, int size = 0)
      : mOffset(offset), mSize(size), mData(data) {}

  void Clear();
  // Trace hook; silent in this configuration.
  void LogMsg() const {}
};

// Text for a status kind: "noteon", "controlchange", ... or "unknown".
const char* StatusMsgStr(IMidiMsg::EStatusMsg msg);

// Writes up to min(maxlen / 3, size) bytes as "%02X" separated by single
// spaces into str and returns str. Requires str and maxlen >= 3.
char* SysExStr(char* str, int maxlen, const uint8_t* data, int size);
