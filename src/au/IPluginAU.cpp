// Construction, the component entry with its selector dispatch, the
// parameter procedures, property listeners and host notifications.

#include "au/IPluginAU.h"

#include <cmath>
#include <cstring>

#include "au/apple/ComponentCall.h"
#include "graphics/IGraphics.h"
#include "plugin/Log.h"

namespace {
// Selectors 1-7, 9-11 and 14-17.
const int kCanDoMask = 249598;
const int kCanDoLimit = 18;

IPluginAU* AsPlug(void* storage) { return static_cast<IPluginAU*>(storage); }

// The buses are labelled by the base; these are the labels they get.
const char* const kMainInputLabel = "main input";
const char* const kAuxInputLabel = "aux input";
const char* const kInputLabel = "input";
const char* const kOutputLabel = "output";
}  // namespace

IPluginAU::IPluginAU(IPluginInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
                     const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
                     int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
                     int nSideChainChans)
    : IPluginBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion, uniqueID, mfrID,
                  latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIAU) {
  mBundleID.Set(instanceInfo.mBundleID.Get());
  mCocoaViewFactoryClassName.Set(instanceInfo.mCocoaViewFactoryClassName.Get());

  const int nInputs = NInChannels();
  const int nOutputs = NOutChannels();
  if (nSideChainChans < 0 || nSideChainChans > nInputs) nSideChainChans = 0;
  if (nInputs > 0 && nSideChainChans > 0) {
    mInBuses.Add(new BusChannels{false, -1, nInputs - nSideChainChans, 0});
    mInBuses.Add(new BusChannels{false, -1, nSideChainChans, nInputs - nSideChainChans});
    SetInputBusLabel(0, kMainInputLabel);
    SetInputBusLabel(1, kAuxInputLabel);
  } else if (nInputs > 0) {
    mInBuses.Add(new BusChannels{false, -1, nInputs, 0});
    SetInputBusLabel(0, kInputLabel);
  }
  for (int i = 0; i < mInBuses.GetSize(); ++i) mInBusConnections.Add(new InputBusConnection{});

  if (plugIsInst) {
    const int nOutBuses = (nOutputs + 1) / 2;
    for (int i = 0; i < nOutBuses; ++i) {
      const int start = 2 * i;
      const int n = nOutputs - start < 2 ? nOutputs - start : 2;
      mOutBuses.Add(new BusChannels{false, -1, n, start});
      char label[32];
      std::snprintf(label, sizeof label, "%s %i", kOutputLabel, i + 1);
      SetOutputBusLabel(i, label);
    }
  } else {
    mOutBuses.Add(new BusChannels{false, -1, nOutputs, 0});
    SetOutputBusLabel(0, kOutputLabel);
  }

  // Room for a buffer list with one buffer per input channel, for input pulls.
  const int nListBuffers = nInputs > 0 ? nInputs : 1;
  mInputBufferList.Resize((int)(sizeof(AudioBufferList) + sizeof(AudioBuffer) * (size_t)(nListBuffers - 1)));
  mOutBufferPtrs.Resize(nOutputs);

  AssessInputConnections();
  SetBlockSize(1024);
}

IPluginAU::~IPluginAU() {
  mInBuses.Empty(true);
  mOutBuses.Empty(true);
  mInBusConnections.Empty(true);
  mPropertyListeners.Empty(true);
}

ComponentResult IPluginAU::IPluginAUEntry(ComponentParameters* params, void* storage) {
  if (!params) return paramErr;
  const int select = params->what;
  TRACE_AS("IPluginAUEntry", "(%d:%s)", select, AUSelectStr(select));

  if (select == kComponentOpenSelect) {
    IPluginAU* plug = MakePlug();
    if (!plug) return memFullErr;
    plug->HostSpecificInit();
    plug->PruneUninitializedPresets();
    plug->mCI = ComponentSelf(params);
    SetComponentInstanceStorage(plug->mCI, reinterpret_cast<Handle>(plug));
    return noErr;
  }

  IPluginAU* plug = AsPlug(storage);
  if (select == kComponentCloseSelect) {
    if (plug) {
      plug->ClearConnections();
      delete plug;
    }
    return noErr;
  }
  if (!plug) return badComponentInstance;

  IMutexLock lock(plug);
  return plug->Dispatch(params);
}

ComponentResult IPluginAU::Dispatch(ComponentParameters* params) {
  const int select = params->what;
  switch (select) {
    case kComponentCanDoSelect: {
      const int asked = ComponentArgument<SInt16>(params, 0);
      return asked >= 0 && asked < kCanDoLimit && ((kCanDoMask >> asked) & 1) ? 1 : 0;
    }
    case kComponentVersionSelect:
      return GetEffectVersion(false);
    case kAudioUnitInitializeSelect:
      if (!CheckLegalIO()) return badComponentSelector;
      mActive = true;
      OnParamReset();
      OnActivate(true);
      return noErr;
    case kAudioUnitUninitializeSelect:
      mActive = false;
      OnActivate(false);
      return noErr;
    case kAudioUnitGetPropertyInfoSelect: {
      UInt32 localSize = 0;
      Boolean localWritable = false;
      UInt32* dataSize = ComponentArgument<UInt32*>(params, 3);
      Boolean* writable = ComponentArgument<Boolean*>(params, 4);
      if (!dataSize) dataSize = &localSize;
      if (!writable) writable = &localWritable;
      *writable = false;
      return GetProperty(ComponentArgument<AudioUnitPropertyID>(params, 0), ComponentArgument<AudioUnitScope>(params, 1),
                         ComponentArgument<AudioUnitElement>(params, 2), dataSize, writable, nullptr);
    }
    case kAudioUnitGetPropertySelect: {
      void* data = ComponentArgument<void*>(params, 3);
      UInt32* dataSize = ComponentArgument<UInt32*>(params, 4);
      // Without the caller's buffer size nothing can be written safely.
      if (data && !dataSize) return paramErr;
      UInt32 localSize = 0;
      if (!dataSize) dataSize = &localSize;
      Boolean writable = false;
      return GetProperty(ComponentArgument<AudioUnitPropertyID>(params, 0), ComponentArgument<AudioUnitScope>(params, 1),
                         ComponentArgument<AudioUnitElement>(params, 2), dataSize, &writable, data);
    }
    case kAudioUnitSetPropertySelect: {
      UInt32 dataSize = ComponentArgument<UInt32>(params, 4);
      return SetProperty(ComponentArgument<AudioUnitPropertyID>(params, 0), ComponentArgument<AudioUnitScope>(params, 1),
                         ComponentArgument<AudioUnitElement>(params, 2), &dataSize,
                         ComponentArgument<const void*>(params, 3));
    }
    case kAudioUnitGetParameterSelect:
      return GetParamProc(this, ComponentArgument<AudioUnitParameterID>(params, 0),
                          ComponentArgument<AudioUnitScope>(params, 1), ComponentArgument<AudioUnitElement>(params, 2),
                          ComponentArgument<AudioUnitParameterValue*>(params, 3));
    case kAudioUnitSetParameterSelect:
      return SetParamProc(this, ComponentArgument<AudioUnitParameterID>(params, 0),
                          ComponentArgument<AudioUnitScope>(params, 1), ComponentArgument<AudioUnitElement>(params, 2),
                          ComponentArgument<AudioUnitParameterValue>(params, 3), ComponentArgument<UInt32>(params, 4));
    case kAudioUnitResetSelect:
      Reset();
      OnHostReset();
      return noErr;
    case kAudioUnitAddPropertyListenerSelect: {
      const AudioUnitPropertyID propID = ComponentArgument<AudioUnitPropertyID>(params, 0);
      AudioUnitPropertyListenerProc proc = ComponentArgument<AudioUnitPropertyListenerProc>(params, 1);
      if (!proc) return paramErr;
      for (int i = 0; i < mPropertyListeners.GetSize(); ++i) {
        const PropertyListener* l = mPropertyListeners.Get(i);
        if (l->mPropID == propID && l->mListenerProc == proc) return noErr;
      }
      mPropertyListeners.Add(new PropertyListener{propID, proc, ComponentArgument<void*>(params, 2)});
      return noErr;
    }
    case kAudioUnitRemovePropertyListenerSelect:
    case kAudioUnitRemovePropertyListenerWithUserDataSelect: {
      const AudioUnitPropertyID propID = ComponentArgument<AudioUnitPropertyID>(params, 0);
      AudioUnitPropertyListenerProc proc = ComponentArgument<AudioUnitPropertyListenerProc>(params, 1);
      const bool matchUserData = select == kAudioUnitRemovePropertyListenerWithUserDataSelect;
      void* userData = matchUserData ? ComponentArgument<void*>(params, 2) : nullptr;
      for (int i = 0; i < mPropertyListeners.GetSize(); ++i) {
        const PropertyListener* l = mPropertyListeners.Get(i);
        if (l->mPropID == propID && l->mListenerProc == proc && (!matchUserData || l->mProcArgs == userData)) {
          mPropertyListeners.Delete(i, true);
          break;
        }
      }
      return noErr;
    }
    case kAudioUnitRenderSelect:
      return RenderProc(this, ComponentArgument<AudioUnitRenderActionFlags*>(params, 0),
                        ComponentArgument<const AudioTimeStamp*>(params, 1), ComponentArgument<UInt32>(params, 2),
                        ComponentArgument<UInt32>(params, 3), ComponentArgument<AudioBufferList*>(params, 4));
    case kAudioUnitAddRenderNotifySelect:
      return AddRenderNotify(ComponentArgument<AURenderCallback>(params, 0), ComponentArgument<void*>(params, 1));
    case kAudioUnitRemoveRenderNotifySelect:
      return RemoveRenderNotify(ComponentArgument<AURenderCallback>(params, 0));
    case kAudioUnitScheduleParametersSelect:
      return ScheduleParameters(ComponentArgument<const AudioUnitParameterEvent*>(params, 0),
                                ComponentArgument<UInt32>(params, 1));
    case kMusicDeviceMIDIEventSelect:
      return MidiEvent(ComponentArgument<UInt32>(params, 0), ComponentArgument<UInt32>(params, 1),
                       ComponentArgument<UInt32>(params, 2), ComponentArgument<UInt32>(params, 3));
    case kMusicDeviceSysExSelect: {
      const UInt8* data = ComponentArgument<const UInt8*>(params, 0);
      const UInt32 length = ComponentArgument<UInt32>(params, 1);
      CheckAudioThreadEntry();
      if ((!data && length > 0) || length > 0x7FFFFFFF) return paramErr;
      ISysEx sysex(0, data, (int)length);
      ProcessSysEx(&sysex);
      return noErr;
    }
    case kMusicDevicePrepareInstrumentSelect:
    case kMusicDeviceReleaseInstrumentSelect:
      return noErr;
    case kMusicDeviceStartNoteSelect: {
      NoteInstanceID* noteID = ComponentArgument<NoteInstanceID*>(params, 2);
      const UInt32 offset = ComponentArgument<UInt32>(params, 3);
      const MusicDeviceNoteParams* note = ComponentArgument<const MusicDeviceNoteParams*>(params, 4);
      if (!noteID || !note) return paramErr;
      const int pitch = (int)note->mPitch;
      *noteID = (NoteInstanceID)pitch;
      // Notes started this way are built and dropped: the plug-in takes MIDI events only.
      IMidiMsg msg;
      msg.MakeNoteOnMsg(pitch & 0xFF, (int)note->mVelocity & 0xFF, (int)offset);
      return noErr;
    }
    case kMusicDeviceStopNoteSelect: {
      IMidiMsg msg;
      msg.MakeNoteOffMsg((int)ComponentArgument<NoteInstanceID>(params, 1) & 0xFF,
                         (int)ComponentArgument<UInt32>(params, 2));
      return noErr;
    }
    default:
      return badComponentSelector;
  }
}

ComponentResult IPluginAU::ScheduleParameters(const AudioUnitParameterEvent* events, UInt32 nEvents) {
  if (!events && nEvents > 0) return paramErr;
  for (UInt32 i = 0; i < nEvents; ++i) {
    const AudioUnitParameterEvent& e = events[i];
    if (e.eventType != kParameterEvent_Immediate) continue;
    const OSStatus result = SetParamProc(this, e.parameter, e.scope, e.element, e.eventValues.immediate.value,
                                         e.eventValues.immediate.bufferOffset);
    if (result != noErr) return result;
  }
  return noErr;
}

ComponentResult IPluginAU::MidiEvent(UInt32 status, UInt32 data1, UInt32 data2, UInt32 offset) {
  CheckAudioThreadEntry();
  IMidiMsg msg((int)offset, (uint8_t)status, (uint8_t)data1, (uint8_t)data2);
  ProcessMidiMsg(&msg);
  return noErr;
}

OSStatus IPluginAU::GetParamProc(void* plug, AudioUnitParameterID paramID, AudioUnitScope scope,
                                 AudioUnitElement element, AudioUnitParameterValue* value) {
  TRACE_AS("GetParamProc", "%d:(%d:%s):%d", paramID, scope, AUScopeStr(scope), element);
  IPluginAU* p = AsPlug(plug);
  if (!p || !value) return paramErr;
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  IMutexLock lock(p);
  IParam* param = p->GetParam((int)paramID);
  if (paramID >= (AudioUnitParameterID)p->NParams() || !param) return kAudioUnitErr_InvalidParameter;
  *value = (AudioUnitParameterValue)param->Value();
  return noErr;
}

OSStatus IPluginAU::SetParamProc(void* plug, AudioUnitParameterID paramID, AudioUnitScope scope,
                                 AudioUnitElement element, AudioUnitParameterValue value, UInt32 offsetFrames) {
  TRACE_AS("SetParamProc", "%d:(%d:%s):%d", paramID, scope, AUScopeStr(scope), element);
  IPluginAU* p = AsPlug(plug);
  if (!p) return paramErr;
  if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
  if (!std::isfinite(value)) return paramErr;
  IMutexLock lock(p);
  IParam* param = p->GetParam((int)paramID);
  if (paramID >= (AudioUnitParameterID)p->NParams() || !param) return kAudioUnitErr_InvalidParameter;
  param->Set(value);
  if (IGraphics* gui = p->GetGUI()) gui->SetParameterFromPlug((int)paramID, value, false);
  p->OnParamChange((int)paramID);
  return noErr;
}

OSStatus IPluginAU::GetProc(AudioUnitElement selector, UInt32* dataSize, void* data) {
  void* proc = nullptr;
  switch (selector) {
    case kAudioUnitRenderSelect:
      proc = reinterpret_cast<void*>(&IPluginAU::RenderProc);
      break;
    case kAudioUnitSetParameterSelect:
      proc = reinterpret_cast<void*>(&IPluginAU::SetParamProc);
      break;
    case kAudioUnitGetParameterSelect:
      proc = reinterpret_cast<void*>(&IPluginAU::GetParamProc);
      break;
    default:
      return kAudioUnitErr_InvalidElement;
  }
  const UInt32 capacity = *dataSize;
  *dataSize = sizeof(void*);
  if (data) {
    if (capacity < sizeof(void*)) return kAudioUnitErr_InvalidPropertyValue;
    std::memcpy(data, &proc, sizeof proc);
  }
  return noErr;
}

void IPluginAU::InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope) {
  TRACE_AS("InformListeners", "%d:%s", propID, AUPropertyStr((int)propID));
  IMutexLock lock(this);
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i) {
    const PropertyListener* l = mPropertyListeners.Get(i);
    if (l->mPropID == propID) l->mListenerProc(l->mProcArgs, mCI, propID, scope, 0);
  }
}

namespace {
void PostParamEvent(ComponentInstance ci, AudioUnitEventType type, int paramIdx) {
  AudioUnitEvent event;
  std::memset(&event, 0, sizeof event);
  event.mEventType = type;
  event.mArgument.mParameter.mAudioUnit = ci;
  event.mArgument.mParameter.mParameterID = (AudioUnitParameterID)paramIdx;
  event.mArgument.mParameter.mScope = kAudioUnitScope_Global;
  event.mArgument.mParameter.mElement = 0;
  AUEventListenerNotify(nullptr, nullptr, &event);
}
}  // namespace

void IPluginAU::BeginInformHostOfParamChange(int paramIdx) {
  TRACE_AS("BeginInformHostOfParamChange", "%d", paramIdx);
  PostParamEvent(mCI, kAudioUnitEvent_BeginParameterChangeGesture, paramIdx);
}

void IPluginAU::InformHostOfParamChange(int paramIdx, double normalizedValue) {
  TRACE_AS("InformHostOfParamChange", "%d:%f", paramIdx, normalizedValue);
  PostParamEvent(mCI, kAudioUnitEvent_ParameterValueChange, paramIdx);
}

void IPluginAU::EndInformHostOfParamChange(int paramIdx) {
  TRACE_AS("EndInformHostOfParamChange", "%d", paramIdx);
  PostParamEvent(mCI, kAudioUnitEvent_EndParameterChangeGesture, paramIdx);
}

void IPluginAU::InformHostOfProgramChange() { InformListeners(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global); }

void IPluginAU::HostSpecificInit() {
  GetHost();
  OnHostIdentified();
}

EHost IPluginAU::GetHost() {
  EHost host = IPluginBase::GetHost();
  if (host == kHostUninit) {
    char name[256] = "";
    CFStringRef identifier = CFBundleGetIdentifier(CFBundleGetMainBundle());
    if (identifier && CFStringGetCString(identifier, name, sizeof name, kCFStringEncodingUTF8)) SetHost(name, 0);
    host = IPluginBase::GetHost();
    if (host == kHostUninit) {
      SetHost("", 0);
      host = IPluginBase::GetHost();
    }
  }
  return host;
}

void IPluginAU::SetLatency(int samples) {
  TRACE_AS("SetLatency", "%d", samples);
  for (int i = 0; i < mPropertyListeners.GetSize(); ++i) {
    const PropertyListener* l = mPropertyListeners.Get(i);
    if (l->mPropID == kAudioUnitProperty_Latency)
      l->mListenerProc(l->mProcArgs, mCI, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0);
  }
  IPluginBase::SetLatency(samples);
}

void IPluginAU::ResizeGraphics(int w, int h) {
  if (GetGUI()) OnWindowResize();
}
