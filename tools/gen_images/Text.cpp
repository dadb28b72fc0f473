#include "Text.h"

#include "platform/DCX.h"

namespace {

const unsigned kLineFlags = DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP;

HFONT MakeFont(const TextStyle& style) {
  return CreateFont(-style.size, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, 0, 0, 0,
                    style.antiAliased ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY, 0, style.face);
}

COLORREF ToColorRef(Colour c) { return COLORREF(ToByte(c.r) << 16 | ToByte(c.g) << 8 | ToByte(c.b)); }

// Runs draw(dc) with the style's font selected into `dc`.
template <class Draw>
bool WithFont(HDC dc, const TextStyle& style, Draw draw) {
  HFONT font = MakeFont(style);
  if (!font) return false;
  HGDIOBJ previous = SelectObject(dc, font);
  draw(dc);
  SelectObject(dc, previous);
  DeleteObject(font);
  return true;
}

}  // namespace

bool MeasureTextLine(const TextStyle& style, const char* text, int* width, int* height) {
  HDC dc = DCX_CreateMemContext(4, 4);
  if (!dc) return false;
  RECT r = {0, 0, 0, 0};
  const bool ok = WithFont(dc, style, [&](HDC d) { DCX_DrawText(d, text, -1, &r, kLineFlags | DT_CALCRECT); });
  DCX_DeleteContext(dc);
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return ok;
}

bool DrawTextLine(PIX_IBitmap* bitmap, const TextStyle& style, const char* text, int x, int top, Align align) {
  HDC dc = bitmap->getDC();
  if (!dc) return false;
  int w = 0, h = 0;
  if (!MeasureTextLine(style, text, &w, &h)) return false;
  int left = x;
  if (align == Align::kCentre) left = x - w / 2;
  if (align == Align::kRight) left = x - w;
  RECT r = {left, top, left + w, top + h};
  return WithFont(dc, style, [&](HDC d) {
    SetTextColor(d, ToColorRef(style.colour));
    SetBkMode(d, TRANSPARENT);
    DCX_DrawText(d, text, -1, &r, kLineFlags);
  });
}
