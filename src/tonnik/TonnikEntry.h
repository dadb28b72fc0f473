#pragma once
// The component's exported entry points. The two entries forward their
// arguments unchanged to the Audio Unit adapter; the factory returns the
// plug-in interface over the first. Any thread, as the adapter documents.

#include "au/apple/AudioComponent.h"
#include "au/apple/Components.h"

extern "C" {
// The plug-in component: open creates the instrument through MakePlug().
ComponentResult Tonnik_Entry(ComponentParameters* params, Handle storage);
// The Carbon view component.
ComponentResult Tonnik_ViewEntry(ComponentParameters* params, Handle storage);
// The plug-in interface the bundle's Info.plist names: a new, unopened
// interface over Tonnik_Entry (null when memory runs out); the description
// is not used, there being one component.
AudioComponentPlugInInterface* Tonnik_Factory(const AudioComponentDescription* desc);
}
