#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Font.h"
#include "pix/PixReference.h"

namespace {

HFONT MakeFont(int height, int quality = ANTIALIASED_QUALITY) {
  return CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, quality, 0, "Verdana");
}

const unsigned kWhite = 0xFFFFFFFFu;
const unsigned kBlack = 0x000000FFu;

std::vector<unsigned> Pixels(PIX_IBitmap* bmp) {
  std::vector<unsigned> out;
  for (int y = 0; y < bmp->getHeight(); ++y)
    for (int x = 0; x < bmp->getWidth(); ++x) out.push_back(PIX_GetPixel(bmp, x, y));
  return out;
}

// Bounds of the pixels that differ from `background`.
RECT Ink(PIX_IBitmap* bmp, unsigned background) {
  RECT r = {bmp->getWidth(), bmp->getHeight(), 0, 0};
  for (int y = 0; y < bmp->getHeight(); ++y)
    for (int x = 0; x < bmp->getWidth(); ++x)
      if (PIX_GetPixel(bmp, x, y) != background) {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
  return r;
}

}  // namespace

TEST(PixFont, LineHeightAndEmptyCases) {
  PIX_CachedFont font;
  RECT r = {0, 0, 50, 20};
  PIX_MemBitmap bmp(50, 20, 4);
  EXPECT_EQ(font.DrawText(&bmp, "x", -1, &r, 0), 0) << "no platform font";
  font.SetFromHFont(MakeFont(15), 0x600);
  EXPECT_NEAR(font.GetLineHeight(), 15, 1);
  EXPECT_NE(font.GetHFont(), nullptr);
  EXPECT_EQ(font.DrawText(&bmp, "", -1, &r, 0), 0);
  EXPECT_EQ(font.DrawText(nullptr, "abc", -1, &r, 0), 0);
  EXPECT_EQ(font.DrawText(&bmp, nullptr, -1, &r, 0), 0);
  EXPECT_EQ(font.DrawText(nullptr, "abc", -1, &r, PIX_TEXT_MEASURE), font.GetLineHeight());
}

TEST(PixFont, ReplacingAnOwnedFontKeepsTheSameOne) {
  PIX_CachedFont font;
  HFONT first = MakeFont(12);
  font.SetFromHFont(first, 0x600);
  font.SetFromHFont(first, 0x600);  // the same font: must stay alive
  RECT r = {0, 0, 0, 0};
  EXPECT_GT(font.DrawText(nullptr, "still here", -1, &r, PIX_TEXT_MEASURE), 0);
  font.SetFromHFont(MakeFont(14), 0x600);  // the first is deleted (a leak shows under the leak checker)
  EXPECT_NE(font.GetHFont(), first);
  HFONT borrowed = MakeFont(10);
  {
    PIX_CachedFont user;
    user.SetFromHFont(borrowed, 0x400);  // not owned
  }
  EXPECT_TRUE(DeleteObject(borrowed));
}

TEST(PixFont, NativeDrawingIntoASystemBitmapMatchesTheContext) {
  PIX_CachedFont font;
  font.SetFromHFont(MakeFont(16), 0x600);
  font.SetTextColor(0x563412FFu);
  PIX_SysBitmap viaFont(120, 30);
  PIX_Clear(&viaFont, kBlack);
  RECT r = {4, 2, 116, 28};
  const int h = font.DrawText(&viaFont, "Accent", -1, &r, PIX_TEXT_HCENTER | PIX_TEXT_VCENTER);
  EXPECT_EQ(h, font.GetLineHeight());

  PIX_SysBitmap direct(120, 30);
  PIX_Clear(&direct, kBlack);
  HDC dc = direct.getDC();
  SelectObject(dc, font.GetHFont());
  SetTextColor(dc, 0x123456);
  SetBkMode(dc, TRANSPARENT);
  RECT r2 = {4, 2, 116, 28};
  DCX_DrawText(dc, "Accent", -1, &r2, DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  SelectObject(dc, nullptr);
  EXPECT_EQ(Pixels(&viaFont), Pixels(&direct));
}

TEST(PixFont, NativeDrawingWithoutContextMatchesSystemBitmap) {
  for (unsigned flags : {0u, unsigned(PIX_TEXT_HCENTER), unsigned(PIX_TEXT_RIGHT | PIX_TEXT_BOTTOM), unsigned(PIX_TEXT_VCENTER)}) {
    PIX_CachedFont font;
    font.SetFromHFont(MakeFont(14), 0x600);
    font.SetTextColor(kWhite);
    PIX_SysBitmap sys(100, 30);
    PIX_MemBitmap mem(100, 30, 4);
    PIX_Clear(&sys, kBlack);
    PIX_Clear(&mem, kBlack);
    RECT a = {5, 3, 95, 27}, b = a;
    font.DrawText(&sys, "Level", -1, &a, flags);
    font.DrawText(&mem, "Level", -1, &b, flags);
    EXPECT_EQ(Pixels(&sys), Pixels(&mem)) << "flags " << flags;
  }
}

TEST(PixFont, MeasuringMatchesDrawingOnBothPaths) {
  for (unsigned path : {0u, unsigned(PIX_TEXT_NEVER_NATIVE)}) {
    PIX_CachedFont font;
    font.SetFromHFont(MakeFont(16), 0x600);
    font.SetTextColor(kWhite);
    for (const char* text : {"Decay", "MIDI Learn", "\xE2\x82\xAC 5"}) {
      RECT m = {10, 4, 10, 4};
      const int h = font.DrawText(nullptr, text, -1, &m, path | PIX_TEXT_MEASURE);
      EXPECT_EQ(m.bottom - m.top, h);
      PIX_MemBitmap bmp(160, 30, 4);
      PIX_Clear(&bmp, kBlack);
      RECT r = {10, 4, 150, 28};
      font.DrawText(&bmp, text, -1, &r, path);
      const RECT ink = Ink(&bmp, kBlack);
      EXPECT_GE(ink.left, 9) << text;
      EXPECT_NEAR(ink.right, m.right, 3) << text << " path " << path;
      EXPECT_GE(ink.top, 4);
      EXPECT_LE(ink.bottom, 4 + h);
    }
  }
}

TEST(PixFont, GlyphCacheMatchesNativeAndHonoursTranslucentColour) {
  PIX_CachedFont font;
  font.SetFromHFont(MakeFont(16), 0x600);
  font.SetTextColor(kWhite);
  PIX_MemBitmap native(120, 30, 4), cached(120, 30, 4), translucent(120, 30, 4);
  for (PIX_MemBitmap* b : {&native, &cached, &translucent}) PIX_Clear(b, kBlack);
  RECT r = {2, 2, 118, 28};
  font.DrawText(&native, "Tone 42", -1, &r, 0);
  font.DrawText(&cached, "Tone 42", -1, &r, PIX_TEXT_NEVER_NATIVE);
  font.SetTextColor(0xFFFFFF80u);  // white at alpha 128
  font.DrawText(&translucent, "Tone 42", -1, &r, PIX_TEXT_USE_ALPHA);
  const std::vector<unsigned> n = Pixels(&native), c = Pixels(&cached), t = Pixels(&translucent);
  int inked = 0;
  for (size_t i = 0; i < n.size(); ++i) {
    for (int ch = 1; ch < 4; ++ch) {
      ASSERT_NEAR(pixref::Ch(c[i], ch), pixref::Ch(n[i], ch), 2) << "pixel " << i;
      // Half the weight: about half the brightness.
      ASSERT_NEAR(pixref::Ch(t[i], ch), pixref::Ch(c[i], ch) * 129 / 256, 2) << "pixel " << i;
    }
    EXPECT_EQ(t[i] & 255, 255u);
    inked += pixref::Ch(c[i], 1) > 0;
  }
  EXPECT_GT(inked, 30);
}

TEST(PixFont, GlyphCacheAlignmentAndClipping) {
  PIX_CachedFont font;
  font.SetFromHFont(MakeFont(14), 0x600);
  font.SetTextColor(kWhite);
  RECT m = {0, 0, 0, 0};
  font.DrawText(nullptr, "Glide", -1, &m, PIX_TEXT_MEASURE | PIX_TEXT_NEVER_NATIVE);
  const int w = m.right, h = m.bottom;
  auto inkAt = [&](unsigned flags, RECT r) {
    PIX_MemBitmap bmp(200, 60, 4);
    PIX_Clear(&bmp, kBlack);
    font.DrawText(&bmp, "Glide", -1, &r, flags | PIX_TEXT_NEVER_NATIVE);
    return Ink(&bmp, kBlack);
  };
  const RECT box = {20, 10, 180, 50};
  const RECT left = inkAt(0, box);
  EXPECT_EQ(inkAt(PIX_TEXT_RIGHT, box).left - left.left, 160 - w);
  EXPECT_EQ(inkAt(PIX_TEXT_HCENTER, box).left - left.left, (160 - w) / 2);
  EXPECT_EQ(inkAt(PIX_TEXT_BOTTOM, box).top - left.top, 40 - h);
  EXPECT_EQ(inkAt(PIX_TEXT_VCENTER, box).top - left.top, (40 - h) / 2);
  const RECT narrow = {20, 10, 30, 50};
  EXPECT_LE(inkAt(0, narrow).right, 30);
  EXPECT_GT(inkAt(PIX_TEXT_NOCLIP, narrow).right, 30);
  // Text starting off the bitmap is clipped to it.
  inkAt(PIX_TEXT_NOCLIP, RECT{-30, -8, 10, 5});
}

TEST(PixFont, ManyCharactersOutsideAsciiAreFoundAgain) {
  PIX_CachedFont font;
  font.SetFromHFont(MakeFont(12), PIX_FONT_OWNS_HFONT | PIX_FONT_RENDER_ASCII_NOW);
  // Characters in scrambled order, then measured one by one and together.
  const char* chars[] = {"\xC3\xA9", "\xE2\x82\xAC", "\xC3\xBC", "\xCE\xA9", "\xC3\x9F", "\xE2\x86\x92", "\xC3\xA5", "\xD0\x96"};
  std::string all;
  int sum = 0;
  for (const char* c : chars) {
    RECT r = {0, 0, 0, 0};
    font.DrawText(nullptr, c, -1, &r, PIX_TEXT_MEASURE);
    sum += r.right;
    all += c;
  }
  for (int pass = 0; pass < 2; ++pass) {
    RECT r = {0, 0, 0, 0};
    font.DrawText(nullptr, all.c_str(), -1, &r, PIX_TEXT_MEASURE);
    EXPECT_EQ(r.right, sum);
  }
  // Broken UTF-8 is measured without reading past its length.
  const char broken[] = {'a', char(0xC3), 0};
  RECT r = {0, 0, 0, 0};
  font.DrawText(nullptr, broken, 2, &r, PIX_TEXT_MEASURE);
  EXPECT_GT(r.right, 0);
}

TEST(PixFont, CombineModeAndWeightApplyToCachedGlyphs) {
  PIX_CachedFont font;
  font.SetFromHFont(MakeFont(16, NONANTIALIASED_QUALITY), 0x600);
  font.SetTextColor(0x204060FFu);
  font.SetCombineMode(PIX_MODE_ADD, 1.0f);
  PIX_MemBitmap bmp(100, 30, 4);
  const unsigned base = 0x101010FFu;
  PIX_Clear(&bmp, base);
  RECT r = {0, 0, 100, 30};
  font.DrawText(&bmp, "Drive", -1, &r, PIX_TEXT_NEVER_NATIVE);
  int added = 0;
  for (unsigned p : Pixels(&bmp)) {
    if (p == base) continue;
    EXPECT_EQ(p, 0x305070FFu) << std::hex << p;  // mono glyphs: every touched pixel gets the full sum
    ++added;
  }
  EXPECT_GT(added, 20);
}
