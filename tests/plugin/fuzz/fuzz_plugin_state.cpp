// Feeds arbitrary bytes to every reader of host-supplied state: parameter
// and preset chunks, strings, the framework version header and CompareState.

#include <cstddef>
#include <cstdint>

#include "plugin/TestPlug.h"

static void InitParams(IPluginBase* plug) {
  plug->GetParam(0)->InitDouble("Decay", 0.5, 0.0, 1.0, 0.01);
  plug->GetParam(1)->InitInt("Tune", 0, -12, 12);
  plug->GetParam(2)->InitBool("Long", false);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteChunk chunk;
  chunk.PutBytes(data, static_cast<int>(size));

  TestPlug plug(3, "0-1 0-2", 3);
  InitParams(&plug);
  plug.MakeDefaultPreset("Init", 1);
  plug.UnserializeState(&chunk, 0);
  plug.UnserializePresets(&chunk, 0);
  for (int i = 0; i < plug.NParams(); ++i) {
    double lo, hi;
    plug.GetParam(i)->GetBounds(&lo, &hi);
    const double v = plug.GetParam(i)->Value();
    if (!(v >= lo && v <= hi)) __builtin_trap();
  }
  for (int p = 0; p < plug.NPresets(); ++p) plug.RestorePreset(p);

  int pos = 0;
  GetIPluginVerFromChunk(&chunk, &pos);
  KIT_String text;
  while (pos >= 0 && pos < chunk.Size()) {
    const int next = chunk.GetStr(&text, pos);
    if (next >= 0 && (next <= pos || next > chunk.Size())) __builtin_trap();
    pos = next;
  }
  if (chunk.Size() >= 3 * static_cast<int>(sizeof(double))) plug.CompareState(chunk.GetBytes(), 0);
  return 0;
}
