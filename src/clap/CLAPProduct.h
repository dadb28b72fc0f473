#pragma once
// What a product built on the CLAP adapter tells it about itself. The
// product supplies CLAPProduct() (for the instrument:
// src/tonnik/TonnikCLAPEntry.cpp); the entry (CLAPEntry.cpp) uses it.
//
// Threads: the record is constant; mMake serialises instance creation
// itself and may be called from any thread.

#include "clap/ClapCore.h"

class IPluginCLAP;

struct IPluginCLAPProduct {
  // The one plug-in the module offers.
  const clap_plugin_descriptor_t* mDescriptor;
  // Once per module load, with the path of the module file: finds the
  // product's files beside it. False refuses the module.
  bool (*mInit)(const char* modulePath);
  // One new instance; null when it cannot be made.
  IPluginCLAP* (*mMake)();
};

const IPluginCLAPProduct& CLAPProduct();
