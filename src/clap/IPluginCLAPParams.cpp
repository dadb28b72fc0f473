// The parameter queries and the state extension.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "clap/IPluginCLAP.h"

namespace {


void CopyText(char* out, size_t capacity, const char* text) {
  if (capacity > 0) std::snprintf(out, capacity, "%s", text ? text : "");
}

}  // namespace

// ---- Parameters ----

bool IPluginCLAP::GetParamInfo(uint32_t index, clap_param_info_t* info) {
  IParam* param = index < (uint32_t)NParams() ? GetParam((int)index) : nullptr;
  if (!param || !info) return false;
  std::memset(info, 0, sizeof *info);
  info->id = (clap_id)index;
  // Every kind but the continuous one takes whole values only.
  info->flags = CLAP_PARAM_IS_AUTOMATABLE | (param->Type() == IParam::kKindDouble ? 0 : CLAP_PARAM_IS_STEPPED);
  CopyText(info->name, sizeof info->name, param->GetNameForHost());
  CopyText(info->module, sizeof info->module, param->GetParamGroupForHost());
  param->GetBounds(&info->min_value, &info->max_value);
  info->default_value = param->GetDefault();
  return true;
}

bool IPluginCLAP::GetParamValue(clap_id id, double* value) {
  IParam* param = id < (clap_id)NParams() ? GetParam((int)id) : nullptr;
  if (!param || !value) return false;
  *value = param->Value();
  return true;
}

bool IPluginCLAP::ParamValueToText(clap_id id, double value, char* text, uint32_t capacity) {
  IParam* param = id < (clap_id)NParams() ? GetParam((int)id) : nullptr;
  if (!param || !text || capacity == 0 || !std::isfinite(value)) return false;
  char display[IParam::kTextLen];
  param->GetDisplayForHost(value, false, display, true);
  const char* label = param->GetLabelForHost();
  // A value named by a display text needs no unit.
  if (param->GetNDisplayTexts() > 0 || !label || !*label)
    CopyText(text, capacity, display);
  else
    std::snprintf(text, capacity, "%s %s", display, label);
  return true;
}

bool IPluginCLAP::ParamTextToValue(clap_id id, const char* text, double* value) {
  IParam* param = id < (clap_id)NParams() ? GetParam((int)id) : nullptr;
  if (!param || !text || !value) return false;
  int named = 0;
  if (param->GetNDisplayTexts() > 0 && param->MapDisplayText(text, &named)) {
    *value = named;
    return true;
  }
  char* end = nullptr;
  double parsed = std::strtod(text, &end);
  if (end == text || !std::isfinite(parsed)) return false;
  if (param->DisplayIsNegated()) parsed = -parsed;
  double lo = 0.0, hi = 0.0;
  param->GetBounds(&lo, &hi);
  *value = parsed < lo ? lo : (parsed > hi ? hi : parsed);
  return true;
}

// ---- State ----

bool IPluginCLAP::SaveState(const clap_ostream_t* stream) {
  if (!stream || !stream->write) return false;
  ByteChunk chunk;
  if (!SerializeState(&chunk)) {
    mHost.Log(CLAP_LOG_ERROR, GetEffectName(), "the state could not be captured");
    return false;
  }
  const unsigned char* bytes = chunk.GetBytes();
  for (uint64_t left = (uint64_t)chunk.Size(); left > 0;) {
    const int64_t n = stream->write(stream, bytes, left);
    if (n <= 0 || (uint64_t)n > left) {
      mHost.Log(CLAP_LOG_ERROR, GetEffectName(), "the host's stream took no more of the state");
      return false;
    }
    bytes += n;
    left -= (uint64_t)n;
  }
  RememberOwnState();
  return true;
}

bool IPluginCLAP::LoadState(const clap_istream_t* stream) {
  if (!stream || !stream->read || StateSize() <= 0) return false;
  // One byte more than a state: a longer stream is not one of ours.
  KIT_TypedBuf<unsigned char> bytes;
  if (!bytes.Resize(StateSize() + 1)) return false;
  size_t size = 0;
  while (size < (size_t)StateSize() + 1) {
    const int64_t n = stream->read(stream, bytes.Get() + size, (uint64_t)StateSize() + 1 - size);
    if (n == 0) break;
    if (n < 0 || (uint64_t)n > (uint64_t)StateSize() + 1 - size) {
      mHost.Log(CLAP_LOG_ERROR, GetEffectName(), "the host's stream failed while reading the state; nothing changed");
      return false;
    }
    size += (size_t)n;
  }
  if (!EndsWithValidParamBlock(bytes.Get(), size, StateSize())) {
    mHost.Log(CLAP_LOG_ERROR, GetEffectName(),
              "the saved state is damaged (%zu bytes, %d expected, or a value out of range); nothing changed", size,
              StateSize());
    return false;
  }
  ByteChunk chunk;
  if (chunk.PutBytes(bytes.Get(), (int)size) != (int)size) return false;
  if (UnserializeState(&chunk, 0) != (int)size) return false;
  mLoads.fetch_add(1, std::memory_order_release);
  RedrawParamControls();
  RememberOwnState();
  if (mHost.mParams && mHost.mParams->rescan) mHost.mParams->rescan(mHost.mHost, CLAP_PARAM_RESCAN_VALUES);
  return true;
}

// What the host sees of the state are the parameters; the rest (the
// learned controllers) changes unseen, so the host is told when it does.
void IPluginCLAP::RememberOwnState() { OwnStateChanged(); }

bool IPluginCLAP::OwnStateChanged() {
  ByteChunk chunk;
  if (!DoesStateChunks() || !SerializeState(&chunk)) return false;
  const int ownBytes = chunk.Size() - NParams() * kParamValueBytes;
  if (ownBytes <= 0) return false;
  const bool same = mOwnState.GetSize() == ownBytes && std::memcmp(mOwnState.Get(), chunk.GetBytes(), ownBytes) == 0;
  if (same || !mOwnState.Resize(ownBytes)) return false;
  std::memcpy(mOwnState.Get(), chunk.GetBytes(), (size_t)ownBytes);
  return true;
}
