// The Component Manager stand-in: a registry of components and the instances
// opened from them.

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "au/apple/ComponentCall.h"

namespace {
// Both records start with a tag so GetComponentInfo can tell them apart, as
// the Component Manager accepts an instance in place of a component.
enum RecordTag : UInt32 { kComponentTag = 0x436f6d70, kInstanceTag = 0x496e7374, kFreedTag = 0 };
}  // namespace

struct ComponentRecord {
  UInt32 tag;
  ComponentDescription description;
  ComponentRoutineUPP entry;
  int openInstances;
};

struct ComponentInstanceRecord {
  UInt32 tag;
  Component component;
  std::atomic<Handle> storage;
};

namespace {
std::mutex sComponentsMutex;

std::vector<Component>& Components() {
  static auto* components = new std::vector<Component>();
  return *components;
}

bool Matches(OSType wanted, OSType actual) { return wanted == 0 || wanted == actual; }

// The Component Manager reports 16-bit errors; wider component results become paramErr.
OSErr AsOSErr(ComponentResult result) { return result >= -32768 && result <= 32767 ? (OSErr)result : (OSErr)paramErr; }

bool IsRegistered(Component c) {
  const std::vector<Component>& all = Components();
  return c && std::find(all.begin(), all.end(), c) != all.end();
}
}  // namespace

// Records follow Apple's register/unregister and open/close pairs, which
// own them, so they are bare pointers handed to the caller.
Component RegisterComponent(ComponentDescription* cd, ComponentRoutineUPP componentEntryPoint, SInt16, Handle, Handle,
                            Handle) {
  if (!cd || !componentEntryPoint) return nullptr;
  Component c = new ComponentRecord{kComponentTag, *cd, componentEntryPoint, 0};
  std::lock_guard<std::mutex> lock(sComponentsMutex);
  Components().push_back(c);
  return c;
}

OSErr UnregisterComponent(Component aComponent) {
  std::lock_guard<std::mutex> lock(sComponentsMutex);
  if (!IsRegistered(aComponent) || aComponent->openInstances > 0) return invalidComponentID;
  std::vector<Component>& all = Components();
  all.erase(std::find(all.begin(), all.end(), aComponent));
  aComponent->tag = kFreedTag;
  delete aComponent;
  return noErr;
}

Component FindNextComponent(Component previous, ComponentDescription* looking) {
  std::lock_guard<std::mutex> lock(sComponentsMutex);
  const std::vector<Component>& all = Components();
  auto it = all.begin();
  if (previous) {
    it = std::find(all.begin(), all.end(), previous);
    if (it == all.end()) return nullptr;
    ++it;
  }
  for (; it != all.end(); ++it) {
    const ComponentDescription& d = (*it)->description;
    if (!looking || (Matches(looking->componentType, d.componentType) &&
                     Matches(looking->componentSubType, d.componentSubType) &&
                     Matches(looking->componentManufacturer, d.componentManufacturer)))
      return *it;
  }
  return nullptr;
}

OSErr OpenAComponent(Component aComponent, ComponentInstance* ci) {
  if (!ci) return paramErr;
  *ci = nullptr;
  {
    std::lock_guard<std::mutex> lock(sComponentsMutex);
    if (!IsRegistered(aComponent)) return invalidComponentID;
    ++aComponent->openInstances;
  }
  ComponentInstance instance = new ComponentInstanceRecord{kInstanceTag, aComponent, {nullptr}};
  const ComponentResult result = ComponentCall(kComponentOpenSelect).Call(instance);
  if (result != noErr) {
    ComponentCall(kComponentCloseSelect).Call(instance);
    instance->tag = kFreedTag;
    delete instance;
    std::lock_guard<std::mutex> lock(sComponentsMutex);
    --aComponent->openInstances;
    return AsOSErr(result);
  }
  *ci = instance;
  return noErr;
}

OSErr CloseComponent(ComponentInstance ci) {
  if (!ci || ci->tag != kInstanceTag) return paramErr;
  const ComponentResult result = ComponentCall(kComponentCloseSelect).Call(ci);
  Component c = ci->component;
  ci->tag = kFreedTag;
  delete ci;
  std::lock_guard<std::mutex> lock(sComponentsMutex);
  --c->openInstances;
  return AsOSErr(result);
}

OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle, Handle, Handle) {
  if (!aComponent) return invalidComponentID;
  UInt32 tag;
  std::memcpy(&tag, aComponent, sizeof tag);
  Component c = aComponent;
  if (tag == kInstanceTag)
    c = reinterpret_cast<ComponentInstance>(aComponent)->component;
  else if (tag != kComponentTag)
    return invalidComponentID;
  if (cd) *cd = c->description;
  return noErr;
}

Handle GetComponentInstanceStorage(ComponentInstance ci) { return ci ? ci->storage.load() : nullptr; }

void SetComponentInstanceStorage(ComponentInstance ci, Handle storage) {
  if (ci) ci->storage.store(storage);
}

ComponentResult CallComponentDispatch(ComponentParameters* params) {
  if (!params) return paramErr;
  ComponentInstance ci = ComponentSelf(params);
  if (!ci || ci->tag != kInstanceTag) return badComponentInstance;
  return ci->component->entry(params, ci->storage.load());
}

ComponentResult CallComponentCanDo(ComponentInstance ci, SInt16 ftnNumber) {
  return ComponentCall(kComponentCanDoSelect).Arg(ftnNumber).Call(ci);
}

ComponentResult CallComponentVersion(ComponentInstance ci) { return ComponentCall(kComponentVersionSelect).Call(ci); }
