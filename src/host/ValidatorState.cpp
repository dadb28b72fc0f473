// The saved-state phase: save, change everything, restore, compare.

#include <vector>

#include "host/Validator.h"
#include "host/ValidatorSupport.h"

bool Validator::CheckState(std::string* reason) {
  AUHost host(mEntry, mDescription);
  if (!OpenForChecks(&host, reason)) return false;
  std::vector<AudioUnitParameterID> ids;
  if (!Ok(host.GetParameterList(&ids), "ParameterList", reason)) return false;

  // Move away from the defaults first, so the saved state is not a fresh one.
  std::vector<AUHostParamInfo> infos(ids.size());
  std::vector<float> saved(ids.size());
  for (size_t i = 0; i < ids.size(); ++i) {
    if (!Ok(host.GetParameterInfo(ids[i], &infos[i]), "ParameterInfo", reason)) return false;
    const AUHostParamInfo& info = infos[i];
    if (info.flags & kAudioUnitParameterFlag_IsWritable)
      host.SetParameter(ids[i], info.minValue + 0.25f * (info.maxValue - info.minValue));
    if (!Ok(host.GetParameter(ids[i], &saved[i]), "read a parameter", reason)) return false;
  }

  CFPropertyListRef state = nullptr;
  std::string before, after;
  if (!Ok(host.GetClassInfo(&state), "save ClassInfo", reason)) return false;
  if (!SaveStateText(&host, &before, reason)) {
    CFRelease(state);
    return false;
  }
  for (size_t i = 0; i < ids.size(); ++i)
    if (infos[i].flags & kAudioUnitParameterFlag_IsWritable) host.SetParameter(ids[i], OtherValue(infos[i], saved[i]));

  const OSStatus restored = host.SetClassInfo(state);
  CFRelease(state);
  if (!Ok(restored, "restore ClassInfo", reason)) return false;
  for (size_t i = 0; i < ids.size(); ++i) {
    float value = 0;
    if (!Ok(host.GetParameter(ids[i], &value), "read a parameter", reason)) return false;
    if (value != saved[i])
      return Fail(reason, Printf("\"%s\" restored as %g instead of %g", infos[i].name.c_str(), (double)value,
                                 (double)saved[i]));
  }
  if (!SaveStateText(&host, &after, reason)) return false;
  if (before != after) return Fail(reason, "the state saved after the restore differs from the one restored");

  // A foreign dictionary is refused and changes nothing.
  CFMutableDictionaryRef foreign =
      CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
  const OSStatus refused = host.SetClassInfo(foreign);
  CFRelease(foreign);
  if (refused == noErr) return Fail(reason, "an empty dictionary was accepted as a saved state");
  if (!SaveStateText(&host, &after, reason)) return false;
  if (before != after) return Fail(reason, "a refused restore changed the state");
  return true;
}
