// The state interface: the plug-in's state chunk as one property.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "lv2/IPluginLV2.h"

namespace {
// The state property holds only plain bytes; their layout is the same on
// every machine the plug-in is built for (little-endian).
const uint32_t kStateFlags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
}  // namespace

LV2_State_Status IPluginLV2::SaveState(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (!store) return LV2_STATE_ERR_UNKNOWN;
  ByteChunk chunk;
  {
    // One snapshot: run() cannot apply ports between the capture and the overlay.
    IMutexLock lock(this);
    if (!SerializeState(&chunk)) {
      lv2_log_error(&mLogger, "%s: the state could not be captured\n", GetEffectName());
      return LV2_STATE_ERR_UNKNOWN;
    }
    OverlayPendingPorts(&chunk);
  }
  const int status = store(handle, mURIDs.mStateKey, chunk.GetBytes(), (size_t)chunk.Size(), mURIDs.mAtomChunk,
                           kStateFlags);
  return status == 0 ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}

// The chunk ends with the base's parameter block (one double per
// parameter); whatever the plug-in writes before it is its own.
int IPluginLV2::ParamBlockStart() const { return StateSize() - NParams() * kParamValueBytes; }

void IPluginLV2::OverlayPendingPorts(ByteChunk* chunk) {
  const int blockStart = ParamBlockStart();
  if (chunk->Size() != StateSize() || blockStart < 0) return;
  for (int i = 0; i < NParams(); ++i) {
    double value = 0.0;
    if (!PendingPortValue(i, &value)) continue;
    double lo = 0.0, hi = 0.0;
    GetParam(i)->GetBounds(&lo, &hi);
    value = std::min(std::max(value, lo), hi);  // as IParam::Set stores it
    std::memcpy(chunk->GetBytes() + blockStart + (size_t)i * kParamValueBytes, &value, sizeof value);
  }
}

LV2_State_Status IPluginLV2::RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  if (!retrieve) return LV2_STATE_ERR_UNKNOWN;
  size_t size = 0;
  uint32_t type = 0, flags = 0;
  const void* value = retrieve(handle, mURIDs.mStateKey, &size, &type, &flags);
  // Presets that hold only port values come this way too: not an error
  // worth a message, and the ports carry the values.
  if (!value) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != mURIDs.mAtomChunk) {
    lv2_log_error(&mLogger, "%s: the saved state is not a chunk of bytes; nothing changed\n", GetEffectName());
    return LV2_STATE_ERR_BAD_TYPE;
  }
  if (!EndsWithValidParamBlock(value, size, StateSize())) {
    lv2_log_error(&mLogger,
                  "%s: the saved state is damaged (%zu bytes, %d expected, or a value out of range); "
                  "nothing changed\n",
                  GetEffectName(), size, StateSize());
    return LV2_STATE_ERR_UNKNOWN;
  }

  ByteChunk chunk;
  if (chunk.PutBytes(value, (int)size) != (int)size) return LV2_STATE_ERR_NO_SPACE;
  if (UnserializeState(&chunk, 0) != (int)size) return LV2_STATE_ERR_UNKNOWN;
  RedrawParamControls();
  // Hosts set the ports to the values saved beside the state (before or
  // after this call) and show those; the next run() plays them.
  IMutexLock lock(this);
  mApplyAllPorts = true;
  return LV2_STATE_SUCCESS;
}
