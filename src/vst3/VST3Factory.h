#pragma once
// The module's plug-in factory (IPluginFactory3): one "Audio Module Class"
// described by the product (VST3Product.h). A process-wide object that is
// never deleted, so its reference count is only kept for form.
//
// Threads: any; class information is constant and createInstance relies on
// the product's serialised factory.

#include "vst3/VST3Interfaces.h"

// The factory GetPluginFactory hands out (with a reference for the caller).
vst3::IPluginFactory* VST3Factory();
