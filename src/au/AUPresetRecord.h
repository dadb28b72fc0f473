#pragma once
// Reference-counted factory preset records, as hosts receive them in the
// FactoryPresets array: an AUPreset (number and name) that lives as long as
// any holder retains it. The array callbacks retain on insertion, release on
// removal, compare number and name, and describe a record.
//
// Threads: a record is shared by the main thread only (the count is not atomic).

#include "au/apple/AudioUnit.h"

struct CFAUPreset {
  AUPreset auPreset;
  UInt32 version;
  CFAllocatorRef allocator;
  CFIndex retainCount;
};
typedef const CFAUPreset* CFAUPresetRef;

// A record with count 1 holding a copy of name (null stays null); null when
// it cannot be allocated.
CFAUPresetRef CFAUPresetCreate(CFAllocatorRef allocator, SInt32 presetNumber, CFStringRef presetName);
CFAUPresetRef CFAUPresetRetain(const void* preset);
// Does nothing on a count already at 0 or below; the release that reaches 0
// clears number and name and frees the record with its allocator.
void CFAUPresetRelease(const void* preset);
// Same number and equal names (both null counts as equal).
Boolean CFAUPresetEqual(const void* preset1, const void* preset2);
// "AUPreset:\npreset number = %d\npreset name = %@".
CFStringRef CFAUPresetCopyDescription(const void* preset);

extern const CFArrayCallBacks kCFAUPresetArrayCallBacks;
