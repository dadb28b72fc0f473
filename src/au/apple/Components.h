#pragma once
// Stand-in for the Component Manager subset that Audio Unit components and
// their hosts use: component descriptions, registration, instances with their
// storage, and the parameter block through which every call reaches a
// component's entry function.
//
// Calling convention (Apple's 64-bit one): the entry function receives the
// parameter block and the instance's storage handle (null until the
// component stores one during open). In the block, `what` is the selector,
// `paramSize` the number of argument bytes (8 per argument), `flags` 0;
// params[0] holds the component instance and params[1 + i] argument i of the
// call, in the call's forward order. Each argument occupies one 8-byte slot,
// its bytes at the start of the slot (an integer or float argument in the low
// bytes on this little-endian machine). Open (-1) and close (-2) carry the
// instance in params[0] and no arguments; can-do (-3) carries the asked
// selector as argument 0.
//
// Threads: registration, open and close from the main thread; calls into an
// open instance from any thread (the component serialises them).

#include "au/apple/MacTypes.h"

typedef struct ComponentRecord* Component;
typedef struct ComponentInstanceRecord* ComponentInstance;
typedef SInt32 ComponentResult;

struct ComponentParameters {
  UInt8 flags;
  UInt8 paramSize;
  SInt16 what;
  UInt32 padding;
  long params[1];
};
static_assert(sizeof(ComponentParameters) == 16, "ComponentParameters header and first slot");

typedef ComponentResult (*ComponentRoutineProcPtr)(ComponentParameters* params, Handle storage);
typedef ComponentRoutineProcPtr ComponentRoutineUPP;

struct ComponentDescription {
  OSType componentType;
  OSType componentSubType;
  OSType componentManufacturer;
  UInt32 componentFlags;
  UInt32 componentFlagsMask;
};
static_assert(sizeof(ComponentDescription) == 20, "ComponentDescription is 20 bytes");

enum {
  kComponentOpenSelect = -1,
  kComponentCloseSelect = -2,
  kComponentCanDoSelect = -3,
  kComponentVersionSelect = -4,
  kComponentRegisterSelect = -5,
  kComponentTargetSelect = -6,
  kComponentUnregisterSelect = -7
};

// Registers a component; name, info and icon handles are accepted and not
// used. Null for a null description or entry.
Component RegisterComponent(ComponentDescription* cd, ComponentRoutineUPP componentEntryPoint, SInt16 global,
                            Handle componentName, Handle componentInfo, Handle componentIcon);
// Forgets a component; fails with invalidComponentID while instances are open.
OSErr UnregisterComponent(Component aComponent);
// The next registered component after `previous` (null: the first) whose
// type, subtype and manufacturer match `looking` (0 fields match anything).
Component FindNextComponent(Component previous, ComponentDescription* looking);
// Creates an instance and calls the entry's open selector; when open fails
// the instance is closed again and the open result returned.
OSErr OpenAComponent(Component aComponent, ComponentInstance* ci);
// Calls the close selector and frees the instance.
OSErr CloseComponent(ComponentInstance ci);
// Accepts a Component or a ComponentInstance (cast to Component), as on a
// Mac; invalidComponentID for anything else, including null.
OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd, Handle componentName, Handle componentInfo,
                       Handle componentIcon);
Handle GetComponentInstanceStorage(ComponentInstance ci);
void SetComponentInstanceStorage(ComponentInstance ci, Handle storage);
ComponentResult CallComponentCanDo(ComponentInstance ci, SInt16 ftnNumber);
ComponentResult CallComponentVersion(ComponentInstance ci);

// Calls the entry of the instance held in params[0] with that instance's storage.
ComponentResult CallComponentDispatch(ComponentParameters* params);
