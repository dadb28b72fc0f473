#include <algorithm>
#include <cstring>

#include "dcx/DCXContext.h"
#include "dcx/DCXFont.h"
#include "dcx/DCXUtf8.h"
#include "kit/KIT_TypedBuf.h"

namespace {

// One character to draw and how far it moves the pen.
struct Glyph {
  unsigned code;
  int advance;
};

// A line of glyphs [first, first + count) and its width.
struct Line {
  int first;
  int count;
  int width;
};

struct Layout {
  KIT_TypedBuf<Glyph> glyphs;
  KIT_TypedBuf<Line> lines;
  int width = 0;
  int height = 0;
};

int Advance(DCX_Object* font, unsigned code) {
  FT_UInt index = FT_Get_Char_Index(font->face, code);
  if (!index) index = FT_Get_Char_Index(font->face, 0xFFFD);
  const FT_Int32 load = font->mono ? (FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO) : FT_LOAD_DEFAULT;
  if (FT_Load_Glyph(font->face, index, load) != 0) return 0;
  return int((font->face->glyph->advance.x + 32) >> 6);
}

bool BuildLayout(DCX_Object* font, const char* text, int length, unsigned format, Layout* out) {
  const bool prefix = !(format & DT_NOPREFIX);
  const bool single = (format & DT_SINGLELINE) != 0;
  Line line = {0, 0, 0};
  int pos = 0;
  while (pos < length) {
    unsigned code = DCX_Utf8::Next(text, length, &pos);
    if (code == '\r') continue;
    if (code == '\n') {
      if (single) continue;
      if (!out->lines.Add(line)) return false;
      line = {out->glyphs.GetSize(), 0, 0};
      continue;
    }
    if (prefix && code == '&') {
      if (pos >= length) continue;
      code = DCX_Utf8::Next(text, length, &pos);
    }
    if (code < 0x20) continue;
    const Glyph g = {code, Advance(font, code)};
    if (!out->glyphs.Add(g)) return false;
    ++line.count;
    line.width += g.advance;
  }
  if (!out->lines.Add(line)) return false;
  for (int i = 0; i < out->lines.GetSize(); ++i) out->width = std::max(out->width, out->lines.Get()[i].width);
  out->height = out->lines.GetSize() * font->metrics.tmHeight;
  return true;
}

// Contexts hold the raster library's pixels (alpha in the low byte, then red,
// green, blue); this layer sits below that library, so it spells the layout out.
uint32_t Pixel(COLORREF rgb) {
  return 0xFFu | ((rgb >> 16) & 255) << 8 | ((rgb >> 8) & 255) << 16 | (rgb & 255) << 24;
}

// Pixels that may be written: columns x0..x1-1, rows y0..y1-1.
struct Clip {
  int x0, y0, x1, y1;
};

void FillCells(HDC dc, const Clip& clip, int left, int top, int right, int bottom, uint32_t color) {
  left = std::max(left, clip.x0);
  top = std::max(top, clip.y0);
  right = std::min(right, clip.x1);
  bottom = std::min(bottom, clip.y1);
  if (left >= right) return;
  for (int y = top; y < bottom; ++y) {
    uint32_t* row = dc->bits + std::ptrdiff_t(y) * dc->width;
    std::fill(row + left, row + right, color);
  }
}

// Blends coverage 0..255 of the text colour into a pixel and leaves it opaque.
inline uint32_t Blend(uint32_t d, uint32_t text, unsigned cover) {
  uint32_t out = 0xFF;
  for (int shift = 8; shift < 32; shift += 8) {
    const unsigned t = (text >> shift) & 255, o = (d >> shift) & 255;
    out |= ((t * cover + o * (255 - cover) + 127) / 255) << shift;
  }
  return out;
}

void DrawGlyph(HDC dc, const Clip& clip, const FT_Bitmap& bm, int left, int top, uint32_t color) {
  if (bm.pitch <= 0 || !bm.buffer) return;
  const bool mono = bm.pixel_mode == FT_PIXEL_MODE_MONO;
  if (!mono && bm.pixel_mode != FT_PIXEL_MODE_GRAY) return;
  const int rows = int(bm.rows), cols = int(bm.width);
  for (int r = std::max(0, clip.y0 - top); r < rows && top + r < clip.y1; ++r) {
    const unsigned char* src = bm.buffer + std::ptrdiff_t(r) * bm.pitch;
    uint32_t* dst = dc->bits + std::ptrdiff_t(top + r) * dc->width + left;
    for (int c = std::max(0, clip.x0 - left); c < cols && left + c < clip.x1; ++c) {
      const unsigned cover = mono ? ((src[c >> 3] >> (7 - (c & 7))) & 1) * 255u : src[c];
      if (cover) dst[c] = Blend(dst[c], color, cover);
    }
  }
}

}  // namespace

int DCX_DrawText(HDC dc, const char* text, int length, RECT* rect, unsigned format) {
  if (!dc || !dc->font || !text || !rect) return 0;
  DCX_Object* font = dc->font;
  if (length < 0) length = int(std::strlen(text));
  Layout layout;
  if (!BuildLayout(font, text, length, format, &layout)) return 0;
  if (format & DT_CALCRECT) {
    rect->right = rect->left + layout.width;
    rect->bottom = rect->top + layout.height;
    return layout.height;
  }

  Clip clip = {0, 0, dc->width, dc->height};
  if (!(format & DT_NOCLIP)) {
    clip.x0 = std::max(clip.x0, rect->left);
    clip.y0 = std::max(clip.y0, rect->top);
    clip.x1 = std::min(clip.x1, rect->right);
    clip.y1 = std::min(clip.y1, rect->bottom);
  }
  int y = rect->top;
  if (format & DT_BOTTOM) y = rect->bottom - layout.height;
  else if (format & DT_VCENTER) y = rect->top + (rect->bottom - rect->top - layout.height) / 2;

  const TEXTMETRIC& tm = font->metrics;
  const uint32_t color = Pixel(dc->textColor);
  for (int i = 0; i < layout.lines.GetSize(); ++i, y += tm.tmHeight) {
    const Line& line = layout.lines.Get()[i];
    int x = rect->left;
    if (format & DT_RIGHT) x = rect->right - line.width;
    else if (format & DT_CENTER) x = rect->left + (rect->right - rect->left - line.width) / 2;
    if (dc->bkMode == OPAQUE) FillCells(dc, clip, x, y, x + line.width, y + tm.tmHeight, Pixel(dc->bkColor));
    const int baseline = y + tm.tmAscent;
    int pen = x;
    for (int k = 0; k < line.count; ++k) {
      const Glyph& g = layout.glyphs.Get()[line.first + k];
      if (DCX_RenderGlyph(font, g.code)) {
        const FT_GlyphSlot slot = font->face->glyph;
        DrawGlyph(dc, clip, slot->bitmap, pen + slot->bitmap_left, baseline - slot->bitmap_top, color);
      }
      pen += g.advance;
    }
    if (font->underline)
      FillCells(dc, clip, x, baseline + font->underlinePos, x + line.width,
                baseline + font->underlinePos + font->lineThickness, color);
    if (font->strikeOut) {
      const int strike = baseline - tm.tmAscent / 3;
      FillCells(dc, clip, x, strike, x + line.width, strike + font->lineThickness, color);
    }
  }
  return layout.height;
}
