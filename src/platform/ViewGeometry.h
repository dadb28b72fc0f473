#pragma once
// The window system's view coordinates and how they map to the editor's.
// A view measures y upwards from its bottom edge; the editor measures y
// downwards from its top edge. editorHeight is the editor's height H.
// Pure functions of their arguments; any thread.

#include "graphics/IGraphicsStructs.h"

// A point and a rectangle in view coordinates (origin bottom-left, y up).
struct ViewPoint {
  double x = 0.0;
  double y = 0.0;
};

struct ViewRect {
  double x = 0.0;
  double y = 0.0;
  double width = 0.0;
  double height = 0.0;

  bool operator==(const ViewRect& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

// Modifier keys held during a window-system event.
struct ViewModifiers {
  bool command = false;
  bool shift = false;
  bool control = false;
  bool option = false;
};

// The rectangle handed to the window system is one pixel larger in each
// direction than the editor rectangle: (L, H - B - 1, W + 1, H + 1).
ViewRect ToViewRect(const IRECT& r, int editorHeight);
// (x, H - y - height, x + width, H - y), each coordinate truncated.
IRECT ToIRECT(const ViewRect& r, int editorHeight);
// Editor position of a view point: ((int)x - 2, H - (int)y - 3).
void ViewPointToEditor(const ViewPoint& p, int editorHeight, int* x, int* y);

// Left button: left = true, right = command held, so a command-click counts
// as a right click.
IMouseMod GetMouseMod(const ViewModifiers& mods);
// Right button: left = false, right = true.
IMouseMod GetRightMouseMod(const ViewModifiers& mods);
