// Input: [chunk length / 2][start position][chunk bytes][MIDI: offset,
// status, data1, data2 ...]. The instrument restores the chunk, takes the
// messages and renders; every sample must stay finite.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "plugin/IMidiMsg.h"
#include "tonnik/Tonnik.h"

namespace {

const int kBlock = 64;
const int kMessagesPerBlock = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  IPluginInstanceInfo info;
  Tonnik plug(info);
  plug.SetSampleRate(48000);
  plug.SetBlockSize(kBlock);
  plug.Reset();
  plug.OnParamReset();

  const size_t chunkLen = std::min<size_t>(2u * data[0], size - 2);
  const int start = data[1] % 16 - 1;
  ByteChunk chunk;
  chunk.PutBytes(data + 2, static_cast<int>(chunkLen));
  plug.UnserializeState(&chunk, start);

  double left[kBlock], right[kBlock];
  double* outs[2] = {left, right};
  size_t pos = 2 + chunkLen;
  int inBlock = 0;
  while (pos + 4 <= size) {
    IMidiMsg msg(data[pos] * 4 - 64, data[pos + 1], data[pos + 2], data[pos + 3]);
    plug.ProcessMidiMsg(&msg);
    pos += 4;
    if (++inBlock == kMessagesPerBlock || pos + 4 > size) {
      inBlock = 0;
      plug.ProcessDoubleReplacing(nullptr, outs, kBlock);
      for (int i = 0; i < kBlock; ++i)
        if (!std::isfinite(left[i]) || left[i] != right[i]) std::abort();
    }
  }
  return 0;
}
