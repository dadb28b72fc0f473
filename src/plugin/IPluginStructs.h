#pragma once
// Plain records shared by the plug-in base, the host adapter and the
// instrument: time info, preset slots, instance info, the API enumeration
// and version packing. Messages and chunks live in their own headers and are
// included here for convenience.

#include "kit/KIT_String.h"
#include "plugin/ByteChunk.h"
#include "plugin/IMidiMsg.h"

// Which host API a build serves.
enum EAPI { kAPIVST2 = 0, kAPIVST3 = 1, kAPIAU = 2, kAPIRTAS = 3, kAPIAAX = 4, kAPISA = 5, kAPILV2 = 6, kAPICLAP = 7 };

// "VST2", "VST3", "AU", "RTAS", "AAX", "Standalone", "LV2", or "" for other values.
const char* GetAPIString(EAPI api);
// "x64".
const char* GetArchString();

// Musical time as the host reports it; fields the host does not fill keep
// these defaults.
struct ITimeInfo {
  double mTempo = 120.0;
  double mSamplePos = -1.0;
  double mPPQPos = -1.0;
  double mLastBar = -1.0;
  double mCycleStart = -1.0;
  double mCycleEnd = -1.0;
  int mNumerator = 4;
  int mDenominator = 4;
  bool mTransportIsRunning = false;
  bool mTransportLoopEnabled = false;
};

// One preset slot: a name and the state captured into it. Owned by the
// plug-in base's preset list.
struct IPreset {
  static const int kNameLen = 256;

  bool mInitialized = false;
  char mName[kNameLen] = {};
  ByteChunk mChunk;

  // The slot index is accepted for symmetry with the list but not stored.
  explicit IPreset(int idx);
  // Copies name, cut to 255 characters; null reads as "".
  void SetName(const char* name);
};

// What the plug-in factory hands to a new instance: the plug-in bundle's
// identifier and the class name of the Cocoa editor-view factory.
struct IPluginInstanceInfo {
  KIT_String mBundleID;
  KIT_String mCocoaViewFactoryClassName;
};

// Versions are packed as major << 16 | minor << 8 | patch.
void GetVersionParts(int version, int* major, int* minor, int* patch);
// major * 10000 + minor * 100 + patch.
int GetDecimalVersion(int version);
// "v%d.%d.%d"; str must hold 20 characters.
void GetVersionStr(int version, char* str);

// Framework version header of program and bank file chunks: clears chunk and
// writes the magic 'tffp' and the framework version.
void InitChunkWithIPluginVer(ByteChunk* chunk);
// When the int at *pos is that magic, reads the version after it and moves
// *pos past it (to -1 if the version does not fit); otherwise leaves *pos.
// Returns the version, or 0.
int GetIPluginVerFromChunk(ByteChunk* chunk, int* pos);
