// The state chunk: the controller map, then the parameter block. The rule
// that tells a bare parameter block (the factory preset) from a saved state
// is described in Tonnik.h.

#include <cmath>

#include "tonnik/Tonnik.h"

namespace {

// Doubles of a bare block that would hold a saved state's controller map.
const int kMapDoubles = Tonnik::kControllerMapBytes / 8;

bool IsNaNOrSubnormal(double v) {
  const int kind = std::fpclassify(v);
  return kind == FP_NAN || kind == FP_SUBNORMAL;
}

}  // namespace

bool Tonnik::SerializeState(ByteChunk* chunk) {
  IMutexLock lock(this);
  const int sizeBefore = chunk->Size();
  for (int i = 0; i < kNumParams; ++i) chunk->Put(&mControllerMap[i]);
  // A map that did not fit must not pass as a state.
  if (chunk->Size() != sizeBefore + kControllerMapBytes) return false;
  return SerializeParams(chunk);
}

int Tonnik::UnserializeState(ByteChunk* chunk, int startPos) {
  IMutexLock lock(this);
  if (IsParamBlock(chunk, startPos)) return UnserializeParams(chunk, startPos);

  int pos = startPos;
  for (int i = 0; i < kNumParams && pos >= 0; ++i) {
    int cc = -1;
    pos = chunk->Get(&cc, pos);
    if (pos >= 0) mControllerMap[i] = cc;
  }
  // With nothing of the parameter block present the parameters stay as
  // they are; otherwise the base restores what fits.
  if (pos < 0 || pos >= chunk->Size()) return -1;
  return UnserializeParams(chunk, pos);
}

bool Tonnik::IsParamBlock(const ByteChunk* chunk, int pos) const {
  if (pos < 0 || chunk->Size() - pos != kParamBlockBytes) return false;
  for (int i = 0; i < kMapDoubles; ++i) {
    double v = 0;
    chunk->Get(&v, pos + 8 * i);
    if (IsNaNOrSubnormal(v)) return false;
  }
  return true;
}
