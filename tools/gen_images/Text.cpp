#include "Text.h"

#include "dcx/DCX.h"
#include "pix/PIX_Font.h"

namespace {

// Runs use(font) with a cached font made for the style.
template <class Use>
bool WithFont(const TextStyle& style, Use use) {
  HFONT platformFont = CreateFont(-style.size, 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, 0, 0, 0,
                                  style.antiAliased ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY, 0, style.face);
  if (!platformFont) return false;
  PIX_CachedFont font;
  font.SetFromHFont(platformFont, PIX_FONT_OWNS_HFONT | PIX_FONT_NATIVE);
  use(font);
  return true;
}

}  // namespace

bool MeasureTextLine(const TextStyle& style, const char* text, int* width, int* height) {
  RECT r = {0, 0, 0, 0};
  const bool ok =
      WithFont(style, [&](PIX_CachedFont& font) { font.DrawText(nullptr, text, -1, &r, PIX_TEXT_MEASURE); });
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return ok;
}

bool MeasureTextBox(const TextStyle& style, const char* text, int x, int top, Align align, TextBox* box) {
  int w = 0, h = 0;
  if (!MeasureTextLine(style, text, &w, &h)) return false;
  int left = x;
  if (align == Align::kCentre) left = x - w / 2;
  if (align == Align::kRight) left = x - w;
  *box = {left, top, left + w, top + h};
  return true;
}

bool DrawTextLine(PIX_IBitmap* bitmap, const TextStyle& style, const char* text, int x, int top, Align align,
                  int scale) {
  TextStyle scaled = style;
  scaled.size = style.size * scale;
  TextBox box;
  if (!MeasureTextBox(scaled, text, x * scale, top * scale, align, &box)) return false;
  RECT r = {box.left, box.top, box.right, box.bottom};
  return WithFont(scaled, [&](PIX_CachedFont& font) {
    font.SetTextColor(Pixel(style.colour, style.opacity));
    const unsigned translucent = style.opacity < 1.0f ? PIX_TEXT_USE_ALPHA : 0u;
    font.DrawText(bitmap, text, -1, &r, PIX_TEXT_NOCLIP | translucent);
  });
}
