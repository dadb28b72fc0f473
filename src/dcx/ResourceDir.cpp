#include "dcx/ResourceDir.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

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

bool ScaledImageName(const char* name, int scale, KIT_String* out) {
  if (!name || scale < 1) return false;
  const char* dot = std::strrchr(name, '.');
  const char* slash = std::strrchr(name, '/');
  if (!dot || (slash && dot < slash)) return false;
  if (scale == 1) {
    out->Set(name);
    return true;
  }
  char suffix[16];
  std::snprintf(suffix, sizeof(suffix), "@%dx", scale);
  out->Set(name, static_cast<int>(dot - name));
  out->Append(suffix);
  out->Append(dot);
  return true;
}
