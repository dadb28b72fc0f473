// Lifecycle, configuration, parameters, MIDI and rendering.

#include "host/AUHost.h"

#include <cstring>

namespace {
// Finds the registered component with this entry and description, or
// registers it.
Component FindOrRegister(ComponentRoutineUPP entry, const ComponentDescription& description) {
  ComponentDescription looking = description;
  for (Component c = FindNextComponent(nullptr, &looking); c; c = FindNextComponent(c, &looking)) {
    ComponentDescription found;
    if (GetComponentInfo(c, &found, nullptr, nullptr, nullptr) == noErr &&
        found.componentType == description.componentType && found.componentSubType == description.componentSubType &&
        found.componentManufacturer == description.componentManufacturer)
      return c;
  }
  ComponentDescription cd = description;
  return RegisterComponent(&cd, entry, 0, nullptr, nullptr, nullptr);
}

// A zeroed event for a global parameter; the caller fills in its values.
AudioUnitParameterEvent GlobalParameterEvent(AudioUnitParameterID id, AUParameterEventType type) {
  AudioUnitParameterEvent event;
  std::memset(&event, 0, sizeof event);
  event.scope = kAudioUnitScope_Global;
  event.parameter = id;
  event.eventType = type;
  return event;
}
}  // namespace

AUHost::AUHost(ComponentRoutineUPP entry, const ComponentDescription& description)
    : mComponent(FindOrRegister(entry, description)) {
  std::memset(&mBuffers, 0, sizeof mBuffers);
}

AUHost::~AUHost() { Close(); }

OSStatus AUHost::Open() {
  if (mUnit) return noErr;
  if (!mComponent) return invalidComponentID;
  const OSStatus result = OpenAComponent(mComponent, &mUnit);
  if (result != noErr) mUnit = nullptr;
  return result;
}

OSStatus AUHost::Close() {
  if (!mUnit) return noErr;
  StopListening();
  if (mInitialized) Uninitialize();
  const OSStatus result = CloseComponent(mUnit);
  mUnit = nullptr;
  mFastRender = nullptr;
  mFastRenderObject = nullptr;
  mFastGetParam = nullptr;
  mFastSetParam = nullptr;
  return result;
}

OSStatus AUHost::Initialize() {
  const OSStatus result = AudioUnitInitialize(mUnit);
  if (result == noErr) mInitialized = true;
  return result;
}

OSStatus AUHost::Uninitialize() {
  const OSStatus result = AudioUnitUninitialize(mUnit);
  mInitialized = false;
  return result;
}

OSStatus AUHost::Reset() { return AudioUnitReset(mUnit, kAudioUnitScope_Global, 0); }

OSStatus AUHost::Prepare(double sampleRate, UInt32 maxFrames, int nOutChannels) {
  OSStatus result = SetSampleRate(sampleRate);
  if (result == noErr) result = SetStreamFormat(nOutChannels);
  if (result == noErr) result = SetMaxFrames(maxFrames);
  if (result == noErr) result = InstallHostCallbacks();
  if (result == noErr) result = Initialize();
  return result;
}

OSStatus AUHost::SetSampleRate(double sampleRate) {
  const Float64 rate = sampleRate;
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, &rate, sizeof rate);
}

OSStatus AUHost::SetStreamFormat(int nChannels) {
  if (nChannels < 0) return paramErr;
  AudioStreamBasicDescription asbd;
  std::memset(&asbd, 0, sizeof asbd);
  OSStatus result = GetSampleRate(&asbd.mSampleRate);
  if (result != noErr) return result;
  asbd.mFormatID = kAudioFormatLinearPCM;
  asbd.mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
  asbd.mBytesPerPacket = asbd.mBytesPerFrame = sizeof(float);
  asbd.mFramesPerPacket = 1;
  asbd.mChannelsPerFrame = (UInt32)nChannels;
  asbd.mBitsPerChannel = 8 * sizeof(float);
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, 0, &asbd, sizeof asbd);
}

OSStatus AUHost::SetMaxFrames(UInt32 frames) {
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, &frames,
                              sizeof frames);
}

OSStatus AUHost::InstallHostCallbacks() {
  HostCallbackInfo info = {this, &AUHost::BeatAndTempo, &AUHost::MusicalTimeLocation, &AUHost::TransportState};
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_HostCallbacks, kAudioUnitScope_Global, 0, &info, sizeof info);
}

void AUHost::SetTransport(const AUHostTransport& transport) {
  std::lock_guard<std::mutex> lock(mTransportMutex);
  mTransportChanged = mTransportChanged || transport.playing != mTransport.playing;
  mTransport = transport;
}

OSStatus AUHost::BeatAndTempo(void* user, Float64* beat, Float64* tempo) {
  AUHost* host = static_cast<AUHost*>(user);
  std::lock_guard<std::mutex> lock(host->mTransportMutex);
  if (beat) *beat = host->mTransport.beat;
  if (tempo) *tempo = host->mTransport.tempo;
  return noErr;
}

OSStatus AUHost::MusicalTimeLocation(void* user, UInt32* deltaToNextBeat, Float32* numerator, UInt32* denominator,
                                     Float64* measureDownBeat) {
  AUHost* host = static_cast<AUHost*>(user);
  std::lock_guard<std::mutex> lock(host->mTransportMutex);
  if (deltaToNextBeat) *deltaToNextBeat = 0;
  if (numerator) *numerator = host->mTransport.timeSigNumerator;
  if (denominator) *denominator = host->mTransport.timeSigDenominator;
  if (measureDownBeat) *measureDownBeat = host->mTransport.measureDownBeat;
  return noErr;
}

OSStatus AUHost::TransportState(void* user, Boolean* playing, Boolean* changed, Float64* samplePos, Boolean* cycling,
                                Float64* cycleStart, Float64* cycleEnd) {
  AUHost* host = static_cast<AUHost*>(user);
  std::lock_guard<std::mutex> lock(host->mTransportMutex);
  if (playing) *playing = host->mTransport.playing;
  if (changed) *changed = host->mTransportChanged;
  host->mTransportChanged = false;
  if (samplePos) *samplePos = host->mSampleTime;
  if (cycling) *cycling = host->mTransport.cycling;
  if (cycleStart) *cycleStart = host->mTransport.cycleStartBeat;
  if (cycleEnd) *cycleEnd = host->mTransport.cycleEndBeat;
  return noErr;
}

OSStatus AUHost::SetHostIdentifier(const char* name, int major, int minor, int fix) {
  AUHostIdentifier id;
  id.hostName = CFStringCreateWithCString(nullptr, name ? name : "", kCFStringEncodingUTF8);
  id.hostVersion.majorRev = (UInt8)major;
  id.hostVersion.minorAndBugRev = (UInt8)(((minor & 0xF) << 4) | (fix & 0xF));
  id.hostVersion.stage = 0x80;
  id.hostVersion.nonRelRev = 0;
  const OSStatus result =
      AudioUnitSetProperty(mUnit, kAudioUnitProperty_AUHostIdentifier, kAudioUnitScope_Global, 0, &id, sizeof id);
  CFRelease(id.hostName);
  return result;
}

OSStatus AUHost::GetParameter(AudioUnitParameterID id, float* value) {
  if (mUseFastParams && mFastGetParam)
    return mFastGetParam(mFastRenderObject, id, kAudioUnitScope_Global, 0, value);
  return AudioUnitGetParameter(mUnit, id, kAudioUnitScope_Global, 0, value);
}

OSStatus AUHost::SetParameter(AudioUnitParameterID id, float value, UInt32 offsetFrames) {
  if (mUseFastParams && mFastSetParam)
    return mFastSetParam(mFastRenderObject, id, kAudioUnitScope_Global, 0, value, offsetFrames);
  return AudioUnitSetParameter(mUnit, id, kAudioUnitScope_Global, 0, value, offsetFrames);
}

OSStatus AUHost::ScheduleParameter(AudioUnitParameterID id, float value, UInt32 offsetFrames) {
  AudioUnitParameterEvent event = GlobalParameterEvent(id, kParameterEvent_Immediate);
  event.eventValues.immediate.bufferOffset = offsetFrames;
  event.eventValues.immediate.value = value;
  return AudioUnitScheduleParameters(mUnit, &event, 1);
}

OSStatus AUHost::ScheduleRamp(AudioUnitParameterID id, float startValue, float endValue, SInt32 startOffset,
                              UInt32 durationFrames) {
  AudioUnitParameterEvent event = GlobalParameterEvent(id, kParameterEvent_Ramped);
  event.eventValues.ramp.startBufferOffset = startOffset;
  event.eventValues.ramp.durationInFrames = durationFrames;
  event.eventValues.ramp.startValue = startValue;
  event.eventValues.ramp.endValue = endValue;
  return AudioUnitScheduleParameters(mUnit, &event, 1);
}

void AUHost::UseFastParameterProcs(bool fast) {
  mUseFastParams = fast;
  if (!fast || !mUnit) return;
  mFastRenderObject = GetComponentInstanceStorage(mUnit);
  UInt32 size = sizeof mFastGetParam;
  if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, kAudioUnitGetParameterSelect,
                           &mFastGetParam, &size) != noErr)
    mFastGetParam = nullptr;
  size = sizeof mFastSetParam;
  if (AudioUnitGetProperty(mUnit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, kAudioUnitSetParameterSelect,
                           &mFastSetParam, &size) != noErr)
    mFastSetParam = nullptr;
}

OSStatus AUHost::SendMidi(UInt8 status, UInt8 data1, UInt8 data2, UInt32 offset) {
  return MusicDeviceMIDIEvent(mUnit, status, data1, data2, offset);
}

OSStatus AUHost::UseFastRender(bool fast) {
  mFastRender = nullptr;
  mFastRenderObject = mUnit ? GetComponentInstanceStorage(mUnit) : nullptr;
  if (!fast) return noErr;
  AudioUnitRenderProc proc = nullptr;
  UInt32 size = sizeof proc;
  const OSStatus result = AudioUnitGetProperty(mUnit, kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global,
                                               kAudioUnitRenderSelect, &proc, &size);
  if (result == noErr) mFastRender = proc;
  return result;
}

OSStatus AUHost::Render(UInt32 frames, float** out, int nChannels) {
  if (nChannels < 0 || nChannels > kMaxChannels || (nChannels > 0 && !out)) return paramErr;
  AudioBufferList* list = &mBuffers.list;
  AudioBuffer* buffers = list->mBuffers;
  list->mNumberBuffers = (UInt32)nChannels;
  for (int c = 0; c < nChannels; ++c) {
    buffers[c].mNumberChannels = 1;
    buffers[c].mDataByteSize = frames * (UInt32)sizeof(float);
    buffers[c].mData = out[c];
  }
  AudioTimeStamp ts;
  std::memset(&ts, 0, sizeof ts);
  ts.mSampleTime = mSampleTime;
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  AudioUnitRenderActionFlags flags = 0;
  const OSStatus result = mFastRender ? mFastRender(mFastRenderObject, &flags, &ts, 0, frames, list)
                                      : AudioUnitRender(mUnit, &flags, &ts, 0, frames, list);
  if (result != noErr) return result;
  for (int c = 0; c < nChannels; ++c) out[c] = static_cast<float*>(buffers[c].mData);
  mSampleTime += frames;
  return noErr;
}
