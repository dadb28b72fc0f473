// Parameter and property event listeners, delivered synchronously.

#include <algorithm>
#include <mutex>
#include <vector>

#include "au/apple/AudioUnit.h"

struct AUListenerBase {
  struct Registration {
    void* object;
    AudioUnitEvent event;
  };

  AUEventListenerProc proc;
  void* userData;
  std::vector<Registration> registrations;
};

namespace {
// Guards the listener list and every listener's registrations. Procedures
// are called after it is released, so a listener may call back into the
// unit (which takes the unit's own lock) without ordering the two locks.
std::mutex sListenersMutex;

std::vector<AUListenerBase*>& Listeners() {
  static auto* listeners = new std::vector<AUListenerBase*>();
  return *listeners;
}

bool IsParameterEvent(AudioUnitEventType type) {
  return type == kAudioUnitEvent_ParameterValueChange || type == kAudioUnitEvent_BeginParameterChangeGesture ||
         type == kAudioUnitEvent_EndParameterChangeGesture;
}

// Whether a registered event covers a posted one.
bool Covers(const AudioUnitEvent& registered, const AudioUnitEvent& posted) {
  if (registered.mEventType != posted.mEventType) return false;
  if (IsParameterEvent(posted.mEventType)) {
    const AudioUnitParameter& r = registered.mArgument.mParameter;
    const AudioUnitParameter& p = posted.mArgument.mParameter;
    if (r.mAudioUnit != p.mAudioUnit) return false;
    if (r.mParameterID == kAUParameterListener_AnyParameter) return true;
    return r.mParameterID == p.mParameterID && r.mScope == p.mScope && r.mElement == p.mElement;
  }
  const AudioUnitProperty& r = registered.mArgument.mProperty;
  const AudioUnitProperty& p = posted.mArgument.mProperty;
  return r.mAudioUnit == p.mAudioUnit && r.mPropertyID == p.mPropertyID && r.mScope == p.mScope &&
         r.mElement == p.mElement;
}

bool SameRegistration(const AUListenerBase::Registration& r, void* object, const AudioUnitEvent& event) {
  if (r.object != object || r.event.mEventType != event.mEventType) return false;
  if (IsParameterEvent(event.mEventType)) {
    const AudioUnitParameter& a = r.event.mArgument.mParameter;
    const AudioUnitParameter& b = event.mArgument.mParameter;
    return a.mAudioUnit == b.mAudioUnit && a.mParameterID == b.mParameterID && a.mScope == b.mScope &&
           a.mElement == b.mElement;
  }
  const AudioUnitProperty& a = r.event.mArgument.mProperty;
  const AudioUnitProperty& b = event.mArgument.mProperty;
  return a.mAudioUnit == b.mAudioUnit && a.mPropertyID == b.mPropertyID && a.mScope == b.mScope &&
         a.mElement == b.mElement;
}

bool IsListener(AUListenerBase* listener) {
  const std::vector<AUListenerBase*>& all = Listeners();
  return listener && std::find(all.begin(), all.end(), listener) != all.end();
}
}  // namespace

OSStatus AUEventListenerCreate(AUEventListenerProc inProc, void* inUserData, CFRunLoopRef, CFStringRef, Float32,
                               Float32, AUEventListenerRef* outListener) {
  if (!inProc || !outListener) return paramErr;
  AUListenerBase* listener = new AUListenerBase{inProc, inUserData, {}};
  std::lock_guard<std::mutex> lock(sListenersMutex);
  Listeners().push_back(listener);
  *outListener = listener;
  return noErr;
}

OSStatus AUEventListenerAddEventType(AUEventListenerRef inListener, void* inObject, const AudioUnitEvent* inEvent) {
  if (!inEvent) return paramErr;
  std::lock_guard<std::mutex> lock(sListenersMutex);
  if (!IsListener(inListener)) return paramErr;
  inListener->registrations.push_back(AUListenerBase::Registration{inObject, *inEvent});
  return noErr;
}

OSStatus AUEventListenerRemoveEventType(AUEventListenerRef inListener, void* inObject, const AudioUnitEvent* inEvent) {
  if (!inEvent) return paramErr;
  std::lock_guard<std::mutex> lock(sListenersMutex);
  if (!IsListener(inListener)) return paramErr;
  std::vector<AUListenerBase::Registration>& regs = inListener->registrations;
  for (auto it = regs.begin(); it != regs.end(); ++it) {
    if (SameRegistration(*it, inObject, *inEvent)) {
      regs.erase(it);
      return noErr;
    }
  }
  return paramErr;
}

OSStatus AUListenerDispose(AUParameterListenerRef inListener) {
  std::lock_guard<std::mutex> lock(sListenersMutex);
  std::vector<AUListenerBase*>& all = Listeners();
  auto it = std::find(all.begin(), all.end(), inListener);
  if (it == all.end()) return paramErr;
  all.erase(it);
  delete inListener;
  return noErr;
}

OSStatus AUEventListenerNotify(AUEventListenerRef inSendingListener, void*, const AudioUnitEvent* inEvent) {
  if (!inEvent) return paramErr;
  AudioUnitParameterValue value = 0.0f;
  if (IsParameterEvent(inEvent->mEventType)) {
    const AudioUnitParameter& p = inEvent->mArgument.mParameter;
    AudioUnitGetParameter(p.mAudioUnit, p.mParameterID, p.mScope, p.mElement, &value);
  }
  struct Delivery {
    AUEventListenerProc proc;
    void* userData;
    void* object;
  };
  std::vector<Delivery> deliveries;
  {
    std::lock_guard<std::mutex> lock(sListenersMutex);
    for (AUListenerBase* listener : Listeners()) {
      if (listener == inSendingListener) continue;
      for (const AUListenerBase::Registration& r : listener->registrations)
        if (Covers(r.event, *inEvent)) deliveries.push_back(Delivery{listener->proc, listener->userData, r.object});
    }
  }
  for (const Delivery& d : deliveries) d.proc(d.userData, d.object, inEvent, 0, value);
  return noErr;
}
