#pragma once
// Private to the stand-in library: the common base of every CF object. The
// opaque __CF* types of CoreFoundation.h derive from CFObject, so a CFTypeRef
// points at a CFObject.

#include <atomic>
#include <string>

#include "au/apple/CoreFoundation.h"

class CFObject {
public:
  // Immortal objects (constant strings, registered bundles) ignore retain and
  // release and are not counted as live.
  CFObject(CFTypeID typeID, bool immortal);
  virtual ~CFObject();
  CFObject(const CFObject&) = delete;
  CFObject& operator=(const CFObject&) = delete;

  CFTypeID TypeID() const { return mTypeID; }
  bool Immortal() const { return mImmortal; }
  void Retain() const;
  // True when this release dropped the last reference.
  bool Release() const;
  CFIndex RetainCount() const;

  // Same type is guaranteed by the caller.
  virtual bool Equals(const CFObject& other) const { return this == &other; }
  virtual CFHashCode Hash() const { return (CFHashCode)(uintptr_t)this; }
  virtual std::string Describe() const;

  static long LiveCount();

private:
  const CFTypeID mTypeID;
  const bool mImmortal;
  mutable std::atomic<CFIndex> mRefs{1};
};

// Fixed type IDs of the stand-in (on a Mac they are assigned at run time).
enum : CFTypeID {
  kStandInStringTypeID = 7,
  kStandInDictionaryTypeID = 18,
  kStandInArrayTypeID = 19,
  kStandInDataTypeID = 20,
  kStandInNumberTypeID = 22,
  kStandInURLTypeID = 29,
  kStandInBundleTypeID = 31
};

inline const CFObject* AsObject(CFTypeRef cf) { return static_cast<const CFObject*>(cf); }

// Checked down-casts: null when cf is null or of another type.
template <class T>
const T* AsType(CFTypeRef cf, CFTypeID typeID) {
  const CFObject* object = AsObject(cf);
  return object && object->TypeID() == typeID ? static_cast<const T*>(object) : nullptr;
}
template <class T>
T* AsMutableType(CFTypeRef cf, CFTypeID typeID) {
  return const_cast<T*>(AsType<T>(cf, typeID));
}

// The text of a string object ("" for null or a non-string).
const std::string& StringText(CFStringRef str);
CFStringRef MakeString(std::string text);
