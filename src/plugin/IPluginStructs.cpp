#include "plugin/IPluginStructs.h"

#include <cstdio>

const char* GetAPIString(EAPI api) {
  switch (api) {
    case kAPIVST2: return "VST2";
    case kAPIVST3: return "VST3";
    case kAPIAU: return "AU";
    case kAPIRTAS: return "RTAS";
    case kAPIAAX: return "AAX";
    case kAPISA: return "Standalone";
    case kAPILV2: return "LV2";
    case kAPICLAP: return "CLAP";
    default: return "";
  }
}

const char* GetArchString() { return "x64"; }

IPreset::IPreset(int idx) { SetName("empty"); }

void IPreset::SetName(const char* name) {
  std::snprintf(mName, sizeof(mName), "%s", name ? name : "");
}

void GetVersionParts(int version, int* major, int* minor, int* patch) {
  const unsigned v = static_cast<unsigned>(version);
  *major = static_cast<int>(v >> 16);
  *minor = static_cast<int>((v >> 8) & 0xFF);
  *patch = static_cast<int>(v & 0xFF);
}

int GetDecimalVersion(int version) {
  int major, minor, patch;
  GetVersionParts(version, &major, &minor, &patch);
  return major * 10000 + minor * 100 + patch;
}

void GetVersionStr(int version, char* str) {
  int major, minor, patch;
  GetVersionParts(version, &major, &minor, &patch);
  std::sprintf(str, "v%d.%d.%d", major, minor, patch);
}

static const int kIPlugVerMagic = 0x70666674;  // bytes "tffp" in file order
static const int kIPlugVer = 0x00010000;

void InitChunkWithIPluginVer(ByteChunk* chunk) {
  chunk->Clear();
  chunk->Put(&kIPlugVerMagic);
  chunk->Put(&kIPlugVer);
}

int GetIPluginVerFromChunk(ByteChunk* chunk, int* pos) {
  int magic = 0, version = 0;
  const int afterMagic = chunk->Get(&magic, *pos);
  if (afterMagic < 0 || magic != kIPlugVerMagic) return 0;
  *pos = chunk->Get(&version, afterMagic);
  return *pos < 0 ? 0 : version;
}
