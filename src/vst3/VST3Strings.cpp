#include "vst3/VST3Strings.h"

namespace {
const unsigned kLastASCII = 0x7F;  // beyond this a character is not ASCII
}  // namespace

void CopyToUTF16(vst3::char16* out, int capacity, const char* text) {
  int i = 0;
  for (; text && text[i] && i < capacity - 1; ++i) {
    const unsigned char c = (unsigned char)text[i];
    out[i] = c <= kLastASCII ? (vst3::char16)c : u'?';
  }
  if (capacity > 0) out[i] = 0;
}

void CopyFromUTF16(char* out, int capacity, const vst3::char16* text) {
  int i = 0;
  for (; text && text[i] && i < capacity - 1; ++i) out[i] = text[i] <= kLastASCII ? (char)text[i] : '?';
  if (capacity > 0) out[i] = 0;
}

void CopyToField(char* out, int capacity, const char* text) {
  int i = 0;
  for (; text && text[i] && i < capacity - 1; ++i) out[i] = text[i];
  for (int j = i; j < capacity; ++j) out[j] = 0;
}
