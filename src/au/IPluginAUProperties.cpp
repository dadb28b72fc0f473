// Answers to the host's property queries and assignments.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "au/AUPresetRecord.h"
#include "au/IPluginAU.h"
#include "plugin/Log.h"

namespace {
// Sets the property's size and reports whether a value may be written: true
// only when the caller passed data and its buffer holds the whole value.
// *status becomes kAudioUnitErr_InvalidPropertyValue for a short buffer.
bool SizeAndFit(UInt32 size, UInt32 capacity, UInt32* dataSize, const void* data, OSStatus* status) {
  *dataSize = size;
  if (!data) return false;
  if (capacity < size) {
    *status = kAudioUnitErr_InvalidPropertyValue;
    return false;
  }
  return true;
}

template <class T>
void Write(void* data, const T& value) {
  std::memcpy(data, &value, sizeof value);
}

// Writes to data a new array of the n items make(i) creates (one it cannot
// create is left out); the array holds its own references, so each item is
// let go with release, and the host releases the array.
template <class Make, class Release>
OSStatus WriteNewArray(void* data, int n, const CFArrayCallBacks* callbacks, Make make, Release release) {
  CFMutableArrayRef array = CFArrayCreateMutable(nullptr, n, callbacks);
  if (!array) return coreFoundationUnknownErr;
  for (int i = 0; i < n; ++i) {
    const auto item = make(i);
    if (!item) continue;
    CFArrayAppendValue(array, item);
    release(item);
  }
  CFArrayRef result = array;
  Write(data, result);
  return noErr;
}

template <class T>
T Read(const void* data) {
  T value;
  std::memcpy(&value, data, sizeof value);
  return value;
}

const int kSystemVersionForCocoaUI = 0x1050;
// The stand-in platform is newer than the first system with Cocoa views, so
// the CocoaUI property needs only an editor.
const int kSystemVersion = 0x1090;
static_assert(kSystemVersion >= kSystemVersionForCocoaUI, "Cocoa views need a newer system");

// Which scopes (and elements) a property answers in; others get
// kAudioUnitErr_InvalidProperty.
enum class EScopeRule { kAny, kGlobal, kInputOrGlobal, kInputOrGlobalBus, kInputBus };

// How a property read is answered.
enum class EGetShape {
  kValue,     // size times count; the value is written when the caller's buffer holds it
  kSizeOnly,  // size and writability only: the value is the host's to set, never read back
  kQuery,     // a record the caller fills in and the unit completes; other scopes and no data ask nothing
  kCustom,    // the handler answers every part itself
  kWriteOnly, // not readable
};
}  // namespace

// One read or write of a property as a handler sees it.
struct AUPropertyCall {
  AudioUnitScope mScope;
  AudioUnitElement mElement;
  UInt32* mDataSize;   // in: the caller's buffer (read) or value (write) size; out: the property's size
  UInt32 mCapacity;    // read: the caller's buffer size, 0 without data
  void* mData;         // read: the caller's buffer, null to ask only for size
  const void* mValue;  // write: the value
};

// The property table: one row per property the unit answers or accepts.
// Handlers are plain functions of the plug-in so that the table reads as one
// list; the class grants them its members.
struct AUPropertyRows {
  using Handler = OSStatus (*)(IPluginAU& p, const AUPropertyCall& c);
  using Count = UInt32 (*)(IPluginAU& p, const AUPropertyCall& c);

  struct Row {
    AudioUnitPropertyID mPropID;
    EGetShape mShape;
    EScopeRule mGetScope;
    EScopeRule mSetScope;
    UInt32 mSize;      // of one value; of the whole record for writes
    Count mCount;      // values read; null: one
    Handler mCheck;    // whether the property applies here, before the size is given; null: always
    Handler mGet;      // writes the value into mData; null for size-only and write-only rows
    Handler mSet;      // null: read-only; a row with one is writable
  };

  static const Row kRows[];
  static const int kNRows;

  static const Row* Find(AudioUnitPropertyID propID) {
    for (int i = 0; i < kNRows; ++i)
      if (kRows[i].mPropID == propID) return &kRows[i];
    return nullptr;
  }

  static bool ScopeAllows(IPluginAU& p, EScopeRule rule, AudioUnitScope scope, AudioUnitElement element) {
    const bool global = scope == kAudioUnitScope_Global;
    const bool input = scope == kAudioUnitScope_Input;
    const bool inputBus = element < (AudioUnitElement)p.NInBuses();
    switch (rule) {
      case EScopeRule::kAny: return true;
      case EScopeRule::kGlobal: return global;
      case EScopeRule::kInputOrGlobal: return input || global;
      case EScopeRule::kInputOrGlobalBus: return (input || global) && inputBus;
      case EScopeRule::kInputBus: return input && inputBus;
    }
    return false;
  }

  // ---- Checks ----

  static OSStatus ParamElement(IPluginAU& p, const AUPropertyCall& c) {
    return c.mElement < (AudioUnitElement)p.NParams() ? (OSStatus)noErr : kAudioUnitErr_InvalidElement;
  }
  static OSStatus ParamWithTexts(IPluginAU& p, const AUPropertyCall& c) {
    const OSStatus status = ParamElement(p, c);
    if (status != noErr) return status;
    if (p.GetParam((int)c.mElement)->GetNDisplayTexts() > 0) return noErr;
    *c.mDataSize = 0;
    return kAudioUnitErr_InvalidProperty;
  }
  static OSStatus HasBus(IPluginAU& p, const AUPropertyCall& c) {
    return p.GetBus(c.mScope, c.mElement) ? (OSStatus)noErr : kAudioUnitErr_InvalidProperty;
  }
  static OSStatus HasEditor(IPluginAU& p, const AUPropertyCall&) {
    return p.GetGUI() ? (OSStatus)noErr : kAudioUnitErr_InvalidProperty;
  }
  static OSStatus IsInstrument(IPluginAU& p, const AUPropertyCall&) {
    return p.IsInst() ? (OSStatus)noErr : kAudioUnitErr_InvalidProperty;
  }
  static OSStatus HasLayoutTag(IPluginAU& p, const AUPropertyCall& c) {
    AudioChannelLayoutTag tag = kAudioChannelLayoutTag_Unknown;
    if (!p.IsInst() || p.NOutBuses() == 1 || !p.GetChannelLayoutTags(c.mScope, c.mElement, &tag))
      return kAudioUnitErr_InvalidProperty;
    return noErr;
  }

  // ---- Counts ----

  static UInt32 GlobalParams(IPluginAU& p, const AUPropertyCall& c) {
    return c.mScope == kAudioUnitScope_Global ? (UInt32)p.NParams() : 0;
  }
  static UInt32 ChannelIOs(IPluginAU& p, const AUPropertyCall&) { return (UInt32)p.NChannelIO(); }

  // ---- Reads ----

  static OSStatus GetClassInfo(IPluginAU& p, const AUPropertyCall& c) {
    CFPropertyListRef dict = nullptr;
    const OSStatus status = p.GetState(&dict);
    if (status == noErr) Write(c.mData, dict);
    return status;
  }
  static OSStatus GetSampleRate(IPluginAU& p, const AUPropertyCall& c) {
    Write<Float64>(c.mData, p.GetSampleRate());
    return noErr;
  }
  static OSStatus GetParameterList(IPluginAU& p, const AUPropertyCall& c) {
    AudioUnitParameterID* ids = static_cast<AudioUnitParameterID*>(c.mData);
    for (UInt32 i = 0, n = GlobalParams(p, c); i < n; ++i) ids[i] = i;
    return noErr;
  }
  static OSStatus GetParameterInfo(IPluginAU& p, const AUPropertyCall& c) {
    AudioUnitParameterInfo info;
    const OSStatus status = p.GetParameterInfo(c.mElement, &info);
    Write(c.mData, info);
    return status;
  }
  static OSStatus GetFastDispatch(IPluginAU& p, const AUPropertyCall& c) {
    UInt32 size = c.mCapacity;
    const OSStatus status = p.GetProc(c.mElement, &size, c.mData);
    *c.mDataSize = size;
    return status;
  }
  static OSStatus GetStreamFormat(IPluginAU& p, const AUPropertyCall& c) {
    const IPluginAU::BusChannels* bus = p.GetBus(c.mScope, c.mElement);
    const int nChannels = bus->mNHostChannels >= 0 ? bus->mNHostChannels : bus->mNPlugChannels;
    AudioStreamBasicDescription asbd;
    p.MakeDefaultASBD(&asbd, nChannels, false);
    Write(c.mData, asbd);
    return noErr;
  }
  static OSStatus GetElementCount(IPluginAU& p, const AUPropertyCall& c) {
    UInt32 count = 0;
    if (c.mScope == kAudioUnitScope_Input)
      count = (UInt32)p.NInBuses();
    else if (c.mScope == kAudioUnitScope_Output)
      count = (UInt32)p.NOutBuses();
    else if (c.mScope == kAudioUnitScope_Global)
      count = 1;
    Write<UInt32>(c.mData, count);
    return noErr;
  }
  // Latency and tail time alike, in seconds.
  static OSStatus GetLatencySeconds(IPluginAU& p, const AUPropertyCall& c) {
    const double rate = p.GetSampleRate();
    Write<Float64>(c.mData, rate > 0.0 ? (Float64)p.GetLatency() / rate : 0.0);
    return noErr;
  }
  static OSStatus GetSupportedNumChannels(IPluginAU& p, const AUPropertyCall& c) {
    AUChannelInfo* pairs = static_cast<AUChannelInfo*>(c.mData);
    for (int i = 0; i < p.NChannelIO(); ++i) {
      int nIn = 0, nOut = 0;
      p.GetChannelIO(i, &nIn, &nOut);
      pairs[i].inChannels = (SInt16)nIn;
      pairs[i].outChannels = (SInt16)nOut;
      TRACE_AS("GetProperty", "IO:%d:%d", nIn, nOut);
    }
    return noErr;
  }
  static OSStatus GetMaximumFrames(IPluginAU& p, const AUPropertyCall& c) {
    Write<UInt32>(c.mData, (UInt32)p.GetBlockSize());
    return noErr;
  }
  static OSStatus GetValueStrings(IPluginAU& p, const AUPropertyCall& c) {
    return p.GetParameterValueStrings(c.mElement, c.mData);
  }
  static OSStatus GetUIComponentList(IPluginAU& p, const AUPropertyCall& c) {
    ComponentDescription cd = {kAudioUnitCarbonViewComponentType, (OSType)p.GetUniqueID(), (OSType)p.GetMfrID(), 0, 0};
    Write(c.mData, cd);
    return noErr;
  }
  // The buses take whatever layout their channel count implies; none is reported.
  static OSStatus GetAudioChannelLayout(IPluginAU&, const AUPropertyCall&) { return kAudioUnitErr_InvalidPropertyValue; }
  static OSStatus GetBypass(IPluginAU& p, const AUPropertyCall& c) {
    Write<UInt32>(c.mData, p.IsBypassed() ? 1 : 0);
    return noErr;
  }
  static OSStatus GetLastRenderError(IPluginAU&, const AUPropertyCall& c) {
    Write<OSStatus>(c.mData, noErr);
    return noErr;
  }
  static OSStatus GetFactoryPresets(IPluginAU& p, const AUPropertyCall& c) { return p.GetFactoryPresets(c.mData); }
  static OSStatus GetHostCallbacks(IPluginAU& p, const AUPropertyCall& c) {
    Write(c.mData, p.mHostCallbacks);
    return noErr;
  }
  static OSStatus GetPreset(IPluginAU& p, const AUPropertyCall& c) {
    const int idx = p.GetCurrentPresetIdx();
    AUPreset preset = {idx, CFStringCreateWithCString(nullptr, p.GetPresetName(idx), kCFStringEncodingUTF8)};
    Write(c.mData, preset);
    return noErr;
  }
  static OSStatus GetElementName(IPluginAU& p, const AUPropertyCall& c);
  static OSStatus GetCocoaUI(IPluginAU& p, const AUPropertyCall& c) { return p.GetCocoaUI(c.mData); }
  static OSStatus GetLayoutTag(IPluginAU& p, const AUPropertyCall& c) {
    AudioChannelLayoutTag tag = kAudioChannelLayoutTag_Unknown;
    p.GetChannelLayoutTags(c.mScope, c.mElement, &tag);
    Write(c.mData, tag);
    return noErr;
  }
  static OSStatus GetStringFromValue(IPluginAU& p, const AUPropertyCall& c) {
    return p.GetParameterStringFromValue(static_cast<AudioUnitParameterStringFromValue*>(c.mData));
  }
  static OSStatus GetIDName(IPluginAU& p, const AUPropertyCall& c) {
    return p.GetParameterIDName(static_cast<AudioUnitParameterNameInfo*>(c.mData));
  }
  static OSStatus GetClumpName(IPluginAU& p, const AUPropertyCall& c) {
    return p.GetParameterClumpName(static_cast<AudioUnitParameterNameInfo*>(c.mData));
  }
  static OSStatus GetValueFromString(IPluginAU& p, const AUPropertyCall& c) {
    return p.GetParameterValueFromString(static_cast<AudioUnitParameterValueFromString*>(c.mData));
  }
  static OSStatus GetInstrumentCount(IPluginAU&, const AUPropertyCall& c) {
    Write<UInt32>(c.mData, 1);
    return noErr;
  }

  // ---- Writes (the value is whole: the size was checked) ----

  static OSStatus SetClassInfo(IPluginAU& p, const AUPropertyCall& c) {
    return p.SetState(Read<CFPropertyListRef>(c.mValue));
  }
  static OSStatus SetConnection(IPluginAU& p, const AUPropertyCall& c) {
    const AudioUnitConnection connection = Read<AudioUnitConnection>(c.mValue);
    if (!ScopeAllows(p, EScopeRule::kInputOrGlobal, c.mScope, c.mElement) ||
        connection.destInputNumber >= (UInt32)p.NInBuses())
      return kAudioUnitErr_InvalidProperty;
    return p.MakeConnection(&connection);
  }
  static OSStatus SetSampleRate(IPluginAU& p, const AUPropertyCall& c) {
    const Float64 rate = Read<Float64>(c.mValue);
    if (!std::isfinite(rate) || rate <= 0.0) return kAudioUnitErr_InvalidPropertyValue;
    if (!p.PlaysSampleRate(rate)) return kAudioUnitErr_FormatNotSupported;
    p.SetSampleRate(rate);
    p.Reset();
    return noErr;
  }
  static OSStatus SetStreamFormat(IPluginAU& p, const AUPropertyCall& c) {
    const AudioStreamBasicDescription asbd = Read<AudioStreamBasicDescription>(c.mValue);
    return p.SetStreamFormat(c.mScope, c.mElement, &asbd);
  }
  static OSStatus SetMaximumFrames(IPluginAU& p, const AUPropertyCall& c) {
    // The render thread uses the scratch buffers while the unit is initialised.
    if (p.mActive) return kAudioUnitErr_Initialized;
    const UInt32 frames = Read<UInt32>(c.mValue);
    if (frames < 1 || frames > (UInt32)IPluginAU::kMaxBlockSize) return kAudioUnitErr_InvalidPropertyValue;
    p.SetBlockSize((int)frames);
    if (p.GetBlockSize() != (int)frames) return memFullErr;
    p.Reset();
    return noErr;
  }
  static OSStatus SetBypass(IPluginAU& p, const AUPropertyCall& c) {
    const bool bypassed = Read<UInt32>(c.mValue) != 0;
    p.SetBypassed(bypassed);
    p.OnActivate(!bypassed);
    p.Reset();
    return noErr;
  }
  static OSStatus SetRenderCallback(IPluginAU& p, const AUPropertyCall& c) {
    const AURenderCallbackStruct callback = Read<AURenderCallbackStruct>(c.mValue);
    return p.SetRenderCallback(c.mElement, &callback);
  }
  static OSStatus SetHostCallbacks(IPluginAU& p, const AUPropertyCall& c) {
    p.mHostCallbacks = Read<HostCallbackInfo>(c.mValue);
    return noErr;
  }
  static OSStatus SetPreset(IPluginAU& p, const AUPropertyCall& c) {
    const AUPreset preset = Read<AUPreset>(c.mValue);
    return p.RestorePreset((int)preset.presetNumber) ? (OSStatus)noErr : kAudioUnitErr_InvalidPropertyValue;
  }
  static OSStatus SetOffline(IPluginAU& p, const AUPropertyCall& c) {
    p.mIsOffline = Read<UInt32>(c.mValue) != 0;
    return noErr;
  }
  static OSStatus SetHostIdentifier(IPluginAU& p, const AUPropertyCall& c) {
    const AUHostIdentifier hostID = Read<AUHostIdentifier>(c.mValue);
    return p.SetHostIdentifier(&hostID);
  }
};

OSStatus AUPropertyRows::GetElementName(IPluginAU& p, const AUPropertyCall& c) {
  *c.mDataSize = sizeof(CFStringRef);
  if (!c.mData) return kAudioUnitErr_InvalidProperty;
  const char* label = nullptr;
  if (c.mScope == kAudioUnitScope_Output)
    label = c.mElement < (AudioUnitElement)p.NOutBuses() ? p.GetOutputBusLabel((int)c.mElement) : nullptr;
  else if (c.mScope == kAudioUnitScope_Input)
    label = c.mElement <= 1 && c.mElement < (AudioUnitElement)p.NInBuses() ? p.GetInputBusLabel((int)c.mElement)
                                                                            : nullptr;
  else
    return kAudioUnitErr_InvalidScope;
  if (!label) return kAudioUnitErr_InvalidElement;
  OSStatus status = noErr;
  if (SizeAndFit(sizeof(CFStringRef), c.mCapacity, c.mDataSize, c.mData, &status))
    Write(c.mData, CFStringCreateWithCString(nullptr, label, kCFStringEncodingUTF8));
  return status;
}

namespace {
using P = AUPropertyRows;
using S = EScopeRule;
using G = EGetShape;
}  // namespace

// Each row: property, read shape, read scopes, write scopes, size, count,
// check, reader, writer.
const AUPropertyRows::Row AUPropertyRows::kRows[] = {
    {kAudioUnitProperty_ClassInfo, G::kValue, S::kAny, S::kAny, sizeof(CFPropertyListRef), nullptr, nullptr,
     P::GetClassInfo, P::SetClassInfo},
    // The connection is checked against the scope only once it is read.
    {kAudioUnitProperty_MakeConnection, G::kSizeOnly, S::kInputOrGlobal, S::kAny, sizeof(AudioUnitConnection),
     nullptr, nullptr, nullptr, P::SetConnection},
    {kAudioUnitProperty_SampleRate, G::kValue, S::kAny, S::kAny, sizeof(Float64), nullptr, nullptr, P::GetSampleRate,
     P::SetSampleRate},
    {kAudioUnitProperty_ParameterList, G::kValue, S::kAny, S::kAny, sizeof(AudioUnitParameterID), P::GlobalParams,
     nullptr, P::GetParameterList, nullptr},
    {kAudioUnitProperty_ParameterInfo, G::kValue, S::kGlobal, S::kAny, sizeof(AudioUnitParameterInfo), nullptr,
     P::ParamElement, P::GetParameterInfo, nullptr},
    {kAudioUnitProperty_FastDispatch, G::kCustom, S::kAny, S::kAny, sizeof(void*), nullptr, nullptr,
     P::GetFastDispatch, nullptr},
    // The bus is found (and the scope checked) by the negotiation itself.
    {kAudioUnitProperty_StreamFormat, G::kValue, S::kAny, S::kAny, sizeof(AudioStreamBasicDescription), nullptr,
     P::HasBus, P::GetStreamFormat, P::SetStreamFormat},
    {kAudioUnitProperty_ElementCount, G::kValue, S::kAny, S::kAny, sizeof(UInt32), nullptr, nullptr,
     P::GetElementCount, nullptr},
    {kAudioUnitProperty_Latency, G::kValue, S::kGlobal, S::kAny, sizeof(Float64), nullptr, nullptr,
     P::GetLatencySeconds, nullptr},
    {kAudioUnitProperty_SupportedNumChannels, G::kValue, S::kGlobal, S::kAny, sizeof(AUChannelInfo), P::ChannelIOs,
     nullptr, P::GetSupportedNumChannels, nullptr},
    {kAudioUnitProperty_MaximumFramesPerSlice, G::kValue, S::kGlobal, S::kAny, sizeof(UInt32), nullptr, nullptr,
     P::GetMaximumFrames, P::SetMaximumFrames},
    {kAudioUnitProperty_ParameterValueStrings, G::kValue, S::kGlobal, S::kAny, sizeof(CFArrayRef), nullptr,
     P::ParamWithTexts, P::GetValueStrings, nullptr},
    {kAudioUnitProperty_GetUIComponentList, G::kValue, S::kAny, S::kAny, sizeof(ComponentDescription), nullptr,
     P::HasEditor, P::GetUIComponentList, nullptr},
    {kAudioUnitProperty_AudioChannelLayout, G::kCustom, S::kAny, S::kAny, 0, nullptr, nullptr,
     P::GetAudioChannelLayout, nullptr},
    {kAudioUnitProperty_TailTime, G::kValue, S::kGlobal, S::kAny, sizeof(Float64), nullptr, nullptr,
     P::GetLatencySeconds, nullptr},
    {kAudioUnitProperty_BypassEffect, G::kValue, S::kGlobal, S::kAny, sizeof(UInt32), nullptr, nullptr, P::GetBypass,
     P::SetBypass},
    {kAudioUnitProperty_LastRenderError, G::kValue, S::kGlobal, S::kAny, sizeof(OSStatus), nullptr, nullptr,
     P::GetLastRenderError, nullptr},
    {kAudioUnitProperty_SetRenderCallback, G::kSizeOnly, S::kInputOrGlobalBus, S::kInputBus,
     sizeof(AURenderCallbackStruct), nullptr, nullptr, nullptr, P::SetRenderCallback},
    {kAudioUnitProperty_FactoryPresets, G::kValue, S::kAny, S::kAny, sizeof(CFArrayRef), nullptr, nullptr,
     P::GetFactoryPresets, nullptr},
    {kAudioUnitProperty_HostCallbacks, G::kValue, S::kGlobal, S::kGlobal, sizeof(HostCallbackInfo), nullptr, nullptr,
     P::GetHostCallbacks, P::SetHostCallbacks},
    {kAudioUnitProperty_CurrentPreset, G::kValue, S::kAny, S::kAny, sizeof(AUPreset), nullptr, nullptr, P::GetPreset,
     P::SetPreset},
    {kAudioUnitProperty_ElementName, G::kCustom, S::kAny, S::kAny, sizeof(CFStringRef), nullptr, nullptr,
     P::GetElementName, nullptr},
    {kAudioUnitProperty_CocoaUI, G::kValue, S::kAny, S::kAny, sizeof(AudioUnitCocoaViewInfo), nullptr, P::HasEditor,
     P::GetCocoaUI, nullptr},
    {kAudioUnitProperty_SupportedChannelLayoutTags, G::kValue, S::kAny, S::kAny, sizeof(AudioChannelLayoutTag),
     nullptr, P::HasLayoutTag, P::GetLayoutTag, nullptr},
    {kAudioUnitProperty_ParameterStringFromValue, G::kQuery, S::kGlobal, S::kAny,
     sizeof(AudioUnitParameterStringFromValue), nullptr, nullptr, P::GetStringFromValue, nullptr},
    {kAudioUnitProperty_ParameterIDName, G::kQuery, S::kGlobal, S::kAny, sizeof(AudioUnitParameterNameInfo), nullptr,
     nullptr, P::GetIDName, nullptr},
    {kAudioUnitProperty_ParameterClumpName, G::kQuery, S::kGlobal, S::kAny, sizeof(AudioUnitParameterNameInfo),
     nullptr, nullptr, P::GetClumpName, nullptr},
    {kAudioUnitProperty_PresentPreset, G::kValue, S::kAny, S::kAny, sizeof(AUPreset), nullptr, nullptr, P::GetPreset,
     P::SetPreset},
    {kAudioUnitProperty_OfflineRender, G::kWriteOnly, S::kAny, S::kAny, sizeof(UInt32), nullptr, nullptr, nullptr,
     P::SetOffline},
    {kAudioUnitProperty_ParameterValueFromString, G::kQuery, S::kGlobal, S::kAny,
     sizeof(AudioUnitParameterValueFromString), nullptr, nullptr, P::GetValueFromString, nullptr},
    {kAudioUnitProperty_AUHostIdentifier, G::kWriteOnly, S::kAny, S::kAny, sizeof(AUHostIdentifier), nullptr, nullptr,
     nullptr, P::SetHostIdentifier},
    {kMusicDeviceProperty_InstrumentCount, G::kValue, S::kGlobal, S::kAny, sizeof(UInt32), nullptr, P::IsInstrument,
     P::GetInstrumentCount, nullptr},
};
const int AUPropertyRows::kNRows = (int)(sizeof kRows / sizeof kRows[0]);

OSStatus IPluginAU::GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                UInt32* dataSize, Boolean* writable, void* data) {
  TRACE_AS("GetProperty", "%s(%d:%s):(%d:%s):%d", data ? "" : "Info", propID, AUPropertyStr((int)propID), scope,
           AUScopeStr((int)scope), element);
  const AUPropertyRows::Row* row = AUPropertyRows::Find(propID);
  if (!row || row->mShape == EGetShape::kWriteOnly) return kAudioUnitErr_InvalidProperty;
  const AUPropertyCall call = {scope, element, dataSize, data ? *dataSize : 0, data, nullptr};
  if (row->mShape == EGetShape::kCustom) return row->mGet(*this, call);

  const bool inScope = AUPropertyRows::ScopeAllows(*this, row->mGetScope, scope, element);
  UInt32 size = row->mSize;
  if (row->mShape == EGetShape::kQuery) {
    *dataSize = size;
    if (!inScope || !data) return noErr;
  } else {
    if (!inScope) return kAudioUnitErr_InvalidProperty;
    if (row->mCheck) {
      const OSStatus status = row->mCheck(*this, call);
      if (status != noErr) return status;
    }
    if (row->mSet) *writable = true;
    if (row->mCount) size *= row->mCount(*this, call);
    if (row->mShape == EGetShape::kSizeOnly) {
      *dataSize = size;
      return noErr;
    }
  }
  OSStatus status = noErr;
  if (!SizeAndFit(size, call.mCapacity, dataSize, data, &status)) return status;
  return row->mGet(*this, call);
}

OSStatus IPluginAU::GetParameterInfo(AudioUnitElement paramIdx, AudioUnitParameterInfo* info) {
  std::memset(info, 0, sizeof *info);
  IParam* param = GetParam((int)paramIdx);
  const char* name = param->GetNameForHost();
  std::snprintf(info->name, sizeof info->name, "%s", name);
  info->cfNameString = CFStringCreateWithCString(nullptr, name, kCFStringEncodingUTF8);
  info->flags = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_HasCFNameString |
                kAudioUnitParameterFlag_CFNameRelease;
  if (param->GetCanAutomate()) info->flags |= kAudioUnitParameterFlag_IsWritable;
  if (param->GetIsMeta()) info->flags |= kAudioUnitParameterFlag_IsElementMeta;

  switch (param->Type()) {
    case IParam::kKindInt:
    case IParam::kKindEnum:
      info->unit = kAudioUnitParameterUnit_Indexed;
      break;
    case IParam::kKindBool:
      info->unit = kAudioUnitParameterUnit_Boolean;
      break;
    default: {
      const char* label = param->GetLabelForHost();
      if (label && *label) {
        info->unit = kAudioUnitParameterUnit_CustomUnit;
        info->unitName = CFStringCreateWithCString(nullptr, label, kCFStringEncodingUTF8);
      } else {
        info->unit = kAudioUnitParameterUnit_Generic;
      }
    }
  }

  double lo = 0.0, hi = 1.0;
  param->GetBounds(&lo, &hi);
  info->minValue = (AudioUnitParameterValue)lo;
  info->maxValue = (AudioUnitParameterValue)hi;
  info->defaultValue = (AudioUnitParameterValue)param->Value();

  const char* group = param->GetParamGroupForHost();
  if (group && *group) {
    info->clumpID = ClumpIDForGroup(group);
    info->flags |= kAudioUnitParameterFlag_HasClump;
  }
  return noErr;
}

UInt32 IPluginAU::ClumpIDForGroup(const char* group) {
  for (int i = 0; i < NParamGroups(); ++i)
    if (std::strcmp(GetParamGroupName(i), group) == 0) return (UInt32)i + 1;
  return (UInt32)AddParamGroup(group) + 1;
}

OSStatus IPluginAU::GetParameterValueStrings(AudioUnitElement paramIdx, void* data) {
  IParam* param = GetParam((int)paramIdx);
  auto make = [param](int i) {
    return CFStringCreateWithCString(nullptr, param->GetDisplayTextAtIdx(i), kCFStringEncodingUTF8);
  };
  return WriteNewArray(data, param->GetNDisplayTexts(), &kCFTypeArrayCallBacks, make,
                       [](CFStringRef text) { CFRelease(text); });
}

OSStatus IPluginAU::GetFactoryPresets(void* data) {
  auto make = [this](int i) {
    CFStringRef name = CFStringCreateWithCString(nullptr, GetPresetName(i), kCFStringEncodingUTF8);
    CFAUPresetRef preset = CFAUPresetCreate(nullptr, i, name);
    if (name) CFRelease(name);
    return preset;
  };
  return WriteNewArray(data, NPresets(), &kCFAUPresetArrayCallBacks, make,
                       [](CFAUPresetRef preset) { CFAUPresetRelease(preset); });
}

OSStatus IPluginAU::GetCocoaUI(void* data) {
  CFStringRef bundleID = CFStringCreateWithCString(nullptr, mBundleID.Get(), kCFStringEncodingUTF8);
  CFBundleRef bundle = CFBundleGetBundleWithIdentifier(bundleID);
  if (bundleID) CFRelease(bundleID);
  // Without its bundle the host could not load the view factory.
  if (!bundle) return kAudioUnitErr_InvalidProperty;
  AudioUnitCocoaViewInfo info;
  info.mCocoaAUViewBundleLocation = CFBundleCopyBundleURL(bundle);
  info.mCocoaAUViewClass[0] =
      CFStringCreateWithCString(nullptr, mCocoaViewFactoryClassName.Get(), kCFStringEncodingUTF8);
  Write(data, info);
  return noErr;
}

OSStatus IPluginAU::GetParameterStringFromValue(AudioUnitParameterStringFromValue* sfv) {
  IParam* param = GetParam((int)sfv->inParamID);
  if (sfv->inParamID >= (AudioUnitParameterID)NParams() || !param) return kAudioUnitErr_InvalidParameter;
  const double value = sfv->inValue ? (double)*sfv->inValue : param->Value();
  param->GetDisplayForHost(value, false, mParamValueString, true);
  sfv->outString = CFStringCreateWithCString(nullptr, mParamValueString, kCFStringEncodingUTF8);
  return noErr;
}

OSStatus IPluginAU::GetParameterIDName(AudioUnitParameterNameInfo* nameInfo) {
  IParam* param = GetParam((int)nameInfo->inID);
  if (nameInfo->inID >= (AudioUnitParameterID)NParams() || !param) return kAudioUnitErr_InvalidParameter;
  char name[32];
  std::snprintf(name, sizeof name, "%s", param->GetNameForHost());
  if (nameInfo->inDesiredLength != kAudioUnitParameterName_Full) {
    int n = nameInfo->inDesiredLength;
    if (n < 0) n = 0;
    if (n > 31) n = 31;
    name[n] = '\0';
  }
  nameInfo->outName = CFStringCreateWithCString(nullptr, name, kCFStringEncodingUTF8);
  return noErr;
}

OSStatus IPluginAU::GetParameterClumpName(AudioUnitParameterNameInfo* nameInfo) {
  const UInt32 clumpID = nameInfo->inID;
  if (clumpID < 1 || clumpID > (UInt32)NParamGroups()) return kAudioUnitErr_PropertyNotInUse;
  nameInfo->outName = CFStringCreateWithCString(nullptr, GetParamGroupName((int)clumpID - 1), kCFStringEncodingUTF8);
  return noErr;
}

OSStatus IPluginAU::GetParameterValueFromString(AudioUnitParameterValueFromString* vfs) {
  IParam* param = GetParam((int)vfs->inParamID);
  if (vfs->inParamID >= (AudioUnitParameterID)NParams() || !param) return kAudioUnitErr_InvalidParameter;
  if (!vfs->inString || CFGetTypeID(vfs->inString) != CFStringGetTypeID()) return kAudioUnitErr_InvalidPropertyValue;
  char text[128];
  if (!CFStringGetCString(vfs->inString, text, sizeof text, kCFStringEncodingUTF8))
    return kAudioUnitErr_InvalidPropertyValue;
  if (param->GetNDisplayTexts() == 0) {
    double value = std::strtod(text, nullptr);
    if (param->DisplayIsNegated()) value = -value;
    vfs->outValue = (AudioUnitParameterValue)value;
  } else {
    int value = 0;
    if (param->MapDisplayText(text, &value)) vfs->outValue = (AudioUnitParameterValue)value;
  }
  return noErr;
}

OSStatus IPluginAU::SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                UInt32* dataSize, const void* data) {
  TRACE_AS("SetProperty", "(%d:%s):(%d:%s):%d", propID, AUPropertyStr((int)propID), scope, AUScopeStr((int)scope),
           element);
  InformListeners(propID, scope);
  const AUPropertyRows::Row* row = AUPropertyRows::Find(propID);
  if (!row || !row->mSet || !AUPropertyRows::ScopeAllows(*this, row->mSetScope, scope, element))
    return kAudioUnitErr_InvalidProperty;
  // Every settable property needs a whole value from the caller.
  if (!data || *dataSize < row->mSize) return kAudioUnitErr_InvalidPropertyValue;
  return row->mSet(*this, {scope, element, dataSize, 0, nullptr, data});
}

OSStatus IPluginAU::SetHostIdentifier(const AUHostIdentifier* hostID) {
  char name[128] = "";
  if (hostID->hostName && CFGetTypeID(hostID->hostName) == CFStringGetTypeID())
    CFStringGetCString(hostID->hostName, name, sizeof name, kCFStringEncodingUTF8);
  const UInt8 minorAndFix = hostID->hostVersion.minorAndBugRev;
  const int version = (hostID->hostVersion.majorRev << 16) | ((minorAndFix & 0xF0) << 4) | (minorAndFix & 0x0F);
  SetHost(name, version);
  OnHostIdentified();
  return noErr;
}
