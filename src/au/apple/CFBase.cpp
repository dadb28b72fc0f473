// Reference counting, allocators and the type-generic CF calls.

#include <climits>
#include <cstdlib>

#include "au/apple/CFObject.h"
#include "au/apple/StandIn.h"

namespace {
std::atomic<long> sLiveObjects{0};

// Immortal objects report a count no real object reaches.
const CFIndex kImmortalRetainCount = LONG_MAX;
}  // namespace

CFObject::CFObject(CFTypeID typeID, bool immortal) : mTypeID(typeID), mImmortal(immortal) {
  if (!mImmortal) sLiveObjects.fetch_add(1, std::memory_order_relaxed);
}

CFObject::~CFObject() {
  if (!mImmortal) sLiveObjects.fetch_sub(1, std::memory_order_relaxed);
}

void CFObject::Retain() const {
  if (!mImmortal) mRefs.fetch_add(1, std::memory_order_relaxed);
}

bool CFObject::Release() const {
  if (mImmortal) return false;
  return mRefs.fetch_sub(1, std::memory_order_acq_rel) == 1;
}

CFIndex CFObject::RetainCount() const { return mImmortal ? kImmortalRetainCount : mRefs.load(std::memory_order_relaxed); }

std::string CFObject::Describe() const { return "<CFType " + std::to_string(mTypeID) + ">"; }

long CFObject::LiveCount() { return sLiveObjects.load(std::memory_order_relaxed); }

long StandIn_LiveCFObjectCount() { return CFObject::LiveCount(); }

// The stand-in has no allocator objects: both names mean malloc/free.
const CFAllocatorRef kCFAllocatorDefault = nullptr;
const CFAllocatorRef kCFAllocatorSystemDefault = nullptr;

void* CFAllocatorAllocate(CFAllocatorRef, CFIndex size, CFOptionFlags) {
  return size > 0 ? std::malloc((size_t)size) : nullptr;
}

void CFAllocatorDeallocate(CFAllocatorRef, void* ptr) { std::free(ptr); }

CFTypeRef CFRetain(CFTypeRef cf) {
  if (cf) AsObject(cf)->Retain();
  return cf;
}

void CFRelease(CFTypeRef cf) {
  if (cf && AsObject(cf)->Release()) delete AsObject(cf);
}

CFIndex CFGetRetainCount(CFTypeRef cf) { return cf ? AsObject(cf)->RetainCount() : 0; }

CFTypeID CFGetTypeID(CFTypeRef cf) { return cf ? AsObject(cf)->TypeID() : 0; }

Boolean CFEqual(CFTypeRef a, CFTypeRef b) {
  if (a == b) return true;
  if (!a || !b || AsObject(a)->TypeID() != AsObject(b)->TypeID()) return false;
  return AsObject(a)->Equals(*AsObject(b));
}

CFHashCode CFHash(CFTypeRef cf) { return cf ? AsObject(cf)->Hash() : 0; }

CFStringRef CFCopyDescription(CFTypeRef cf) { return cf ? MakeString(AsObject(cf)->Describe()) : nullptr; }
