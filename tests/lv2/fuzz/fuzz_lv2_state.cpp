// An instance made through the LV2 descriptor is offered bytes as its saved
// state property, as a host restoring a session would. A refused state must leave the instance's state
// exactly as it was; a taken one must save back with the controller map offered (the entries the
// instrument clears itself while MIDI Clear is on excepted) and, until the next run, the values of
// the host's control ports, which stay the parameters' truth; either way the instance then renders
// finite samples.

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

// One instance for the whole run, put back into its first state before
// every input, so that each input meets the same instance.
struct Rig {
  UridMap map;
  LogCapture log;
  HostOptions options{map, (int)kBlock, (int)kBlock};
  HostFeatures features{&map, &log, &options};
  const LV2_Descriptor* d = LV2Descriptor(0);
  LV2_Handle h = nullptr;
  const LV2_State_Interface* state = nullptr;
  float controls[kPorts] = {0.5f, 0, 0, 0.5f, 0.5f};
  MidiSequence midi{map};
  std::vector<float> left = std::vector<float>(kBlock), right = std::vector<float>(kBlock);
  Property first{};

  Rig() {
    h = d->instantiate(d, 48000.0, nullptr, features.Get());
    if (!h) std::abort();
    for (int i = 0; i < kPorts; ++i) d->connect_port(h, i, &controls[i]);
    d->connect_port(h, kPorts, midi.Get());
    d->connect_port(h, kPorts + 1, left.data());
    d->connect_port(h, kPorts + 2, right.data());
    d->activate(h);
    state = static_cast<const LV2_State_Interface*>(d->extension_data(LV2_STATE__interface));
    first = Save();
  }
  Property Save() {
    Property p{map.Map(kStateKey), 0, nullptr, 0, {}};
    if (state->save(h, Store, &p, 0, nullptr) != LV2_STATE_SUCCESS) std::abort();
    return p;
  }
  LV2_State_Status Restore(const void* data, size_t size, const char* type) {
    Property p{map.Map(kStateKey), map.Map(type), data, size, {}};
    return state->restore(h, Retrieve, &p, 0, nullptr);
  }
};

}  // namespace

// Input: [type][mode][offset][bytes ...]. Mode even: the bytes are the
// whole property. Mode odd: the bytes overwrite a good state from offset,
// which keeps the size right and reaches the value checks.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  static Rig rig;
  rig.log.Clear();
  if (rig.Restore(rig.first.saved.data(), rig.first.saved.size(), LV2_ATOM__Chunk) != LV2_STATE_SUCCESS) std::abort();
  const Property before = rig.Save();

  std::vector<uint8_t> offered(data + 3, data + size);
  if (data[1] & 1) {
    offered = before.saved;
    const size_t at = data[2] % offered.size();
    for (size_t i = 3; i < size && at + i - 3 < offered.size(); ++i) offered[at + i - 3] = data[i];
  }
  const LV2_State_Status status = rig.Restore(offered.data(), offered.size(), kTypes[data[0] % 5]);
  const Property after = rig.Save();
  if (status != LV2_STATE_SUCCESS) {
    if (after.saved != before.saved) std::abort();
  } else {
    if (after.saved.size() != offered.size()) std::abort();
    if (std::memcmp(after.saved.data() + kMapBytes, before.saved.data() + kMapBytes, offered.size() - kMapBytes) != 0)
      std::abort();
    for (int i = 0; i < kPorts; ++i) {
      int32_t was = 0, now = 0;
      std::memcpy(&was, offered.data() + 4 * i, 4);
      std::memcpy(&now, after.saved.data() + 4 * i, 4);
      if (now != was && now != -1) std::abort();
    }
  }

  rig.midi.Clear();
  rig.midi.AddNoteOn(3, 36, 100);
  rig.midi.AddMidi(9, 0xB0, (uint8_t)(data[0] & 0x7F), 90);
  rig.d->run(rig.h, kBlock);
  for (uint32_t i = 0; i < kBlock; ++i)
    if (!std::isfinite(rig.left[i]) || rig.left[i] != rig.right[i]) std::abort();
  return 0;
}
