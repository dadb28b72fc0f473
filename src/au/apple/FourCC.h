#pragma once
// Four-character codes without multi-character literals (which the compiler
// warns about). Not an Apple interface: a helper for code built here.

#include "au/apple/MacTypes.h"

// Packs a four-character code, first character in the most significant byte.
constexpr OSType MakeFourCC(char a, char b, char c, char d) {
  return ((OSType)(UInt8)a << 24) | ((OSType)(UInt8)b << 16) | ((OSType)(UInt8)c << 8) | (OSType)(UInt8)d;
}

// The same from a four-character string literal such as "Tnk4".
constexpr OSType MakeFourCC(const char (&code)[5]) { return MakeFourCC(code[0], code[1], code[2], code[3]); }
