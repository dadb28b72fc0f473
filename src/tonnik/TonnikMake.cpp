#include "tonnik/TonnikMake.h"

#include <new>

namespace {

KIT_Mutex& CreationMutex() {
  static KIT_Mutex sMutex;
  return sMutex;
}

}  // namespace

TonnikCreationLock::TonnikCreationLock() : mLock(&CreationMutex()) {}

Tonnik* NewTonnik(const char* bundleID, const char* cocoaViewFactoryClass) {
  IPluginInstanceInfo info;
  info.mBundleID.Set(bundleID);
  if (cocoaViewFactoryClass) info.mCocoaViewFactoryClassName.Set(cocoaViewFactoryClass);
  try {
    return new Tonnik(info);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
