#pragma once
// Window-system key events to the editor's key codes (EIPlugKeyCodes).
// Pure functions; any thread.

// Mac virtual key codes that have editor key codes of their own.
enum EViewKeyCode {
  kViewKeySpace = 49,
  kViewKeyUp = 126,
  kViewKeyDown = 125,
  kViewKeyLeft = 123,
  kViewKeyRight = 124
};

// Number of UTF-8 characters in text (a stray continuation byte counts as one).
int CountUtf8Chars(const char* text);

// The editor key for a key code and its one character (typed ignoring
// modifiers): space and the arrows by key code, then digits 0-9 and letters
// in either case by character. -1 for anything else.
int MapViewKey(unsigned short keyCode, const char* character);
