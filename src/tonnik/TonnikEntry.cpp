// The factory and the exported entry points live in one file, so that
// linking the entry always brings the factory in.

#include "tonnik/TonnikEntry.h"

#include <new>

#include "au/AUPlugInInterface.h"
#include "kit/KIT_Mutex.h"
#include "tonnik/Tonnik.h"

namespace {

const char* const kBundleID = "com.velmora.audiounit.tonnik";
const char* const kViewFactoryClass = "Tonnik_View";

}  // namespace

// Instances are created one at a time, process-wide. A failed allocation
// answers null (the adapter reports it to the host) instead of throwing
// across the component boundary.
IPluginAU* MakePlug() {
  static KIT_Mutex sMutex;
  KIT_MutexLock lock(&sMutex);
  IPluginInstanceInfo info;
  info.mBundleID.Set(kBundleID);
  info.mCocoaViewFactoryClassName.Set(kViewFactoryClass);
  try {
    return new Tonnik(info);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

extern "C" {

__attribute__((visibility("default"))) ComponentResult Tonnik_Entry(ComponentParameters* params,
                                                                    Handle storage) {
  return IPluginAU::IPluginAUEntry(params, storage);
}

__attribute__((visibility("default"))) ComponentResult Tonnik_ViewEntry(ComponentParameters* params,
                                                                        Handle storage) {
  return IPluginAU::IPluginAUCarbonViewEntry(params, storage);
}

__attribute__((visibility("default"))) AudioComponentPlugInInterface* Tonnik_Factory(
    const AudioComponentDescription*) {
  return NewAUPlugInInterface(Tonnik_Entry);
}

}  // extern "C"
