// The state: the plug-in's chunk, whole, through the host's stream.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "vst3/IPluginVST3.h"

namespace {
// restartComponent flag: parameter values changed, the host reads them again.
const vst3::int32 kParamValuesChanged = 1 << 2;
}  // namespace

vst3::tresult IPluginVST3::getState(vst3::IBStream* state) {
  if (!state) return vst3::kInvalidArgument;
  ByteChunk chunk;
  if (!SerializeState(&chunk)) return vst3::kResultFalse;
  vst3::int32 written = 0;
  if (state->write(chunk.GetBytes(), chunk.Size(), &written) != vst3::kResultOk || written != chunk.Size())
    return vst3::kResultFalse;
  return vst3::kResultOk;
}

vst3::tresult IPluginVST3::setState(vst3::IBStream* state) {
  if (!state || StateSize() <= 0) return vst3::kInvalidArgument;
  // One byte more than a state holds tells a longer stream from a whole one.
  std::vector<unsigned char> bytes((size_t)StateSize() + 1);
  int size = 0;
  while (size < (int)bytes.size()) {
    vst3::int32 got = 0;
    if (state->read(bytes.data() + size, (vst3::int32)bytes.size() - size, &got) != vst3::kResultOk || got <= 0)
      break;
    size += got;
  }
  if (!EndsWithValidParamBlock(bytes.data(), (size_t)size, StateSize())) {
    std::fprintf(stderr, "%s: the saved state is damaged (%d bytes, %d expected, or a value out of range); "
                 "nothing changed\n", GetEffectName(), size, StateSize());
    return vst3::kResultFalse;
  }
  ByteChunk chunk;
  if (chunk.PutBytes(bytes.data(), size) != size) return vst3::kOutOfMemory;
  if (UnserializeState(&chunk, 0) != size) return vst3::kResultFalse;
  mStateGeneration.fetch_add(1, std::memory_order_release);
  RedrawParamControls();
  if (mHandler) mHandler->restartComponent(kParamValuesChanged);
  return vst3::kResultOk;
}
