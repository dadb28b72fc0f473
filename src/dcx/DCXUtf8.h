#pragma once
// Decodes UTF-8 one character at a time. Malformed or truncated sequences,
// overlong forms and surrogates give U+FFFD and consume one byte, so any
// input is safe to walk. Any thread.

namespace DCX_Utf8 {

const unsigned kReplacement = 0xFFFD;

// Decodes the character at text[*pos] (end exclusive) and moves *pos past it.
inline unsigned Next(const char* text, int end, int* pos) {
  const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
  const int i = *pos;
  const unsigned lead = s[i];
  if (lead < 0x80) {
    *pos = i + 1;
    return lead;
  }
  int extra;
  unsigned code;
  unsigned minimum;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    code = lead & 0x1F;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    code = lead & 0x0F;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    code = lead & 0x07;
    minimum = 0x10000;
  } else {
    *pos = i + 1;
    return kReplacement;
  }
  if (i + extra >= end) {
    *pos = i + 1;
    return kReplacement;
  }
  for (int k = 1; k <= extra; ++k) {
    if ((s[i + k] & 0xC0) != 0x80) {
      *pos = i + 1;
      return kReplacement;
    }
    code = (code << 6) | (s[i + k] & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    *pos = i + 1;
    return kReplacement;
  }
  *pos = i + 1 + extra;
  return code;
}

// Writes the UTF-8 form of code into out (at least 5 bytes) with a
// terminator; returns the byte count.
inline int Encode(unsigned code, char* out) {
  int n;
  if (code < 0x80) {
    out[0] = char(code);
    n = 1;
  } else if (code < 0x800) {
    out[0] = char(0xC0 | (code >> 6));
    out[1] = char(0x80 | (code & 0x3F));
    n = 2;
  } else if (code < 0x10000) {
    out[0] = char(0xE0 | (code >> 12));
    out[1] = char(0x80 | ((code >> 6) & 0x3F));
    out[2] = char(0x80 | (code & 0x3F));
    n = 3;
  } else {
    out[0] = char(0xF0 | (code >> 18));
    out[1] = char(0x80 | ((code >> 12) & 0x3F));
    out[2] = char(0x80 | ((code >> 6) & 0x3F));
    out[3] = char(0x80 | (code & 0x3F));
    n = 4;
  }
  out[n] = 0;
  return n;
}

}  // namespace DCX_Utf8
