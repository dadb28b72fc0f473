#include "platform/ViewGeometry.h"

ViewRect ToViewRect(const IRECT& r, int editorHeight) {
  ViewRect v;
  v.x = r.L;
  v.y = editorHeight - r.B - 1;
  v.width = r.W() + 1;
  v.height = r.H() + 1;
  return v;
}

IRECT ToIRECT(const ViewRect& r, int editorHeight) {
  const int x = static_cast<int>(r.x);
  const int y = static_cast<int>(r.y);
  const int w = static_cast<int>(r.width);
  const int h = static_cast<int>(r.height);
  return IRECT(x, editorHeight - y - h, x + w, editorHeight - y);
}

void ViewPointToEditor(const ViewPoint& p, int editorHeight, int* x, int* y) {
  *x = static_cast<int>(p.x) - 2;
  *y = editorHeight - static_cast<int>(p.y) - 3;
}

IMouseMod GetMouseMod(const ViewModifiers& mods) {
  return IMouseMod(true, mods.command, mods.shift, mods.control, mods.option);
}

IMouseMod GetRightMouseMod(const ViewModifiers& mods) {
  return IMouseMod(false, true, mods.shift, mods.control, mods.option);
}
