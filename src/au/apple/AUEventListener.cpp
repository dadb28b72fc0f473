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

// Apple's create/dispose pair is the listener's owner (AUListenerDispose
// deletes it), so it is a bare pointer handed to the caller.
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
  // Deliveries are collected in fixed batches under the lock and made after
  // it, so a render thread posting an event does not allocate.
  struct Delivery {
    AUEventListenerProc proc;
    void* userData;
    void* object;
  };
  const size_t kBatch = 32;
  Delivery batch[kBatch];
  size_t listenerIdx = 0, registrationIdx = 0;
  bool more = true;
  while (more) {
    size_t n = 0;
    {
      std::lock_guard<std::mutex> lock(sListenersMutex);
      const std::vector<AUListenerBase*>& all = Listeners();
      for (; listenerIdx < all.size() && n < kBatch; ++listenerIdx, registrationIdx = 0) {
        const AUListenerBase* listener = all[listenerIdx];
        if (listener == inSendingListener) continue;
        const std::vector<AUListenerBase::Registration>& regs = listener->registrations;
        for (; registrationIdx < regs.size() && n < kBatch; ++registrationIdx)
          if (Covers(regs[registrationIdx].event, *inEvent))
            batch[n++] = Delivery{listener->proc, listener->userData, regs[registrationIdx].object};
        if (registrationIdx < regs.size()) break;  // the batch is full inside this listener
      }
      more = listenerIdx < all.size();
    }
    for (size_t i = 0; i < n; ++i) batch[i].proc(batch[i].userData, batch[i].object, inEvent, 0, value);
  }
  return noErr;
}
