#pragma once
// What an X11 input event means to the editor: modifier keys, the wheel
// buttons, the keys that have editor key codes, and which presses make a
// double click. X11 window pixels are editor pixels (both have the origin
// top left and y growing downwards), so positions need no conversion.
// Pure functions and a plain record; any thread.

#include "platform/ViewGeometry.h"

// X11 pointer buttons the editor knows.
enum EX11Button {
  kX11ButtonLeft = 1,
  kX11ButtonMiddle = 2,
  kX11ButtonRight = 3,
  kX11ButtonWheelUp = 4,
  kX11ButtonWheelDown = 5,
};

// The modifier keys of an event's state mask. There is no command key: the
// Super key (Mod4) plays its part, so Super-click counts as a right click
// as command-click does. Alt is Mod1.
ViewModifiers X11StateToModifiers(unsigned state);

// Wheel steps of a button press: +1 for wheel up, -1 for wheel down, 0 for
// every other button (the side-scroll buttons included).
int X11WheelDelta(unsigned button);

// The key code MapViewKey (KeyMapping.h) understands for a keysym: the
// space bar and the arrow keys get theirs; every other key gets
// kViewKeyNone and is mapped by its character.
unsigned short X11KeySymToViewKeyCode(unsigned long keysym);
constexpr unsigned short kViewKeyNone = 0xFFFF;

// Counts the presses of one button that follow each other quickly in one
// place, as a window system counts clicks: the second press within
// kDoubleClickMs of the first and within kDoubleClickSlop pixels of it is a
// double click, a third one a triple click, and so on.
class X11ClickCounter {
public:
  // The usual desktop double-click interval.
  static constexpr unsigned long kDoubleClickMs = 400;
  // A hand that clicks twice moves the pointer a little.
  static constexpr int kDoubleClickSlop = 4;

  // The click count of this press (1 for a single click). timeMs is the
  // event's server time, which wraps around.
  int Press(unsigned button, int x, int y, unsigned long timeMs);
  void Reset() { mCount = 0; }

private:
  unsigned mButton = 0;
  int mX = 0;
  int mY = 0;
  unsigned long mTime = 0;
  int mCount = 0;
};
