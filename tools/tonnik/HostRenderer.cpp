#include "HostRenderer.h"

#include <algorithm>

bool HostRenderer::prepare(double sampleRate, int maxBlockSize, const char** error) {
  if (maxBlockSize < 1) {
    *error = "the block size must be at least 1";
    return false;
  }
  if (sampleRate == mPreparedRate && maxBlockSize == mPreparedBlockSize) return true;
  mLeft.assign((size_t)maxBlockSize, 0.0f);
  mRight.assign((size_t)maxBlockSize, 0.0f);
  if (mHost->Prepare(sampleRate, (UInt32)maxBlockSize, 2) != noErr) {
    *error = "the instrument refused the sample rate, the stereo output or the block size";
    return false;
  }
  mPreparedRate = sampleRate;
  mPreparedBlockSize = maxBlockSize;
  return true;
}

void HostRenderer::setParameter(int index, double value) {
  note(mHost->SetParameter((AudioUnitParameterID)index, (float)value));
}

void HostRenderer::noteOn(int offset, int noteNumber, int velocity) {
  note(mHost->SendMidi(0x90, (UInt8)noteNumber, (UInt8)velocity, (UInt32)std::max(offset, 0)));
}

void HostRenderer::midi(int offset, unsigned char status, unsigned char data1, unsigned char data2) {
  note(mHost->SendMidi(status, data1, data2, (UInt32)std::max(offset, 0)));
}

void HostRenderer::process(double** outputs, int frames) {
  float* out[2] = {mLeft.data(), mRight.data()};
  const OSStatus status = mHost->Render((UInt32)frames, out, 2);
  note(status);
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < frames; ++i) outputs[c][i] = status == noErr ? out[c][i] : 0.0;
}
