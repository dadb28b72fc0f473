// Restores the test plug-in from dictionaries built out of fuzz input: each
// identifying key present, missing, of the wrong type or with another value,
// and "data" holding the remaining bytes. A restore may fail; it must not
// crash, read outside the data or leave a parameter out of its range.

#include <cstdint>
#include <cstdlib>

#include "au/AUDictionary.h"
#include "au/TestPlug.h"

namespace {
const char* const kKeys[] = {"version", "type", "subtype", "manufacturer", "name"};

AudioUnit Unit() {
  static AudioUnit unit = [] {
    AudioUnit u = nullptr;
    OpenAComponent(TestComponent(), &u);
    return u;
  }();
  return unit;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const uint8_t present = data[0];
  const uint8_t wrongType = data[1];
  const uint8_t otherValue = data[2];
  data += 3;
  size -= 3;

  const ComponentDescription cd = TestComponentDescription();
  const SInt32 numbers[] = {0x00010203, (SInt32)cd.componentType, (SInt32)cd.componentSubType,
                            (SInt32)cd.componentManufacturer};
  CFMutableDictionaryRef dict =
      CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  for (int i = 0; i < 5; ++i) {
    if (!(present & (1 << i))) continue;
    const bool wrong = wrongType & (1 << i);
    const bool other = otherValue & (1 << i);
    if (i < 4) {
      const SInt32 value = other ? numbers[i] ^ 0x55 : numbers[i];
      if (wrong)
        PutStrInDict(dict, kKeys[i], "1");
      else
        PutNumberInDict(dict, kKeys[i], &value, kCFNumberSInt32Type);
    } else if (wrong) {
      PutNumberInDict(dict, kKeys[i], &numbers[0], kCFNumberSInt32Type);
    } else {
      PutStrInDict(dict, kKeys[i], other ? "Bright" : "Init");
    }
  }
  if (present & 0x20) {
    CFDataRef bytes = CFDataCreate(nullptr, data, (CFIndex)size);
    CFStringRef key = CFStringCreateWithCString(nullptr, "data", kCFStringEncodingUTF8);
    CFDictionarySetValue(dict, key, bytes);
    CFRelease(key);
    CFRelease(bytes);
  }

  CFPropertyListRef list = dict;
  AudioUnitSetProperty(Unit(), kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0, &list, sizeof list);
  CFRelease(dict);

  IPluginAU* plug = reinterpret_cast<IPluginAU*>(GetComponentInstanceStorage(Unit()));
  for (int i = 0; i < plug->NParams(); ++i) {
    double lo, hi;
    plug->GetParam(i)->GetBounds(&lo, &hi);
    const double v = plug->GetParam(i)->Value();
    if (!(v >= lo && v <= hi)) std::abort();
  }
  return 0;
}
