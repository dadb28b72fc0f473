#include "plugin/NChanDelayLine.h"

#include <cstring>

NChanDelayLine::NChanDelayLine(int nInChans, int nOutChans)
    : mNInChans(nInChans > 0 ? nInChans : 0), mNOutChans(nOutChans > 0 ? nOutChans : 0) {}

void NChanDelayLine::SetDelayTime(int delaySamples) {
  mDTSamples = delaySamples > 0 ? static_cast<unsigned>(delaySamples) : 0;
  mWriteAddress = 0;
  if (!mBuffer.Resize(static_cast<int>(mDTSamples * mNInChans))) {
    // Without room there is no delay line to run.
    mBuffer.Resize(0);
    mDTSamples = 0;
  }
  if (mBuffer.GetSize() > 0)
    std::memset(mBuffer.Get(), 0, sizeof(double) * static_cast<size_t>(mBuffer.GetSize()));
}

void NChanDelayLine::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  const unsigned nChans = mNInChans < mNOutChans ? mNInChans : mNOutChans;
  if (mDTSamples == 0) {
    for (unsigned c = 0; c < nChans; ++c)
      if (inputs[c] != outputs[c])
        std::memmove(outputs[c], inputs[c], sizeof(double) * static_cast<size_t>(nFrames));
    return;
  }
  double* buffer = mBuffer.Get();
  for (int s = 0; s < nFrames; ++s) {
    for (unsigned c = 0; c < nChans; ++c) {
      double& slot = buffer[c * mDTSamples + mWriteAddress];
      const double in = inputs[c][s];
      outputs[c][s] = slot;
      slot = in;
    }
    mWriteAddress = (mWriteAddress + 1) % mDTSamples;
  }
}
