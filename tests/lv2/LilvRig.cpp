#include "lv2/LilvRig.h"

#include <cstdlib>
#include <cstring>

#include "lv2/atom/atom.h"

LilvBundle& LilvBundle::Get() {
  static LilvBundle bundle;
  return bundle;
}

LilvBundle::LilvBundle() {
  // The bundle is found the way every host finds one: through LV2_PATH,
  // beside the system's LV2 vocabularies (which name the plug-in classes).
  setenv("LV2_PATH", TONNIK_LV2_PATH ":" TONNIK_LV2_VOCAB_PATH, 1);
  mWorld = lilv_world_new();
  lilv_world_load_all(mWorld);
  LilvNode* uri = lilv_new_uri(mWorld, kTonnikURI);
  mPlugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), uri);
  lilv_node_free(uri);
}

LilvBundle::~LilvBundle() {
  for (LilvNode* node : mNodes) lilv_node_free(node);
  lilv_world_free(mWorld);
}

const LilvNode* LilvBundle::Uri(const char* uri) {
  mNodes.push_back(lilv_new_uri(mWorld, uri));
  return mNodes.back();
}

LV2Instance::LV2Instance(const InstanceSetup& setup) : mMap(LilvBundle::Get().Map()), mMidi(mMap) {
  const LilvPlugin* plugin = LilvBundle::Get().Plugin();
  if (!plugin) return;
  if (setup.maxBlock > 0 || setup.nominalBlock > 0)
    mOptions = std::make_unique<HostOptions>(mMap, setup.maxBlock, setup.nominalBlock);
  mFeatures = std::make_unique<HostFeatures>(setup.withMap ? &mMap : nullptr, setup.withLog ? &mLog : nullptr,
                                             mOptions.get());
  mInstance = lilv_plugin_instantiate(plugin, setup.rate, mFeatures->Get());
  if (!mInstance) return;
  for (int i = 0; i < kTonnikControls; ++i) {
    LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(plugin, lilv_plugin_get_port_by_index(plugin, i), &def, &min, &max);
    mControls[i] = def ? lilv_node_as_float(def) : 0.0f;
    lilv_node_free(def);
    lilv_node_free(min);
    lilv_node_free(max);
    lilv_instance_connect_port(mInstance, i, &mControls[i]);
  }
  lilv_instance_connect_port(mInstance, kTonnikMidiPort, mMidi.Get());
  lilv_instance_activate(mInstance);
}

LV2Instance::~LV2Instance() {
  if (!mInstance) return;
  lilv_instance_deactivate(mInstance);
  lilv_instance_free(mInstance);
}

bool LV2Instance::SetControl(const char* symbol, float value) {
  const LilvPlugin* plugin = LilvBundle::Get().Plugin();
  LilvNode* sym = lilv_new_string(LilvBundle::Get().World(), symbol);
  const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, sym);
  lilv_node_free(sym);
  if (!port) return false;
  const uint32_t idx = lilv_port_get_index(plugin, port);
  if (idx >= (uint32_t)kTonnikControls) return false;
  mControls[idx] = value;
  return true;
}

void LV2Instance::Run(uint32_t n) {
  mLeft.assign(n, 0.0f);
  mRight.assign(n, 0.0f);
  lilv_instance_connect_port(mInstance, kTonnikOutPort, mOutputsConnected ? mLeft.data() : nullptr);
  lilv_instance_connect_port(mInstance, kTonnikOutPort + 1, mOutputsConnected ? mRight.data() : nullptr);
  lilv_instance_run(mInstance, n);
  mMidi.Clear();
}

namespace {

// Port values for lilv: the host's control buffers by symbol.
const void* GetPortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type) {
  LV2Instance* self = static_cast<LV2Instance*>(user);
  const LilvPlugin* plugin = LilvBundle::Get().Plugin();
  LilvNode* sym = lilv_new_string(LilvBundle::Get().World(), symbol);
  const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, sym);
  lilv_node_free(sym);
  const uint32_t idx = port ? lilv_port_get_index(plugin, port) : UINT32_MAX;
  if (idx >= (uint32_t)kTonnikControls) return nullptr;
  *size = sizeof(float);
  *type = LilvBundle::Get().Map().Map(LV2_ATOM__Float);
  return &self->Control((int)idx);
}

void SetPortValue(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type) {
  if (type != LilvBundle::Get().Map().Map(LV2_ATOM__Float) || size != sizeof(float)) return;
  float v = 0.0f;
  std::memcpy(&v, value, sizeof v);
  static_cast<LV2Instance*>(user)->SetControl(symbol, v);
}

struct Captured {
  LV2_URID key;
  std::vector<uint8_t> bytes;
};

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                       uint32_t flags) {
  Captured* c = static_cast<Captured*>(handle);
  if (key == c->key) c->bytes.assign(static_cast<const uint8_t*>(value), static_cast<const uint8_t*>(value) + size);
  return LV2_STATE_SUCCESS;
}

struct Offered {
  LV2_URID key;
  const void* data;
  size_t size;
  LV2_URID type;
};

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
  const Offered* o = static_cast<const Offered*>(handle);
  if (key != o->key) return nullptr;
  *size = o->size;
  *type = o->type;
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return o->data;
}

const LV2_State_Interface* StateInterface(LilvInstance* instance) {
  return static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance, LV2_STATE__interface));
}

}  // namespace

LilvState* LV2Instance::SaveState() {
  const LV2_Feature* features[] = {nullptr};
  return lilv_state_new_from_instance(LilvBundle::Get().Plugin(), mInstance, mMap.MapFeature(), nullptr, nullptr,
                                      nullptr, nullptr, GetPortValue, this,
                                      LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features);
}

void LV2Instance::RestoreState(const LilvState* state) {
  lilv_state_restore(state, mInstance, SetPortValue, this, 0, nullptr);
}

std::vector<uint8_t> LV2Instance::StateChunk(LV2_State_Status* status) {
  Captured captured{mMap.Map(kTonnikStateKey), {}};
  const LV2_Feature* features[] = {nullptr};
  const LV2_State_Status st =
      StateInterface(mInstance)->save(lilv_instance_get_handle(mInstance), Store, &captured, 0, features);
  if (status) *status = st;
  return captured.bytes;
}

LV2_State_Status LV2Instance::RestoreChunk(const void* data, size_t size, const char* typeURI, const char* keyURI) {
  Offered offered{mMap.Map(keyURI), data, size, mMap.Map(typeURI)};
  const LV2_Feature* features[] = {nullptr};
  return StateInterface(mInstance)->restore(lilv_instance_get_handle(mInstance), Retrieve, &offered, 0, features);
}
