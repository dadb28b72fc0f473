// State serialisation and preset slots of IPluginBase.

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "plugin/Assert.h"
#include "plugin/Base64.h"
#include "plugin/IPluginBase.h"
#include "plugin/Log.h"

// Marks a parameter that MakePresetFromNamedParams was not given.
static const double kUnsetParamMarker = 9.999e-08;
static const char kUserPresetName[] = "user preset";
// DumpPresetBlob's text buffer, terminator included.
static const int kBlobTextLen = 1024;

bool IPluginBase::SerializeState(ByteChunk* chunk) { return SerializeParams(chunk); }

int IPluginBase::UnserializeState(ByteChunk* chunk, int startPos) {
  return UnserializeParams(chunk, startPos);
}

bool IPluginBase::SerializeParams(ByteChunk* chunk) {
  IMutexLock lock(this);
  bool ok = true;
  for (int i = 0; i < NParams() && ok; ++i) {
    IParam* param = GetParam(i);
    const double value = param->Value();
    TRACE_HERE("%d %s %f", i, param->GetNameForHost(), value);
    const int before = chunk->Size();
    ok = chunk->Put(&value) == before + static_cast<int>(sizeof(value));
  }
  return ok;
}

bool IPluginBase::EndsWithValidParamBlock(const void* bytes, size_t size, int stateSize) {
  const int blockStart = stateSize - NParams() * kParamValueBytes;
  if (stateSize <= 0 || blockStart < 0 || size != (size_t)stateSize) return false;
  const unsigned char* block = static_cast<const unsigned char*>(bytes) + blockStart;
  for (int i = 0; i < NParams(); ++i) {
    double value = 0.0, lo = 0.0, hi = 0.0;
    std::memcpy(&value, block + (size_t)i * kParamValueBytes, sizeof value);
    GetParam(i)->GetBounds(&lo, &hi);
    if (!std::isfinite(value) || value < lo || value > hi) return false;
  }
  return true;
}

int IPluginBase::UnserializeParams(ByteChunk* chunk, int startPos) {
  IMutexLock lock(this);
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i) {
    double value = 0.0;
    pos = chunk->Get(&value, pos);
    // A stored NaN or infinity is damage, not a value.
    if (!std::isfinite(value)) {
      value = 0.0;
      pos = -1;
    }
    GetParam(i)->Set(value);
  }
  OnParamReset();
  return pos;
}

bool IPluginBase::CompareState(const unsigned char* state, int startPos) {
  const unsigned char* stored = state + static_cast<size_t>(startPos) * sizeof(double);
  for (int i = 0; i < NParams(); ++i) {
    double storedValue;
    std::memcpy(&storedValue, stored + static_cast<size_t>(i) * sizeof(double), sizeof(double));
    const float difference =
        static_cast<float>(GetParam(i)->Value()) - static_cast<float>(storedValue);
    if (!(std::fabs(difference) < 0.00001f)) return false;
  }
  return true;
}

IPreset* IPluginBase::GetNextUninitializedPreset() {
  for (int i = 0; i < NPresets(); ++i) {
    IPreset* preset = mPresets.Get(i);
    if (!preset->mInitialized) return preset;
  }
  return nullptr;
}

void IPluginBase::MakePresetFromValues(const char* name, const double* values) {
  IPreset* preset = GetNextUninitializedPreset();
  if (!preset) return;
  preset->mInitialized = true;
  preset->SetName(name);
  preset->mChunk.Clear();
  for (int i = 0; i < NParams(); ++i) preset->mChunk.Put(values + i);
}

// Reads the next variadic value in the type the parameter's kind implies.
static double NextValue(va_list* args, const IParam* param) {
  switch (param->Type()) {
    case IParam::kKindBool:
    case IParam::kKindInt:
    case IParam::kKindEnum: return va_arg(*args, int);
    default: return va_arg(*args, double);
  }
}

void IPluginBase::MakePreset(const char* name, ...) {
  if (!GetNextUninitializedPreset()) return;
  KIT_TypedBuf<double> values;
  if (!values.Resize(NParams())) return;
  va_list args;
  va_start(args, name);
  for (int i = 0; i < NParams(); ++i) values.Get()[i] = NextValue(&args, GetParam(i));
  va_end(args);
  MakePresetFromValues(name, values.Get());
}

void IPluginBase::MakePresetFromNamedParams(const char* name, int nParamsNamed, ...) {
  if (!GetNextUninitializedPreset()) return;
  const int n = NParams();
  KIT_TypedBuf<double> values;
  if (!values.Resize(n)) return;
  for (int i = 0; i < n; ++i) values.Get()[i] = kUnsetParamMarker;
  va_list args;
  va_start(args, nParamsNamed);
  for (int i = 0; i < nParamsNamed; ++i) {
    const int paramIdx = va_arg(args, int);
    TONNIK_ASSERT(paramIdx >= 0 && paramIdx < n);
    values.Get()[paramIdx] = NextValue(&args, GetParam(paramIdx));
  }
  va_end(args);
  for (int i = 0; i < n; ++i)
    if (values.Get()[i] == kUnsetParamMarker) values.Get()[i] = GetParam(i)->Value();
  MakePresetFromValues(name, values.Get());
}

void IPluginBase::MakePresetFromChunk(const char* name, ByteChunk* chunk) {
  IPreset* preset = GetNextUninitializedPreset();
  if (!preset) return;
  preset->mInitialized = true;
  preset->SetName(name);
  preset->mChunk.PutChunk(chunk);
}

void IPluginBase::MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk) {
  if (sizeOfChunk < 0 || !blob) return;
  ByteChunk presetChunk;
  presetChunk.Resize(sizeOfChunk);
  if (presetChunk.Size() != sizeOfChunk) return;
  base64decode(blob, presetChunk.GetBytes(), sizeOfChunk);
  MakePresetFromChunk(name, &presetChunk);
}

void IPluginBase::MakeDefaultPreset(const char* name, int nPresets) {
  for (int i = 0; i < nPresets; ++i) {
    IPreset* preset = GetNextUninitializedPreset();
    if (!preset) return;
    preset->mInitialized = true;
    preset->SetName(name ? name : "Empty");
    SerializeState(&preset->mChunk);
  }
}

void IPluginBase::EnsureDefaultPreset() { MakeDefaultPreset("Empty", NPresets()); }

void IPluginBase::MakeDefaultUserPresetName(char* name) {
  int nUserPresets = 0;
  for (int i = 0; i < NPresets(); ++i)
    if (std::strstr(mPresets.Get(i)->mName, kUserPresetName)) ++nUserPresets;
  std::snprintf(name, IPreset::kNameLen, "%s %d", kUserPresetName, nUserPresets + 1);
}

bool IPluginBase::RestorePreset(int idx) {
  IPreset* preset = mPresets.Get(idx);
  if (!preset) return false;
  bool ok;
  if (preset->mInitialized) {
    ok = UnserializeState(&preset->mChunk, 0) > 0;
  } else {
    preset->mInitialized = true;
    MakeDefaultUserPresetName(preset->mName);
    ok = SerializeState(&preset->mChunk);
  }
  if (ok) {
    mCurrentPresetIdx = idx;
    PresetsChangedByHost();
    RedrawParamControls();
  }
  return ok;
}

bool IPluginBase::RestorePreset(const char* name) {
  if (!name || !name[0]) return false;
  for (int i = 0; i < NPresets(); ++i)
    if (std::strcmp(mPresets.Get(i)->mName, name) == 0) return RestorePreset(i);
  return false;
}

const char* IPluginBase::GetPresetName(int idx) {
  IPreset* preset = mPresets.Get(idx);
  return preset ? preset->mName : "";
}

void IPluginBase::ModifyCurrentPreset(const char* name) {
  IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!preset) return;
  preset->mChunk.Clear();
  TRACE_HERE("%d %s", mCurrentPresetIdx, preset->mName);
  SerializeState(&preset->mChunk);
  if (name && name[0]) preset->SetName(name);
}

void IPluginBase::PruneUninitializedPresets() {
  for (int i = NPresets() - 1; i >= 0; --i)
    if (!mPresets.Get(i)->mInitialized) mPresets.Delete(i, true);
}

bool IPluginBase::SerializePresets(ByteChunk* chunk) {
  bool ok = true;
  for (int i = 0; i < NPresets() && ok; ++i) {
    IPreset* preset = mPresets.Get(i);
    const int before = chunk->Size();
    const int expected = before + 4 + static_cast<int>(std::strlen(preset->mName)) + 1 +
                         (preset->mInitialized ? preset->mChunk.Size() : 0);
    chunk->PutStr(preset->mName);
    chunk->PutBool(preset->mInitialized);
    if (preset->mInitialized) chunk->PutChunk(&preset->mChunk);
    ok = chunk->Size() == expected;
  }
  return ok;
}

int IPluginBase::UnserializePresets(ByteChunk* chunk, int startPos) {
  // One name for all slots: an empty stored name keeps the previous slot's.
  KIT_String name;
  int pos = startPos;
  for (int i = 0; i < NPresets() && pos >= 0; ++i) {
    IPreset* preset = mPresets.Get(i);
    pos = chunk->GetStr(&name, pos);
    bool initialized = false;
    pos = chunk->GetBool(&initialized, pos);
    if (pos < 0) break;
    if (initialized) {
      pos = UnserializeState(chunk, pos);
      if (pos <= 0) break;
      preset->mChunk.Clear();
      SerializeState(&preset->mChunk);
    }
    // The slot changes only once all of its stored data has been read.
    preset->SetName(name.Get());
    preset->mInitialized = initialized;
  }
  RestorePreset(mCurrentPresetIdx);
  return pos;
}

bool IPluginBase::DumpPresetSrcCode(const char* filename, const char** paramEnumNames) {
  if (!filename || !paramEnumNames) return false;
  FILE* fp = std::fopen(filename, "w");
  if (!fp) return false;
  std::fprintf(fp, "  MakePresetFromNamedParams(\"name\", %d", NParams());
  for (int i = 0; i < NParams(); ++i) {
    const IParam* param = GetParam(i);
    char valueText[64];
    switch (param->Type()) {
      case IParam::kKindBool: std::snprintf(valueText, sizeof(valueText), "%s", param->Bool() ? "true" : "false"); break;
      case IParam::kKindInt:
      case IParam::kKindEnum: std::snprintf(valueText, sizeof(valueText), "%d", param->Int()); break;
      default: std::snprintf(valueText, sizeof(valueText), "%.6f", param->Value()); break;
    }
    std::fprintf(fp, ",\n    %s, %s", paramEnumNames[i] ? paramEnumNames[i] : "", valueText);
  }
  std::fprintf(fp, ");\n");
  return std::fclose(fp) == 0;
}

bool IPluginBase::DumpPresetBlob(const char* filename) {
  IPreset* preset = mPresets.Get(mCurrentPresetIdx);
  if (!filename || !preset) return false;
  const int size = preset->mChunk.Size();
  // The text must fit its buffer: 4 characters per 3 bytes and a terminator.
  if ((size + 2) / 3 * 4 + 1 > kBlobTextLen) return false;
  char blobText[kBlobTextLen];
  base64encode(preset->mChunk.GetBytes(), blobText, size);
  FILE* fp = std::fopen(filename, "w");
  if (!fp) return false;
  std::fprintf(fp, "MakePresetFromBlob(\"name\", \"%s\", %d);\n", blobText, size);
  return std::fclose(fp) == 0;
}
