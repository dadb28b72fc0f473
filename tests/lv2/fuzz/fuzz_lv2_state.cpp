// Input: [property type][bytes of the state property ...]. An instance made
// through the LV2 descriptor is offered the bytes as its state, as a host
// restoring a session would. A refused state must leave the instance's state
// exactly as it was; a taken one must save back as the bytes offered (the
// controller entries the instrument clears itself while MIDI Clear is on
// excepted); either way the instance then renders finite samples.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "lv2/LV2Entry.h"
#include "lv2/LV2TestHost.h"
#include "lv2/state/state.h"

namespace {

const uint32_t kBlock = 256;
const int kPorts = 19;
const int kMapBytes = kPorts * 4;
const char kStateKey[] = "http://velmora-rirevovizod.org/lv2/tonnik-pro#state";
// The property types a host may hand back, mostly the right one.
const char* const kTypes[] = {LV2_ATOM__Chunk, LV2_ATOM__Chunk, LV2_ATOM__Chunk, LV2_ATOM__String, LV2_ATOM__Int};

struct Property {
  LV2_URID key;
  LV2_URID type;
  const void* data;
  size_t size;
  std::vector<uint8_t> saved;
};

const void* Retrieve(LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
  const Property* p = static_cast<const Property*>(h);
  if (key != p->key) return nullptr;
  *size = p->size;
  *type = p->type;
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return p->data;
}

LV2_State_Status Store(LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type,
                       uint32_t flags) {
  Property* p = static_cast<Property*>(h);
  if (key == p->key) p->saved.assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
  return LV2_STATE_SUCCESS;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static UridMap map;
  static HostOptions options(map, (int)kBlock, (int)kBlock);
  static HostFeatures features(&map, nullptr, &options);
  const LV2_Descriptor* d = LV2Descriptor(0);
  LV2_Handle h = d->instantiate(d, 48000.0, nullptr, features.Get());
  if (!h) std::abort();
  float controls[kPorts] = {0.5f, 0, 0, 0.5f, 0.5f};
  for (int i = 0; i < kPorts; ++i) d->connect_port(h, i, &controls[i]);
  MidiSequence midi(map);
  std::vector<float> left(kBlock), right(kBlock);
  d->connect_port(h, kPorts, midi.Get());
  d->connect_port(h, kPorts + 1, left.data());
  d->connect_port(h, kPorts + 2, right.data());
  d->activate(h);

  const LV2_State_Interface* state = static_cast<const LV2_State_Interface*>(d->extension_data(LV2_STATE__interface));
  Property before{map.Map(kStateKey), 0, nullptr, 0, {}};
  if (state->save(h, Store, &before, 0, nullptr) != LV2_STATE_SUCCESS) std::abort();

  Property offered{map.Map(kStateKey), map.Map(kTypes[data[0] % 5]), data + 1, size - 1, {}};
  const LV2_State_Status status = state->restore(h, Retrieve, &offered, 0, nullptr);
  Property after{map.Map(kStateKey), 0, nullptr, 0, {}};
  state->save(h, Store, &after, 0, nullptr);
  if (status != LV2_STATE_SUCCESS) {
    if (after.saved != before.saved) std::abort();
  } else {
    if (after.saved.size() != offered.size) std::abort();
    const uint8_t* in = static_cast<const uint8_t*>(offered.data);
    if (std::memcmp(after.saved.data() + kMapBytes, in + kMapBytes, offered.size - kMapBytes) != 0) std::abort();
    for (int i = 0; i < kPorts; ++i) {
      int32_t was = 0, now = 0;
      std::memcpy(&was, in + 4 * i, 4);
      std::memcpy(&now, after.saved.data() + 4 * i, 4);
      if (now != was && now != -1) std::abort();
    }
  }

  midi.AddNoteOn(3, 36, 100);
  midi.AddMidi(9, 0xB0, (uint8_t)(data[0] & 0x7F), 90);
  d->run(h, kBlock);
  for (uint32_t i = 0; i < kBlock; ++i)
    if (!std::isfinite(left[i]) || left[i] != right[i]) std::abort();
  d->deactivate(h);
  d->cleanup(h);
  return 0;
}
