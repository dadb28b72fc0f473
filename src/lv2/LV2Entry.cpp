// The plug-in's LV2 descriptor and the C entry points that forward to the
// IPluginLV2 instance. Instantiate reads the host's features, refuses a host
// without urid:map (saying why through log:log, or stderr without it) and
// makes the instance through the product's factory (LV2Product.h).

#include "lv2/LV2Entry.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "lv2/IPluginLV2.h"
#include "lv2/LV2Features.h"
#include "lv2/LV2Product.h"
#include "lv2/buf-size/buf-size.h"
#include "lv2/core/lv2.h"
#include "lv2/options/options.h"

namespace {

IPluginLV2* AsPlug(LV2_Handle instance) { return static_cast<IPluginLV2*>(instance); }

struct HostFeatures {
  LV2_URID_Map* mMap = nullptr;
  LV2_Log_Log* mLog = nullptr;
  const LV2_Options_Option* mOptions = nullptr;
};

HostFeatures ReadFeatures(const LV2_Feature* const* features) {
  HostFeatures found;
  found.mMap = static_cast<LV2_URID_Map*>(LV2FeatureData(features, LV2_URID__map));
  found.mLog = static_cast<LV2_Log_Log*>(LV2FeatureData(features, LV2_LOG__log));
  found.mOptions = static_cast<const LV2_Options_Option*>(LV2FeatureData(features, LV2_OPTIONS__options));
  if (found.mMap && !found.mMap->map) found.mMap = nullptr;
  if (found.mLog && !found.mLog->vprintf) found.mLog = nullptr;
  return found;
}

// An integer option's value; 0 when it is absent or not an integer.
int IntOption(const LV2_Options_Option* options, LV2_URID_Map* map, const char* key) {
  const LV2_URID keyID = map->map(map->handle, key);
  const LV2_URID intType = map->map(map->handle, LV2_ATOM__Int);
  const LV2_URID longType = map->map(map->handle, LV2_ATOM__Long);
  for (const LV2_Options_Option* o = options; o && o->key; ++o) {
    if (o->key != keyID || !o->value || o->context != LV2_OPTIONS_INSTANCE) continue;
    if (o->type == intType && o->size == sizeof(int32_t)) return *static_cast<const int32_t*>(o->value);
    if (o->type == longType && o->size == sizeof(int64_t)) {
      const int64_t v = *static_cast<const int64_t*>(o->value);
      return v > INT32_MAX ? INT32_MAX : (v < 0 ? 0 : (int)v);
    }
  }
  return 0;
}

LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char* bundlePath,
                       const LV2_Feature* const* features) {
  const IPluginLV2Product& product = LV2Product();
  const HostFeatures host = ReadFeatures(features);
  LV2_Log_Logger logger;
  lv2_log_logger_init(&logger, host.mMap, host.mLog);
  if (!host.mMap) {
    lv2_log_error(&logger, "%s: the host does not offer urid:map, which this plug-in needs; not loaded\n",
                  product.mURI);
    return nullptr;
  }
  if (!std::isfinite(sampleRate) || sampleRate <= 0.0) {
    lv2_log_error(&logger, "%s: the sample rate %g is not a rate; not loaded\n", product.mURI, sampleRate);
    return nullptr;
  }
  if (product.mSupportsRate && !product.mSupportsRate(sampleRate)) {
    lv2_log_error(&logger, "%s: it does not play at %g Hz; not loaded\n", product.mURI, sampleRate);
    return nullptr;
  }

  const int maxBlock = IntOption(host.mOptions, host.mMap, LV2_BUF_SIZE__maxBlockLength);
  const int nominalBlock = IntOption(host.mOptions, host.mMap, LV2_BUF_SIZE__nominalBlockLength);
  std::unique_ptr<IPluginLV2> plug(product.mMake(bundlePath));
  if (!plug) {
    lv2_log_error(&logger, "%s: out of memory; not loaded\n", product.mURI);
    return nullptr;
  }
  if (!plug->InitLV2(sampleRate, maxBlock, nominalBlock, host.mMap, logger)) return nullptr;
  // The host owns the instance from here until it calls cleanup.
  return plug.release();
}

void ConnectPort(LV2_Handle instance, uint32_t port, void* data) { AsPlug(instance)->ConnectPort(port, data); }

void Activate(LV2_Handle instance) { AsPlug(instance)->Activate(); }

void Run(LV2_Handle instance, uint32_t nFrames) { AsPlug(instance)->Run(nFrames); }

void Deactivate(LV2_Handle instance) { AsPlug(instance)->Deactivate(); }

void Cleanup(LV2_Handle instance) { delete AsPlug(instance); }

LV2_State_Status SaveState(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                           uint32_t flags, const LV2_Feature* const* features) {
  return AsPlug(instance)->SaveState(store, handle);
}

LV2_State_Status RestoreState(LV2_Handle instance, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                              uint32_t flags, const LV2_Feature* const* features) {
  return AsPlug(instance)->RestoreState(retrieve, handle);
}

const void* ExtensionData(const char* uri) {
  static const LV2_State_Interface kState = {SaveState, RestoreState};
  if (uri && std::strcmp(uri, LV2_STATE__interface) == 0) return &kState;
  return nullptr;
}

}  // namespace

const LV2_Descriptor* LV2Descriptor(uint32_t index) {
  static const LV2_Descriptor kDescriptor = {LV2Product().mURI, Instantiate, ConnectPort, Activate,
                                             Run,               Deactivate,  Cleanup,     ExtensionData};
  return index == 0 ? &kDescriptor : nullptr;
}
