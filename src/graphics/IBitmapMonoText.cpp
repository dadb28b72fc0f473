#include "graphics/IBitmapMonoText.h"

#include <cstring>

#include "graphics/GraphicsCheck.h"
#include "graphics/IGraphics.h"

// Frame 1 of a bitmap font shows this character code.
static constexpr int kFirstGlyphCode = 32;

void DrawBitmapedText(IGraphics* graphics, IBitmap* font, IRECT* r, IText* text, IChannelBlend* blend,
                      const char* str, bool vCentre, bool wrap, int charWidth, int charHeight) {
  if (!str || !*str) return;
  const int len = static_cast<int>(std::strlen(str));
  const int top = vCentre ? r->T + (r->H() - charHeight) / 2 : r->T;
  const int left =
      text && text->mAlign == IText::kAlignCenter ? r->L + (r->W() - len * charWidth) / 2 : r->L + charWidth;

  const int lineWidth = r->W() - 2 * charWidth;
  GraphicsCheck(lineWidth > 0 && charWidth > 0, "lineWidth > 0");

  int charsPerLine = lineWidth / charWidth;
  int lastRow = 1;
  if (wrap) {
    if (len * charWidth > lineWidth)
      lastRow = (len * charWidth) / lineWidth;
    else
      charsPerLine = len;
  }

  int pos = 0;
  for (int row = 0; row <= lastRow; ++row) {
    const int rowTop = top + row * charHeight;
    for (int col = 0; col < charsPerLine; ++col) {
      if (pos >= len) return;
      const int code = static_cast<unsigned char>(str[pos++]);
      IRECT cell(left + col * charWidth, rowTop, left + (col + 1) * charWidth, rowTop + charHeight);
      graphics->DrawBitmap(font, &cell, code - kFirstGlyphCode + 1, blend);
    }
  }
}
