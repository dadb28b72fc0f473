#include "platform/IGraphicsX11Input.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include <cstdlib>

#include "platform/KeyMapping.h"

ViewModifiers X11StateToModifiers(unsigned state) {
  ViewModifiers mods;
  mods.command = (state & Mod4Mask) != 0;
  mods.shift = (state & ShiftMask) != 0;
  mods.control = (state & ControlMask) != 0;
  mods.option = (state & Mod1Mask) != 0;
  return mods;
}

int X11WheelDelta(unsigned button) {
  if (button == kX11ButtonWheelUp) return 1;
  if (button == kX11ButtonWheelDown) return -1;
  return 0;
}

unsigned short X11KeySymToViewKeyCode(unsigned long keysym) {
  struct Named {
    unsigned long keysym;
    unsigned short code;
  };
  static const Named kNamed[] = {
      {XK_space, kViewKeySpace}, {XK_Up, kViewKeyUp},       {XK_Down, kViewKeyDown},
      {XK_Left, kViewKeyLeft},   {XK_Right, kViewKeyRight}, {XK_KP_Up, kViewKeyUp},
      {XK_KP_Down, kViewKeyDown}, {XK_KP_Left, kViewKeyLeft}, {XK_KP_Right, kViewKeyRight},
  };
  for (const Named& n : kNamed)
    if (n.keysym == keysym) return n.code;
  return kViewKeyNone;
}

int X11ClickCounter::Press(unsigned button, int x, int y, unsigned long timeMs) {
  // Unsigned difference: right across the server clock's wrap-around.
  const unsigned long elapsed = (timeMs - mTime) & 0xFFFFFFFFul;
  const bool again = mCount > 0 && button == mButton && elapsed <= kDoubleClickMs &&
                     std::abs(x - mX) <= kDoubleClickSlop && std::abs(y - mY) <= kDoubleClickSlop;
  mCount = again ? mCount + 1 : 1;
  mButton = button;
  mX = x;
  mY = y;
  mTime = timeMs;
  return mCount;
}
