#include "Instrument.h"

#include "au/apple/FourCC.h"
#include "host/AUPresetFile.h"
#include "kick/Krummel.h"
#include "tonnik/TonnikEntry.h"

ComponentDescription InstrumentDescription() {
  return ComponentDescription{kAudioUnitType_MusicDevice, MakeFourCC("Tnk4"), MakeFourCC("-VL-"), 0, 0};
}

const char* InstrumentName() { return "Velmora Rirevovizod: TONNIK-PRO"; }

bool InstrumentPlaysAt(double sampleRate) { return Krummel::isSupportedRate(sampleRate); }

ComponentRoutineUPP InstrumentEntry() { return Tonnik_Entry; }

bool LoadPresetFile(AUHost* host, const std::string& path, std::string* error) {
  CFDictionaryRef preset = nullptr;
  std::string reason;
  EAUPresetFileResult result = AUPresetReadFile(path.c_str(), &preset, &reason);
  if (result == kAUPresetOK) {
    result = AUPresetCheckComponent(preset, InstrumentDescription(), &reason);
    if (result != kAUPresetOK) reason = path + ": " + reason;
  }
  if (result != kAUPresetOK) {
    if (preset) CFRelease(preset);
    *error = reason;
    return false;
  }
  const OSStatus status = host->SetClassInfo(preset);
  CFRelease(preset);
  if (status != noErr) {
    *error = path + ": the instrument refused the saved state (error " + std::to_string((int)status) + ")";
    return false;
  }
  return true;
}

bool SavePresetFile(AUHost* host, const std::string& path, long* bytes, std::string* error) {
  CFPropertyListRef state = nullptr;
  const OSStatus status = host->GetClassInfo(&state);
  if (status != noErr || !state || CFGetTypeID(state) != CFDictionaryGetTypeID()) {
    if (state) CFRelease(state);
    *error = "the instrument did not hand out its state (error " + std::to_string((int)status) + ")";
    return false;
  }
  CFDictionaryRef dict = static_cast<CFDictionaryRef>(state);
  CFStringRef key = CFStringCreateWithCString(nullptr, "data", kCFStringEncodingUTF8);
  CFTypeRef data = CFDictionaryGetValue(dict, key);
  CFRelease(key);
  *bytes = data && CFGetTypeID(data) == CFDataGetTypeID() ? (long)CFDataGetLength(static_cast<CFDataRef>(data)) : 0;
  std::string reason;
  const EAUPresetFileResult result = AUPresetWriteFile(path.c_str(), dict, &reason);
  CFRelease(state);
  if (result != kAUPresetOK) {
    *error = reason;
    return false;
  }
  return true;
}
