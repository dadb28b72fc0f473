#pragma once
// Parameter news the main thread has for the host (an editor gesture's
// begin, values and end), waiting for the next process() or flush(), which
// hands them to the host's output event list. One producer (the main
// thread) and one consumer (whichever thread runs process() or flush());
// neither ever waits for the other, and nothing is allocated after
// construction. When the box is full, new items are dropped: the host then
// misses a step of a gesture but never a value it already has.

#include <atomic>
#include <cstdint>

#include "clap/ClapCore.h"

class CLAPParamOutbox {
public:
  // Items held at once: many gestures' worth between two process calls at
  // the slowest block rate a host uses.
  static const uint32_t kCapacity = 1024;

  struct Item {
    uint16_t mType;  // CLAP_EVENT_PARAM_GESTURE_BEGIN, _VALUE or _GESTURE_END
    clap_id mParamID;
    double mValue;   // plain value, for CLAP_EVENT_PARAM_VALUE
  };

  // Producer side. False when the box is full (the item is dropped).
  bool Post(uint16_t type, clap_id paramID, double value);

  // Consumer side: pushes every waiting item to out at sample time, oldest
  // first. Items the host refuses are dropped.
  void DeliverTo(const clap_output_events_t* out, uint32_t time);

  bool Empty() const {
    return mRead.load(std::memory_order_acquire) == mWrite.load(std::memory_order_acquire);
  }

private:
  Item mItems[kCapacity];
  std::atomic<uint32_t> mWrite{0};  // next slot the producer fills (counts up, wraps)
  std::atomic<uint32_t> mRead{0};   // next slot the consumer takes
};

// Pushes one parameter event (value or gesture) with the event flags
// (CLAP_EVENT_*) to a host's output list. False when the host refuses it.
bool PushParamEvent(const clap_output_events_t* out, uint16_t type, clap_id paramID, double value, uint32_t time,
                    uint32_t flags);
