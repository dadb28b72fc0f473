#include "plugin/ByteChunk.h"

static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Value of a base64 character, or -1 outside the alphabet.
static int DigitValue(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

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
  int n = 0;
  unsigned bits = 0;
  int nBits = 0;
  for (; *in && n < outSize; ++in) {
    const int d = DigitValue(*in);
    if (d < 0) break;
    bits = (bits << 6) | static_cast<unsigned>(d);
    nBits += 6;
    if (nBits >= 8) {
      nBits -= 8;
      out[n++] = static_cast<unsigned char>((bits >> nBits) & 0xFF);
    }
  }
  return n;
}
