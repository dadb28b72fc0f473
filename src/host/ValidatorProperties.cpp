// The properties phase: everything GetPropertyInfo advertises can be read
// at the advertised size, and whatever the unit hands out can be released
// without leaking.

#include <cstring>
#include <vector>

#include "au/apple/StandIn.h"
#include "host/Validator.h"
#include "host/ValidatorSupport.h"

namespace {

// Property IDs asked in every scope: Apple's range and the music-device ones.
const AudioUnitPropertyID kLastAudioUnitProperty = 64;
const AudioUnitPropertyID kMusicDeviceProperties[] = {kMusicDeviceProperty_InstrumentCount};

struct Query {
  AudioUnitPropertyID id;
  AudioUnitScope scope;
  AudioUnitElement element;
};

// Fills the input half of the in-out properties before the query; false
// when the query cannot be made (then it is skipped).
bool PrepareInput(const Query& q, std::vector<unsigned char>* data, CFStringRef text, UInt32 clumpID) {
  void* p = data->data();
  switch (q.id) {
    case kAudioUnitProperty_ParameterStringFromValue: {
      AudioUnitParameterStringFromValue sfv = {0, nullptr, nullptr};
      std::memcpy(p, &sfv, sizeof sfv);
      return true;
    }
    case kAudioUnitProperty_ParameterValueFromString: {
      AudioUnitParameterValueFromString vfs = {0, text, 0.0f};
      std::memcpy(p, &vfs, sizeof vfs);
      return true;
    }
    case kAudioUnitProperty_ParameterIDName: {
      AudioUnitParameterNameInfo info = {0, kAudioUnitParameterName_Full, nullptr};
      std::memcpy(p, &info, sizeof info);
      return true;
    }
    case kAudioUnitProperty_ParameterClumpName: {
      if (clumpID == 0) return false;
      AudioUnitParameterNameInfo info = {clumpID, kAudioUnitParameterName_Full, nullptr};
      std::memcpy(p, &info, sizeof info);
      return true;
    }
    default:
      return true;
  }
}

void ReleaseAt(const std::vector<unsigned char>& data, size_t offset) {
  CFTypeRef object = nullptr;
  if (offset + sizeof object > data.size()) return;
  std::memcpy(&object, data.data() + offset, sizeof object);
  if (object) CFRelease(object);
}

// Releases the CF objects a property answer hands to the host.
void ReleaseAnswer(const Query& q, const std::vector<unsigned char>& data) {
  switch (q.id) {
    case kAudioUnitProperty_ClassInfo:
    case kAudioUnitProperty_ParameterValueStrings:
    case kAudioUnitProperty_FactoryPresets:
    case kAudioUnitProperty_ElementName:
      ReleaseAt(data, 0);
      break;
    case kAudioUnitProperty_ParameterInfo: {
      AudioUnitParameterInfo info;
      std::memcpy(&info, data.data(), sizeof info);
      if ((info.flags & kAudioUnitParameterFlag_CFNameRelease) && info.cfNameString) CFRelease(info.cfNameString);
      if (info.unit == kAudioUnitParameterUnit_CustomUnit && info.unitName) CFRelease(info.unitName);
      break;
    }
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
      ReleaseAt(data, offsetof(AUPreset, presetName));
      break;
    case kAudioUnitProperty_CocoaUI:
      ReleaseAt(data, offsetof(AudioUnitCocoaViewInfo, mCocoaAUViewBundleLocation));
      ReleaseAt(data, offsetof(AudioUnitCocoaViewInfo, mCocoaAUViewClass));
      break;
    case kAudioUnitProperty_ParameterStringFromValue:
      ReleaseAt(data, offsetof(AudioUnitParameterStringFromValue, outString));
      break;
    case kAudioUnitProperty_ParameterIDName:
    case kAudioUnitProperty_ParameterClumpName:
      ReleaseAt(data, offsetof(AudioUnitParameterNameInfo, outName));
      break;
    default:
      break;
  }
}

const char* ScopeName(AudioUnitScope scope) {
  return scope == kAudioUnitScope_Global ? "global" : scope == kAudioUnitScope_Input ? "input" : "output";
}

// One query: info, then the value at exactly the advertised size.
bool CheckQuery(AudioUnit unit, const Query& q, CFStringRef text, UInt32 clumpID, int* nChecked, std::string* reason) {
  UInt32 size = 0;
  Boolean writable = false;
  if (AudioUnitGetPropertyInfo(unit, q.id, q.scope, q.element, &size, &writable) != noErr || size == 0) return true;
  // Room past the advertised size shows a write beyond it.
  const unsigned char kGuard = 0xA5;
  std::vector<unsigned char> data(size + 16, kGuard);
  std::memset(data.data(), 0, size);
  if (!PrepareInput(q, &data, text, clumpID)) return true;
  UInt32 ioSize = size;
  const std::string what = Printf("property %u (%s scope, element %u)", q.id, ScopeName(q.scope), q.element);
  const OSStatus status = AudioUnitGetProperty(unit, q.id, q.scope, q.element, data.data(), &ioSize);
  if (status != noErr) return Fail(reason, what + " is advertised but reading it answers " + StatusText(status));
  ReleaseAnswer(q, data);
  if (ioSize != size) return Fail(reason, what + Printf(" advertised %u bytes but returned %u", size, ioSize));
  for (size_t i = size; i < data.size(); ++i)
    if (data[i] != kGuard) return Fail(reason, what + " wrote past its advertised size");
  ++*nChecked;
  return true;
}

}  // namespace

bool Validator::CheckProperties(std::string* reason) {
  const long liveBefore = StandIn_LiveCFObjectCount();
  int nChecked = 0;
  {
    AUHost host(mEntry, mDescription);
    if (!OpenForChecks(&host, reason)) return false;

    // A clump to ask about, if any parameter has one.
    UInt32 clumpID = 0;
    std::vector<AudioUnitParameterID> ids;
    if (!Ok(host.GetParameterList(&ids), "ParameterList", reason)) return false;
    for (AudioUnitParameterID id : ids) {
      AUHostParamInfo info;
      if (host.GetParameterInfo(id, &info) == noErr && (info.flags & kAudioUnitParameterFlag_HasClump)) {
        clumpID = info.clumpID;
        break;
      }
    }

    std::vector<Query> queries;
    for (AudioUnitScope scope : {kAudioUnitScope_Global, kAudioUnitScope_Input, kAudioUnitScope_Output}) {
      for (AudioUnitPropertyID id = 0; id <= kLastAudioUnitProperty; ++id)
        if (id != kAudioUnitProperty_FastDispatch) queries.push_back(Query{id, scope, 0});
      for (AudioUnitPropertyID id : kMusicDeviceProperties) queries.push_back(Query{id, scope, 0});
    }
    for (AudioUnitElement selector : {kAudioUnitRenderSelect, kAudioUnitGetParameterSelect, kAudioUnitSetParameterSelect})
      queries.push_back(Query{kAudioUnitProperty_FastDispatch, kAudioUnitScope_Global, selector});
    for (AudioUnitParameterID id : ids) queries.push_back(Query{kAudioUnitProperty_ParameterInfo, kAudioUnitScope_Global, id});

    CFStringRef text = CFStringCreateWithCString(nullptr, "0.5", kCFStringEncodingUTF8);
    bool passed = true;
    for (const Query& q : queries)
      if (!CheckQuery(host.Unit(), q, text, clumpID, &nChecked, reason)) {
        passed = false;
        break;
      }
    CFRelease(text);
    if (!passed) return false;
    if (nChecked == 0) return Fail(reason, "no property advertised");
  }
  const long leaked = StandIn_LiveCFObjectCount() - liveBefore;
  if (leaked != 0) return Fail(reason, Printf("%ld CF objects leaked over %d property reads", leaked, nChecked));
  return true;
}
