// Program (.fxp) and bank (.fxb) files of IPluginBase: big-endian "CcnK"
// blocks holding either the plug-in's state chunk or one normalized float
// per parameter.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "graphics/IGraphics.h"
#include "plugin/IPluginBase.h"

static const int32_t kBlockMagic = 0x43636E4B;          // "CcnK"
static const int32_t kProgramChunkMagic = 0x46504368;   // "FPCh"
static const int32_t kProgramParamsMagic = 0x4678436B;  // "FxCk"
static const int32_t kBankChunkMagic = 0x46424368;      // "FBCh"
static const int32_t kBankParamsMagic = 0x4678426B;     // "FxBk"
static const int kProgramVersion = 1;
static const int kBankVersion = 2;
static const int kNameFieldLen = 28;
static const int kReservedLen = 124;
static const int kProgramHeaderLen = 60;
static const int kBankHeaderLen = 160;
// Larger files are not program or bank files of this plug-in.
static const long kMaxFileBytes = 64L * 1024 * 1024;

static void PutBE32(ByteChunk* file, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  const unsigned char bytes[4] = {static_cast<unsigned char>(v >> 24),
                                  static_cast<unsigned char>(v >> 16),
                                  static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v)};
  file->PutBytes(bytes, 4);
}

static int GetBE32(const ByteChunk* file, int32_t* value, int pos) {
  unsigned char bytes[4];
  pos = file->GetBytes(bytes, 4, pos);
  if (pos >= 0)
    *value = static_cast<int32_t>((static_cast<uint32_t>(bytes[0]) << 24) |
                                  (static_cast<uint32_t>(bytes[1]) << 16) |
                                  (static_cast<uint32_t>(bytes[2]) << 8) | bytes[3]);
  return pos;
}

static void PutBEFloat(ByteChunk* file, float value) {
  int32_t bits;
  std::memcpy(&bits, &value, sizeof(bits));
  PutBE32(file, bits);
}

// Reads a stored normalized value, held to 0..1 so that a damaged file
// cannot push a parameter outside what the editor and host can show; a
// non-finite value reads as 0.
static int GetBENormalized(const ByteChunk* file, double* value, int pos) {
  int32_t bits = 0;
  pos = GetBE32(file, &bits, pos);
  float f;
  std::memcpy(&f, &bits, sizeof(f));
  double v = std::isfinite(f) ? f : 0.0;
  *value = v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
  return pos;
}

// The seven words every program and bank block starts with.
static void PutBlockHeader(ByteChunk* file, int byteSize, int fxMagic, int formatVersion, int uniqueID,
                           int effectVersion, int count) {
  PutBE32(file, kBlockMagic);
  PutBE32(file, byteSize);
  PutBE32(file, fxMagic);
  PutBE32(file, formatVersion);
  PutBE32(file, uniqueID);
  PutBE32(file, effectVersion);
  PutBE32(file, count);
}

// The words of PutBlockHeader, in order.
enum EBlockWord {
  kWordMagic,
  kWordByteSize,
  kWordFxMagic,
  kWordFormatVersion,
  kWordUniqueID,
  kWordEffectVersion,
  kWordCount,
  kBlockWords
};

static int GetBlockHeader(const ByteChunk* file, int32_t* words, int pos) {
  for (int k = 0; k < kBlockWords; ++k) pos = GetBE32(file, words + k, pos);
  return pos;
}

// A bank's header: the block header, the current program and the reserved
// field.
static void PutBankHeader(ByteChunk* file, int byteSize, int fxMagic, int uniqueID, int effectVersion,
                          int nPrograms, int currentProgram) {
  PutBlockHeader(file, byteSize, fxMagic, kBankVersion, uniqueID, effectVersion, nPrograms);
  PutBE32(file, currentProgram);
  const char reserved[kReservedLen] = {};
  file->PutBytes(reserved, kReservedLen);
}

// Reads past a chunk block's size word and the framework version header
// that starts the chunk; negative when the file ends first.
static int GetChunkStart(ByteChunk* file, int pos) {
  int32_t chunkSize = 0;
  pos = GetBE32(file, &chunkSize, pos);
  if (pos >= 0) GetIPluginVerFromChunk(file, &pos);
  return pos;
}

// Sets every parameter from the normalized values stored from pos on; the
// caller has checked that they are all there.
static int GetNormalizedParams(IPluginBase* plug, const ByteChunk* file, int pos) {
  for (int i = 0; i < plug->NParams(); ++i) {
    double normalized = 0.0;
    pos = GetBENormalized(file, &normalized, pos);
    plug->GetParam(i)->SetNormalized(normalized);
  }
  return pos;
}

// The 28-byte name field: zero-filled, at most 27 characters.
static void PutName(ByteChunk* file, const char* name) {
  char field[kNameFieldLen] = {};
  std::strncpy(field, name, kNameFieldLen - 1);
  file->PutBytes(field, kNameFieldLen);
}

static int GetName(const ByteChunk* file, char* name, int pos) {
  pos = file->GetBytes(name, kNameFieldLen, pos);
  name[kNameFieldLen - 1] = 0;
  return pos;
}

static bool WriteFile(const char* path, const ByteChunk* file) {
  FILE* fp = std::fopen(path, "wb");
  if (!fp) return false;
  const size_t size = static_cast<size_t>(file->Size());
  const bool written = std::fwrite(file->GetBytes(), 1, size, fp) == size;
  return std::fclose(fp) == 0 && written;
}

static bool ReadFile(const char* path, ByteChunk* file) {
  FILE* fp = std::fopen(path, "rb");
  if (!fp) return false;
  long size = -1;
  if (std::fseek(fp, 0, SEEK_END) == 0) size = std::ftell(fp);
  bool ok = size >= 0 && size <= kMaxFileBytes && std::fseek(fp, 0, SEEK_SET) == 0;
  if (ok) {
    file->Resize(static_cast<int>(size));
    ok = file->Size() == size &&
         std::fread(file->GetBytes(), 1, static_cast<size_t>(size), fp) == static_cast<size_t>(size);
  }
  std::fclose(fp);
  return ok;
}

bool IPluginBase::AskForPath(KIT_String* path, bool save, const char* defaultName, const char* ext) {
  if (!mGraphics) return false;
  char extension[8];
  std::snprintf(extension, sizeof(extension), "%s", ext);
  path->Set(save ? defaultName : "");
  mGraphics->PromptForFile(path, save ? kFileSave : kFileOpen, &mPreviousPath, extension);
  return !path->IsEmpty();
}

void IPluginBase::MakeProgramFile(ByteChunk* file, const char* name, const double* values) {
  PutBlockHeader(file, 0, kProgramParamsMagic, kProgramVersion, mUniqueID, GetEffectVersion(true), NParams());
  PutName(file, name);
  for (int i = 0; i < NParams(); ++i)
    PutBEFloat(file, static_cast<float>(GetParam(i)->GetNormalized(values[i])));
}

bool IPluginBase::SaveFileAs(const char* defaultName, const char* ext, bool (IPluginBase::*make)(ByteChunk*)) {
  KIT_String path;
  if (!AskForPath(&path, true, defaultName, ext)) return false;
  ByteChunk file;
  if (!(this->*make)(&file)) return false;
  return WriteFile(path.Get(), &file);
}

bool IPluginBase::LoadFileFrom(const char* ext, bool (IPluginBase::*load)(ByteChunk*)) {
  KIT_String path;
  if (!AskForPath(&path, false, "", ext)) return false;
  ByteChunk file;
  return ReadFile(path.Get(), &file) && (this->*load)(&file);
}

bool IPluginBase::SaveProgramAsFXP(const char* defaultFileName) {
  return SaveFileAs(defaultFileName, "fxp", &IPluginBase::MakeProgramFileFromCurrent);
}

bool IPluginBase::MakeProgramFileFromCurrent(ByteChunk* file) {
  IEditorLock lock(this);
  const char* name = GetPresetName(mCurrentPresetIdx);
  if (DoesStateChunks()) {
    ByteChunk state;
    InitChunkWithIPluginVer(&state);
    SerializeState(&state);
    PutBlockHeader(file, state.Size() + kProgramHeaderLen, kProgramChunkMagic, kProgramVersion, mUniqueID,
                   GetEffectVersion(true), NParams());
    PutName(file, name);
    PutBE32(file, state.Size());
    file->PutChunk(&state);
  } else {
    KIT_TypedBuf<double> values;
    if (!values.Resize(NParams())) return false;
    for (int i = 0; i < NParams(); ++i) values.Get()[i] = GetParam(i)->Value();
    MakeProgramFile(file, name, values.Get());
  }
  return true;
}

bool IPluginBase::SaveBankAsFXB(const char* defaultFileName) {
  return SaveFileAs(defaultFileName, "fxb", &IPluginBase::MakeBankFileFromCurrent);
}

bool IPluginBase::MakeBankFileFromCurrent(ByteChunk* file) {
  IEditorLock lock(this);
  if (DoesStateChunks()) {
    ByteChunk state;
    InitChunkWithIPluginVer(&state);
    SerializePresets(&state);
    PutBankHeader(file, state.Size() + kBankHeaderLen, kBankChunkMagic, mUniqueID, GetEffectVersion(true),
                  NPresets(), mCurrentPresetIdx);
    PutBE32(file, state.Size());
    file->PutChunk(&state);
  } else {
    PutBankHeader(file, 0, kBankParamsMagic, mUniqueID, GetEffectVersion(true), NPresets(), mCurrentPresetIdx);
    KIT_TypedBuf<double> values;
    if (!values.Resize(NParams())) return false;
    for (int p = 0; p < NPresets(); ++p) {
      IPreset* preset = mPresets.Get(p);
      // Real values from the start of the slot's state; missing or
      // non-finite ones count as 0.
      int pos = 0;
      for (int i = 0; i < NParams(); ++i) {
        double v = 0.0;
        if (pos >= 0) pos = preset->mChunk.Get(&v, pos);
        values.Get()[i] = pos >= 0 && std::isfinite(v) ? v : 0.0;
      }
      MakeProgramFile(file, preset->mName, values.Get());
    }
  }
  return true;
}

bool IPluginBase::LoadProgramFromFXP() { return LoadFileFrom("fxp", &IPluginBase::LoadProgramFile); }

bool IPluginBase::LoadBankFromFXB() { return LoadFileFrom("fxb", &IPluginBase::LoadBankFile); }

bool IPluginBase::LoadProgramFile(ByteChunk* file) {
  IEditorLock lock(this);
  int32_t header[kBlockWords] = {};
  char name[kNameFieldLen];
  int pos = GetBlockHeader(file, header, 0);
  pos = GetName(file, name, pos);
  if (pos < 0 || header[kWordMagic] != kBlockMagic || header[kWordFormatVersion] != kProgramVersion ||
      header[kWordUniqueID] != mUniqueID || header[kWordCount] != NParams())
    return false;
  const int32_t programMagic = header[kWordFxMagic];

  if (DoesStateChunks() && programMagic == kProgramChunkMagic) {
    pos = GetChunkStart(file, pos);
    if (pos < 0) return false;
    // A state that does not fit must not replace the current one.
    ByteChunk before;
    SerializeState(&before);
    if (UnserializeState(file, pos) < 0) {
      UnserializeState(&before, 0);
      return false;
    }
    ModifyCurrentPreset(name);
    InformHostOfProgramChange();
    return true;
  }
  if (programMagic == kProgramParamsMagic) {
    if (file->Size() - pos < 4 * NParams()) return false;
    GetNormalizedParams(this, file, pos);
    ModifyCurrentPreset(name);
    RestorePreset(mCurrentPresetIdx);
    InformHostOfProgramChange();
    return true;
  }
  return false;
}

bool IPluginBase::LoadBankFile(ByteChunk* file) {
  IEditorLock lock(this);
  int32_t header[kBlockWords] = {};
  int32_t currentProgram = 0;
  int pos = GetBlockHeader(file, header, 0);
  pos = GetBE32(file, &currentProgram, pos);
  char reserved[kReservedLen];
  pos = file->GetBytes(reserved, kReservedLen, pos);
  if (pos < 0 || header[kWordMagic] != kBlockMagic || header[kWordUniqueID] != mUniqueID) return false;
  const int32_t bankMagic = header[kWordFxMagic];
  const int32_t nPrograms = header[kWordCount];

  if (DoesStateChunks() && bankMagic == kBankChunkMagic) {
    pos = GetChunkStart(file, pos);
    if (pos < 0) return false;
    // Slots are replaced only as far as the stored data is complete.
    pos = UnserializePresets(file, pos);
    InformHostOfProgramChange();
    return pos >= 0;
  }
  if (bankMagic == kBankParamsMagic) {
    // Programs beyond the slots this plug-in has are ignored.
    const int nLoad = nPrograms < NPresets() ? nPrograms : NPresets();
    // What follows a program block's seven ints: its name and its values.
    const int blockRestLen = kNameFieldLen + 4 * NParams();
    for (int p = 0; p < nLoad; ++p) {
      int32_t program[kBlockWords] = {};
      pos = GetBlockHeader(file, program, pos);
      if (pos < 0 || program[kWordMagic] != kBlockMagic || program[kWordFxMagic] != kProgramParamsMagic ||
          program[kWordFormatVersion] != kProgramVersion || program[kWordCount] != NParams() ||
          file->Size() - pos < blockRestLen)
        return false;
      char name[kNameFieldLen];
      pos = GetName(file, name, pos);
      if (!RestorePreset(p) || mCurrentPresetIdx != p) return false;
      pos = GetNormalizedParams(this, file, pos);
      ModifyCurrentPreset(name);
    }
    RestorePreset(currentProgram);
    InformHostOfProgramChange();
    return true;
  }
  return false;
}
