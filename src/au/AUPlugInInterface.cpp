// The plug-in interface's records, the live-interface list that makes a
// second Close harmless, and the selector table.

#include "au/AUPlugInInterface.h"

#include <algorithm>
#include <mutex>
#include <memory>
#include <new>
#include <vector>

#include "au/apple/AudioUnit.h"
#include "au/apple/ComponentCall.h"

namespace {

// One instance as the host sees it; the interface comes first, so the
// host's `self` is the record.
struct PlugInRecord {
  AudioComponentPlugInInterface mInterface;
  ComponentRoutineProcPtr mEntry;
  ComponentInstance mInstance;
  Handle mStorage;  // the plug-in, once open
};

std::mutex sLiveMutex;

std::vector<PlugInRecord*>& Live() {
  static auto* live = new std::vector<PlugInRecord*>();
  return *live;
}

bool IsLive(PlugInRecord* record) {
  std::lock_guard<std::mutex> lock(sLiveMutex);
  return std::find(Live().begin(), Live().end(), record) != Live().end();
}

// Removes a record from the live list; false if it was not there.
bool TakeLive(PlugInRecord* record) {
  std::lock_guard<std::mutex> lock(sLiveMutex);
  auto it = std::find(Live().begin(), Live().end(), record);
  if (it == Live().end()) return false;
  Live().erase(it);
  return true;
}

OSStatus Open(void* self, AudioComponentInstance instance) {
  auto* record = static_cast<PlugInRecord*>(self);
  if (!record || !IsLive(record)) return badComponentInstance;
  if (!instance || record->mStorage) return paramErr;
  const ComponentResult result = ComponentCall(kComponentOpenSelect).CallEntry(record->mEntry, instance, nullptr);
  if (result != noErr) return result;
  record->mInstance = instance;
  record->mStorage = GetComponentInstanceStorage(instance);
  return noErr;
}

OSStatus Close(void* self) {
  auto* record = static_cast<PlugInRecord*>(self);
  if (!record || !TakeLive(record)) return badComponentInstance;
  const std::unique_ptr<PlugInRecord> owned(record);
  ComponentResult result = noErr;
  if (record->mStorage) {
    result = ComponentCall(kComponentCloseSelect).CallEntry(record->mEntry, record->mInstance, record->mStorage);
    SetComponentInstanceStorage(record->mInstance, nullptr);
  }
  return result;
}

// Every method: the selector's arguments, in the call's order, into one
// block for the entry.
template <SInt16 kSelector, class... Args>
OSStatus Forward(void* self, Args... args) {
  auto* record = static_cast<PlugInRecord*>(self);
  if (!record) return badComponentInstance;
  ComponentCall call(kSelector);
  (call.Arg(args), ...);
  return call.CallEntry(record->mEntry, record->mInstance, record->mStorage);
}

struct Method {
  SInt16 mSelector;
  AudioComponentMethod mMethod;
};

// The host calls a method through a pointer of its own type again; the
// detour through void (*)() is the conversion the language keeps lossless.
template <SInt16 kSelector, class... Args>
Method MethodFor() {
  OSStatus (*method)(void*, Args...) = &Forward<kSelector, Args...>;
  return {kSelector, reinterpret_cast<AudioComponentMethod>(reinterpret_cast<void (*)()>(method))};
}

// The Audio Unit and music device calls, each with its arguments after self.
const Method kMethods[] = {
    MethodFor<kAudioUnitInitializeSelect>(),
    MethodFor<kAudioUnitUninitializeSelect>(),
    MethodFor<kAudioUnitGetPropertyInfoSelect, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement, UInt32*,
              Boolean*>(),
    MethodFor<kAudioUnitGetPropertySelect, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement, void*, UInt32*>(),
    MethodFor<kAudioUnitSetPropertySelect, AudioUnitPropertyID, AudioUnitScope, AudioUnitElement, const void*,
              UInt32>(),
    MethodFor<kAudioUnitGetParameterSelect, AudioUnitParameterID, AudioUnitScope, AudioUnitElement,
              AudioUnitParameterValue*>(),
    MethodFor<kAudioUnitSetParameterSelect, AudioUnitParameterID, AudioUnitScope, AudioUnitElement,
              AudioUnitParameterValue, UInt32>(),
    MethodFor<kAudioUnitResetSelect, AudioUnitScope, AudioUnitElement>(),
    MethodFor<kAudioUnitAddPropertyListenerSelect, AudioUnitPropertyID, AudioUnitPropertyListenerProc, void*>(),
    MethodFor<kAudioUnitRemovePropertyListenerSelect, AudioUnitPropertyID, AudioUnitPropertyListenerProc>(),
    MethodFor<kAudioUnitRemovePropertyListenerWithUserDataSelect, AudioUnitPropertyID, AudioUnitPropertyListenerProc,
              void*>(),
    MethodFor<kAudioUnitRenderSelect, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
              AudioBufferList*>(),
    MethodFor<kAudioUnitAddRenderNotifySelect, AURenderCallback, void*>(),
    MethodFor<kAudioUnitRemoveRenderNotifySelect, AURenderCallback, void*>(),
    MethodFor<kAudioUnitScheduleParametersSelect, const AudioUnitParameterEvent*, UInt32>(),
    MethodFor<kMusicDeviceMIDIEventSelect, UInt32, UInt32, UInt32, UInt32>(),
    MethodFor<kMusicDeviceSysExSelect, const UInt8*, UInt32>(),
    MethodFor<kMusicDevicePrepareInstrumentSelect, MusicDeviceInstrumentID>(),
    MethodFor<kMusicDeviceReleaseInstrumentSelect, MusicDeviceInstrumentID>(),
    MethodFor<kMusicDeviceStartNoteSelect, MusicDeviceInstrumentID, MusicDeviceGroupID, NoteInstanceID*, UInt32,
              const MusicDeviceNoteParams*>(),
    MethodFor<kMusicDeviceStopNoteSelect, MusicDeviceGroupID, NoteInstanceID, UInt32>(),
};

AudioComponentMethod Lookup(SInt16 selector) {
  for (const Method& m : kMethods)
    if (m.mSelector == selector) return m.mMethod;
  return nullptr;
}

}  // namespace

AudioComponentPlugInInterface* NewAUPlugInInterface(ComponentRoutineProcPtr entry) {
  if (!entry) return nullptr;
  std::unique_ptr<PlugInRecord> record(new (std::nothrow)
                                           PlugInRecord{{Open, Close, Lookup, nullptr}, entry, nullptr, nullptr});
  if (!record) return nullptr;
  try {
    std::lock_guard<std::mutex> lock(sLiveMutex);
    Live().push_back(record.get());
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  // The host owns it from here and gives it back through Close.
  return &record.release()->mInterface;
}
