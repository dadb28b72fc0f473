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
enum class NumberKind { kUnknown, kInt8, kInt16, kInt32, kInt64, kFloat32, kFloat64 };

NumberKind KindOf(CFNumberType type) {
  switch (type) {
    case kCFNumberSInt8Type:
    case kCFNumberCharType:
      return NumberKind::kInt8;
    case kCFNumberSInt16Type:
    case kCFNumberShortType:
      return NumberKind::kInt16;
    case kCFNumberSInt32Type:
    case kCFNumberIntType:
      return NumberKind::kInt32;
    case kCFNumberSInt64Type:
    case kCFNumberLongType:
    case kCFNumberLongLongType:
    case kCFNumberCFIndexType:
      return NumberKind::kInt64;
    case kCFNumberFloat32Type:
    case kCFNumberFloatType:
      return NumberKind::kFloat32;
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
      return NumberKind::kFloat64;
    default:
      return NumberKind::kUnknown;
  }
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

const __CFNumber* AsNumber(CFTypeRef cf) { return AsType<__CFNumber>(cf, kStandInNumberTypeID); }
const __CFData* AsData(CFTypeRef cf) { return AsType<__CFData>(cf, kStandInDataTypeID); }
}  // namespace

CFTypeID CFNumberGetTypeID() { return kStandInNumberTypeID; }

CFNumberRef CFNumberCreate(CFAllocatorRef, CFNumberType type, const void* valuePtr) {
  if (!valuePtr) return nullptr;
  switch (KindOf(type)) {
    case NumberKind::kInt8:
      return new __CFNumber(type, false, Load<SInt8>(valuePtr), 0.0);
    case NumberKind::kInt16:
      return new __CFNumber(type, false, Load<SInt16>(valuePtr), 0.0);
    case NumberKind::kInt32:
      return new __CFNumber(type, false, Load<SInt32>(valuePtr), 0.0);
    case NumberKind::kInt64:
      return new __CFNumber(type, false, Load<SInt64>(valuePtr), 0.0);
    case NumberKind::kFloat32:
      return new __CFNumber(type, true, 0, Load<Float32>(valuePtr));
    case NumberKind::kFloat64:
      return new __CFNumber(type, true, 0, Load<Float64>(valuePtr));
    case NumberKind::kUnknown:
      break;
  }
  return nullptr;
}

CFNumberType CFNumberGetType(CFNumberRef number) {
  const __CFNumber* n = AsNumber(number);
  return n ? n->mType : 0;
}

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType type, void* valuePtr) {
  const __CFNumber* n = AsNumber(number);
  if (!n || !valuePtr) return false;
  const NumberKind kind = KindOf(type);
  if (kind == NumberKind::kFloat32 || kind == NumberKind::kFloat64) {
    const double value = n->AsDouble();
    if (kind == NumberKind::kFloat64) {
      Store<Float64>(valuePtr, value);
      return n->mIsFloat || (long long)value == n->mInt;
    }
    Store<Float32>(valuePtr, (Float32)value);
    return (double)(Float32)value == value;
  }
  if (kind == NumberKind::kUnknown) return false;
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
  switch (kind) {
    case NumberKind::kInt8:
      return StoreInt<SInt8>(valuePtr, value) && exact;
    case NumberKind::kInt16:
      return StoreInt<SInt16>(valuePtr, value) && exact;
    case NumberKind::kInt32:
      return StoreInt<SInt32>(valuePtr, value) && exact;
    default:
      return StoreInt<SInt64>(valuePtr, value) && exact;
  }
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
