#pragma once
// What a product built on the VST 3 adapter tells the factory about itself.
// The product supplies VST3Product() (for the instrument:
// src/tonnik/TonnikVST3Entry.cpp); the factory (VST3Factory.cpp) describes
// its one class from it and makes instances with it.
//
// Threads: the record is constant; mMake serialises instance creation
// itself and may be called from any thread.

#include "vst3/VST3Interfaces.h"

class IPluginVST3;

struct IPluginVST3Product {
  vst3::UID mClassID;
  const char* mName;
  const char* mVendor;
  const char* mURL;
  const char* mEmail;
  const char* mVersion;
  const char* mSubCategories;
  // One new instance, holding one reference; null when it cannot be made.
  IPluginVST3* (*mMake)();
};

const IPluginVST3Product& VST3Product();
