// Saving and restoring the plug-in through the host's ClassInfo dictionary.

#include "au/AUDictionary.h"
#include "au/IPluginAU.h"
#include "plugin/Log.h"

namespace {
const char* const kVersionKey = "version";
const char* const kTypeKey = "type";
const char* const kSubtypeKey = "subtype";
const char* const kManufacturerKey = "manufacturer";
const char* const kNameKey = "name";
const char* const kDataKey = "data";
}  // namespace

OSStatus IPluginAU::GetState(CFPropertyListRef* propList) {
  ComponentDescription cd;
  const OSStatus result = GetComponentInfo(reinterpret_cast<Component>(mCI), &cd, nullptr, nullptr, nullptr);
  if (result != noErr) return result;

  CFMutableDictionaryRef dict =
      CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  if (!dict) return coreFoundationUnknownErr;
  const SInt32 version = GetEffectVersion(false);
  const SInt32 type = (SInt32)cd.componentType;
  const SInt32 subtype = (SInt32)cd.componentSubType;
  const SInt32 manufacturer = (SInt32)cd.componentManufacturer;
  PutNumberInDict(dict, kVersionKey, &version, kCFNumberSInt32Type);
  PutNumberInDict(dict, kTypeKey, &type, kCFNumberSInt32Type);
  PutNumberInDict(dict, kSubtypeKey, &subtype, kCFNumberSInt32Type);
  PutNumberInDict(dict, kManufacturerKey, &manufacturer, kCFNumberSInt32Type);
  PutStrInDict(dict, kNameKey, GetPresetName(GetCurrentPresetIdx()));

  ByteChunk chunk;
  if (SerializeState(&chunk)) PutDataInDict(dict, kDataKey, &chunk);
  *propList = dict;
  return noErr;
}

OSStatus IPluginAU::SetState(CFPropertyListRef propList) {
  ComponentDescription cd;
  const OSStatus result = GetComponentInfo(reinterpret_cast<Component>(mCI), &cd, nullptr, nullptr, nullptr);
  if (result != noErr) return result;

  CFDictionaryRef dict = static_cast<CFDictionaryRef>(propList);
  SInt32 version = 0, type = 0, subtype = 0, manufacturer = 0;
  char presetName[IPreset::kNameLen];
  const bool identified = GetNumberFromDict(dict, kVersionKey, &version, kCFNumberSInt32Type) &&
                          GetNumberFromDict(dict, kTypeKey, &type, kCFNumberSInt32Type) &&
                          GetNumberFromDict(dict, kSubtypeKey, &subtype, kCFNumberSInt32Type) &&
                          GetNumberFromDict(dict, kManufacturerKey, &manufacturer, kCFNumberSInt32Type) &&
                          GetStrFromDict(dict, kNameKey, presetName, sizeof presetName);
  if (!identified || (OSType)type != cd.componentType || (OSType)subtype != cd.componentSubType ||
      (OSType)manufacturer != cd.componentManufacturer)
    return kAudioUnitErr_InvalidPropertyValue;

  IMutexLock lock(this);
  RestorePreset(presetName);

  ByteChunk chunk;
  if (!GetDataFromDict(dict, kDataKey, &chunk)) return kAudioUnitErr_InvalidPropertyValue;

  // A chunk that cannot be read whole leaves the plug-in as it was.
  ByteChunk before;
  const bool haveBefore = SerializeState(&before);
  if (UnserializeState(&chunk, 0) <= 0) {
    if (haveBefore) UnserializeState(&before, 0);
    RedrawParamControls();
    return kAudioUnitErr_InvalidPropertyValue;
  }
  RedrawParamControls();
  return noErr;
}
