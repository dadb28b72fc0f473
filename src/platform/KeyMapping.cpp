#include "platform/KeyMapping.h"

#include "graphics/IGraphicsStructs.h"

int CountUtf8Chars(const char* text) {
  if (!text) return 0;
  int n = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
    if ((*p & 0xC0) != 0x80) ++n;
  // A text made only of continuation bytes still holds something.
  if (n == 0 && *text) n = 1;
  return n;
}

int MapViewKey(unsigned short keyCode, const char* character) {
  switch (keyCode) {
    case kViewKeySpace:
      return KEY_SPACE;
    case kViewKeyUp:
      return KEY_UPARROW;
    case kViewKeyDown:
      return KEY_DOWNARROW;
    case kViewKeyLeft:
      return KEY_LEFTARROW;
    case kViewKeyRight:
      return KEY_RIGHTARROW;
    default:
      break;
  }
  if (!character || !character[0] || character[1]) return -1;
  const char c = character[0];
  if (c >= '0' && c <= '9') return KEY_DIGIT_0 + (c - '0');
  if (c >= 'A' && c <= 'Z') return KEY_ALPHA_A + (c - 'A');
  if (c >= 'a' && c <= 'z') return KEY_ALPHA_A + (c - 'a');
  return -1;
}
