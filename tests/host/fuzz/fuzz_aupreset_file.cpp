// Feeds arbitrary bytes to the .aupreset reader: whatever it accepts is a
// dictionary that writes back and reads again to the same text, and nothing
// it refuses leaves a CF object behind.

#include <cstddef>
#include <cstdint>
#include <string>

#include "au/apple/FourCC.h"
#include "au/apple/StandIn.h"
#include "host/AUPresetFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const long live = StandIn_LiveCFObjectCount();
  {
    CFDictionaryRef dict = nullptr;
    std::string reason;
    if (AUPresetFromXML(reinterpret_cast<const char*>(data), size, &dict, &reason) == kAUPresetOK) {
      const ComponentDescription cd = {MakeFourCC("aumu"), MakeFourCC("Tnk4"), MakeFourCC("-VL-"), 0, 0};
      AUPresetCheckComponent(dict, cd, &reason);
      std::string text, again;
      if (AUPresetToXML(dict, &text, &reason) != kAUPresetOK) __builtin_trap();
      CFDictionaryRef back = nullptr;
      if (AUPresetFromXML(text.data(), text.size(), &back, &reason) != kAUPresetOK) __builtin_trap();
      if (AUPresetToXML(back, &again, &reason) != kAUPresetOK || again != text) __builtin_trap();
      CFRelease(back);
      CFRelease(dict);
    } else if (dict || reason.empty()) {
      __builtin_trap();
    }
  }
  if (StandIn_LiveCFObjectCount() != live) __builtin_trap();
  return 0;
}
