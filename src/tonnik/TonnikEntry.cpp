// The factory and the exported entry points live in one file, so that
// linking the entry always brings the factory in.

#include "tonnik/TonnikEntry.h"

#include "au/AUPlugInInterface.h"
#include "tonnik/TonnikMake.h"

namespace {

const char* const kBundleID = "com.velmora.audiounit.tonnik";
const char* const kViewFactoryClass = "Tonnik_View";

}  // namespace

// Null when memory runs out: the adapter reports it to the host.
IPluginAU* MakePlug() {
  TonnikCreationLock lock;
  return NewTonnik(kBundleID, kViewFactoryClass);
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
