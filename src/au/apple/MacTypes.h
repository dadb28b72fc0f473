#pragma once
// Stand-in for the basic macOS scalar types and error codes (MacTypes.h and
// the Component Manager's result codes), with Apple's names, widths and
// values on x86-64, so the Apple headers can replace this file on a Mac.

#include <cstdint>

typedef uint8_t UInt8;
typedef int8_t SInt8;
typedef uint16_t UInt16;
typedef int16_t SInt16;
typedef uint32_t UInt32;
typedef int32_t SInt32;
typedef uint64_t UInt64;
typedef int64_t SInt64;
typedef float Float32;
typedef double Float64;
typedef unsigned char Boolean;
typedef SInt32 OSStatus;
typedef SInt16 OSErr;
typedef UInt32 OSType;
typedef UInt32 FourCharCode;
typedef char* Ptr;
typedef Ptr* Handle;

enum {
  noErr = 0,
  paramErr = -50,
  memFullErr = -108,
  invalidComponentID = -3000,
  coreFoundationUnknownErr = -4960
};

// Apple's component results are 32-bit; these two are unsigned bit patterns.
static const OSStatus badComponentInstance = (OSStatus)0x80008001;
static const OSStatus badComponentSelector = (OSStatus)0x80008002;

// Apple's packed version record, fields in little-endian memory order.
struct NumVersion {
  UInt8 nonRelRev;
  UInt8 stage;
  UInt8 minorAndBugRev;
  UInt8 majorRev;
};
static_assert(sizeof(NumVersion) == 4, "NumVersion is 4 bytes");
