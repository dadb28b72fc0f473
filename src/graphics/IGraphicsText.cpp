// Text drawing and measuring of IGraphics, and the font cache lookup.

#include <memory>

#include "dcx/DCX.h"
#include "graphics/IGraphics.h"
#include "graphics/IGraphicsCaches.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Font.h"

namespace {
// The cached font owns its platform font and draws natively.
constexpr int kFontOwnsAndDrawsNatively = PIX_FONT_OWNS_HFONT | PIX_FONT_NATIVE;
constexpr int kMinFontHeight = 2;
constexpr int kOrientationTenths = 10;

HFONT MakePlatformFont(const IText* text, int height) {
  unsigned long quality = NONANTIALIASED_QUALITY;
  if (text->mQuality == IText::kQualityDefault)
    quality = DEFAULT_QUALITY;
  else if (text->mQuality == IText::kQualityAntiAliased || text->mQuality == IText::kQualityClearType)
    quality = ANTIALIASED_QUALITY;
  const int tenths = kOrientationTenths * text->mOrientation;
  return CreateFont(height, 0, tenths, tenths, text->mStyle == IText::kStyleBold ? FW_BOLD : FW_NORMAL,
                    text->mStyle == IText::kStyleItalic, 0, 0, 0, 0, 0, quality, 0, text->mFont);
}
}  // namespace

PIX_CachedFont* IGraphics::CacheFont(IText* text) {
  if (PIX_CachedFont* found = FontStorage::Instance().Find(text)) {
    text->mCached = found;
    return found;
  }
  int height = text->mSize < kMinFontHeight ? kMinFontHeight : text->mSize;
  auto font = std::make_unique<PIX_CachedFont>();
  // The requested size is the wanted line height: when the first font's
  // line height differs, ask once more with the height scaled to match.
  for (int attempt = 0; attempt < 2; ++attempt) {
    HFONT platformFont = MakePlatformFont(text, height);
    if (!platformFont) return nullptr;
    font->SetFromHFont(platformFont, kFontOwnsAndDrawsNatively);
    const int lineHeight = font->GetLineHeight();
    if (lineHeight == height || lineHeight <= 0) break;
    height = static_cast<int>(static_cast<double>(height) * height / lineHeight + 0.5);
  }
  // The cache owns what it is given.
  text->mCached = font.get();
  FontStorage::Instance().Add(font.release(), text);
  return text->mCached;
}

bool IGraphics::DrawIText(IText* text, const char* str, IRECT* r, bool measure) {
  if (!str || !*str) return true;
  const int s = mDrawScale;
  // At 2 the text is rasterised at twice its size, from the font cached for
  // that size; the style's own cached font stays the scale-1 one.
  IText scaled = *text;
  scaled.mSize = text->mSize * s;
  scaled.mCached = nullptr;
  PIX_CachedFont* font = s == 1 ? (text->mCached ? text->mCached : CacheFont(text)) : CacheFont(&scaled);
  if (!font) return false;
  font->SetTextColor(PixColor(&text->mColor));

  unsigned flags = PIX_TEXT_NOCLIP;
  if (text->mColor.A < 255) flags |= PIX_TEXT_USE_ALPHA;
  if (text->mAlign == IText::kAlignCenter)
    flags |= PIX_TEXT_HCENTER;
  else if (text->mAlign == IText::kAlignFar)
    flags |= PIX_TEXT_RIGHT;

  if (measure) {
    RECT bounds = {0, 0, 0, 0};
    font->DrawText(mDrawBitmap.get(), str, -1, &bounds, flags | PIX_TEXT_MEASURE);
    // Editor pixels: every one the text reaches.
    const int w = (bounds.right - bounds.left + s - 1) / s;
    const int h = (bounds.bottom - bounds.top + s - 1) / s;
    if (text->mAlign == IText::kAlignCenter)
      r->L = static_cast<int>(r->MW()) - w / 2;
    else if (text->mAlign == IText::kAlignFar)
      r->L = r->R - w;
    r->R = r->L + w;
    r->B = r->T + h;
    return true;
  }

  RECT dest = {r->L * s, r->T * s, r->R * s, r->B * s};
  font->DrawText(mDrawBitmap.get(), str, -1, &dest, flags);
  return true;
}
