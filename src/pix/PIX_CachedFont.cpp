#include <algorithm>
#include <cstring>

#include "dcx/DCXUtf8.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Combine.h"
#include "pix/PIX_Font.h"
#include "pix/PIX_Pixel.h"
#include "pix/PIX_Raster.h"

using namespace PIX_Combine;

namespace {

const int kGlyphScratchSize = 256;

// Where glyphs are rendered one at a time: white text on black.
PIX_SysBitmap* GlyphScratch() {
  static PIX_SysBitmap scratch(kGlyphScratchSize, kGlyphScratchSize);
  static bool prepared = false;
  if (!scratch.getDC()) return nullptr;
  if (!prepared) {
    SetTextColor(scratch.getDC(), 0xFFFFFF);
    SetBkMode(scratch.getDC(), TRANSPARENT);
    SetBkColor(scratch.getDC(), 0x000000);
    prepared = true;
  }
  return &scratch;
}

// Where text for bitmaps without a drawing context is drawn natively; grows as needed.
PIX_SysBitmap* TextScratch(int w, int h) {
  static PIX_SysBitmap scratch;
  if (scratch.getWidth() < w || scratch.getHeight() < h)
    scratch.resize(std::max(w, scratch.getWidth()), std::max(h, scratch.getHeight()));
  return scratch.getDC() ? &scratch : nullptr;
}

// Pixel (alpha, red, green, blue bytes) to the platform's 0x00RRGGBB.
COLORREF ToColorRef(unsigned pixel) {
  return unsigned(PIX_Red(pixel)) << 16 | unsigned(PIX_Green(pixel)) << 8 | unsigned(PIX_Blue(pixel));
}

unsigned ToDrawTextFormat(unsigned flags) {
  unsigned format = DT_NOPREFIX;
  if (flags & PIX_TEXT_MEASURE) format |= DT_CALCRECT;
  if (flags & PIX_TEXT_VCENTER) format |= DT_VCENTER;
  if (flags & PIX_TEXT_HCENTER) format |= DT_CENTER;
  if (flags & PIX_TEXT_BOTTOM) format |= DT_BOTTOM;
  if (flags & PIX_TEXT_RIGHT) format |= DT_RIGHT;
  if (flags & PIX_TEXT_NOCLIP) format |= DT_NOCLIP;
  return format;
}

// Top-left of a w x h block placed in the rectangle by the alignment flags.
void Align(const RECT& r, int w, int h, unsigned flags, int* x, int* y) {
  *x = r.left;
  if (flags & PIX_TEXT_HCENTER) *x = r.left + (r.right - r.left - w) / 2;
  else if (flags & PIX_TEXT_RIGHT) *x = r.right - w;
  *y = r.top;
  if (flags & PIX_TEXT_VCENTER) *y = r.top + (r.bottom - r.top - h) / 2;
  else if (flags & PIX_TEXT_BOTTOM) *y = r.bottom - h;
}

}  // namespace

PIX_CachedFont::~PIX_CachedFont() {
  if ((mFlags & PIX_FONT_OWNS_HFONT) && mFont) DeleteObject(mFont);
}

void PIX_CachedFont::SetFromHFont(HGDIOBJ font, int flags) {
  if ((mFlags & PIX_FONT_OWNS_HFONT) && mFont && mFont != font) DeleteObject(mFont);
  mFlags = flags;
  mFont = font;
  ForgetGlyphs();
  mLineHeight = 0;
  if (!font) return;
  if (PIX_SysBitmap* scratch = GlyphScratch()) {
    HGDIOBJ previous = SelectObject(scratch->getDC(), font);
    TEXTMETRIC tm;
    if (GetTextMetrics(scratch->getDC(), &tm)) mLineHeight = tm.tmHeight;
    SelectObject(scratch->getDC(), previous);
  }
  if (flags & PIX_FONT_RENDER_ASCII_NOW)
    for (unsigned code = 0; code < 128; ++code) findChar(code);
}

void PIX_CachedFont::ForgetGlyphs() {
  std::memset(mAscii, 0, sizeof(mAscii));
  mOthers.Resize(0);
  mGlyphMemory.Resize(0);
}

bool PIX_CachedFont::UsesNative(unsigned flags) const {
  return (mFlags & PIX_FONT_NATIVE) && mFont && !(flags & PIX_TEXT_NEVER_NATIVE) && !(flags & PIX_TEXT_USE_ALPHA) &&
         !(mFlags & PIX_FONT_RENDER_ASCII_NOW) && !(mFlags & PIX_FONT_NO_NATIVE_MASK);
}

int PIX_CachedFont::DrawText(PIX_IBitmap* bitmap, const char* str, int length, RECT* rect, unsigned flags) {
  if (!str || !rect || !mFont) return 0;
  if (!bitmap && !(flags & PIX_TEXT_MEASURE)) return 0;
  if (length < 0) length = int(std::strlen(str));
  if (length == 0) return 0;
  if (UsesNative(flags)) return DrawNative(bitmap, str, length, rect, flags);
  return DrawCached(bitmap, str, length, rect, flags);
}

int PIX_CachedFont::DrawNative(PIX_IBitmap* bitmap, const char* str, int length, RECT* rect, unsigned flags) {
  const unsigned format = ToDrawTextFormat(flags);
  HDC dc = bitmap ? bitmap->getDC() : nullptr;
  if (dc) {
    HGDIOBJ previous = SelectObject(dc, mFont);
    ::SetTextColor(dc, ToColorRef(mTextColor));
    ::SetBkMode(dc, mBkMode == 1 ? OPAQUE : TRANSPARENT);
    if (mBkMode == 1) ::SetBkColor(dc, ToColorRef(mBkColor));
    const int height = DCX_DrawText(dc, str, length, rect, format);
    SelectObject(dc, previous);
    return height;
  }

  // No context of its own: measure, then draw over a copy of the area in
  // the scratch bitmap and copy the result back.
  PIX_SysBitmap* glyphs = GlyphScratch();
  if (!glyphs) return 0;
  HDC measureDC = glyphs->getDC();
  HGDIOBJ previous = SelectObject(measureDC, mFont);
  RECT size = {0, 0, 0, 0};
  const int height = DCX_DrawText(measureDC, str, length, &size, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(measureDC, previous);
  const int width = size.right;
  if (flags & PIX_TEXT_MEASURE) {
    rect->right = rect->left + width;
    rect->bottom = rect->top + height;
    return height;
  }
  if (width <= 0 || height <= 0) return height;
  PIX_SysBitmap* scratch = TextScratch(width, height);
  if (!scratch) return 0;
  int x, y;
  Align(*rect, width, height, flags, &x, &y);
  PIX_Blit(scratch, bitmap, 0, 0, x, y, width, height, 1.0f, 0);
  HDC dc2 = scratch->getDC();
  previous = SelectObject(dc2, mFont);
  ::SetTextColor(dc2, ToColorRef(mTextColor));
  ::SetBkMode(dc2, mBkMode == 1 ? OPAQUE : TRANSPARENT);
  if (mBkMode == 1) ::SetBkColor(dc2, ToColorRef(mBkColor));
  RECT local = {0, 0, width, height};
  DCX_DrawText(dc2, str, length, &local, DT_NOPREFIX);
  SelectObject(dc2, previous);
  RECT from = {0, 0, width, height};
  int toX = x, toY = y;
  if (!(flags & PIX_TEXT_NOCLIP)) {
    from.left = std::max(0, rect->left - x);
    from.top = std::max(0, rect->top - y);
    from.right = std::min(width, rect->right - x);
    from.bottom = std::min(height, rect->bottom - y);
    toX = x + from.left;
    toY = y + from.top;
    if (from.left >= from.right || from.top >= from.bottom) return height;
  }
  PIX_Blit(bitmap, scratch, toX, toY, &from, mCombineAlpha, 0);
  return height;
}

const PIX_CachedFont::Glyph* PIX_CachedFont::findChar(unsigned code) {
  Glyph* glyph = nullptr;
  if (code < 128) {
    glyph = &mAscii[code];
    glyph->code = code;
  } else {
    int lo = 0, hi = mOthers.GetSize();
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      if (mOthers.Get()[mid].code < code) lo = mid + 1;
      else hi = mid;
    }
    if (lo == mOthers.GetSize() || mOthers.Get()[lo].code != code) {
      const int n = mOthers.GetSize();
      if (!mOthers.Resize(n + 1)) return nullptr;
      std::memmove(mOthers.Get() + lo + 1, mOthers.Get() + lo, sizeof(Glyph) * size_t(n - lo));
      mOthers.Get()[lo] = Glyph{code, 0, 0, 0, 0, 0, 0, 0};
    }
    glyph = &mOthers.Get()[lo];
  }
  if (!glyph->rendered && !RenderGlyph(glyph)) return nullptr;
  return glyph;
}

bool PIX_CachedFont::RenderGlyph(Glyph* glyph) {
  glyph->rendered = 1;
  glyph->width = glyph->height = glyph->advance = 0;
  PIX_SysBitmap* scratch = GlyphScratch();
  if (!scratch || !mFont || glyph->code < 0x20) return true;
  // Room on the left for glyphs that reach back over the pen position.
  const int pad = std::min(mLineHeight / 2 + 2, kGlyphScratchSize / 4);
  char text[5];
  DCX_Utf8::Encode(glyph->code, text);
  HDC dc = scratch->getDC();
  HGDIOBJ previous = SelectObject(dc, mFont);
  RECT size = {0, 0, 0, 0};
  DCX_DrawText(dc, text, -1, &size, DT_CALCRECT | DT_NOPREFIX);
  glyph->advance = size.right;
  PIX_Clear(scratch, 0xFFu);
  RECT place = {pad, 0, kGlyphScratchSize, kGlyphScratchSize};
  DCX_DrawText(dc, text, -1, &place, DT_NOPREFIX);
  SelectObject(dc, previous);

  // The coverage (red channel) inside the tight bounds of the drawn pixels.
  PIX_Rows rows;
  if (!PIX_GetRows(scratch, &rows)) return true;
  int left = rows.width, top = rows.height, right = 0, bottom = 0;
  for (int y = 0; y < rows.height; ++y) {
    const unsigned* row = rows.Row(y);
    for (int x = 0; x < rows.width; ++x)
      if (PIX_Red(row[x]) != 0) {
        left = std::min(left, x);
        right = std::max(right, x + 1);
        top = std::min(top, y);
        bottom = std::max(bottom, y + 1);
      }
  }
  if (right <= left) return true;
  const int offset = mGlyphMemory.GetSize();
  const int w = right - left, h = bottom - top;
  if (!mGlyphMemory.Resize(offset + w * h)) return false;
  unsigned char* out = mGlyphMemory.Get() + offset;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) out[y * w + x] = static_cast<unsigned char>(PIX_Red(rows.Row(top + y)[left + x]));
  glyph->left = left - pad;
  glyph->top = top;
  glyph->width = w;
  glyph->height = h;
  glyph->offset = offset;
  return true;
}

int PIX_CachedFont::DrawCached(PIX_IBitmap* bitmap, const char* str, int length, RECT* rect, unsigned flags) {
  int width = 0;
  for (int pos = 0; pos < length;)
    if (const Glyph* g = findChar(DCX_Utf8::Next(str, length, &pos))) width += g->advance;
  const int height = mLineHeight;
  if (flags & PIX_TEXT_MEASURE) {
    rect->right = rect->left + width;
    rect->bottom = rect->top + height;
    return height;
  }
  PIX_Rows rows;
  if (!PIX_GetRows(bitmap, &rows)) return 0;
  float alpha = mCombineAlpha;
  if (flags & PIX_TEXT_USE_ALPHA) alpha *= float(PIX_Alpha(mTextColor)) / 255.0f;
  const int weight = PIX_Weight(alpha);
  if (weight == 0) return height;

  int x0 = 0, y0 = 0, x1 = rows.width, y1 = rows.height;
  if (!(flags & PIX_TEXT_NOCLIP)) {
    x0 = std::max(x0, rect->left);
    y0 = std::max(y0, rect->top);
    x1 = std::min(x1, rect->right);
    y1 = std::min(y1, rect->bottom);
  }
  int penX, penY;
  Align(*rect, width, height, flags, &penX, &penY);
  // The colour's alpha counts through the weight; coverage makes pixels opaquer.
  const unsigned color = mTextColor | PIX_kAlphaMask;
  WithVariableWeightFormula(mCombineMode, [&](auto formula) {
    using Formula = decltype(formula);
    for (int pos = 0; pos < length;) {
      const Glyph* g = findChar(DCX_Utf8::Next(str, length, &pos));
      if (!g) continue;
      const unsigned char* image = mGlyphMemory.Get() + g->offset;
      const int gx = penX + g->left, gy = penY + g->top;
      for (int y = std::max(0, y0 - gy); y < g->height && gy + y < y1; ++y) {
        unsigned* out = rows.Row(gy + y) + gx;
        const unsigned char* cover = image + y * g->width;
        for (int x = std::max(0, x0 - gx); x < g->width && gx + x < x1; ++x)
          if (cover[x]) out[x] = Formula::Mix(out[x], color, weight * cover[x] / 255);
      }
      penX += g->advance;
    }
  });
  return height;
}
