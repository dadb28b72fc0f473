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

template <class T>
T Read(const void* data) {
  T value;
  std::memcpy(&value, data, sizeof value);
  return value;
}

const int kSystemVersionForCocoaUI = 0x1050;
// The stand-in platform is newer than the first system with Cocoa views.
const int kSystemVersion = 0x1090;
}  // namespace

OSStatus IPluginAU::GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                UInt32* dataSize, Boolean* writable, void* data) {
  TRACE_AS("GetProperty", "%s(%d:%s):(%d:%s):%d", data ? "" : "Info", propID, AUPropertyStr((int)propID), scope,
           AUScopeStr((int)scope), element);
  const UInt32 capacity = data ? *dataSize : 0;
  OSStatus status = noErr;
  const bool global = scope == kAudioUnitScope_Global;

  switch (propID) {
    case kAudioUnitProperty_ClassInfo: {
      *writable = true;
      if (SizeAndFit(sizeof(CFPropertyListRef), capacity, dataSize, data, &status)) {
        CFPropertyListRef dict = nullptr;
        status = GetState(&dict);
        if (status == noErr) Write(data, dict);
      }
      return status;
    }
    case kAudioUnitProperty_MakeConnection:
      if (scope != kAudioUnitScope_Input && !global) return kAudioUnitErr_InvalidProperty;
      *writable = true;
      *dataSize = sizeof(AudioUnitConnection);
      return noErr;
    case kAudioUnitProperty_SampleRate:
      *writable = true;
      if (SizeAndFit(sizeof(Float64), capacity, dataSize, data, &status)) Write<Float64>(data, GetSampleRate());
      return status;
    case kAudioUnitProperty_ParameterList: {
      const UInt32 n = global ? (UInt32)NParams() : 0;
      if (SizeAndFit(n * sizeof(AudioUnitParameterID), capacity, dataSize, data, &status)) {
        AudioUnitParameterID* ids = static_cast<AudioUnitParameterID*>(data);
        for (UInt32 i = 0; i < n; ++i) ids[i] = i;
      }
      return status;
    }
    case kAudioUnitProperty_ParameterInfo: {
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (element >= (AudioUnitElement)NParams()) return kAudioUnitErr_InvalidElement;
      if (SizeAndFit(sizeof(AudioUnitParameterInfo), capacity, dataSize, data, &status)) {
        AudioUnitParameterInfo info;
        status = GetParameterInfo(element, &info);
        Write(data, info);
      }
      return status;
    }
    case kAudioUnitProperty_FastDispatch: {
      UInt32 size = capacity;
      status = GetProc(element, &size, data);
      *dataSize = size;
      return status;
    }
    case kAudioUnitProperty_StreamFormat: {
      BusChannels* bus = GetBus(scope, element);
      if (!bus) return kAudioUnitErr_InvalidProperty;
      *writable = true;
      if (SizeAndFit(sizeof(AudioStreamBasicDescription), capacity, dataSize, data, &status)) {
        const int nChannels = bus->mNHostChannels >= 0 ? bus->mNHostChannels : bus->mNPlugChannels;
        AudioStreamBasicDescription asbd;
        MakeDefaultASBD(&asbd, nChannels, false);
        Write(data, asbd);
      }
      return status;
    }
    case kAudioUnitProperty_ElementCount: {
      UInt32 count = 0;
      if (scope == kAudioUnitScope_Input)
        count = (UInt32)NInBuses();
      else if (scope == kAudioUnitScope_Output)
        count = (UInt32)NOutBuses();
      else if (global)
        count = 1;
      if (SizeAndFit(sizeof(UInt32), capacity, dataSize, data, &status)) Write<UInt32>(data, count);
      return status;
    }
    case kAudioUnitProperty_Latency:
    case kAudioUnitProperty_TailTime:
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (SizeAndFit(sizeof(Float64), capacity, dataSize, data, &status))
        Write<Float64>(data, GetSampleRate() > 0.0 ? (Float64)GetLatency() / GetSampleRate() : 0.0);
      return status;
    case kAudioUnitProperty_SupportedNumChannels: {
      if (!global) return kAudioUnitErr_InvalidProperty;
      const int n = NChannelIO();
      if (SizeAndFit((UInt32)n * sizeof(AUChannelInfo), capacity, dataSize, data, &status)) {
        AUChannelInfo* pairs = static_cast<AUChannelInfo*>(data);
        for (int i = 0; i < n; ++i) {
          int nIn = 0, nOut = 0;
          GetChannelIO(i, &nIn, &nOut);
          pairs[i].inChannels = (SInt16)nIn;
          pairs[i].outChannels = (SInt16)nOut;
          TRACE_AS("GetProperty", "IO:%d:%d", nIn, nOut);
        }
      }
      return status;
    }
    case kAudioUnitProperty_MaximumFramesPerSlice:
      if (!global) return kAudioUnitErr_InvalidProperty;
      *writable = true;
      if (SizeAndFit(sizeof(UInt32), capacity, dataSize, data, &status)) Write<UInt32>(data, (UInt32)GetBlockSize());
      return status;
    case kAudioUnitProperty_ParameterValueStrings: {
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (element >= (AudioUnitElement)NParams()) return kAudioUnitErr_InvalidElement;
      if (GetParam((int)element)->GetNDisplayTexts() == 0) {
        *dataSize = 0;
        return kAudioUnitErr_InvalidProperty;
      }
      if (SizeAndFit(sizeof(CFArrayRef), capacity, dataSize, data, &status))
        status = GetParameterValueStrings(element, data);
      return status;
    }
    case kAudioUnitProperty_GetUIComponentList: {
      if (!GetGUI()) return kAudioUnitErr_InvalidProperty;
      if (SizeAndFit(sizeof(ComponentDescription), capacity, dataSize, data, &status)) {
        ComponentDescription cd = {kAudioUnitCarbonViewComponentType, (OSType)GetUniqueID(), (OSType)GetMfrID(), 0, 0};
        Write(data, cd);
      }
      return status;
    }
    case kAudioUnitProperty_AudioChannelLayout:
      return kAudioUnitErr_InvalidPropertyValue;
    case kAudioUnitProperty_BypassEffect:
      if (!global) return kAudioUnitErr_InvalidProperty;
      *writable = true;
      if (SizeAndFit(sizeof(UInt32), capacity, dataSize, data, &status)) Write<UInt32>(data, IsBypassed() ? 1 : 0);
      return status;
    case kAudioUnitProperty_LastRenderError:
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (SizeAndFit(sizeof(OSStatus), capacity, dataSize, data, &status)) Write<OSStatus>(data, noErr);
      return status;
    case kAudioUnitProperty_SetRenderCallback:
      if ((scope != kAudioUnitScope_Input && !global) || element >= (AudioUnitElement)NInBuses())
        return kAudioUnitErr_InvalidProperty;
      *writable = true;
      *dataSize = sizeof(AURenderCallbackStruct);
      return noErr;
    case kAudioUnitProperty_FactoryPresets:
      if (SizeAndFit(sizeof(CFArrayRef), capacity, dataSize, data, &status)) status = GetFactoryPresets(data);
      return status;
    case kAudioUnitProperty_HostCallbacks:
      if (!global) return kAudioUnitErr_InvalidProperty;
      *writable = true;
      if (SizeAndFit(sizeof(HostCallbackInfo), capacity, dataSize, data, &status)) Write(data, mHostCallbacks);
      return status;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset: {
      *writable = true;
      if (SizeAndFit(sizeof(AUPreset), capacity, dataSize, data, &status)) {
        const int idx = GetCurrentPresetIdx();
        AUPreset preset = {idx, CFStringCreateWithCString(nullptr, GetPresetName(idx), kCFStringEncodingUTF8)};
        Write(data, preset);
      }
      return status;
    }
    case kAudioUnitProperty_ElementName: {
      *dataSize = sizeof(CFStringRef);
      if (!data) return kAudioUnitErr_InvalidProperty;
      const char* label = nullptr;
      if (scope == kAudioUnitScope_Output)
        label = element < (AudioUnitElement)NOutBuses() ? GetOutputBusLabel((int)element) : nullptr;
      else if (scope == kAudioUnitScope_Input)
        label = element <= 1 && element < (AudioUnitElement)NInBuses() ? GetInputBusLabel((int)element) : nullptr;
      else
        return kAudioUnitErr_InvalidScope;
      if (!label) return kAudioUnitErr_InvalidElement;
      if (SizeAndFit(sizeof(CFStringRef), capacity, dataSize, data, &status))
        Write(data, CFStringCreateWithCString(nullptr, label, kCFStringEncodingUTF8));
      return status;
    }
    case kAudioUnitProperty_CocoaUI:
      if (!GetGUI() || kSystemVersion < kSystemVersionForCocoaUI) return kAudioUnitErr_InvalidProperty;
      if (SizeAndFit(sizeof(AudioUnitCocoaViewInfo), capacity, dataSize, data, &status)) status = GetCocoaUI(data);
      return status;
    case kAudioUnitProperty_SupportedChannelLayoutTags: {
      if (!IsInst() || NOutBuses() == 1) return kAudioUnitErr_InvalidProperty;
      AudioChannelLayoutTag tag = kAudioChannelLayoutTag_Unknown;
      if (!GetChannelLayoutTags(scope, element, &tag)) return kAudioUnitErr_InvalidProperty;
      if (SizeAndFit(sizeof(AudioChannelLayoutTag), capacity, dataSize, data, &status)) Write(data, tag);
      return status;
    }
    case kAudioUnitProperty_ParameterStringFromValue:
      *dataSize = sizeof(AudioUnitParameterStringFromValue);
      if (!global || !data) return noErr;
      if (!SizeAndFit(sizeof(AudioUnitParameterStringFromValue), capacity, dataSize, data, &status)) return status;
      return GetParameterStringFromValue(static_cast<AudioUnitParameterStringFromValue*>(data));
    case kAudioUnitProperty_ParameterIDName:
      *dataSize = sizeof(AudioUnitParameterNameInfo);
      if (!global || !data) return noErr;
      if (!SizeAndFit(sizeof(AudioUnitParameterNameInfo), capacity, dataSize, data, &status)) return status;
      return GetParameterIDName(static_cast<AudioUnitParameterNameInfo*>(data));
    case kAudioUnitProperty_ParameterClumpName:
      *dataSize = sizeof(AudioUnitParameterNameInfo);
      if (!global || !data) return noErr;
      if (!SizeAndFit(sizeof(AudioUnitParameterNameInfo), capacity, dataSize, data, &status)) return status;
      return GetParameterClumpName(static_cast<AudioUnitParameterNameInfo*>(data));
    case kAudioUnitProperty_ParameterValueFromString:
      *dataSize = sizeof(AudioUnitParameterValueFromString);
      if (!global || !data) return noErr;
      if (!SizeAndFit(sizeof(AudioUnitParameterValueFromString), capacity, dataSize, data, &status)) return status;
      return GetParameterValueFromString(static_cast<AudioUnitParameterValueFromString*>(data));
    case kMusicDeviceProperty_InstrumentCount:
      if (!global || !IsInst()) return kAudioUnitErr_InvalidProperty;
      if (SizeAndFit(sizeof(UInt32), capacity, dataSize, data, &status)) Write<UInt32>(data, 1);
      return status;
    default:
      return kAudioUnitErr_InvalidProperty;
  }
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
  const int n = param->GetNDisplayTexts();
  CFMutableArrayRef texts = CFArrayCreateMutable(nullptr, n, &kCFTypeArrayCallBacks);
  if (!texts) return coreFoundationUnknownErr;
  for (int i = 0; i < n; ++i) {
    CFStringRef text = CFStringCreateWithCString(nullptr, param->GetDisplayTextAtIdx(i), kCFStringEncodingUTF8);
    CFArrayAppendValue(texts, text);
    CFRelease(text);
  }
  CFArrayRef result = texts;
  Write(data, result);
  return noErr;
}

OSStatus IPluginAU::GetFactoryPresets(void* data) {
  CFMutableArrayRef presets = CFArrayCreateMutable(nullptr, NPresets(), &kCFAUPresetArrayCallBacks);
  if (!presets) return coreFoundationUnknownErr;
  for (int i = 0; i < NPresets(); ++i) {
    CFStringRef name = CFStringCreateWithCString(nullptr, GetPresetName(i), kCFStringEncodingUTF8);
    CFAUPresetRef preset = CFAUPresetCreate(nullptr, i, name);
    if (name) CFRelease(name);
    if (!preset) continue;
    CFArrayAppendValue(presets, preset);
    CFAUPresetRelease(preset);
  }
  CFArrayRef result = presets;
  Write(data, result);
  return noErr;
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
  TRACE_AS("SetProperty", "(%d:%s):(%d:%s):%d", propID, AUPropertyStr((int)propID), scope,
           AUScopeStr((int)scope), element);
  InformListeners(propID, scope);

  // Every settable property needs a whole value from the caller.
  auto fits = [&](size_t size) { return data && *dataSize >= size; };

  switch (propID) {
    case kAudioUnitProperty_ClassInfo:
      if (!fits(sizeof(CFPropertyListRef))) return kAudioUnitErr_InvalidPropertyValue;
      return SetState(Read<CFPropertyListRef>(data));
    case kAudioUnitProperty_MakeConnection: {
      if (!fits(sizeof(AudioUnitConnection))) return kAudioUnitErr_InvalidPropertyValue;
      const AudioUnitConnection connection = Read<AudioUnitConnection>(data);
      if ((scope != kAudioUnitScope_Input && scope != kAudioUnitScope_Global) ||
          connection.destInputNumber >= (UInt32)NInBuses())
        return kAudioUnitErr_InvalidProperty;
      return MakeConnection(&connection);
    }
    case kAudioUnitProperty_SampleRate: {
      if (!fits(sizeof(Float64))) return kAudioUnitErr_InvalidPropertyValue;
      const Float64 rate = Read<Float64>(data);
      if (!std::isfinite(rate) || rate <= 0.0) return kAudioUnitErr_InvalidPropertyValue;
      SetSampleRate(rate);
      Reset();
      return noErr;
    }
    case kAudioUnitProperty_StreamFormat: {
      if (!fits(sizeof(AudioStreamBasicDescription))) return kAudioUnitErr_InvalidPropertyValue;
      const AudioStreamBasicDescription asbd = Read<AudioStreamBasicDescription>(data);
      return SetStreamFormat(scope, element, &asbd);
    }
    case kAudioUnitProperty_MaximumFramesPerSlice: {
      if (!fits(sizeof(UInt32))) return kAudioUnitErr_InvalidPropertyValue;
      // The render thread uses the scratch buffers while the unit is initialised.
      if (mActive) return kAudioUnitErr_Initialized;
      const UInt32 frames = Read<UInt32>(data);
      if (frames < 1 || frames > (UInt32)kMaxBlockSize) return kAudioUnitErr_InvalidPropertyValue;
      SetBlockSize((int)frames);
      if (GetBlockSize() != (int)frames) return memFullErr;
      Reset();
      return noErr;
    }
    case kAudioUnitProperty_BypassEffect: {
      if (!fits(sizeof(UInt32))) return kAudioUnitErr_InvalidPropertyValue;
      const bool bypassed = Read<UInt32>(data) != 0;
      SetBypassed(bypassed);
      OnActivate(!bypassed);
      Reset();
      return noErr;
    }
    case kAudioUnitProperty_SetRenderCallback: {
      if (scope != kAudioUnitScope_Input || element >= (AudioUnitElement)NInBuses())
        return kAudioUnitErr_InvalidProperty;
      if (!fits(sizeof(AURenderCallbackStruct))) return kAudioUnitErr_InvalidPropertyValue;
      const AURenderCallbackStruct callback = Read<AURenderCallbackStruct>(data);
      return SetRenderCallback(element, &callback);
    }
    case kAudioUnitProperty_HostCallbacks:
      if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
      if (!fits(sizeof(HostCallbackInfo))) return kAudioUnitErr_InvalidPropertyValue;
      mHostCallbacks = Read<HostCallbackInfo>(data);
      return noErr;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset: {
      if (!fits(sizeof(AUPreset))) return kAudioUnitErr_InvalidPropertyValue;
      const AUPreset preset = Read<AUPreset>(data);
      return RestorePreset((int)preset.presetNumber) ? (OSStatus)noErr : kAudioUnitErr_InvalidPropertyValue;
    }
    case kAudioUnitProperty_OfflineRender:
      if (!fits(sizeof(UInt32))) return kAudioUnitErr_InvalidPropertyValue;
      mIsOffline = Read<UInt32>(data) != 0;
      return noErr;
    case kAudioUnitProperty_AUHostIdentifier: {
      if (!fits(sizeof(AUHostIdentifier))) return kAudioUnitErr_InvalidPropertyValue;
      const AUHostIdentifier hostID = Read<AUHostIdentifier>(data);
      return SetHostIdentifier(&hostID);
    }
    default:
      return kAudioUnitErr_InvalidProperty;
  }
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
