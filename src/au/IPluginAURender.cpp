// Buses, stream formats, input connections, rendering and the host's
// transport queries.

#include <cmath>
#include <cstring>

#include "au/IPluginAU.h"
#include "plugin/Log.h"

namespace {
// Read only by traces, which are compiled out unless switched on.
[[maybe_unused]] const char* const kInputTypeNames[] = {"NotConnected", "DirectFastProc", "DirectNoFastProc",
                                                        "RenderCallback"};

const int kBytesPerSample = (int)sizeof(float);

// Host values beyond these cannot be converted to integers.
const double kLargestSamplePos = 9.0e18;
const float kLargestBeatCount = 1.0e9f;

int MinInt(int a, int b) { return a < b ? a : b; }
}  // namespace

int IPluginAU::GetBusHostChannels(AudioUnitScope scope, AudioUnitElement busIdx) {
  BusChannels* bus = GetBus(scope, busIdx);
  return bus ? bus->mNHostChannels : -2;
}

IPluginAU::BusChannels* IPluginAU::GetBus(AudioUnitScope scope, AudioUnitElement busIdx) {
  const int idx = busIdx > 0x7FFFFFFF ? -1 : (int)busIdx;
  if (scope == kAudioUnitScope_Input) return mInBuses.Get(idx);
  // The global scope stands for the outputs.
  if (scope == kAudioUnitScope_Output || scope == kAudioUnitScope_Global) return mOutBuses.Get(idx);
  return nullptr;
}

void IPluginAU::MakeDefaultASBD(AudioStreamBasicDescription* asbd, int nChannels, bool interleaved) {
  std::memset(asbd, 0, sizeof *asbd);
  asbd->mSampleRate = GetSampleRate();
  asbd->mFormatID = kAudioFormatLinearPCM;
  asbd->mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked;
  asbd->mFramesPerPacket = 1;
  asbd->mChannelsPerFrame = (UInt32)nChannels;
  asbd->mBitsPerChannel = 8 * sizeof(float);
  if (interleaved) {
    asbd->mBytesPerFrame = asbd->mBytesPerPacket = (UInt32)(nChannels * kBytesPerSample);
  } else {
    asbd->mFormatFlags |= kAudioFormatFlagIsNonInterleaved;
    asbd->mBytesPerFrame = asbd->mBytesPerPacket = (UInt32)kBytesPerSample;
  }
}

namespace {
// Sum of the buses' host channel counts, -1 when no bus has one.
template <class BusList>
int SumHostChannels(BusList& buses, int skipIdx) {
  int sum = -1;
  for (int i = 0; i < buses.GetSize(); ++i) {
    const int n = buses.Get(i)->mNHostChannels;
    if (i == skipIdx || n < 0) continue;
    sum = (sum < 0 ? 0 : sum) + n;
  }
  return sum;
}
}  // namespace

bool IPluginAU::CheckLegalIO() {
  const int nIn = SumHostChannels(mInBuses, -1);
  const int nOut = SumHostChannels(mOutBuses, -1);
  return (nIn < 0 && nOut < 0) || LegalIO(nIn, nOut);
}

bool IPluginAU::CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels) {
  if (scope == kAudioUnitScope_Input) {
    const int others = SumHostChannels(mInBuses, busIdx);
    const int nIn = (others < 0 ? 0 : others) + nChannels;
    const int nOut = mActive ? SumHostChannels(mOutBuses, -1) : -1;
    return LegalIO(nIn, nOut);
  }
  const int others = SumHostChannels(mOutBuses, busIdx);
  const int nOut = (others < 0 ? 0 : others) + nChannels;
  const int nIn = mActive ? SumHostChannels(mInBuses, -1) : -1;
  return LegalIO(nIn, nOut);
}

void IPluginAU::AssessInputConnections() {
  IMutexLock lock(this);
  SetInputChannelConnections(0, NInChannels(), false);
  for (int i = 0; i < NInBuses(); ++i) {
    BusChannels* bus = mInBuses.Get(i);
    InputBusConnection* connection = mInBusConnections.Get(i);
    if (connection->mUpstreamRenderProc && connection->mUpstreamObj)
      connection->mInputType = eDirectFastProc;
    else if (connection->mUpstreamUnit)
      connection->mInputType = eDirectNoFastProc;
    else if (connection->mUpstreamRenderCallback.inputProc)
      connection->mInputType = eRenderCallback;
    else
      connection->mInputType = eNotConnected;
    bus->mConnected = connection->mInputType != eNotConnected;

    if (bus->mConnected) {
      if (bus->mNHostChannels < 0) {
        TRACE_AS("AssessInputConnections", "AssumeChannels:%d", bus->mNPlugChannels);
        bus->mNHostChannels = bus->mNPlugChannels;
      }
      const int nConnected = MinInt(bus->mNHostChannels, bus->mNPlugChannels);
      SetInputChannelConnections(bus->mPlugChannelStartIdx, nConnected, true);
      SetInputChannelConnections(bus->mPlugChannelStartIdx + nConnected, bus->mNPlugChannels - nConnected, false);
    }
    TRACE_AS("AssessInputConnections", "%d:%s:%d:%d:%d", i, kInputTypeNames[connection->mInputType],
             bus->mPlugChannelStartIdx, bus->mNPlugChannels, bus->mNHostChannels);
  }
}

void IPluginAU::ClearConnections() {
  for (int i = 0; i < NInBuses(); ++i) {
    BusChannels* bus = mInBuses.Get(i);
    bus->mConnected = false;
    bus->mNHostChannels = -1;
    *mInBusConnections.Get(i) = InputBusConnection{};
  }
  for (int i = 0; i < NOutBuses(); ++i) {
    BusChannels* bus = mOutBuses.Get(i);
    bus->mConnected = false;
    bus->mNHostChannels = -1;
  }
}

int IPluginAU::GetChannelLayoutTags(AudioUnitScope scope, AudioUnitElement element, AudioChannelLayoutTag* tag) {
  if (scope != kAudioUnitScope_Output && !(scope == kAudioUnitScope_Input && NInBuses() > 0)) return 0;
  BusChannels* bus = mOutBuses.Get(element > 0x7FFFFFFF ? -1 : (int)element);
  if (!bus) return 0;
  switch (bus->mNPlugChannels) {
    case 1:
      *tag = kAudioChannelLayoutTag_Mono;
      break;
    case 2:
      *tag = kAudioChannelLayoutTag_Stereo;
      break;
    default:
      *tag = kAudioChannelLayoutTag_Unknown;
  }
  return 1;
}

OSStatus IPluginAU::SetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                    const AudioStreamBasicDescription* asbd) {
  BusChannels* bus = GetBus(scope, element);
  if (!bus) return kAudioUnitErr_InvalidProperty;
  // A format without a rate keeps the unit's; one the plug-in cannot play is
  // refused before anything changes.
  const bool givesRate = std::isfinite(asbd->mSampleRate) && asbd->mSampleRate > 0.0;
  if (givesRate && !PlaysSampleRate(asbd->mSampleRate)) return kAudioUnitErr_FormatNotSupported;
  bus->mNHostChannels = 0;
  const int nChannels = asbd->mChannelsPerFrame > 0x7FFF ? 0x7FFF : (int)asbd->mChannelsPerFrame;
  const bool connectionOK = nChannels >= 1 && CheckLegalIO(scope, (int)element, nChannels);
  const bool linearPCM = asbd->mFormatID == kAudioFormatLinearPCM;
  const bool canonical = (asbd->mFormatFlags & (kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked)) != 0;
  TRACE_AS("SetStreamFormat", "%d:%d:%s:%s:%s", (int)element, nChannels,
           linearPCM ? "linearPCM" : "notLinearPCM", canonical ? "canonicalFormat" : "notCanonicalFormat",
           connectionOK ? "connectionOK" : "connectionNotOK");
  const bool accepted = connectionOK && linearPCM && canonical;
  if (accepted) {
    bus->mNHostChannels = nChannels;
    if (givesRate) SetSampleRate(asbd->mSampleRate);
  }
  AssessInputConnections();
  return accepted ? (OSStatus)noErr : kAudioUnitErr_InvalidProperty;
}

OSStatus IPluginAU::MakeConnection(const AudioUnitConnection* connection) {
  const int busIdx = (int)connection->destInputNumber;
  InputBusConnection* in = mInBusConnections.Get(busIdx);
  *in = InputBusConnection{};
  OSStatus result = noErr;
  if (AudioUnit source = connection->sourceAudioUnit) {
    AudioStreamBasicDescription asbd;
    UInt32 size = sizeof asbd;
    result = AudioUnitGetProperty(source, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output,
                                  connection->sourceOutputNumber, &asbd, &size);
    if (result == noErr && size < sizeof asbd) result = kAudioUnitErr_InvalidPropertyValue;
    if (result == noErr) result = SetStreamFormat(kAudioUnitScope_Input, (AudioUnitElement)busIdx, &asbd);
    if (result == noErr) {
      in->mUpstreamUnit = source;
      in->mUpstreamBusIdx = (int)connection->sourceOutputNumber;
      AudioUnitRenderProc proc = nullptr;
      size = sizeof proc;
      if (AudioUnitGetProperty(source, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                               kAudioUnitRenderSelect, &proc, &size) == noErr &&
          size == sizeof proc && proc) {
        in->mUpstreamRenderProc = proc;
        in->mUpstreamObj = GetComponentInstanceStorage(source);
      }
    }
  }
  AssessInputConnections();
  return result == noErr ? (OSStatus)noErr : kAudioUnitErr_InvalidProperty;
}

OSStatus IPluginAU::SetRenderCallback(AudioUnitElement element, const AURenderCallbackStruct* callback) {
  InputBusConnection* in = mInBusConnections.Get((int)element);
  *in = InputBusConnection{};
  if (callback->inputProc) in->mUpstreamRenderCallback = *callback;
  AssessInputConnections();
  return noErr;
}

OSStatus IPluginAU::AddRenderNotify(AURenderCallback proc, void* refCon) {
  if (!proc) return paramErr;
  for (int i = 0; i < kMaxRenderNotify; ++i) {
    RenderNotifySlot& slot = mRenderNotify[i];
    if (slot.mProc.load(std::memory_order_acquire)) continue;
    slot.mRefCon.store(refCon, std::memory_order_relaxed);
    slot.mProc.store(proc, std::memory_order_release);
    if (mRenderNotifyEnd.load(std::memory_order_relaxed) <= i) mRenderNotifyEnd.store(i + 1, std::memory_order_release);
    return noErr;
  }
  return memFullErr;
}

OSStatus IPluginAU::RemoveRenderNotify(AURenderCallback proc) {
  for (RenderNotifySlot& slot : mRenderNotify) {
    if (proc && slot.mProc.load(std::memory_order_acquire) == proc) {
      slot.mProc.store(nullptr, std::memory_order_release);
      break;
    }
  }
  return noErr;
}

// Most hosts register no render notification: the render path keeps only
// the check, and the calls stay out of line.
inline void IPluginAU::NotifyRender(AudioUnitRenderActionFlags flag, const AudioTimeStamp* timestamp, UInt32 busIdx,
                                    UInt32 nFrames, AudioBufferList* bufferList) {
  const int end = mRenderNotifyEnd.load(std::memory_order_acquire);
  if (end > 0) CallRenderNotify(end, flag, timestamp, busIdx, nFrames, bufferList);
}

void IPluginAU::CallRenderNotify(int end, AudioUnitRenderActionFlags flag, const AudioTimeStamp* timestamp,
                                 UInt32 busIdx, UInt32 nFrames, AudioBufferList* bufferList) {
  for (int i = 0; i < end; ++i) {
    RenderNotifySlot& slot = mRenderNotify[i];
    AURenderCallback proc = slot.mProc.load(std::memory_order_acquire);
    if (!proc) continue;
    AudioUnitRenderActionFlags flags = flag;
    proc(slot.mRefCon.load(std::memory_order_relaxed), &flags, timestamp, busIdx, nFrames, bufferList);
  }
}

OSStatus IPluginAU::RenderProc(void* plug, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timestamp,
                               UInt32 outputBusIdx, UInt32 nFrames, AudioBufferList* bufferList) {
  IPluginAU* p = static_cast<IPluginAU*>(plug);
  if (!p) return paramErr;
  return p->Render(timestamp, outputBusIdx, nFrames, bufferList);
}

OSStatus IPluginAU::PullInputs(const AudioTimeStamp* timestamp, UInt32 nFrames) {
  AudioBufferList* list = static_cast<AudioBufferList*>(mInputBufferList.Get());
  for (int i = 0; i < NInBuses(); ++i) {
    BusChannels* bus = mInBuses.Get(i);
    if (!bus->mConnected) continue;
    InputBusConnection* in = mInBusConnections.Get(i);
    const int nChannels = MinInt(bus->mNHostChannels, bus->mNPlugChannels);
    if (nChannels <= 0) continue;
    list->mNumberBuffers = (UInt32)nChannels;
    for (int c = 0; c < nChannels; ++c) {
      AudioBuffer& buffer = list->mBuffers[c];
      buffer.mNumberChannels = 1;
      buffer.mDataByteSize = nFrames * kBytesPerSample;
      buffer.mData = nullptr;
    }
    AudioUnitRenderActionFlags flags = 0;
    OSStatus result = noErr;
    switch (in->mInputType) {
      case eRenderCallback:
        for (int c = 0; c < nChannels; ++c)
          list->mBuffers[c].mData = mInScratchBuf.Get() + (size_t)(bus->mPlugChannelStartIdx + c) * nFrames;
        result = in->mUpstreamRenderCallback.inputProc(in->mUpstreamRenderCallback.inputProcRefCon, &flags,
                                                       timestamp, (UInt32)i, nFrames, list);
        break;
      case eDirectNoFastProc:
        result = AudioUnitRender(in->mUpstreamUnit, &flags, timestamp, (UInt32)in->mUpstreamBusIdx, nFrames, list);
        break;
      case eDirectFastProc:
        result = in->mUpstreamRenderProc(in->mUpstreamObj, &flags, timestamp, (UInt32)in->mUpstreamBusIdx, nFrames,
                                         list);
        break;
      case eNotConnected:
        break;
    }
    if (result != noErr) return result;
    // An upstream unit that filled fewer buffers, or left one unset or too
    // short, is read as silence from scratch instead.
    for (int c = 0; c < nChannels; ++c) {
      const AudioBuffer& buffer = list->mBuffers[c];
      float* data = static_cast<float*>(buffer.mData);
      if (c >= (int)list->mNumberBuffers || !data || buffer.mDataByteSize < nFrames * kBytesPerSample) {
        data = mInScratchBuf.Get() + (size_t)(bus->mPlugChannelStartIdx + c) * nFrames;
        std::memset(data, 0, (size_t)nFrames * kBytesPerSample);
      }
      AttachInputBuffers(bus->mPlugChannelStartIdx + c, 1, &data, (int)nFrames);
    }
  }
  return noErr;
}

OSStatus IPluginAU::Render(const AudioTimeStamp* timestamp, UInt32 outputBusIdx, UInt32 nFrames,
                           AudioBufferList* bufferList) {
  if (!timestamp || !(timestamp->mFlags & kAudioTimeStampSampleTimeValid) || outputBusIdx >= (UInt32)NOutBuses() ||
      nFrames > (UInt32)GetBlockSize())
    return kAudioUnitErr_InvalidPropertyValue;
  BusChannels* outBus = mOutBuses.Get((int)outputBusIdx);
  // The host's buffers must hold what is written into them.
  if (!bufferList || bufferList->mNumberBuffers > (UInt32)outBus->mNPlugChannels)
    return kAudioUnitErr_InvalidPropertyValue;
  const int nBuffers = (int)bufferList->mNumberBuffers;
  for (int i = 0; i < nBuffers; ++i) {
    const AudioBuffer& buffer = bufferList->mBuffers[i];
    if (buffer.mData && buffer.mDataByteSize < nFrames * kBytesPerSample) return kAudioUnitErr_InvalidPropertyValue;
  }

  NotifyRender(kAudioUnitRenderAction_PreRender, timestamp, outputBusIdx, nFrames, bufferList);

  if (timestamp->mSampleTime != mRenderTimestamp) {
    if (NInBuses() > 0) {
      const OSStatus result = PullInputs(timestamp, nFrames);
      if (result != noErr) return result;
    }
    mRenderTimestamp = timestamp->mSampleTime;
  }

  const int startCh = outBus->mPlugChannelStartIdx;
  if (!outBus->mConnected || outBus->mNHostChannels != nBuffers) {
    const int nConnected = outBus->mNHostChannels < 0 ? nBuffers : MinInt(outBus->mNHostChannels, nBuffers);
    SetOutputChannelConnections(startCh, nConnected, true);
    SetOutputChannelConnections(startCh + nConnected, outBus->mNPlugChannels - nConnected, false);
    outBus->mConnected = true;
  }
  float** data = mOutBufferPtrs.Get();
  for (int i = 0; i < nBuffers; ++i) {
    AudioBuffer& buffer = bufferList->mBuffers[i];
    if (!buffer.mData) {
      buffer.mData = mOutScratchBuf.Get() + (size_t)(startCh + i) * nFrames;
      buffer.mDataByteSize = nFrames * kBytesPerSample;
    }
    data[i] = static_cast<float*>(buffer.mData);
  }
  // The connected channels are the bus's first ones, so buffer i goes to
  // channel startCh + i.
  AttachOutputBuffers(startCh, nBuffers, data);

  int nConnectedBuses = 0;
  while (nConnectedBuses < NOutBuses() && mOutBuses.Get(nConnectedBuses)->mConnected) ++nConnectedBuses;
  if ((int)outputBusIdx == nConnectedBuses - 1) {
    if (NOutBuses() > (int)outputBusIdx + 1) {
      const int first = 2 * ((int)outputBusIdx + 1);
      SetOutputChannelConnections(first, 2 * NOutBuses() - first, false);
    }
    if (IsBypassed())
      PassThroughBuffers(0.0f, (int)nFrames);
    else
      ProcessBuffers(0.0f, (int)nFrames);
  }

  NotifyRender(kAudioUnitRenderAction_PostRender, timestamp, outputBusIdx, nFrames, bufferList);
  return noErr;
}

bool IPluginAU::ResizeScratch(int blockSize) {
  const int nIn = NInChannels() * blockSize;
  const int nOut = NOutChannels() * blockSize;
  if (!mInScratchBuf.Resize(nIn) || !mOutScratchBuf.Resize(nOut)) return false;
  if (nIn > 0) std::memset(mInScratchBuf.Get(), 0, sizeof(float) * (size_t)nIn);
  if (nOut > 0) std::memset(mOutScratchBuf.Get(), 0, sizeof(float) * (size_t)nOut);
  return true;
}

void IPluginAU::SetBlockSize(int blockSize) {
  if (blockSize < 0 || blockSize > kMaxBlockSize) return;
  if (!ResizeScratch(blockSize)) {
    ResizeScratch(GetBlockSize());
    return;
  }
  IPluginBase::SetBlockSize(blockSize);
}

double IPluginAU::GetSamplePos() {
  HostCallback_GetTransportState proc = mHostCallbacks.transportStateProc;
  if (!proc) return 0.0;
  Boolean playing = false, changed = false, cycling = false;
  Float64 samplePos = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
  if (proc(mHostCallbacks.hostUserData, &playing, &changed, &samplePos, &cycling, &cycleStart, &cycleEnd) != noErr)
    return 0.0;
  if (!std::isfinite(samplePos) || std::fabs(samplePos) > kLargestSamplePos) return 0.0;
  return (double)(long long)(samplePos + 0.5);
}

double IPluginAU::GetTempo() {
  HostCallback_GetBeatAndTempo proc = mHostCallbacks.beatAndTempoProc;
  if (proc) {
    Float64 beat = 0.0, tempo = 0.0;
    if (proc(mHostCallbacks.hostUserData, &beat, &tempo) == noErr && tempo > 0.0) mTempo = tempo;
  }
  return mTempo;
}

void IPluginAU::GetTimeSig(int* numerator, int* denominator) {
  HostCallback_GetMusicalTimeLocation proc = mHostCallbacks.musicalTimeLocationProc;
  if (!proc) return;
  UInt32 deltaToNextBeat = 0, den = 0;
  Float32 num = 0.0f;
  Float64 downBeat = 0.0;
  if (proc(mHostCallbacks.hostUserData, &deltaToNextBeat, &num, &den, &downBeat) != noErr) return;
  if (numerator && std::isfinite(num) && std::fabs(num) < kLargestBeatCount) *numerator = (int)num;
  if (denominator) *denominator = (int)den;
}

void IPluginAU::GetTime(ITimeInfo* timeInfo) {
  if (!timeInfo) return;
  if (HostCallback_GetBeatAndTempo proc = mHostCallbacks.beatAndTempoProc) {
    Float64 beat = 0.0, tempo = 0.0;
    if (proc(mHostCallbacks.hostUserData, &beat, &tempo) == noErr) {
      if (tempo > 0.0) timeInfo->mTempo = tempo;
      if (beat > 0.0) timeInfo->mPPQPos = beat;
    }
  }
  if (HostCallback_GetTransportState proc = mHostCallbacks.transportStateProc) {
    Boolean playing = false, changed = false, cycling = false;
    Float64 samplePos = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
    if (proc(mHostCallbacks.hostUserData, &playing, &changed, &samplePos, &cycling, &cycleStart, &cycleEnd) ==
        noErr) {
      if (samplePos > 0.0) timeInfo->mSamplePos = samplePos;
      if (cycleStart > 0.0) timeInfo->mCycleStart = cycleStart;
      if (cycleEnd > 0.0) timeInfo->mCycleEnd = cycleEnd;
      timeInfo->mTransportIsRunning = playing;
      timeInfo->mTransportLoopEnabled = cycling;
    }
  }
  if (HostCallback_GetMusicalTimeLocation proc = mHostCallbacks.musicalTimeLocationProc) {
    UInt32 deltaToNextBeat = 0, den = 0;
    Float32 num = 0.0f;
    Float64 downBeat = 0.0;
    if (proc(mHostCallbacks.hostUserData, &deltaToNextBeat, &num, &den, &downBeat) == noErr) {
      if (std::isfinite(num) && std::fabs(num) < kLargestBeatCount) timeInfo->mNumerator = (int)num;
      timeInfo->mDenominator = (int)den;
      if (downBeat > 0.0) timeInfo->mLastBar = downBeat;
    }
  }
}
