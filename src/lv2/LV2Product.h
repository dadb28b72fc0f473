#pragma once
// What a product built on the LV2 adapter tells it about itself. The product
// supplies LV2Product() (for the instrument: src/tonnik/TonnikLV2Entry.cpp);
// the descriptor (LV2Entry.cpp) and the Turtle generator use it.
//
// Threads: the record is constant; mMake serialises instance creation itself
// and may be called from any thread.

class IPluginLV2;

struct IPluginLV2Product {
  // The plug-in's URI, the identity hosts save sessions under.
  const char* mURI;
  // One new instance whose images are found in the bundle folder bundlePath
  // (null: the folder configured at build time); null when it cannot be made.
  IPluginLV2* (*mMake)(const char* bundlePath);
  // Whether the plug-in plays at a sample rate; at any other, instantiate
  // refuses with the reason in the host's log. Null: every rate.
  bool (*mSupportsRate)(double sampleRate);
};

const IPluginLV2Product& LV2Product();
