#pragma once
// Printing on the panel with the raster library's cached font: one line of
// UTF-8 text, drawn natively when opaque and from the glyph cache when
// translucent. Main thread.

#include "Colour.h"
#include "pix/PIX_Bitmap.h"

enum class Align { kLeft, kCentre, kRight };

struct TextStyle {
  const char* face;
  int size;         // em height in pixels
  bool bold;
  bool antiAliased;
  Colour colour;
  float opacity = 1.0f;
};

// Where a line goes on a bitmap (right and bottom exclusive).
struct TextBox {
  int left, top, right, bottom;
};

// x is the left edge, the centre or the right edge by `align`; top is the
// top of the line; both in layout pixels, of which the bitmap has `scale`
// to one (the size is multiplied too). False when the font cannot be made.
bool DrawTextLine(PIX_IBitmap* bitmap, const TextStyle& style, const char* text, int x, int top, Align align,
                  int scale = 1);
// The width and height the line takes; false when the font cannot be made.
bool MeasureTextLine(const TextStyle& style, const char* text, int* width, int* height);
// The box DrawTextLine fills for the same arguments; false when the font
// cannot be made.
bool MeasureTextBox(const TextStyle& style, const char* text, int x, int top, Align align, TextBox* box);
