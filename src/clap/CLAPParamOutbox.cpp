#include "clap/CLAPParamOutbox.h"

bool CLAPParamOutbox::Post(uint16_t type, clap_id paramID, double value) {
  const uint32_t write = mWrite.load(std::memory_order_relaxed);
  if (write - mRead.load(std::memory_order_acquire) >= kCapacity) return false;
  mItems[write % kCapacity] = Item{type, paramID, value};
  mWrite.store(write + 1, std::memory_order_release);
  return true;
}

void CLAPParamOutbox::DeliverTo(const clap_output_events_t* out, uint32_t time) {
  const uint32_t write = mWrite.load(std::memory_order_acquire);
  uint32_t read = mRead.load(std::memory_order_relaxed);
  for (; read != write; ++read) {
    const Item& item = mItems[read % kCapacity];
    PushParamEvent(out, item.mType, item.mParamID, item.mValue, time, 0);
  }
  mRead.store(read, std::memory_order_release);
}

bool PushParamEvent(const clap_output_events_t* out, uint16_t type, clap_id paramID, double value, uint32_t time,
                    uint32_t flags) {
  if (!out || !out->try_push) return false;
  if (type == CLAP_EVENT_PARAM_VALUE) {
    clap_event_param_value_t ev = {};
    ev.header = {sizeof ev, time, CLAP_CORE_EVENT_SPACE_ID, type, flags};
    ev.param_id = paramID;
    ev.note_id = -1;
    ev.port_index = ev.channel = ev.key = -1;
    ev.value = value;
    return out->try_push(out, &ev.header);
  }
  clap_event_param_gesture_t ev = {};
  ev.header = {sizeof ev, time, CLAP_CORE_EVENT_SPACE_ID, type, flags};
  ev.param_id = paramID;
  return out->try_push(out, &ev.header);
}
