#include "LV2PresetBundle.h"

#include <lilv/lilv.h>

#include <cstring>
#include <vector>

#include "lv2/LV2UridMap.h"
#include "lv2/atom/atom.h"
#include "lv2/state/state.h"

namespace {

const char kPluginURI[] = "http://velmora-rirevovizod.org/lv2/tonnik-pro";
const char kStateKey[] = "http://velmora-rirevovizod.org/lv2/tonnik-pro#state";
const char kBundleSuffix[] = ".lv2";
const double kSaveRate = 48000.0;

// What the lilv callbacks work on.
struct Session {
  LilvWorld* world = nullptr;
  const LilvPlugin* plugin = nullptr;
  LV2UridMap map;
  std::vector<float> values;  // by control port index
  std::vector<uint8_t> chunk;
};

bool StateChunk(AUHost* host, std::vector<uint8_t>* chunk, std::string* error) {
  CFPropertyListRef state = nullptr;
  const OSStatus status = host->GetClassInfo(&state);
  if (status != noErr || !state || CFGetTypeID(state) != CFDictionaryGetTypeID()) {
    if (state) CFRelease(state);
    *error = "the instrument did not hand out its state (error " + std::to_string((int)status) + ")";
    return false;
  }
  CFStringRef key = CFStringCreateWithCString(nullptr, "data", kCFStringEncodingUTF8);
  CFTypeRef data = CFDictionaryGetValue(static_cast<CFDictionaryRef>(state), key);
  CFRelease(key);
  const bool ok = data && CFGetTypeID(data) == CFDataGetTypeID();
  if (ok) {
    CFDataRef bytes = static_cast<CFDataRef>(data);
    chunk->assign(CFDataGetBytePtr(bytes), CFDataGetBytePtr(bytes) + CFDataGetLength(bytes));
  } else {
    *error = "the instrument's state holds no data";
  }
  CFRelease(state);
  return ok;
}

const LilvPlugin* FindPlugin(LilvWorld* world) {
  LilvNode* uri = lilv_new_uri(world, kPluginURI);
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
  if (!plugin) {
    // Not installed: the bundle this program was built with.
    LilvNode* bundle = lilv_new_file_uri(world, nullptr, TONNIK_LV2_BUNDLE_DIR "/");
    lilv_world_load_bundle(world, bundle);
    lilv_node_free(bundle);
    plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
  }
  lilv_node_free(uri);
  return plugin;
}

const void* PortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type) {
  Session* s = static_cast<Session*>(user);
  LilvNode* sym = lilv_new_string(s->world, symbol);
  const LilvPort* port = lilv_plugin_get_port_by_symbol(s->plugin, sym);
  lilv_node_free(sym);
  if (!port) return nullptr;
  const uint32_t idx = lilv_port_get_index(s->plugin, port);
  if (idx >= s->values.size()) return nullptr;
  *size = sizeof(float);
  *type = s->map.Map(LV2_ATOM__Float);
  return &s->values[idx];
}

const void* RetrieveChunk(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags) {
  Session* s = static_cast<Session*>(handle);
  if (key != s->map.Map(kStateKey)) return nullptr;
  *size = s->chunk.size();
  *type = s->map.Map(LV2_ATOM__Chunk);
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return s->chunk.data();
}

// The plug-in takes the chunk; lilv then captures it with the port values
// and writes the bundle.
bool WriteBundle(Session* s, const std::string& dir, std::string* error) {
  LV2_Feature mapFeature = {LV2_URID__map, s->map.MapFeature()};
  LV2_Feature unmapFeature = {LV2_URID__unmap, s->map.UnmapFeature()};
  const LV2_Feature* features[] = {&mapFeature, &unmapFeature, nullptr};
  LilvInstance* instance = lilv_plugin_instantiate(s->plugin, kSaveRate, features);
  if (!instance) return (*error = "the LV2 plug-in could not be instantiated"), false;
  for (uint32_t i = 0; i < s->values.size(); ++i) lilv_instance_connect_port(instance, i, &s->values[i]);

  const LV2_State_Interface* state =
      static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance, LV2_STATE__interface));
  bool ok = state && state->restore(lilv_instance_get_handle(instance), RetrieveChunk, s, 0, features) ==
                         LV2_STATE_SUCCESS;
  if (!ok) *error = "the LV2 plug-in refused the instrument's state";
  if (ok) {
    LilvState* preset = lilv_state_new_from_instance(s->plugin, instance, s->map.MapFeature(), nullptr, nullptr,
                                                     nullptr, nullptr, PortValue, s,
                                                     LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features);
    const std::string name = LV2PresetName(dir);
    lilv_state_set_label(preset, name.c_str());
    ok = preset && lilv_state_save(s->world, s->map.MapFeature(), s->map.UnmapFeature(), preset, nullptr,
                                   dir.c_str(), (name + ".ttl").c_str()) == 0;
    if (!ok) *error = "cannot write the preset bundle " + dir;
    lilv_state_free(preset);
  }
  lilv_instance_free(instance);
  return ok;
}

}  // namespace

std::string LV2PresetName(const std::string& dir) {
  std::string path = dir;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t n = std::strlen(kBundleSuffix);
  if (name.size() > n && name.compare(name.size() - n, n, kBundleSuffix) == 0) name.resize(name.size() - n);
  return name;
}

bool SaveLV2PresetBundle(AUHost* host, const std::string& dir, std::string* error) {
  if (LV2PresetName(dir).empty() || LV2PresetName(dir) == "/")
    return (*error = "'" + dir + "' names no preset bundle folder"), false;
  Session s;
  if (!StateChunk(host, &s.chunk, error)) return false;
  std::vector<AudioUnitParameterID> ids;
  if (host->GetParameterList(&ids) != noErr) return (*error = "the instrument lists no parameters"), false;
  s.values.assign(ids.size(), 0.0f);
  for (AudioUnitParameterID id : ids)
    if (id < s.values.size()) host->GetParameter(id, &s.values[id]);

  s.world = lilv_world_new();
  lilv_world_load_all(s.world);
  s.plugin = FindPlugin(s.world);
  bool ok = s.plugin != nullptr;
  if (!ok) *error = std::string("the LV2 plug-in ") + kPluginURI + " is not installed (see make install)";
  if (ok) ok = WriteBundle(&s, dir, error);
  lilv_world_free(s.world);
  return ok;
}
