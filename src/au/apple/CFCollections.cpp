// CFDictionary and CFArray with caller-supplied retain/release/equal callbacks.

#include <vector>

#include "au/apple/CFObject.h"

namespace {
const void* TypeRetain(CFAllocatorRef, const void* value) { return CFRetain(value); }
void TypeRelease(CFAllocatorRef, const void* value) { CFRelease(value); }
CFStringRef TypeCopyDescription(const void* value) { return CFCopyDescription(value); }
Boolean TypeEqual(const void* a, const void* b) { return CFEqual(a, b); }
CFHashCode TypeHash(const void* value) { return CFHash(value); }

// Describes one element with the container's callback, or by its address.
std::string DescribeValue(CFStringRef (*copyDescription)(const void*), const void* value) {
  if (!copyDescription) return "<" + std::to_string((uintptr_t)value) + ">";
  CFStringRef description = copyDescription(value);
  std::string text = StringText(description);
  if (description) CFRelease(description);
  return text;
}
}  // namespace

const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {0, TypeRetain, TypeRelease, TypeCopyDescription,
                                                                 TypeEqual, TypeHash};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {0, TypeRetain, TypeRelease, TypeCopyDescription,
                                                                    TypeEqual};
const CFArrayCallBacks kCFTypeArrayCallBacks = {0, TypeRetain, TypeRelease, TypeCopyDescription, TypeEqual};

struct __CFDictionary : CFObject {
  struct Entry {
    const void* key;
    const void* value;
  };

  __CFDictionary(CFAllocatorRef allocator, const CFDictionaryKeyCallBacks* keys,
                 const CFDictionaryValueCallBacks* values)
      : CFObject(kStandInDictionaryTypeID, false),
        mAllocator(allocator),
        mKeyCallBacks(keys ? *keys : CFDictionaryKeyCallBacks{}),
        mValueCallBacks(values ? *values : CFDictionaryValueCallBacks{}) {}

  ~__CFDictionary() override {
    for (const Entry& entry : mEntries) {
      ReleaseKey(entry.key);
      ReleaseValue(entry.value);
    }
  }

  std::string Describe() const override {
    std::string text = "{\n";
    for (const Entry& entry : mEntries)
      text += "  " + DescribeValue(mKeyCallBacks.copyDescription, entry.key) + " = " +
              DescribeValue(mValueCallBacks.copyDescription, entry.value) + "\n";
    return text + "}";
  }

  int Find(const void* key) const {
    for (size_t i = 0; i < mEntries.size(); ++i)
      if (mEntries[i].key == key || (mKeyCallBacks.equal && mKeyCallBacks.equal(mEntries[i].key, key))) return (int)i;
    return -1;
  }

  const void* RetainKey(const void* key) const {
    return mKeyCallBacks.retain ? mKeyCallBacks.retain(mAllocator, key) : key;
  }
  const void* RetainValue(const void* value) const {
    return mValueCallBacks.retain ? mValueCallBacks.retain(mAllocator, value) : value;
  }
  void ReleaseKey(const void* key) const {
    if (mKeyCallBacks.release) mKeyCallBacks.release(mAllocator, key);
  }
  void ReleaseValue(const void* value) const {
    if (mValueCallBacks.release) mValueCallBacks.release(mAllocator, value);
  }

  const CFAllocatorRef mAllocator;
  const CFDictionaryKeyCallBacks mKeyCallBacks;
  const CFDictionaryValueCallBacks mValueCallBacks;
  std::vector<Entry> mEntries;
};

struct __CFArray : CFObject {
  __CFArray(CFAllocatorRef allocator, const CFArrayCallBacks* callBacks)
      : CFObject(kStandInArrayTypeID, false),
        mAllocator(allocator),
        mCallBacks(callBacks ? *callBacks : CFArrayCallBacks{}) {}

  ~__CFArray() override { RemoveAll(); }

  std::string Describe() const override {
    std::string text = "(\n";
    for (size_t i = 0; i < mValues.size(); ++i)
      text += "  " + std::to_string(i) + " : " + DescribeValue(mCallBacks.copyDescription, mValues[i]) + "\n";
    return text + ")";
  }

  void Append(const void* value) {
    mValues.push_back(mCallBacks.retain ? mCallBacks.retain(mAllocator, value) : value);
  }

  void RemoveAt(size_t idx) {
    const void* value = mValues[idx];
    mValues.erase(mValues.begin() + (std::ptrdiff_t)idx);
    if (mCallBacks.release) mCallBacks.release(mAllocator, value);
  }

  void RemoveAll() {
    while (!mValues.empty()) RemoveAt(mValues.size() - 1);
  }

  bool ValuesEqual(const void* a, const void* b) const { return a == b || (mCallBacks.equal && mCallBacks.equal(a, b)); }

  const CFAllocatorRef mAllocator;
  const CFArrayCallBacks mCallBacks;
  std::vector<const void*> mValues;
};

namespace {
const __CFDictionary* AsDictionary(CFTypeRef cf) { return AsType<__CFDictionary>(cf, kStandInDictionaryTypeID); }
__CFDictionary* AsMutableDictionary(CFTypeRef cf) {
  return AsMutableType<__CFDictionary>(cf, kStandInDictionaryTypeID);
}
const __CFArray* AsArray(CFTypeRef cf) { return AsType<__CFArray>(cf, kStandInArrayTypeID); }
__CFArray* AsMutableArray(CFTypeRef cf) { return AsMutableType<__CFArray>(cf, kStandInArrayTypeID); }

// The part of range that lies inside an array of count values.
void ClampRange(CFRange range, size_t count, size_t* first, size_t* end) {
  const CFIndex n = (CFIndex)count;
  CFIndex lo = range.location < 0 ? 0 : range.location;
  CFIndex hi = range.length < 0 ? lo : range.location + range.length;
  if (lo > n) lo = n;
  if (hi > n) hi = n;
  if (hi < lo) hi = lo;
  *first = (size_t)lo;
  *end = (size_t)hi;
}
}  // namespace

CFTypeID CFDictionaryGetTypeID() { return kStandInDictionaryTypeID; }

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef allocator, CFIndex,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks) {
  return new __CFDictionary(allocator, keyCallBacks, valueCallBacks);
}

CFIndex CFDictionaryGetCount(CFDictionaryRef dict) {
  const __CFDictionary* d = AsDictionary(dict);
  return d ? (CFIndex)d->mEntries.size() : 0;
}

const void* CFDictionaryGetValue(CFDictionaryRef dict, const void* key) {
  const __CFDictionary* d = AsDictionary(dict);
  const int idx = d ? d->Find(key) : -1;
  return idx >= 0 ? d->mEntries[(size_t)idx].value : nullptr;
}

Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef dict, const void* key, const void** value) {
  const __CFDictionary* d = AsDictionary(dict);
  const int idx = d ? d->Find(key) : -1;
  if (idx < 0) return false;
  if (value) *value = d->mEntries[(size_t)idx].value;
  return true;
}

void CFDictionarySetValue(CFMutableDictionaryRef dict, const void* key, const void* value) {
  __CFDictionary* d = AsMutableDictionary(dict);
  if (!d) return;
  const void* newValue = d->RetainValue(value);
  const int idx = d->Find(key);
  if (idx >= 0) {
    const void* oldValue = d->mEntries[(size_t)idx].value;
    d->mEntries[(size_t)idx].value = newValue;
    d->ReleaseValue(oldValue);
    return;
  }
  d->mEntries.push_back(__CFDictionary::Entry{d->RetainKey(key), newValue});
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef dict, const void* key) {
  __CFDictionary* d = AsMutableDictionary(dict);
  const int idx = d ? d->Find(key) : -1;
  if (idx < 0) return;
  const __CFDictionary::Entry entry = d->mEntries[(size_t)idx];
  d->mEntries.erase(d->mEntries.begin() + idx);
  d->ReleaseKey(entry.key);
  d->ReleaseValue(entry.value);
}

void CFDictionaryGetKeysAndValues(CFDictionaryRef dict, const void** keys, const void** values) {
  const __CFDictionary* d = AsDictionary(dict);
  if (!d) return;
  for (size_t i = 0; i < d->mEntries.size(); ++i) {
    if (keys) keys[i] = d->mEntries[i].key;
    if (values) values[i] = d->mEntries[i].value;
  }
}

CFTypeID CFArrayGetTypeID() { return kStandInArrayTypeID; }

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef allocator, CFIndex, const CFArrayCallBacks* callBacks) {
  return new __CFArray(allocator, callBacks);
}

CFArrayRef CFArrayCreate(CFAllocatorRef allocator, const void** values, CFIndex numValues,
                         const CFArrayCallBacks* callBacks) {
  if (numValues < 0 || (numValues > 0 && !values)) return nullptr;
  __CFArray* array = new __CFArray(allocator, callBacks);
  for (CFIndex i = 0; i < numValues; ++i) array->Append(values[i]);
  return array;
}

CFIndex CFArrayGetCount(CFArrayRef array) {
  const __CFArray* a = AsArray(array);
  return a ? (CFIndex)a->mValues.size() : 0;
}

const void* CFArrayGetValueAtIndex(CFArrayRef array, CFIndex idx) {
  const __CFArray* a = AsArray(array);
  return a && idx >= 0 && idx < (CFIndex)a->mValues.size() ? a->mValues[(size_t)idx] : nullptr;
}

void CFArrayAppendValue(CFMutableArrayRef array, const void* value) {
  if (__CFArray* a = AsMutableArray(array)) a->Append(value);
}

void CFArrayRemoveValueAtIndex(CFMutableArrayRef array, CFIndex idx) {
  __CFArray* a = AsMutableArray(array);
  if (a && idx >= 0 && idx < (CFIndex)a->mValues.size()) a->RemoveAt((size_t)idx);
}

void CFArrayRemoveAllValues(CFMutableArrayRef array) {
  if (__CFArray* a = AsMutableArray(array)) a->RemoveAll();
}

CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef array, CFRange range, const void* value) {
  const __CFArray* a = AsArray(array);
  if (!a) return kCFNotFound;
  size_t first, end;
  ClampRange(range, a->mValues.size(), &first, &end);
  for (size_t i = first; i < end; ++i)
    if (a->ValuesEqual(a->mValues[i], value)) return (CFIndex)i;
  return kCFNotFound;
}

Boolean CFArrayContainsValue(CFArrayRef array, CFRange range, const void* value) {
  return CFArrayGetFirstIndexOfValue(array, range, value) != kCFNotFound;
}
