#include "host/PlistBase64.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The 6-bit value of a character; -1 outside the alphabet.
int DigitValue(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string PlistBase64Encode(const UInt8* bytes, size_t size) {
  std::string text;
  text.reserve((size + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 2 < size; i += 3) {
    const unsigned v = (unsigned)bytes[i] << 16 | (unsigned)bytes[i + 1] << 8 | bytes[i + 2];
    for (int shift = 18; shift >= 0; shift -= 6) text += kAlphabet[(v >> shift) & 63];
  }
  if (i < size) {
    const bool two = i + 1 < size;
    const unsigned v = (unsigned)bytes[i] << 16 | (two ? (unsigned)bytes[i + 1] << 8 : 0u);
    text += kAlphabet[(v >> 18) & 63];
    text += kAlphabet[(v >> 12) & 63];
    text += two ? kAlphabet[(v >> 6) & 63] : '=';
    text += '=';
  }
  return text;
}

bool PlistBase64Decode(const char* text, size_t size, std::vector<UInt8>* bytes) {
  std::vector<UInt8> out;
  out.reserve(size / 4 * 3);
  unsigned group = 0;
  int nDigits = 0;
  int nPadding = 0;
  for (size_t i = 0; i < size; ++i) {
    const char c = text[i];
    if (IsSpace(c)) continue;
    if (c == '=') {
      // Padding completes a group of two or three digits and ends the text.
      if (nDigits < 2) return false;
      ++nPadding;
      ++nDigits;
      if (nDigits == 4) {
        if (nPadding == 2 && (group & 0xF) != 0) return false;
        if (nPadding == 1 && (group & 0x3) != 0) return false;
        const unsigned v = group << (6 * nPadding);
        out.push_back((UInt8)(v >> 16));
        if (nPadding == 1) out.push_back((UInt8)(v >> 8));
        for (++i; i < size; ++i)
          if (!IsSpace(text[i])) return false;
        nDigits = 0;
        break;
      }
      continue;
    }
    const int d = DigitValue(c);
    if (d < 0 || nPadding > 0) return false;
    group = group << 6 | (unsigned)d;
    if (++nDigits == 4) {
      out.push_back((UInt8)(group >> 16));
      out.push_back((UInt8)(group >> 8));
      out.push_back((UInt8)group);
      group = 0;
      nDigits = 0;
    }
  }
  if (nDigits != 0) return false;
  bytes->swap(out);
  return true;
}
