#pragma once
// Delays each of several channels by the same number of samples; used for
// pass-through while a plug-in with latency is bypassed. Owned by the
// plug-in base. SetDelayTime allocates (main thread); ProcessBlock does not
// (audio thread).

#include "kit/KIT_TypedBuf.h"

class NChanDelayLine {
public:
  NChanDelayLine(int nInChans = 2, int nOutChans = 2);

  // Sets the delay, sizes the buffer for it and clears it.
  void SetDelayTime(int delaySamples);
  // out[c] = in[c] delayed, for every input channel that has an output.
  void ProcessBlock(double** inputs, double** outputs, int nFrames);

private:
  KIT_TypedBuf<double> mBuffer;
  unsigned mWriteAddress = 0;
  unsigned mNInChans;
  unsigned mNOutChans;
  unsigned mDTSamples = 0;
};
