#include "dcx/ResourceDir.h"

#include <cstdlib>

#include "kit/KIT_String.h"

namespace {
KIT_String& Override() {
  static KIT_String dir;
  return dir;
}
}  // namespace

const char* TonnikResourceDir() {
  if (!Override().IsEmpty()) return Override().Get();
  const char* env = std::getenv("TONNIK_RESOURCE_DIR");
  if (env && *env) return env;
  return TONNIK_RESOURCE_DIR;
}

void SetTonnikResourceDir(const char* dir) { Override().Set(dir); }
