// Channel configuration, host buffers and block processing of IPluginBase.

#include <cstdio>
#include <cstring>

#include "plugin/Assert.h"
#include "plugin/IPluginBase.h"
#include "plugin/Log.h"

// One past the last channel index of the range idx .. idx + n - 1, held to
// the channel count.
static int RangeEnd(int idx, int n, int count) {
  const long long end = static_cast<long long>(idx) + n;
  return end < count ? static_cast<int>(end) : count;
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
  for (int i = 0; i < maxIn; ++i) {
    InChannel* channel = new InChannel;
    channel->mSrc = mInData.Get() + i;
    mInChannels.Add(channel);
  }
  for (int i = 0; i < maxOut; ++i) {
    OutChannel* channel = new OutChannel;
    channel->mDest = mOutData.Get() + i;
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
    if (!channel->mConnected) *channel->mSrc = channel->mScratchBuf.Get();
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* channel = mOutChannels.Get(i);
    if (!channel->mConnected) *channel->mDest = channel->mScratchBuf.Get();
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
  KIT_String* replacement = new KIT_String(label);
  delete labels->Get(idx);
  labels->GetList()[idx] = replacement;
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
  for (int i = 0; i < NInChannels(); ++i) mInChannels.Get(i)->mScratchBuf.Resize(blockSize);
  for (int i = 0; i < NOutChannels(); ++i) mOutChannels.Get(i)->mScratchBuf.Resize(blockSize);
  // Growing may have moved the scratch memory.
  RouteUnconnectedToScratch();
  mBlockSize = blockSize;
}

void IPluginBase::ZeroScratchBuffers() {
  for (int i = 0; i < NInChannels(); ++i) {
    KIT_TypedBuf<double>& scratch = mInChannels.Get(i)->mScratchBuf;
    if (scratch.GetSize() > 0) std::memset(scratch.Get(), 0, sizeof(double) * scratch.GetSize());
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    KIT_TypedBuf<double>& scratch = mOutChannels.Get(i)->mScratchBuf;
    if (scratch.GetSize() > 0) std::memset(scratch.Get(), 0, sizeof(double) * scratch.GetSize());
  }
}

int IPluginBase::FramesThatFit(int nFrames) const {
  int limit = nFrames > 0 ? nFrames : 0;
  for (int i = 0; i < NInChannels(); ++i) {
    const InChannel* channel = mInChannels.Get(i);
    if (*channel->mSrc == channel->mScratchBuf.Get() && channel->mScratchBuf.GetSize() < limit)
      limit = channel->mScratchBuf.GetSize();
  }
  for (int i = 0; i < NOutChannels(); ++i) {
    const OutChannel* channel = mOutChannels.Get(i);
    if (*channel->mDest == channel->mScratchBuf.Get() && channel->mScratchBuf.GetSize() < limit)
      limit = channel->mScratchBuf.GetSize();
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
    const float* src = *ppData++;
    const int frames = nFrames < channel->mScratchBuf.GetSize() ? nFrames : channel->mScratchBuf.GetSize();
    for (int s = 0; s < frames; ++s) scratch[s] = src[s];
    *channel->mSrc = scratch;
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
    channel->mFDest = *ppData++;
  }
}

// Eight samples a step, so that the compiler converts them as vectors; this copy is most of
// what the Audio Unit render path adds to the plug-in's own work. Compiled once for the
// x86-64 baseline (SSE2: two conversions a step of four) and, where the processor has AVX,
// once more for it (one conversion of four): the same IEEE rounding either way.
__attribute__((always_inline)) static inline void CopyToFloatLoop(const double* __restrict src,
                                                                  float* __restrict dst, int nFrames) {
  int s = 0;
  for (; s + 8 <= nFrames; s += 8) {
    const float a = static_cast<float>(src[s]), b = static_cast<float>(src[s + 1]);
    const float c = static_cast<float>(src[s + 2]), d = static_cast<float>(src[s + 3]);
    const float e = static_cast<float>(src[s + 4]), f = static_cast<float>(src[s + 5]);
    const float g = static_cast<float>(src[s + 6]), h = static_cast<float>(src[s + 7]);
    dst[s] = a;
    dst[s + 1] = b;
    dst[s + 2] = c;
    dst[s + 3] = d;
    dst[s + 4] = e;
    dst[s + 5] = f;
    dst[s + 6] = g;
    dst[s + 7] = h;
  }
  for (; s < nFrames; ++s) dst[s] = static_cast<float>(src[s]);
}

static void CopyToFloatBaseline(const double* __restrict src, float* __restrict dst, int nFrames) {
  CopyToFloatLoop(src, dst, nFrames);
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
__attribute__((target("avx"))) static void CopyToFloatAVX(const double* __restrict src, float* __restrict dst,
                                                          int nFrames) {
  CopyToFloatLoop(src, dst, nFrames);
}

static void (*PickCopyToFloat())(const double*, float*, int) {
  return __builtin_cpu_supports("avx") ? CopyToFloatAVX : CopyToFloatBaseline;
}
#else
static void (*PickCopyToFloat())(const double*, float*, int) { return CopyToFloatBaseline; }
#endif

// Chosen once, when the library is loaded.
static void (*const CopyToFloat)(const double*, float*, int) = PickCopyToFloat();

static void AddToFloat(const double* __restrict src, float* __restrict dst, int nFrames) {
  for (int s = 0; s < nFrames; ++s) dst[s] += static_cast<float>(src[s]);
}

void IPluginBase::ConvertOutputsToFloat(int nFrames, bool accumulate) {
  void (*convert)(const double*, float*, int) = accumulate ? AddToFloat : CopyToFloat;
  for (int i = 0; i < NOutChannels(); ++i) {
    OutChannel* channel = mOutChannels.Get(i);
    if (channel->mConnected && channel->mFDest) convert(*channel->mDest, channel->mFDest, nFrames);
  }
}

void IPluginBase::ProcessBuffers(double sampleType, int nFrames) {
  CheckAudioThreadEntry();
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), FramesThatFit(nFrames));
}

void IPluginBase::ProcessBuffers(float sampleType, int nFrames) {
  CheckAudioThreadEntry();
  nFrames = FramesThatFit(nFrames);
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
  if (nFrames <= 0) return;
  const int nIn = NInChannels(), nOut = NOutChannels();
  const size_t bytes = sizeof(double) * static_cast<size_t>(nFrames);
  int j = 0;
  for (; j < nIn && j < nOut; ++j)
    if (inputs[j] != outputs[j]) std::memmove(outputs[j], inputs[j], bytes);
  for (; j < nOut; ++j) std::memset(outputs[j], 0, bytes);
}

void IPluginBase::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) {
  if (nFrames <= 0) return;
  const int nIn = NInChannels(), nOut = NOutChannels();
  const size_t bytes = sizeof(float) * static_cast<size_t>(nFrames);
  int j = 0;
  for (; j < nIn && j < nOut; ++j)
    if (inputs[j] != outputs[j]) std::memmove(outputs[j], inputs[j], bytes);
  for (; j < nOut; ++j) std::memset(outputs[j], 0, bytes);
}
