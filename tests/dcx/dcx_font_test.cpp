#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "dcx/DCX.h"

namespace {

HFONT MakeFont(int height, int quality = ANTIALIASED_QUALITY, const char* face = "Verdana", int weight = FW_NORMAL,
               bool italic = false) {
  return CreateFont(height, 0, 0, 0, weight, italic, 0, 0, 0, 0, 0, quality, 0, face);
}

// A context cleared to opaque black with a font selected, white text.
struct Canvas {
  HDC dc;
  HFONT font;
  int w, h;
  Canvas(int width, int height, HFONT f) : dc(DCX_CreateMemContext(width, height)), font(f), w(width), h(height) {
    for (int i = 0; i < w * h; ++i) DCX_GetCtxFrameBuffer(dc)[i] = 0xFFu;
    SelectObject(dc, font);
    SetTextColor(dc, 0xFFFFFF);
    SetBkMode(dc, TRANSPARENT);
  }
  ~Canvas() {
    SelectObject(dc, nullptr);
    DeleteObject(font);
    DCX_DeleteContext(dc);
  }
  uint32_t At(int x, int y) const { return DCX_GetCtxFrameBuffer(dc)[y * w + x]; }
  // Bounds of pixels that are not the black background; false when none.
  bool Ink(RECT* r) const {
    r->left = w;
    r->top = h;
    r->right = r->bottom = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (At(x, y) != 0xFFu) {
          r->left = std::min(r->left, x);
          r->top = std::min(r->top, y);
          r->right = std::max(r->right, x + 1);
          r->bottom = std::max(r->bottom, y + 1);
        }
    return r->right > 0;
  }
};

}  // namespace

TEST(DcxFont, VerdanaResolvesToAnInstalledFace) {
  HFONT font = MakeFont(14);
  ASSERT_NE(font, nullptr);
  EXPECT_STRNE(DCX_GetFontFaceName(font), "");
  FILE* f = std::fopen(DCX_GetFontFilePath(font), "rb");
  EXPECT_NE(f, nullptr) << DCX_GetFontFilePath(font);
  if (f) std::fclose(f);
  DeleteObject(font);
  HFONT unknown = MakeFont(14, ANTIALIASED_QUALITY, "No Such Face At All");
  EXPECT_NE(unknown, nullptr) << "fontconfig still finds a face";
  DeleteObject(unknown);
}

TEST(DcxFont, PositiveHeightIsTheCellHeight) {
  for (int height : {8, 10, 12, 14, 17, 24, 40}) {
    HFONT font = MakeFont(height);
    ASSERT_NE(font, nullptr);
    HDC dc = DCX_CreateMemContext(4, 4);
    SelectObject(dc, font);
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(dc, &tm));
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_NEAR(tm.tmHeight, height, 1) << "height " << height;
    EXPECT_LE(tm.tmHeight, height);
    DCX_DeleteContext(dc);
    DeleteObject(font);
  }
}

TEST(DcxFont, BadArgumentsAreRefused) {
  EXPECT_EQ(MakeFont(100000), nullptr);
  EXPECT_FALSE(DeleteObject(nullptr));
  TEXTMETRIC tm;
  EXPECT_FALSE(GetTextMetrics(nullptr, &tm));
  HDC dc = DCX_CreateMemContext(8, 8);
  EXPECT_FALSE(GetTextMetrics(dc, &tm)) << "no font selected";
  RECT r = {0, 0, 8, 8};
  EXPECT_EQ(DCX_DrawText(dc, "abc", -1, &r, 0), 0);
  EXPECT_EQ(DCX_DrawText(nullptr, "abc", -1, &r, 0), 0);
  DCX_DeleteContext(dc);
}

TEST(DcxText, MeasureMatchesDrawing) {
  Canvas c(200, 40, MakeFont(16));
  for (const char* text : {"Decay", "Tune 440 Hz", "W", "iiiii", "Fine\xC3\xA9"}) {
    RECT measure = {10, 5, 10, 5};
    const int h = DCX_DrawText(c.dc, text, -1, &measure, DT_CALCRECT | DT_NOPREFIX);
    EXPECT_GT(measure.right - measure.left, 0) << text;
    EXPECT_EQ(h, measure.bottom - measure.top);
    for (int i = 0; i < c.w * c.h; ++i) ASSERT_EQ(DCX_GetCtxFrameBuffer(c.dc)[i], 0xFFu) << "measuring draws nothing";
    RECT draw = {10, 5, 190, 35};
    EXPECT_EQ(DCX_DrawText(c.dc, text, -1, &draw, DT_NOPREFIX), h);
    RECT ink;
    ASSERT_TRUE(c.Ink(&ink)) << text;
    EXPECT_GE(ink.left, 9) << text;
    EXPECT_LE(ink.right, measure.right + 2) << text;
    EXPECT_GE(ink.right, measure.right - 4) << text;
    EXPECT_GE(ink.top, 5);
    EXPECT_LE(ink.bottom, 5 + h);
    for (int i = 0; i < c.w * c.h; ++i) DCX_GetCtxFrameBuffer(c.dc)[i] = 0xFFu;
  }
}

TEST(DcxText, AlignmentFlagsPlaceTheText) {
  Canvas c(200, 60, MakeFont(14));
  RECT m = {0, 0, 0, 0};
  const int h = DCX_DrawText(c.dc, "Drive", -1, &m, DT_CALCRECT);
  const int w = m.right;
  struct Case {
    unsigned format;
    int left, top;  // where the text cell should start
  };
  const Case cases[] = {
      {DT_LEFT | DT_TOP, 20, 10},
      {DT_RIGHT, 180 - w, 10},
      {DT_CENTER, 20 + (160 - w) / 2, 10},
      {DT_VCENTER, 20, 10 + (40 - h) / 2},
      {DT_BOTTOM | DT_RIGHT, 180 - w, 50 - h},
  };
  RECT reference;
  {
    RECT r = {0, 0, 200, 60};
    DCX_DrawText(c.dc, "Drive", -1, &r, 0);
    ASSERT_TRUE(c.Ink(&reference));
    for (int i = 0; i < c.w * c.h; ++i) DCX_GetCtxFrameBuffer(c.dc)[i] = 0xFFu;
  }
  for (const Case& k : cases) {
    RECT r = {20, 10, 180, 50};
    DCX_DrawText(c.dc, "Drive", -1, &r, k.format);
    RECT ink;
    ASSERT_TRUE(c.Ink(&ink));
    EXPECT_EQ(ink.left - reference.left, k.left) << "format " << k.format;
    EXPECT_EQ(ink.top - reference.top, k.top) << "format " << k.format;
    for (int i = 0; i < c.w * c.h; ++i) DCX_GetCtxFrameBuffer(c.dc)[i] = 0xFFu;
  }
}

TEST(DcxText, ClipsToTheRectangleUnlessNoClip) {
  Canvas c(100, 40, MakeFont(20));
  RECT r = {10, 10, 30, 20};
  DCX_DrawText(c.dc, "WWWWWW", -1, &r, 0);
  RECT ink;
  ASSERT_TRUE(c.Ink(&ink));
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.right, 30);
  EXPECT_LE(ink.bottom, 20);
  DCX_DrawText(c.dc, "WWWWWW", -1, &r, DT_NOCLIP);
  ASSERT_TRUE(c.Ink(&ink));
  EXPECT_GT(ink.right, 30);
  // Text running off the frame buffer is clipped to it.
  RECT off = {-50, -10, 500, 500};
  DCX_DrawText(c.dc, "WWWWWWWWWWWWWWWWWWWW", -1, &off, DT_NOCLIP);
}

TEST(DcxText, QualityAndColourLayout) {
  for (int quality : {NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY}) {
    Canvas c(120, 30, MakeFont(18, quality));
    SetTextColor(c.dc, 0x123456);
    RECT r = {0, 0, 120, 30};
    DCX_DrawText(c.dc, "Glide", -1, &r, 0);
    int full = 0, partial = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 120; ++x) {
        const uint32_t p = c.At(x, y);
        ASSERT_EQ(p & 255, 255u) << "destination stays opaque";
        if (p == 0x563412FFu) ++full;
        else if (p != 0xFFu) ++partial;
      }
    EXPECT_GT(full, 10);
    if (quality == NONANTIALIASED_QUALITY) EXPECT_EQ(partial, 0);
    else EXPECT_GT(partial, 10);
  }
}

TEST(DcxText, OpaqueBackgroundAndPrefixes) {
  Canvas c(120, 30, MakeFont(16));
  SetBkMode(c.dc, OPAQUE);
  SetBkColor(c.dc, 0x0000FF);
  RECT m = {0, 0, 0, 0};
  DCX_DrawText(c.dc, "Comp", -1, &m, DT_CALCRECT);
  RECT r = {5, 5, 115, 25};
  DCX_DrawText(c.dc, "Comp", -1, &r, 0);
  EXPECT_EQ(c.At(5, 5), 0xFF0000FFu) << "cell filled with blue";
  EXPECT_EQ(c.At(5 + m.right - 1, 5 + m.bottom - 1), 0xFF0000FFu);
  EXPECT_EQ(c.At(5 + m.right, 5), 0xFFu);

  auto width = [&](const char* text, unsigned format) {
    RECT k = {0, 0, 0, 0};
    DCX_DrawText(c.dc, text, -1, &k, DT_CALCRECT | format);
    return k.right;
  };
  EXPECT_EQ(width("A&&B", 0), width("A&B", DT_NOPREFIX));
  EXPECT_EQ(width("&Tone", 0), width("Tone", DT_NOPREFIX));
  EXPECT_GT(width("&Tone", DT_NOPREFIX), width("Tone", DT_NOPREFIX));
  // Broken UTF-8 is drawn as replacement characters, never read past its length.
  const char broken[] = {'a', char(0xE2), char(0x82), 'b', char(0xF0), 0};
  EXPECT_GT(width(broken, 0), 0);
  RECT two = {0, 0, 0, 0};
  const int lines = DCX_DrawText(c.dc, "a\nb", -1, &two, DT_CALCRECT);
  RECT one = {0, 0, 0, 0};
  EXPECT_EQ(lines, 2 * DCX_DrawText(c.dc, "a\nb", -1, &one, DT_CALCRECT | DT_SINGLELINE));
}

TEST(DcxFont, FontsFromManyThreads) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < 5; ++i) {
        HFONT f = MakeFont(10 + t + i, ANTIALIASED_QUALITY, t % 2 ? "Verdana" : "DejaVu Sans", t == 3 ? FW_BOLD : FW_NORMAL, t == 2);
        EXPECT_NE(f, nullptr);
        DeleteObject(f);
      }
    });
  for (auto& th : threads) th.join();
}

// Fonts asked for while the helper thread is still setting the library up
// wait for it and come out as fonts made afterwards do. (Run on its own, as
// ctest does, this process's set-up really is still under way.)
TEST(DcxFont, FontsAskedForDuringTheSetUpWaitForItAndMatchLaterOnes) {
  DCX_StartFontLibrary();
  DCX_StartFontLibrary();
  HFONT early[2] = {};
  std::thread other([&early] { early[1] = MakeFont(12, NONANTIALIASED_QUALITY); });
  early[0] = MakeFont(12, NONANTIALIASED_QUALITY);
  other.join();
  HFONT later = MakeFont(12, NONANTIALIASED_QUALITY);
  ASSERT_NE(later, nullptr);
  HDC dc = DCX_CreateMemContext(4, 4);
  TEXTMETRIC want, got;
  SelectObject(dc, later);
  ASSERT_TRUE(GetTextMetrics(dc, &want));
  for (HFONT font : early) {
    ASSERT_NE(font, nullptr);
    EXPECT_STREQ(DCX_GetFontFilePath(font), DCX_GetFontFilePath(later));
    SelectObject(dc, font);
    ASSERT_TRUE(GetTextMetrics(dc, &got));
    EXPECT_EQ(got.tmHeight, want.tmHeight);
    EXPECT_EQ(got.tmAscent, want.tmAscent);
    EXPECT_EQ(got.tmAveCharWidth, want.tmAveCharWidth);
    SelectObject(dc, nullptr);
    DeleteObject(font);
  }
  DCX_DeleteContext(dc);
  DeleteObject(later);
}
