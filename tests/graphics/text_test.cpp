// Text drawing through the font cache, measured and drawn into the editor.

#include <gtest/gtest.h>

#include <string>

#include "GraphicsTestSupport.h"
#include "graphics/IGraphicsCaches.h"
#include "graphics/ITextControls.h"
#include "pix/PIX_Font.h"

using namespace gtest_support;

namespace {

class TextTest : public ::testing::Test {
protected:
  TextTest() : mGUI(new TestGraphics(&mPlug, 200, 100)) {}

  void Attach() {
    mPlug.AttachGraphics(mGUI);
    PIX_Clear(mGUI->GetDrawBitmap(), PixColor(&COLOR_WHITE));
  }
  // Pixels in r that differ from the white background.
  int Inked(const IRECT& r) {
    int n = 0;
    for (int y = r.T; y < r.B; ++y)
      for (int x = r.L; x < r.R; ++x)
        if (PIX_GetPixel(mGUI->GetDrawBitmap(), x, y) != PixColor(&COLOR_WHITE)) ++n;
    return n;
  }

  TestPlug mPlug;
  TestGraphics* mGUI;
};

TEST_F(TextTest, FontsAreSharedByStylesThatDifferOnlyInColour) {
  Attach();
  const int before = FontStorage::Instance().Size();
  IText black(13, &COLOR_BLACK, "DejaVu Sans");
  IText red(13, &COLOR_RED, "DejaVu Sans");
  IText bigger(14, &COLOR_BLACK, "DejaVu Sans");
  IText bold(13, &COLOR_BLACK, "DejaVu Sans", IText::kStyleBold);
  PIX_CachedFont* a = mGUI->CacheFont(&black);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(black.mCached, a);
  EXPECT_EQ(mGUI->CacheFont(&red), a);
  EXPECT_NE(mGUI->CacheFont(&bigger), a);
  EXPECT_NE(mGUI->CacheFont(&bold), a);
  EXPECT_EQ(FontStorage::Instance().Size(), before + 3);
  // The requested size is taken as the line height.
  EXPECT_NEAR(a->GetLineHeight(), 13, 1);
}

TEST_F(TextTest, MeasuringPlacesTheBoundsByAlignment) {
  Attach();
  char str[] = "Measure me";
  IText left(12, nullptr, nullptr, IText::kStyleNormal, IText::kAlignNear);
  IRECT r(10, 20, 190, 60);
  ASSERT_TRUE(mGUI->MeasureIText(&left, str, &r));
  const int w = r.W();
  const int h = r.H();
  EXPECT_GT(w, 20);
  EXPECT_GT(h, 5);
  EXPECT_EQ(r.L, 10);
  EXPECT_EQ(r.T, 20);

  IText centred(12, nullptr, nullptr, IText::kStyleNormal, IText::kAlignCenter);
  IRECT c(10, 20, 190, 60);
  mGUI->MeasureIText(&centred, str, &c);
  EXPECT_EQ(c.L, 100 - w / 2);
  EXPECT_EQ(c.R, c.L + w);
  EXPECT_EQ(c.B, 20 + h);

  IText right(12, nullptr, nullptr, IText::kStyleNormal, IText::kAlignFar);
  IRECT rr(10, 20, 190, 60);
  mGUI->MeasureIText(&right, str, &rr);
  EXPECT_EQ(rr.R, 190);
  EXPECT_EQ(rr.L, 190 - w);
  EXPECT_EQ(Inked(IRECT(0, 0, 200, 100)), 0);  // measuring draws nothing
}

TEST_F(TextTest, TextControlsDrawTheirStringAndCaptionsTheirParameter) {
  IText style(12, &COLOR_BLACK, nullptr, IText::kStyleNormal, IText::kAlignNear);
  auto* text = new ITextControl(&mPlug, IRECT(0, 0, 100, 20), &style, "Hello");
  auto* empty = new ITextControl(&mPlug, IRECT(0, 30, 100, 50), &style, "");
  auto* caption = new ICaptionControl(&mPlug, IRECT(100, 0, 200, 20), kGain, &style);
  mGUI->AttachControl(text);
  mGUI->AttachControl(empty);
  mGUI->AttachControl(caption);
  Attach();
  Tick(mGUI);
  EXPECT_GT(Inked(IRECT(0, 0, 100, 20)), 10);
  EXPECT_EQ(Inked(IRECT(0, 30, 100, 50)), 0);
  EXPECT_GT(Inked(IRECT(100, 0, 200, 20)), 10);

  // The caption is typed into on any click.
  IMouseMod left(true, false);
  mGUI->OnMouseDown(150, 10, &left);
  EXPECT_EQ(mGUI->mEntryControl, caption);
  EXPECT_EQ(mGUI->mEntryText, "5.0");
  mGUI->OnMouseUp(150, 10, &left);
}

TEST_F(TextTest, EmptyTextDrawsNothingAndSucceeds) {
  Attach();
  IText style;
  IRECT r(0, 0, 50, 20);
  EXPECT_TRUE(mGUI->DrawIText(&style, "", &r));
  EXPECT_TRUE(mGUI->DrawIText(&style, nullptr, &r));
  EXPECT_EQ(style.mCached, nullptr);
}

}  // namespace
