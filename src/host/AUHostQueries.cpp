// Property queries, listening, saved state and factory presets.

#include <cstring>

#include "host/AUHost.h"

namespace {
std::string TextOf(CFStringRef str) {
  if (!str || CFGetTypeID(str) != CFStringGetTypeID()) return std::string();
  const char* bytes = CFStringGetCStringPtr(str, kCFStringEncodingUTF8);
  if (bytes) return bytes;
  char buffer[512];
  return CFStringGetCString(str, buffer, sizeof buffer, kCFStringEncodingUTF8) ? buffer : std::string();
}

// Hands over the text of a string the unit created for the caller, when the
// call succeeded, and releases the string.
OSStatus TakeText(OSStatus result, CFStringRef str, std::string* text) {
  if (result == noErr) *text = TextOf(str);
  if (str) CFRelease(str);
  return result;
}

template <class T>
OSStatus GetValue(AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement element, T* value) {
  if (!value) return paramErr;
  UInt32 size = sizeof(T);
  return AudioUnitGetProperty(unit, id, scope, element, value, &size);
}

// A global property that is an array of T, sized from the unit's answer.
template <class T>
OSStatus GetArray(AudioUnit unit, AudioUnitPropertyID id, std::vector<T>* values) {
  if (!values) return paramErr;
  UInt32 size = 0;
  OSStatus result = AudioUnitGetPropertyInfo(unit, id, kAudioUnitScope_Global, 0, &size, nullptr);
  if (result != noErr) return result;
  values->assign(size / sizeof(T), T{});
  if (values->empty()) return noErr;
  size = (UInt32)(values->size() * sizeof(T));
  result = AudioUnitGetProperty(unit, id, kAudioUnitScope_Global, 0, values->data(), &size);
  values->resize(size / sizeof(T));
  return result;
}

const AudioUnitEventType kParameterEventTypes[] = {kAudioUnitEvent_BeginParameterChangeGesture,
                                                   kAudioUnitEvent_ParameterValueChange,
                                                   kAudioUnitEvent_EndParameterChangeGesture};
}  // namespace

OSStatus AUHost::GetVersion(SInt32* version) {
  if (!version) return paramErr;
  *version = CallComponentVersion(mUnit);
  return noErr;
}

OSStatus AUHost::CanDo(SInt16 selector, bool* answer) {
  if (!answer) return paramErr;
  const ComponentResult result = CallComponentCanDo(mUnit, selector);
  if (result != 0 && result != 1) return result;
  *answer = result == 1;
  return noErr;
}

OSStatus AUHost::GetSampleRate(double* sampleRate) {
  return GetValue<Float64>(mUnit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0, sampleRate);
}

OSStatus AUHost::GetMaxFrames(UInt32* frames) {
  return GetValue<UInt32>(mUnit, kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, 0, frames);
}

OSStatus AUHost::GetElementCount(AudioUnitScope scope, UInt32* count) {
  return GetValue<UInt32>(mUnit, kAudioUnitProperty_ElementCount, scope, 0, count);
}

OSStatus AUHost::GetSupportedChannels(std::vector<AUChannelInfo>* pairs) {
  return GetArray(mUnit, kAudioUnitProperty_SupportedNumChannels, pairs);
}

OSStatus AUHost::GetLatencySeconds(double* seconds) {
  return GetValue<Float64>(mUnit, kAudioUnitProperty_Latency, kAudioUnitScope_Global, 0, seconds);
}

OSStatus AUHost::GetTailSeconds(double* seconds) {
  return GetValue<Float64>(mUnit, kAudioUnitProperty_TailTime, kAudioUnitScope_Global, 0, seconds);
}

OSStatus AUHost::GetStringProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                                   std::string* text) {
  if (!text) return paramErr;
  CFStringRef str = nullptr;
  const OSStatus result = GetValue<CFStringRef>(mUnit, propID, scope, element, &str);
  return TakeText(result, str, text);
}

OSStatus AUHost::GetOutputName(UInt32 bus, std::string* name) {
  return GetStringProperty(kAudioUnitProperty_ElementName, kAudioUnitScope_Output, bus, name);
}

OSStatus AUHost::GetParameterList(std::vector<AudioUnitParameterID>* ids) {
  return GetArray(mUnit, kAudioUnitProperty_ParameterList, ids);
}

OSStatus AUHost::GetParameterInfo(AudioUnitParameterID id, AUHostParamInfo* info) {
  if (!info) return paramErr;
  AudioUnitParameterInfo raw;
  std::memset(&raw, 0, sizeof raw);
  const OSStatus result = GetValue(mUnit, kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, id, &raw);
  if (result != noErr) return result;
  info->id = id;
  const bool hasCFName = (raw.flags & kAudioUnitParameterFlag_HasCFNameString) && raw.cfNameString;
  raw.name[sizeof raw.name - 1] = '\0';
  info->name = hasCFName ? TextOf(raw.cfNameString) : std::string(raw.name);
  info->unitName = raw.unit == kAudioUnitParameterUnit_CustomUnit ? TextOf(raw.unitName) : std::string();
  info->unit = raw.unit;
  info->minValue = raw.minValue;
  info->maxValue = raw.maxValue;
  info->defaultValue = raw.defaultValue;
  info->flags = raw.flags;
  info->clumpID = raw.clumpID;
  // The unit hands over its name strings when it says so.
  if (raw.flags & kAudioUnitParameterFlag_CFNameRelease) {
    if (hasCFName) CFRelease(raw.cfNameString);
    if (raw.unit == kAudioUnitParameterUnit_CustomUnit && raw.unitName) CFRelease(raw.unitName);
  }
  return noErr;
}

OSStatus AUHost::GetParameterDisplay(AudioUnitParameterID id, const float* value, std::string* text) {
  if (!text) return paramErr;
  AudioUnitParameterStringFromValue sfv = {id, value, nullptr};
  const OSStatus result = GetValue(mUnit, kAudioUnitProperty_ParameterStringFromValue, kAudioUnitScope_Global, 0, &sfv);
  return TakeText(result, sfv.outString, text);
}

OSStatus AUHost::GetParameterValueFromText(AudioUnitParameterID id, const char* text, float* value) {
  if (!text || !value) return paramErr;
  AudioUnitParameterValueFromString vfs = {id, CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8), *value};
  const OSStatus result = GetValue(mUnit, kAudioUnitProperty_ParameterValueFromString, kAudioUnitScope_Global, 0, &vfs);
  if (result == noErr) *value = vfs.outValue;
  CFRelease(vfs.inString);
  return result;
}

OSStatus AUHost::GetParameterValueStrings(AudioUnitParameterID id, std::vector<std::string>* texts) {
  if (!texts) return paramErr;
  texts->clear();
  CFArrayRef array = nullptr;
  const OSStatus result = GetValue(mUnit, kAudioUnitProperty_ParameterValueStrings, kAudioUnitScope_Global, id, &array);
  if (result != noErr) return result;
  for (CFIndex i = 0; i < CFArrayGetCount(array); ++i)
    texts->push_back(TextOf(static_cast<CFStringRef>(CFArrayGetValueAtIndex(array, i))));
  if (array) CFRelease(array);
  return noErr;
}

OSStatus AUHost::GetParameterClumpName(UInt32 clumpID, std::string* name) {
  if (!name) return paramErr;
  AudioUnitParameterNameInfo info = {clumpID, kAudioUnitParameterName_Full, nullptr};
  const OSStatus result = GetValue(mUnit, kAudioUnitProperty_ParameterClumpName, kAudioUnitScope_Global, 0, &info);
  return TakeText(result, info.outName, name);
}

OSStatus AUHost::StartListening(const std::vector<AudioUnitPropertyID>& properties) {
  if (!mUnit) return badComponentInstance;
  StopListening();
  OSStatus result = AUEventListenerCreate(&AUHost::OnParameterEvent, this, nullptr, nullptr, 0.0f, 0.0f, &mListener);
  if (result != noErr) return result;
  for (AudioUnitEventType type : kParameterEventTypes) {
    AudioUnitEvent event;
    std::memset(&event, 0, sizeof event);
    event.mEventType = type;
    event.mArgument.mParameter.mAudioUnit = mUnit;
    event.mArgument.mParameter.mParameterID = kAUParameterListener_AnyParameter;
    result = AUEventListenerAddEventType(mListener, nullptr, &event);
    if (result != noErr) return result;
  }
  for (AudioUnitPropertyID id : properties) {
    result = AudioUnitAddPropertyListener(mUnit, id, &AUHost::OnPropertyChange, this);
    if (result != noErr) return result;
    mListenedProperties.push_back(id);
  }
  return noErr;
}

OSStatus AUHost::StopListening() {
  for (AudioUnitPropertyID id : mListenedProperties)
    AudioUnitRemovePropertyListenerWithUserData(mUnit, id, &AUHost::OnPropertyChange, this);
  mListenedProperties.clear();
  if (mListener) AUListenerDispose(mListener);
  mListener = nullptr;
  return noErr;
}

void AUHost::OnParameterEvent(void* user, void*, const AudioUnitEvent* event, UInt64, AudioUnitParameterValue value) {
  AUHostEvent::EKind kind = AUHostEvent::kParamValue;
  if (event->mEventType == kAudioUnitEvent_BeginParameterChangeGesture) kind = AUHostEvent::kParamBegin;
  if (event->mEventType == kAudioUnitEvent_EndParameterChangeGesture) kind = AUHostEvent::kParamEnd;
  const AudioUnitParameter& p = event->mArgument.mParameter;
  static_cast<AUHost*>(user)->AddEvent(AUHostEvent{kind, p.mParameterID, p.mScope, value});
}

void AUHost::OnPropertyChange(void* user, AudioUnit, AudioUnitPropertyID id, AudioUnitScope scope, AudioUnitElement) {
  static_cast<AUHost*>(user)->AddEvent(AUHostEvent{AUHostEvent::kProperty, id, scope, 0.0f});
}

void AUHost::AddEvent(const AUHostEvent& event) {
  std::lock_guard<std::mutex> lock(mEventsMutex);
  mEvents.push_back(event);
}

std::vector<AUHostEvent> AUHost::TakeEvents() {
  std::lock_guard<std::mutex> lock(mEventsMutex);
  std::vector<AUHostEvent> events;
  events.swap(mEvents);
  return events;
}

OSStatus AUHost::GetClassInfo(CFPropertyListRef* dict) {
  if (!dict) return paramErr;
  *dict = nullptr;
  return GetValue(mUnit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, dict);
}

OSStatus AUHost::SetClassInfo(CFPropertyListRef dict) {
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &dict, sizeof dict);
}

OSStatus AUHost::GetFactoryPresets(std::vector<AUHostPreset>* presets) {
  if (!presets) return paramErr;
  presets->clear();
  CFArrayRef array = nullptr;
  const OSStatus result = GetValue(mUnit, kAudioUnitProperty_FactoryPresets, kAudioUnitScope_Global, 0, &array);
  if (result != noErr) return result;
  for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
    const AUPreset* preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(array, i));
    if (preset) presets->push_back(AUHostPreset{preset->presetNumber, TextOf(preset->presetName)});
  }
  if (array) CFRelease(array);
  return noErr;
}

OSStatus AUHost::SelectPreset(SInt32 number) {
  const AUPreset preset = {number, nullptr};
  return AudioUnitSetProperty(mUnit, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, &preset,
                              sizeof preset);
}

OSStatus AUHost::GetCurrentPreset(AUHostPreset* preset) {
  if (!preset) return paramErr;
  AUPreset current = {0, nullptr};
  const OSStatus result = GetValue(mUnit, kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, 0, &current);
  if (result == noErr) *preset = AUHostPreset{current.presetNumber, TextOf(current.presetName)};
  if (current.presetName) CFRelease(current.presetName);
  return result;
}
