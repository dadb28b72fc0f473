// Channel configuration, host buffers and block processing of IPluginBase.

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>

#include "plugin/Assert.h"
#include "plugin/IPluginBase.h"
#include "plugin/Log.h"
#include "plugin/SampleConvert.h"

// One past the last channel index of the range idx .. idx + n - 1, held to
// the channel count.
static int RangeEnd(int idx, int n, int count) {
  const long long end = static_cast<long long>(idx) + n;
  return end < count ? static_cast<int>(end) : count;
}

// The base's processing on either sample type: each output takes its
// input's samples (in place when they share a buffer); outputs without an
// input are silent.
template <class T>
static void CopyInputsToOutputs(T** inputs, T** outputs, int nIn, int nOut, int nFrames) {
  if (nFrames <= 0) return;
  const size_t bytes = sizeof(T) * static_cast<size_t>(nFrames);
  int j = 0;
  for (; j < nIn && j < nOut; ++j)
    if (inputs[j] != outputs[j]) std::memmove(outputs[j], inputs[j], bytes);
  for (; j < nOut; ++j) std::memset(outputs[j], 0, bytes);
}

void IPluginBase::ParseChannelIOStr(const char* channelIOStr) {
  int maxIn = 0, maxOut = 0;
  for (const char* token = channelIOStr; token;) {
    int nIn = 0, nOut = 0;
    const bool channelIOStrValid = std::sscanf(token, "%d-%d", &nIn, &nOut) == 2;
    TONNIK_ASSERT(channelIOStrValid);
    mChannelIO.Add(new ChannelIO{nIn, nOut});
    if (nIn > maxIn) maxIn = nIn;
    if (nOut > maxOut) maxOut = nOut;
    token = std::strchr(token, ' ');
    if (token) ++token;
  }

  mInData.Resize(maxIn);
  mOutData.Resize(maxOut);
  mInFloatData.Resize(maxIn);
  mOutFloatData.Resize(maxOut);
  for (int i = 0; i < maxIn; ++i) {
    InChannel* channel = new InChannel;
    channel->mSrc = mInData.Get() + i;
    channel->mFSrc = mInFloatData.Get() + i;
    mInChannels.Add(channel);
  }
  for (int i = 0; i < maxOut; ++i) {
    OutChannel* channel = new OutChannel;
    channel->mDest = mOutData.Get() + i;
    channel->mFDest = mOutFloatData.Get() + i;
    mOutChannels.Add(channel);
  }
  RouteUnconnectedToScratch();
}

bool IPluginBase::IsInChannelConnected(int chIdx) const {
  const InChannel* channel = mInChannels.Get(chIdx);
  return channel && channel->mConnected;
}

bool IPluginBase::IsOutChannelConnected(int chIdx) const {
  const OutChannel* channel = mOutChannels.Get(chIdx);
  return channel && channel->mConnected;
}

bool IPluginBase::GetChannelIO(int idx, int* nIn, int* nOut) const {
  const ChannelIO* io = mChannelIO.Get(idx);
  if (!io) return false;
  *nIn = io->mIn;
  *nOut = io->mOut;
  return true;
}

bool IPluginBase::LegalIO(int nIn, int nOut) const {
  bool legal = false;
  for (int i = 0; i < mChannelIO.GetSize() && !legal; ++i) {
    const ChannelIO* io = mChannelIO.Get(i);
    legal = (nIn < 0 || nIn == io->mIn) && (nOut < 0 || nOut == io->mOut);
  }
  TRACE_HERE("%d:%d:%s", nIn, nOut, legal ? "legal" : "illegal");
  return legal;
}

void IPluginBase::LimitToStereoIO() {
  const int nIn = NInChannels(), nOut = NOutChannels();
  if (nIn > 2) SetInputChannelConnections(2, nIn - 2, false);
  if (nOut > 2) SetOutputChannelConnections(2, nOut - 2, true);
}

void IPluginBase::RouteUnconnectedToScratch() {
  for (int i = 0; i < NInChannels(); ++i) {
    InChannel* channel = mInChannels.Get(i);
    if (channel->mConnected) continue;
    *channel->mSrc = channel->mScratchBuf.Get();
    *channel->mFSrc = channel->mFScratchBuf.Get();
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* channel = mOutChannels.Get(i);
    if (channel->mConnected) continue;
    *channel->mDest = channel->mScratchBuf.Get();
    *channel->mFDest = channel->mFScratchBuf.Get();
  }
}

void IPluginBase::SetInputChannelConnections(int idx, int n, bool connected) {
  const int end = RangeEnd(idx, n, NInChannels());
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) mInChannels.Get(i)->mConnected = connected;
  RouteUnconnectedToScratch();
}

void IPluginBase::SetOutputChannelConnections(int idx, int n, bool connected) {
  const int end = RangeEnd(idx, n, NOutChannels());
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) mOutChannels.Get(i)->mConnected = connected;
  RouteUnconnectedToScratch();
}

void IPluginBase::SetInputLabel(int idx, const char* label) {
  if (InChannel* channel = mInChannels.Get(idx)) channel->mLabel.Set(label);
}

void IPluginBase::SetOutputLabel(int idx, const char* label) {
  if (OutChannel* channel = mOutChannels.Get(idx)) channel->mLabel.Set(label);
}

// Replaces the label at idx, growing the list with empty entries as needed.
static void SetBusLabel(KIT_PtrList<KIT_String>* labels, int idx, const char* label) {
  while (labels->GetSize() <= idx) {
    const int size = labels->GetSize();
    labels->Add(nullptr);
    if (labels->GetSize() == size) return;
  }
  auto replacement = std::make_unique<KIT_String>(label);
  const std::unique_ptr<KIT_String> previous(labels->Get(idx));
  labels->GetList()[idx] = replacement.release();
}

static const char* GetBusLabel(const KIT_PtrList<KIT_String>& labels, int idx) {
  const KIT_String* label = labels.Get(idx);
  return label ? label->Get() : nullptr;
}

void IPluginBase::SetInputBusLabel(int idx, const char* label) {
  if (idx < 0 || idx > 1) return;
  SetBusLabel(&mInputBusLabels, idx, label);
}

void IPluginBase::SetOutputBusLabel(int idx, const char* label) {
  if (idx < 0) return;
  SetBusLabel(&mOutputBusLabels, idx, label);
}

const char* IPluginBase::GetInputBusLabel(int idx) const { return GetBusLabel(mInputBusLabels, idx); }

const char* IPluginBase::GetOutputBusLabel(int idx) const {
  return GetBusLabel(mOutputBusLabels, idx);
}

void IPluginBase::SetBlockSize(int blockSize) {
  if (blockSize == mBlockSize || blockSize < 0) return;
  for (int i = 0; i < NInChannels(); ++i) {
    mInChannels.Get(i)->mScratchBuf.Resize(blockSize);
    mInChannels.Get(i)->mFScratchBuf.Resize(blockSize);
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    mOutChannels.Get(i)->mScratchBuf.Resize(blockSize);
    mOutChannels.Get(i)->mFScratchBuf.Resize(blockSize);
  }
  // Growing may have moved the scratch memory.
  RouteUnconnectedToScratch();
  mScratchFrames = ShortestScratch();
  mBlockSize = blockSize;
}

int IPluginBase::ShortestScratch() const {
  // Without channels there is no scratch to run past: any block fits.
  int shortest = INT_MAX;
  for (int i = 0; i < NInChannels(); ++i) {
    shortest = std::min(shortest, mInChannels.Get(i)->mScratchBuf.GetSize());
    shortest = std::min(shortest, mInChannels.Get(i)->mFScratchBuf.GetSize());
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    shortest = std::min(shortest, mOutChannels.Get(i)->mScratchBuf.GetSize());
    shortest = std::min(shortest, mOutChannels.Get(i)->mFScratchBuf.GetSize());
  }
  return shortest;
}

template <class T>
static void Zero(KIT_TypedBuf<T>* scratch) {
  if (scratch->GetSize() > 0) std::memset(scratch->Get(), 0, sizeof(T) * scratch->GetSize());
}

void IPluginBase::ZeroScratchBuffers() {
  for (int i = 0; i < NInChannels(); ++i) {
    Zero(&mInChannels.Get(i)->mScratchBuf);
    Zero(&mInChannels.Get(i)->mFScratchBuf);
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    Zero(&mOutChannels.Get(i)->mScratchBuf);
    Zero(&mOutChannels.Get(i)->mFScratchBuf);
  }
}

// Lowers *limit to the scratch buffer's length when slot points into it.
template <class T>
static void LimitToScratch(const T* slot, const KIT_TypedBuf<T>& scratch, int* limit) {
  if (slot == scratch.Get() && scratch.GetSize() < *limit) *limit = scratch.GetSize();
}

int IPluginBase::FramesThatFit(int nFrames) const {
  int limit = nFrames > 0 ? nFrames : 0;
  if (limit <= mScratchFrames) return limit;
  for (int i = 0; i < NInChannels(); ++i) {
    const InChannel* channel = mInChannels.Get(i);
    LimitToScratch(*channel->mSrc, channel->mScratchBuf, &limit);
    LimitToScratch(*channel->mFSrc, channel->mFScratchBuf, &limit);
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    const OutChannel* channel = mOutChannels.Get(i);
    LimitToScratch(*channel->mDest, channel->mScratchBuf, &limit);
    LimitToScratch(*channel->mFDest, channel->mFScratchBuf, &limit);
  }
  return limit;
}

void IPluginBase::AttachInputBuffers(int idx, int n, double** ppData, int nFrames) {
  const int end = RangeEnd(idx, n, NInChannels());
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    InChannel* channel = mInChannels.Get(i);
    if (channel->mConnected) *channel->mSrc = *ppData++;
  }
}

void IPluginBase::AttachInputBuffers(int idx, int n, float** ppData, int nFrames) {
  const int end = RangeEnd(idx, n, NInChannels());
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    InChannel* channel = mInChannels.Get(i);
    if (!channel->mConnected) continue;
    double* scratch = channel->mScratchBuf.Get();
    float* src = *ppData++;
    const int frames = nFrames < channel->mScratchBuf.GetSize() ? nFrames : channel->mScratchBuf.GetSize();
    for (int s = 0; s < frames; ++s) scratch[s] = src[s];
    *channel->mSrc = scratch;
    *channel->mFSrc = src;
  }
}

void IPluginBase::AttachOutputBuffers(int idx, int n, double** ppData) {
  const int end = RangeEnd(idx, n, NOutChannels());
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    OutChannel* channel = mOutChannels.Get(i);
    if (channel->mConnected) *channel->mDest = *ppData++;
  }
}

void IPluginBase::AttachOutputBuffers(int idx, int n, float** ppData) {
  const int end = RangeEnd(idx, n, NOutChannels());
  for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
    OutChannel* channel = mOutChannels.Get(i);
    if (!channel->mConnected) continue;
    *channel->mDest = channel->mScratchBuf.Get();
    *channel->mFDest = *ppData++;
  }
}

void IPluginBase::ConvertOutputsToFloat(int nFrames, bool accumulate) {
  void (*convert)(const double*, float*, int) = accumulate ? AddToFloat : ConvertToFloat;
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* channel = mOutChannels.Get(i);
    if (channel->mConnected && *channel->mFDest) convert(*channel->mDest, *channel->mFDest, nFrames);
  }
}

void IPluginBase::ProcessBuffers(double sampleType, int nFrames) {
  CheckAudioThreadEntry();
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), FramesThatFit(nFrames));
}

void IPluginBase::ProcessBuffers(float sampleType, int nFrames) {
  CheckAudioThreadEntry();
  nFrames = FramesThatFit(nFrames);
  if (mSingleReplacing) {
    ProcessSingleReplacing(mInFloatData.Get(), mOutFloatData.Get(), nFrames);
    return;
  }
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  ConvertOutputsToFloat(nFrames, false);
}

void IPluginBase::ProcessBuffersAccumulating(float sampleType, int nFrames) {
  CheckAudioThreadEntry();
  nFrames = FramesThatFit(nFrames);
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
  ConvertOutputsToFloat(nFrames, true);
}

void IPluginBase::PassThroughBuffers(double sampleType, int nFrames) {
  CheckAudioThreadEntry();
  nFrames = FramesThatFit(nFrames);
  if (mLatency && mDelay)
    mDelay->ProcessBlock(mInData.Get(), mOutData.Get(), nFrames);
  else
    IPluginBase::ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

void IPluginBase::PassThroughBuffers(float sampleType, int nFrames) {
  CheckAudioThreadEntry();
  nFrames = FramesThatFit(nFrames);
  PassThroughBuffers(0.0, nFrames);
  ConvertOutputsToFloat(nFrames, false);
}

void IPluginBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  CopyInputsToOutputs(inputs, outputs, NInChannels(), NOutChannels(), nFrames);
}

void IPluginBase::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) {
  CopyInputsToOutputs(inputs, outputs, NInChannels(), NOutChannels(), nFrames);
}
