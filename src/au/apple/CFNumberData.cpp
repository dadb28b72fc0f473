// CFNumber and CFData.

#include <cmath>
#include <cstring>
#include <vector>

#include "au/apple/CFObject.h"

struct __CFNumber : CFObject {
  __CFNumber(CFNumberType type, bool isFloat, long long intValue, double floatValue)
      : CFObject(kStandInNumberTypeID, false), mType(type), mIsFloat(isFloat), mInt(intValue), mFloat(floatValue) {}

  bool Equals(const CFObject& other) const override {
    const __CFNumber& o = static_cast<const __CFNumber&>(other);
    return AsDouble() == o.AsDouble() && (mIsFloat || o.mIsFloat || mInt == o.mInt);
  }
  CFHashCode Hash() const override { return mIsFloat ? std::hash<double>()(mFloat) : std::hash<long long>()(mInt); }
  std::string Describe() const override { return mIsFloat ? std::to_string(mFloat) : std::to_string(mInt); }

  double AsDouble() const { return mIsFloat ? mFloat : (double)mInt; }

  const CFNumberType mType;
  const bool mIsFloat;
  const long long mInt;
  const double mFloat;
};

struct __CFData : CFObject {
  __CFData(const UInt8* bytes, CFIndex length) : CFObject(kStandInDataTypeID, false), mBytes(bytes, bytes + length) {}

  bool Equals(const CFObject& other) const override { return mBytes == static_cast<const __CFData&>(other).mBytes; }
  std::string Describe() const override { return "<CFData " + std::to_string(mBytes.size()) + " bytes>"; }

  const std::vector<UInt8> mBytes;
};

namespace {
// A number type the stand-in knows: the bytes its value takes, and whether
// it is a float.
struct NumberKind {
  CFNumberType mType;
  int mBytes;
  bool mIsFloat;
};

const NumberKind kNumberKinds[] = {
    {kCFNumberSInt8Type, 1, false},   {kCFNumberCharType, 1, false},   {kCFNumberSInt16Type, 2, false},
    {kCFNumberShortType, 2, false},   {kCFNumberSInt32Type, 4, false}, {kCFNumberIntType, 4, false},
    {kCFNumberSInt64Type, 8, false},  {kCFNumberLongType, 8, false},   {kCFNumberLongLongType, 8, false},
    {kCFNumberCFIndexType, 8, false}, {kCFNumberFloat32Type, 4, true}, {kCFNumberFloatType, 4, true},
    {kCFNumberFloat64Type, 8, true},  {kCFNumberDoubleType, 8, true},
};

// Null for a type the stand-in does not know.
const NumberKind* KindOf(CFNumberType type) {
  for (const NumberKind& kind : kNumberKinds)
    if (kind.mType == type) return &kind;
  return nullptr;
}

template <class T>
T Load(const void* p) {
  T value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

template <class T>
void Store(void* p, T value) {
  std::memcpy(p, &value, sizeof value);
}

// Writes the integer converted to T; true when it fits exactly.
template <class T>
bool StoreInt(void* out, long long value) {
  const T converted = (T)value;
  Store<T>(out, converted);
  return (long long)converted == value;
}

long long LoadInt(const void* p, int bytes) {
  switch (bytes) {
    case 1:
      return Load<SInt8>(p);
    case 2:
      return Load<SInt16>(p);
    case 4:
      return Load<SInt32>(p);
    default:
      return Load<SInt64>(p);
  }
}

bool StoreIntOfSize(void* out, long long value, int bytes) {
  switch (bytes) {
    case 1:
      return StoreInt<SInt8>(out, value);
    case 2:
      return StoreInt<SInt16>(out, value);
    case 4:
      return StoreInt<SInt32>(out, value);
    default:
      return StoreInt<SInt64>(out, value);
  }
}

const __CFNumber* AsNumber(CFTypeRef cf) { return AsType<__CFNumber>(cf, kStandInNumberTypeID); }
const __CFData* AsData(CFTypeRef cf) { return AsType<__CFData>(cf, kStandInDataTypeID); }
}  // namespace

CFTypeID CFNumberGetTypeID() { return kStandInNumberTypeID; }

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType type, const void* valuePtr) {
  const NumberKind* kind = KindOf(type);
  if (!valuePtr || !kind) return nullptr;
  if (kind->mIsFloat)
    return new __CFNumber(type, true, 0, kind->mBytes == 4 ? Load<Float32>(valuePtr) : Load<Float64>(valuePtr));
  return new __CFNumber(type, false, LoadInt(valuePtr, kind->mBytes), 0.0);
}

CFNumberType CFNumberGetType(CFNumberRef number) {
  const __CFNumber* n = AsNumber(number);
  return n ? n->mType : 0;
}

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType type, void* valuePtr) {
  const __CFNumber* n = AsNumber(number);
  if (!n || !valuePtr) return false;
  const NumberKind* kind = KindOf(type);
  if (!kind) return false;
  if (kind->mIsFloat) {
    const double value = n->AsDouble();
    if (kind->mBytes == 8) {
      Store<Float64>(valuePtr, value);
      return n->mIsFloat || (long long)value == n->mInt;
    }
    Store<Float32>(valuePtr, (Float32)value);
    return (double)(Float32)value == value;
  }
  // A float converts to an integer only when it is finite and in range.
  bool exact = true;
  long long value = n->mInt;
  if (n->mIsFloat) {
    const double f = n->mFloat;
    if (!std::isfinite(f) || f < -9.2e18 || f > 9.2e18) {
      value = 0;
      exact = false;
    } else {
      value = (long long)f;
      exact = (double)value == f;
    }
  }
  return StoreIntOfSize(valuePtr, value, kind->mBytes) && exact;
}

CFTypeID CFDataGetTypeID() { return kStandInDataTypeID; }

CFDataRef CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length) {
  if (length < 0 || (length > 0 && !bytes)) return nullptr;
  static const UInt8 kNothing = 0;
  return new __CFData(length ? bytes : &kNothing, length);
}

CFIndex CFDataGetLength(CFDataRef data) {
  const __CFData* d = AsData(data);
  return d ? (CFIndex)d->mBytes.size() : 0;
}

const UInt8* CFDataGetBytePtr(CFDataRef data) {
  const __CFData* d = AsData(data);
  return d && !d->mBytes.empty() ? d->mBytes.data() : nullptr;
}

void CFDataGetBytes(CFDataRef data, CFRange range, UInt8* buffer) {
  const __CFData* d = AsData(data);
  if (!d || !buffer || range.location < 0 || range.length <= 0) return;
  if (range.location > (CFIndex)d->mBytes.size() || range.length > (CFIndex)d->mBytes.size() - range.location) return;
  std::memcpy(buffer, d->mBytes.data() + range.location, (size_t)range.length);
}
