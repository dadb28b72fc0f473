#pragma once
// Stand-in for the AudioToolbox Audio Component plug-in interface: what the
// factory function named in a component bundle's Info.plist returns. The
// host calls the factory once per instance, then Open with the instance the
// system made, looks methods up by selector and calls them with the
// interface as `self`, and finally Close, which frees the interface.
//
// Threads: the factory, Open and Close from the main thread; looked-up
// methods from any thread (the component serialises them).

#include "au/apple/Components.h"

typedef ComponentInstance AudioComponentInstance;

struct AudioComponentDescription {
  OSType componentType;
  OSType componentSubType;
  OSType componentManufacturer;
  UInt32 componentFlags;
  UInt32 componentFlagsMask;
};
static_assert(sizeof(AudioComponentDescription) == 20, "AudioComponentDescription is 20 bytes");

// Called through a pointer of the selector's own type (self, then the
// arguments of the matching Audio Unit call).
typedef OSStatus (*AudioComponentMethod)(void* self, ...);

struct AudioComponentPlugInInterface {
  OSStatus (*Open)(void* self, AudioComponentInstance mInstance);
  OSStatus (*Close)(void* self);
  // Null for a selector the component does not answer.
  AudioComponentMethod (*Lookup)(SInt16 selector);
  void* reserved;
};

typedef AudioComponentPlugInInterface* (*AudioComponentFactoryFunction)(const AudioComponentDescription* inDesc);
