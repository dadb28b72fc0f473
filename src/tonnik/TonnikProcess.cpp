// The audio path: MIDI hits at their exact sample, the trigger button's
// hits, the voice, and the trigger LED timing. Runs on the render thread,
// takes no lock of its own and allocates nothing (whether the caller holds
// the plug-in mutex is IPluginBase.h's).

#include <climits>
#include <cstring>

#include "graphics/IGraphics.h"
#include "plugin/SampleConvert.h"
#include "tonnik/Tonnik.h"

static_assert(std::atomic<double>::is_always_lock_free, "posting to the render thread must not lock");

void Tonnik::Reset() {
  IMutexLock lock(this);
  mVoiceRate.store(GetSampleRate(), std::memory_order_release);
  const int blockSize = GetBlockSize();
  if (blockSize != mQueueBlockSize) {
    mMidiQueue.Resize(blockSize);
    mQueueBlockSize = blockSize;
  }
}

void Tonnik::OnHostReset() {
  IMutexLock lock(this);
  mVoiceRate.store(GetSampleRate(), std::memory_order_relaxed);
  mFreshVoice.store(true, std::memory_order_release);
}

void Tonnik::ApplyPostedToVoice() {
  const double fs = mVoiceRate.load(std::memory_order_acquire);
  uint32_t changed = 0;
  if (mFreshVoice.load(std::memory_order_relaxed) && mFreshVoice.exchange(false, std::memory_order_acquire)) {
    mVoice = Krummel();
    SetVoiceStartState(fs);
    mVoice.glide.mode = Glide::kBothWays;
    changed = ~0u;
    mLEDState.store(0, std::memory_order_relaxed);
    mSamplesSinceHit.store(0, std::memory_order_relaxed);
    if (GetGUI()) GetGUI()->SetControlFromPlug(mLEDIndex, 1.0);
  }
  if (mVoice.sampleRate != fs) mVoice.setSampleRate(fs);
  if (mVoice.glide.sampleRate != static_cast<float>(fs)) mVoice.glide.setSampleRate(static_cast<float>(fs));
  if (mChangedParams.load(std::memory_order_relaxed) != 0)
    changed |= mChangedParams.exchange(0, std::memory_order_acquire);
  for (int i = 0; changed != 0 && i < kNumParams; ++i)
    if (changed & (1u << i)) ApplyToVoice(i, mVoiceValues[i].load(std::memory_order_relaxed));
}

template <class RenderVoice>
void Tonnik::RenderBlock(int nFrames, RenderVoice renderVoice) {
  ApplyPostedToVoice();
  TakeTriggerRequest();
  int i = 0;
  while (i < nFrames) {
    while (!mMidiQueue.Empty() && mMidiQueue.Peek()->mOffset <= i) {
      const IMidiMsg* msg = mMidiQueue.Peek();
      if (msg->StatusMsg() == IMidiMsg::kNoteOn && msg->mData2 >= 1) {
        mVoice.setMidiVelocity(msg->mData2 / 128.0);
        StartHit(msg->mData1);
      }
      mMidiQueue.Remove();
    }
    int end = nFrames;
    if (!mMidiQueue.Empty() && mMidiQueue.Peek()->mOffset < end) end = mMidiQueue.Peek()->mOffset;
    if (end > i) renderVoice(i, end);
    CountSamples(end - i);
    i = end;
  }
  UpdateLED();
  mMidiQueue.Flush(nFrames);
}

void Tonnik::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  if (nFrames < 0) nFrames = 0;
  double* out = outputs[0];
  RenderBlock(nFrames, [this, out](int from, int to) { mVoice.render(out + from, to - from); });
  double* out2 = outputs[1];
  if (out2 != out) std::memcpy(out2, out, sizeof(double) * static_cast<size_t>(nFrames));
}

void Tonnik::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) {
  if (nFrames < 0) nFrames = 0;
  float* left = outputs[0];
  float* right = outputs[1];
  RenderBlock(nFrames, [this, left, right](int from, int to) { RenderVoiceToFloat(left, right, from, to); });
}

void Tonnik::RenderVoiceToFloat(float* left, float* right, int from, int to) {
  for (int i = from; i < to;) {
    const int n = to - i < kFloatPieceFrames ? to - i : kFloatPieceFrames;
    mVoice.render(mFloatPiece, n);
    if (right != left)
      ConvertToFloatPair(mFloatPiece, left + i, right + i, n);
    else
      ConvertToFloat(mFloatPiece, left + i, n);
    i += n;
  }
}

void Tonnik::TriggerFromEditor() { mTriggerRequests.fetch_add(1, std::memory_order_release); }

void Tonnik::TakeTriggerRequest() {
  if (mTriggerRequests.load(std::memory_order_relaxed) == 0) return;
  if (mTriggerRequests.exchange(0, std::memory_order_acquire) > 0) StartHit(kTriggerNote);
}

void Tonnik::StartHit(int note) {
  mVoice.glide.setValue(static_cast<double>(note));
  mVoice.restart();
  mLEDState.store(0, std::memory_order_relaxed);
  if (GetGUI()) GetGUI()->SetControlFromPlug(mLEDIndex, 0.0);
  mSamplesSinceHit.store(0, std::memory_order_relaxed);
}

// Saturates: a voice left running for days must not overflow the counter.
void Tonnik::CountSamples(int n) {
  const int counted = mSamplesSinceHit.load(std::memory_order_relaxed);
  mSamplesSinceHit.store(counted > INT_MAX - n ? INT_MAX : counted + n, std::memory_order_relaxed);
}

void Tonnik::UpdateLED() {
  if (mSamplesSinceHit.load(std::memory_order_relaxed) > kLEDHoldSamples &&
      mLEDState.load(std::memory_order_relaxed) == 0) {
    mLEDState.store(1, std::memory_order_relaxed);
    if (GetGUI()) GetGUI()->SetControlFromPlug(mLEDIndex, 1.0);
  }
}
