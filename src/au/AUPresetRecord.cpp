#include "au/AUPresetRecord.h"

namespace {
CFAUPreset* AsRecord(const void* preset) { return static_cast<CFAUPreset*>(const_cast<void*>(preset)); }

const void* ArrayRetain(CFAllocatorRef, const void* preset) { return CFAUPresetRetain(preset); }
void ArrayRelease(CFAllocatorRef, const void* preset) { CFAUPresetRelease(preset); }
}  // namespace

const CFArrayCallBacks kCFAUPresetArrayCallBacks = {0, ArrayRetain, ArrayRelease, CFAUPresetCopyDescription,
                                                    CFAUPresetEqual};

CFAUPresetRef CFAUPresetCreate(CFAllocatorRef allocator, SInt32 presetNumber, CFStringRef presetName) {
  CFAUPreset* record = static_cast<CFAUPreset*>(CFAllocatorAllocate(allocator, sizeof(CFAUPreset), 0));
  if (!record) return nullptr;
  record->auPreset.presetNumber = presetNumber;
  record->auPreset.presetName = presetName ? CFStringCreateCopy(allocator, presetName) : nullptr;
  record->version = 0;
  record->allocator = allocator;
  record->retainCount = 1;
  return record;
}

CFAUPresetRef CFAUPresetRetain(const void* preset) {
  if (preset) ++AsRecord(preset)->retainCount;
  return static_cast<CFAUPresetRef>(preset);
}

void CFAUPresetRelease(const void* preset) {
  CFAUPreset* record = AsRecord(preset);
  if (!record || record->retainCount <= 0) return;
  if (--record->retainCount > 0) return;
  if (record->auPreset.presetName) CFRelease(record->auPreset.presetName);
  record->auPreset.presetName = nullptr;
  record->auPreset.presetNumber = 0;
  CFAllocatorDeallocate(record->allocator, record);
}

Boolean CFAUPresetEqual(const void* preset1, const void* preset2) {
  const CFAUPreset* a = static_cast<const CFAUPreset*>(preset1);
  const CFAUPreset* b = static_cast<const CFAUPreset*>(preset2);
  if (a == b) return true;
  if (!a || !b || a->auPreset.presetNumber != b->auPreset.presetNumber) return false;
  CFStringRef na = a->auPreset.presetName;
  CFStringRef nb = b->auPreset.presetName;
  if (!na || !nb) return na == nb;
  return CFStringCompare(na, nb, 0) == kCFCompareEqualTo;
}

CFStringRef CFAUPresetCopyDescription(const void* preset) {
  const CFAUPreset* record = static_cast<const CFAUPreset*>(preset);
  if (!record) return nullptr;
  return CFStringCreateWithFormat(nullptr, nullptr, CFSTR("AUPreset:\npreset number = %d\npreset name = %@"),
                                  (int)record->auPreset.presetNumber, record->auPreset.presetName);
}
