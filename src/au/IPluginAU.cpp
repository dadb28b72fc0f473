// Construction, the component entry with its selector dispatch, the
// parameter procedures, property listeners and host notifications.

#include "au/IPluginAU.h"

#include <cmath>
#include <cstring>
#include <memory>

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
    mInBuses.Add(BusChannels{false, -1, nInputs - nSideChainChans, 0});
    mInBuses.Add(BusChannels{false, -1, nSideChainChans, nInputs - nSideChainChans});
    SetInputBusLabel(0, kMainInputLabel);
    SetInputBusLabel(1, kAuxInputLabel);
  } else if (nInputs > 0) {
    mInBuses.Add(BusChannels{false, -1, nInputs, 0});
    SetInputBusLabel(0, kInputLabel);
  }
  for (int i = 0; i < mInBuses.GetSize(); ++i) mInBusConnections.Add(InputBusConnection{});

  if (plugIsInst) {
    const int nOutBuses = (nOutputs + 1) / 2;
    for (int i = 0; i < nOutBuses; ++i) {
      const int start = 2 * i;
      const int n = nOutputs - start < 2 ? nOutputs - start : 2;
      mOutBuses.Add(BusChannels{false, -1, n, start});
      char label[32];
      std::snprintf(label, sizeof label, "%s %i", kOutputLabel, i + 1);
      SetOutputBusLabel(i, label);
    }
  } else {
    mOutBuses.Add(BusChannels{false, -1, nOutputs, 0});
    SetOutputBusLabel(0, kOutputLabel);
  }

  // Room for a buffer list with one buffer per input channel, for input pulls.
  const int nListBuffers = nInputs > 0 ? nInputs : 1;
  mInputBufferList.Resize((int)(sizeof(AudioBufferList) + sizeof(AudioBuffer) * (size_t)(nListBuffers - 1)));
  mOutBufferPtrs.Resize(nOutputs);

  AssessInputConnections();
  SetBlockSize(1024);
}

IPluginAU::~IPluginAU() = default;

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
    // The instance storage held the plug-in since open; it is this call's to end.
    const std::unique_ptr<IPluginAU> owned(plug);
    if (plug) plug->ClearConnections();
    return noErr;
  }
  if (!plug) return badComponentInstance;

  IMutexLock lock(plug);
  return plug->Dispatch(params);
}

// The selector table: one row per selector the entry dispatches under the
// mutex. Handlers are plain functions of the plug-in so that the table reads
// as one list; the class grants them its members.
struct AUSelectorRows {
  using Handler = ComponentResult (*)(IPluginAU& p, ComponentParameters* params);
  struct Row {
    SInt16 mSelector;
    Handler mHandle;
  };

  static const Row kRows[];
  static const int kNRows;

  // The property, scope and element every property selector begins with.
  static AudioUnitPropertyID PropID(ComponentParameters* params) {
    return ComponentArgument<AudioUnitPropertyID>(params, 0);
  }
  static AudioUnitScope Scope(ComponentParameters* params) { return ComponentArgument<AudioUnitScope>(params, 1); }
  static AudioUnitElement Element(ComponentParameters* params) {
    return ComponentArgument<AudioUnitElement>(params, 2);
  }

  static ComponentResult CanDo(IPluginAU&, ComponentParameters* params) {
    const int asked = ComponentArgument<SInt16>(params, 0);
    return asked >= 0 && asked < kCanDoLimit && ((kCanDoMask >> asked) & 1) ? 1 : 0;
  }
  static ComponentResult Version(IPluginAU& p, ComponentParameters*) { return p.GetEffectVersion(false); }
  static ComponentResult Initialize(IPluginAU& p, ComponentParameters*) {
    if (!p.CheckLegalIO()) return badComponentSelector;
    p.mActive = true;
    p.OnParamReset();
    p.OnActivate(true);
    return noErr;
  }
  static ComponentResult Uninitialize(IPluginAU& p, ComponentParameters*) {
    p.mActive = false;
    p.OnActivate(false);
    return noErr;
  }
  static ComponentResult GetPropertyInfo(IPluginAU& p, ComponentParameters* params) {
    UInt32 localSize = 0;
    Boolean localWritable = false;
    UInt32* dataSize = ComponentArgument<UInt32*>(params, 3);
    Boolean* writable = ComponentArgument<Boolean*>(params, 4);
    if (!dataSize) dataSize = &localSize;
    if (!writable) writable = &localWritable;
    *writable = false;
    return p.GetProperty(PropID(params), Scope(params), Element(params), dataSize, writable, nullptr);
  }
  static ComponentResult GetProperty(IPluginAU& p, ComponentParameters* params) {
    void* data = ComponentArgument<void*>(params, 3);
    UInt32* dataSize = ComponentArgument<UInt32*>(params, 4);
    // Without the caller's buffer size nothing can be written safely.
    if (data && !dataSize) return paramErr;
    UInt32 localSize = 0;
    if (!dataSize) dataSize = &localSize;
    Boolean writable = false;
    return p.GetProperty(PropID(params), Scope(params), Element(params), dataSize, &writable, data);
  }
  static ComponentResult SetProperty(IPluginAU& p, ComponentParameters* params) {
    UInt32 dataSize = ComponentArgument<UInt32>(params, 4);
    return p.SetProperty(PropID(params), Scope(params), Element(params), &dataSize,
                         ComponentArgument<const void*>(params, 3));
  }
  static ComponentResult GetParameter(IPluginAU& p, ComponentParameters* params) {
    return IPluginAU::GetParamProc(&p, ComponentArgument<AudioUnitParameterID>(params, 0), Scope(params),
                                   Element(params), ComponentArgument<AudioUnitParameterValue*>(params, 3));
  }
  static ComponentResult SetParameter(IPluginAU& p, ComponentParameters* params) {
    return IPluginAU::SetParamProc(&p, ComponentArgument<AudioUnitParameterID>(params, 0), Scope(params),
                                   Element(params), ComponentArgument<AudioUnitParameterValue>(params, 3),
                                   ComponentArgument<UInt32>(params, 4));
  }
  static ComponentResult Reset(IPluginAU& p, ComponentParameters*) {
    p.Reset();
    p.OnHostReset();
    return noErr;
  }
  static ComponentResult AddPropertyListener(IPluginAU& p, ComponentParameters* params) {
    const AudioUnitPropertyID propID = PropID(params);
    AudioUnitPropertyListenerProc proc = ComponentArgument<AudioUnitPropertyListenerProc>(params, 1);
    if (!proc) return paramErr;
    for (int i = 0; i < p.mPropertyListeners.GetSize(); ++i) {
      const IPluginAU::PropertyListener* l = p.mPropertyListeners.Get(i);
      if (l->mPropID == propID && l->mListenerProc == proc) return noErr;
    }
    p.mPropertyListeners.Add(IPluginAU::PropertyListener{propID, proc, ComponentArgument<void*>(params, 2)});
    return noErr;
  }
  // With or without the user data to match, as the selector says.
  static ComponentResult RemovePropertyListener(IPluginAU& p, ComponentParameters* params) {
    const AudioUnitPropertyID propID = PropID(params);
    AudioUnitPropertyListenerProc proc = ComponentArgument<AudioUnitPropertyListenerProc>(params, 1);
    const bool matchUserData = params->what == kAudioUnitRemovePropertyListenerWithUserDataSelect;
    void* userData = matchUserData ? ComponentArgument<void*>(params, 2) : nullptr;
    for (int i = 0; i < p.mPropertyListeners.GetSize(); ++i) {
      const IPluginAU::PropertyListener* l = p.mPropertyListeners.Get(i);
      if (l->mPropID == propID && l->mListenerProc == proc && (!matchUserData || l->mProcArgs == userData)) {
        p.mPropertyListeners.Delete(i);
        break;
      }
    }
    return noErr;
  }
  static ComponentResult Render(IPluginAU& p, ComponentParameters* params) {
    return IPluginAU::RenderProc(&p, ComponentArgument<AudioUnitRenderActionFlags*>(params, 0),
                                 ComponentArgument<const AudioTimeStamp*>(params, 1),
                                 ComponentArgument<UInt32>(params, 2), ComponentArgument<UInt32>(params, 3),
                                 ComponentArgument<AudioBufferList*>(params, 4));
  }
  static ComponentResult AddRenderNotify(IPluginAU& p, ComponentParameters* params) {
    return p.AddRenderNotify(ComponentArgument<AURenderCallback>(params, 0), ComponentArgument<void*>(params, 1));
  }
  static ComponentResult RemoveRenderNotify(IPluginAU& p, ComponentParameters* params) {
    return p.RemoveRenderNotify(ComponentArgument<AURenderCallback>(params, 0));
  }
  static ComponentResult ScheduleParameters(IPluginAU& p, ComponentParameters* params) {
    return p.ScheduleParameters(ComponentArgument<const AudioUnitParameterEvent*>(params, 0),
                                ComponentArgument<UInt32>(params, 1));
  }
  static ComponentResult MidiEvent(IPluginAU& p, ComponentParameters* params) {
    return p.MidiEvent(ComponentArgument<UInt32>(params, 0), ComponentArgument<UInt32>(params, 1),
                       ComponentArgument<UInt32>(params, 2), ComponentArgument<UInt32>(params, 3));
  }
  static ComponentResult SysEx(IPluginAU& p, ComponentParameters* params) {
    const UInt8* data = ComponentArgument<const UInt8*>(params, 0);
    const UInt32 length = ComponentArgument<UInt32>(params, 1);
    p.CheckAudioThreadEntry();
    if ((!data && length > 0) || length > 0x7FFFFFFF) return paramErr;
    ISysEx sysex(0, data, (int)length);
    p.ProcessSysEx(&sysex);
    return noErr;
  }
  // Preparing, releasing and stopping have nothing to act on.
  static ComponentResult Accept(IPluginAU&, ComponentParameters*) { return noErr; }
  // Only hands back the instance ID: the instrument plays MIDI events, so a
  // note started this way sounds nothing.
  static ComponentResult StartNote(IPluginAU&, ComponentParameters* params) {
    NoteInstanceID* noteID = ComponentArgument<NoteInstanceID*>(params, 2);
    const MusicDeviceNoteParams* note = ComponentArgument<const MusicDeviceNoteParams*>(params, 4);
    if (!noteID || !note) return paramErr;
    *noteID = (NoteInstanceID)(int)note->mPitch;
    return noErr;
  }
};

const AUSelectorRows::Row AUSelectorRows::kRows[] = {
    {kComponentCanDoSelect, CanDo},
    {kComponentVersionSelect, Version},
    {kAudioUnitInitializeSelect, Initialize},
    {kAudioUnitUninitializeSelect, Uninitialize},
    {kAudioUnitGetPropertyInfoSelect, GetPropertyInfo},
    {kAudioUnitGetPropertySelect, GetProperty},
    {kAudioUnitSetPropertySelect, SetProperty},
    {kAudioUnitGetParameterSelect, GetParameter},
    {kAudioUnitSetParameterSelect, SetParameter},
    {kAudioUnitResetSelect, Reset},
    {kAudioUnitAddPropertyListenerSelect, AddPropertyListener},
    {kAudioUnitRemovePropertyListenerSelect, RemovePropertyListener},
    {kAudioUnitRemovePropertyListenerWithUserDataSelect, RemovePropertyListener},
    {kAudioUnitRenderSelect, Render},
    {kAudioUnitAddRenderNotifySelect, AddRenderNotify},
    {kAudioUnitRemoveRenderNotifySelect, RemoveRenderNotify},
    {kAudioUnitScheduleParametersSelect, ScheduleParameters},
    {kMusicDeviceMIDIEventSelect, MidiEvent},
    {kMusicDeviceSysExSelect, SysEx},
    {kMusicDevicePrepareInstrumentSelect, Accept},
    {kMusicDeviceReleaseInstrumentSelect, Accept},
    {kMusicDeviceStartNoteSelect, StartNote},
    {kMusicDeviceStopNoteSelect, Accept},
};
const int AUSelectorRows::kNRows = (int)(sizeof kRows / sizeof kRows[0]);

ComponentResult IPluginAU::Dispatch(ComponentParameters* params) {
  for (int i = 0; i < AUSelectorRows::kNRows; ++i)
    if (AUSelectorRows::kRows[i].mSelector == params->what) return AUSelectorRows::kRows[i].mHandle(*this, params);
  return badComponentSelector;
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
