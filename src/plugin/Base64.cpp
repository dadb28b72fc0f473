#include "plugin/Base64.h"

#include <climits>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Value of a base64 character, or -1 outside the alphabet.
int DigitValue(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Number of alphabet characters at the start of in, looking at most `limit` characters.
int LeadingDigits(const char* in, int limit) {
  int n = 0;
  while (n < limit && DigitValue(in[n]) >= 0) ++n;
  return n;
}

// Decodes `count` alphabet characters; a byte is written once 8 bits have
// gathered, at most outSize of them. Returns the bytes written.
int DecodeDigits(const char* in, int count, unsigned char* out, int outSize) {
  int n = 0;
  unsigned bits = 0;
  int nBits = 0;
  for (int i = 0; i < count && n < outSize; ++i) {
    bits = (bits << 6) | static_cast<unsigned>(DigitValue(in[i]));
    nBits += 6;
    if (nBits >= 8) {
      nBits -= 8;
      out[n++] = static_cast<unsigned char>((bits >> nBits) & 0xFF);
    }
  }
  return n;
}

}  // namespace

int base64encode(const unsigned char* in, char* out, int inSize) {
  int n = 0;
  int i = 0;
  for (; i + 2 < inSize; i += 3) {
    const unsigned v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
    out[n++] = kAlphabet[(v >> 18) & 63];
    out[n++] = kAlphabet[(v >> 12) & 63];
    out[n++] = kAlphabet[(v >> 6) & 63];
    out[n++] = kAlphabet[v & 63];
  }
  const int rest = inSize - i;
  if (rest > 0) {
    const unsigned v = (in[i] << 16) | (rest == 2 ? in[i + 1] << 8 : 0);
    out[n++] = kAlphabet[(v >> 18) & 63];
    out[n++] = kAlphabet[(v >> 12) & 63];
    out[n++] = rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
    out[n++] = '=';
  }
  out[n] = 0;
  return n;
}

int base64decode(const char* in, unsigned char* out, int outSize) {
  // The terminator is outside the alphabet, so the scan never passes it.
  const int digits = LeadingDigits(in, INT_MAX);
  return DecodeDigits(in, digits, out, outSize);
}

int base64decodeStrict(const char* in, int size, unsigned char* out, int outSize) {
  if (size < 0 || size % 4 != 0) return -1;
  const int digits = LeadingDigits(in, size);
  const int padding = size - digits;
  // At most two "=" and nothing else after the digits; with whole groups of
  // four that leaves two or three digits in the padded group.
  if (padding > 2) return -1;
  for (int i = digits; i < size; ++i)
    if (in[i] != '=') return -1;
  if (padding > 0) {
    // A padded group carries 8 or 16 bits in 12 or 18; the rest must be zero.
    const unsigned unusedMask = padding == 2 ? 0xF : 0x3;
    if (static_cast<unsigned>(DigitValue(in[digits - 1])) & unusedMask) return -1;
  }
  const int bytes = digits / 4 * 3 + (padding > 0 ? 3 - padding : 0);
  if (bytes > outSize) return -1;
  return DecodeDigits(in, digits, out, bytes);
}
