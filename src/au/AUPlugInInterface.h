#pragma once
// The Audio Component plug-in interface over a component entry, for the
// factory function a bundle names in its Info.plist. It adds no behaviour of
// its own: Open sends the entry its open selector (so the plug-in is created
// exactly as for a Component Manager open), every looked-up method packs its
// arguments into a parameter block and calls the entry, which holds the
// plug-in mutex as for any other call, and Close sends the close selector.
//
// Ownership: the caller of NewAUPlugInInterface owns the interface until it
// calls Close, which deletes the plug-in and frees the interface. Close of a
// null or already closed interface answers badComponentInstance and touches
// nothing.
//
// Threads: NewAUPlugInInterface, Open and Close from the main thread; the
// methods from any thread, as the entry allows.

#include "au/apple/AudioComponent.h"

// A new, unopened interface over entry; null when memory runs out.
AudioComponentPlugInInterface* NewAUPlugInInterface(ComponentRoutineProcPtr entry);
