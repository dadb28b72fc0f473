#pragma once
// The component's exported entry points. Both forward their arguments
// unchanged to the Audio Unit adapter. Any thread, as the adapter documents.

#include "au/apple/Components.h"

extern "C" {
// The plug-in component: open creates the instrument through MakePlug().
ComponentResult Tonnik_Entry(ComponentParameters* params, Handle storage);
// The Carbon view component.
ComponentResult Tonnik_ViewEntry(ComponentParameters* params, Handle storage);
}
