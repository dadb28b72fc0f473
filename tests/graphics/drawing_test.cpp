// Drawing operations and the bitmap cache, read back from the draw bitmap.

#include <gtest/gtest.h>

#include "GraphicsTestSupport.h"
#include "graphics/IBitmapMonoText.h"
#include "graphics/IGraphicsCaches.h"
#include "pix/PIX_Blit.h"

using namespace gtest_support;

namespace {

class DrawingTest : public ::testing::Test {
protected:
  DrawingTest() : mGUI(new TestGraphics(&mPlug, 120, 120)) {
    mPlug.AttachGraphics(mGUI);
    PIX_Clear(mGUI->GetDrawBitmap(), 0);
    mAll = IRECT(0, 0, 120, 120);
    SetDrawRECT(mAll);
  }

  // Repaints through a control so the draw rectangle is the given area.
  void SetDrawRECT(const IRECT& r) {
    struct Nothing : IControl {
      using IControl::IControl;
      bool Draw(IGraphics*) override { return true; }
    };
    if (!mProbe) {
      mProbe = new Nothing(&mPlug, IRECT(0, 0, 1, 1));
      mGUI->AttachControl(mProbe);
    }
    IRECT area = r;
    mGUI->Draw(&area);
  }
  unsigned Pixel(int x, int y) { return PIX_GetPixel(mGUI->GetDrawBitmap(), x, y); }

  TestPlug mPlug;
  TestGraphics* mGUI;
  IControl* mProbe = nullptr;
  IRECT mAll;
};

TEST_F(DrawingTest, BitmapCacheIsKeyedByIdNotByName) {
  mGUI->mBitmapMakers["first.png"] = [] { return MakeSolidBitmap(4, 4, Opaque(1, 1, 1)); };
  mGUI->mBitmapMakers["second.png"] = [] { return MakeSolidBitmap(8, 8, Opaque(2, 2, 2)); };
  IBitmap a = mGUI->LoadIBitmap(6001, "first.png", 2, true);
  IBitmap b = mGUI->LoadIBitmap(6001, "second.png");
  EXPECT_EQ(a.mData, b.mData);
  EXPECT_EQ(b.W, 4);
  EXPECT_EQ(a.N, 2);
  EXPECT_TRUE(a.mFramesAreHorizontal);
  EXPECT_EQ(b.N, 1);
  EXPECT_EQ(mGUI->mBitmapLoads, 1);
  IBitmap c = mGUI->LoadIBitmap(6002, "second.png");
  EXPECT_NE(c.mData, a.mData);
  EXPECT_EQ(mGUI->mBitmapLoads, 2);
  EXPECT_EQ(BitmapStorage::Instance().Find(6002), c.mData);
}

using DrawingDeathTest = DrawingTest;

TEST_F(DrawingDeathTest, AMissingBitmapStopsWithTheCheckAndTheResourceName) {
  EXPECT_DEATH(mGUI->LoadIBitmap(6100, "resources/img/missing.png"),
               "imgResourceFound.*bitmap 6100, resources/img/missing\\.png");
}

TEST_F(DrawingTest, ACroppedBitmapReleasedAfterDrawingLeavesNothingRetained) {
  mGUI->mBitmapMakers["rows"] = [] { return MakeRowCoded(30, 60); };
  IBitmap source = mGUI->LoadIBitmap(6200, "rows", 3);
  const int before = BitmapStorage::Instance().Size();

  IRECT part(5, 20, 25, 40);
  IBitmap cropped = mGUI->CropBitmap(&source, &part);
  EXPECT_EQ(BitmapStorage::Instance().Size(), before + 1);
  EXPECT_EQ(cropped.W, 20);
  EXPECT_EQ(cropped.H, 20);
  EXPECT_EQ(cropped.N, 3);
  EXPECT_FALSE(cropped.mFramesAreHorizontal);
  IRECT dest(50, 50, 70, 70);
  mGUI->DrawBitmap(&cropped, &dest, 0, 0, nullptr);
  EXPECT_EQ(Pixel(50, 50), RowCode(20));
  EXPECT_EQ(Pixel(69, 69), RowCode(39));

  mGUI->ReleaseBitmap(&cropped);
  EXPECT_EQ(BitmapStorage::Instance().Size(), before);
  mGUI->ReleaseBitmap(&cropped);  // a second release finds nothing and deletes nothing
  EXPECT_EQ(BitmapStorage::Instance().Size(), before);

  IBitmap scaled = mGUI->ScaleBitmap(&source, 15, 30);
  EXPECT_EQ(BitmapStorage::Instance().Size(), before + 1);
  EXPECT_EQ(scaled.mData->getWidth(), 15);
  EXPECT_EQ(scaled.N, 3);
  mGUI->ReleaseBitmap(&scaled);
  EXPECT_EQ(BitmapStorage::Instance().Size(), before);
}

TEST_F(DrawingTest, FramesAreReadFromTheirOffsetInTheStrip) {
  mGUI->mBitmapMakers["three"] = [] { return MakeRowCoded(10, 90); };
  mGUI->mBitmapMakers["sixty"] = [] { return MakeRowCoded(4, 3600); };
  mGUI->mBitmapMakers["side"] = [] {
    return MakeStrip(5, 5, {Opaque(10, 0, 0), Opaque(20, 0, 0), Opaque(30, 0, 0), Opaque(40, 0, 0)}, true);
  };
  IBitmap three = mGUI->LoadIBitmap(6300, "three", 3);
  IBitmap sixty = mGUI->LoadIBitmap(6301, "sixty", 60);
  IBitmap side = mGUI->LoadIBitmap(6302, "side", 4, true);

  struct FrameCase {
    IBitmap* bitmap;
    int frame;
    unsigned top;
    unsigned bottom;
  } cases[] = {{&three, 3, RowCode(60), RowCode(89)}, {&three, 1, RowCode(0), RowCode(29)},
               {&three, 0, RowCode(0), RowCode(29)},  {&three, 2, RowCode(30), RowCode(59)},
               {&sixty, 2, RowCode(60), RowCode(119)}};
  for (const FrameCase& c : cases) {
    IRECT dest(0, 0, c.bitmap->W, c.bitmap->H / c.bitmap->N);
    mGUI->DrawBitmap(c.bitmap, &dest, c.frame, nullptr);
    EXPECT_EQ(Pixel(1, 0), c.top) << c.frame;
    EXPECT_EQ(Pixel(1, dest.B - 1), c.bottom) << c.frame;
  }

  IRECT cell(100, 100, 105, 105);
  mGUI->DrawBitmap(&side, &cell, 3, nullptr);
  EXPECT_EQ(Pixel(100, 100), Opaque(30, 0, 0));

  // Past the last frame the source is clipped away: nothing is drawn.
  PIX_Clear(mGUI->GetDrawBitmap(), 0);
  IRECT dest(0, 0, 10, 30);
  mGUI->DrawBitmap(&three, &dest, 4, nullptr);
  EXPECT_EQ(Pixel(1, 1), 0u);
}

TEST_F(DrawingTest, BitmapBlitsAreClippedToTheRepaintedArea) {
  mGUI->mBitmapMakers["rows"] = [] { return MakeRowCoded(40, 40); };
  IBitmap rows = mGUI->LoadIBitmap(6400, "rows");
  SetDrawRECT(IRECT(20, 20, 30, 30));
  PIX_Clear(mGUI->GetDrawBitmap(), 0);
  IRECT dest(10, 10, 50, 50);
  mGUI->DrawBitmap(&rows, &dest, 1, nullptr);
  EXPECT_EQ(Pixel(19, 25), 0u);
  EXPECT_EQ(Pixel(20, 20), RowCode(10));  // the source moved along with the clip
  EXPECT_EQ(Pixel(29, 29), RowCode(19));
  EXPECT_EQ(Pixel(30, 30), 0u);
}

TEST_F(DrawingTest, BlendMethodsReachThePixels) {
  IColor grey(255, 100, 100, 100);
  IRECT r(0, 0, 4, 4);
  mGUI->FillIRect(&grey, &r);
  mGUI->mBitmapMakers["half"] = [] {
    IColor c(128, 50, 50, 50);
    return MakeSolidBitmap(4, 4, PixColor(&c));
  };
  IBitmap half = mGUI->LoadIBitmap(6500, "half");
  IChannelBlend add(IChannelBlend::kBlendAdd);
  mGUI->DrawBitmap(&half, &r, 1, &add);
  // Additive weighted by the source alpha: 100 + 50 * (256 * 129 / 256) / 256 = 125.
  EXPECT_EQ(mGUI->GetPoint(1, 1).R, 125);
  IChannelBlend clobber(IChannelBlend::kBlendClobber);
  mGUI->DrawBitmap(&half, &r, 1, &clobber);
  EXPECT_EQ(mGUI->GetPoint(1, 1), IColor(128, 50, 50, 50));
}

TEST_F(DrawingTest, BitmapedTextPlacement) {
  // Glyph frame k shows code k + 31; colour each glyph by its code.
  std::vector<unsigned> glyphs;
  for (int code = 32; code < 128; ++code) glyphs.push_back(Opaque(code, 0, 0));
  mGUI->mBitmapMakers["font"] = [glyphs] { return MakeStrip(8, 10, glyphs); };
  IBitmap font = mGUI->LoadIBitmap(6600, "font", static_cast<int>(glyphs.size()));

  IText left(10, nullptr, nullptr, IText::kStyleNormal, IText::kAlignNear);
  IRECT r(10, 10, 50, 30);
  DrawBitmapedText(mGUI, &font, &r, &left, nullptr, "AB", false, false, 8, 10);
  EXPECT_EQ(Pixel(18, 10), Opaque('A', 0, 0));  // one cell of indent
  EXPECT_EQ(Pixel(25, 19), Opaque('A', 0, 0));
  EXPECT_EQ(Pixel(26, 10), Opaque('B', 0, 0));
  EXPECT_EQ(Pixel(34, 10), 0u);
  EXPECT_EQ(Pixel(17, 10), 0u);

  // Centred both ways: (40 - 16) / 2 across, (20 - 10) / 2 down.
  PIX_Clear(mGUI->GetDrawBitmap(), 0);
  IText centred;
  DrawBitmapedText(mGUI, &font, &r, &centred, nullptr, "AB", true, false, 8, 10);
  EXPECT_EQ(Pixel(22, 15), Opaque('A', 0, 0));
  EXPECT_EQ(Pixel(30, 15), Opaque('B', 0, 0));
  EXPECT_EQ(Pixel(22, 14), 0u);

  // Three cells fit per row (40 - 16) / 8; a longer text continues below,
  // control characters show the space frame.
  PIX_Clear(mGUI->GetDrawBitmap(), 0);
  IRECT wide(0, 60, 40, 70);
  DrawBitmapedText(mGUI, &font, &wide, &left, nullptr, "abc\tZ", false, false, 8, 10);
  EXPECT_EQ(Pixel(8, 60), Opaque('a', 0, 0));
  EXPECT_EQ(Pixel(24, 60), Opaque('c', 0, 0));
  EXPECT_EQ(Pixel(8, 70), Opaque(' ', 0, 0));
  EXPECT_EQ(Pixel(16, 70), Opaque('Z', 0, 0));
}

using DrawingDeathTest2 = DrawingTest;

TEST_F(DrawingDeathTest2, BitmapedTextNeedsARectangleWiderThanTwoCells) {
  mGUI->mBitmapMakers["font"] = [] { return MakeStrip(8, 10, {Opaque(1, 0, 0)}); };
  IBitmap font = mGUI->LoadIBitmap(6700, "font");
  IText text;
  IRECT narrow(0, 0, 16, 10);
  EXPECT_DEATH(DrawBitmapedText(mGUI, &font, &narrow, &text, nullptr, "A", false, false, 8, 10), "lineWidth > 0");
}

TEST_F(DrawingTest, ForcePixelAndGetPointUseTheRasterLayoutAndStayInside) {
  IColor c(255, 0x12, 0x34, 0x56);
  mGUI->ForcePixel(&c, 3, 4);
  EXPECT_EQ(Pixel(3, 4), 0x563412FFu);
  EXPECT_EQ(mGUI->GetPoint(3, 4), c);
  // Outside the bitmap nothing is written (and nothing crashes).
  mGUI->ForcePixel(&c, -1, 0);
  mGUI->ForcePixel(&c, 120, 0);
  mGUI->ForcePixel(&c, 0, 1000000);
  EXPECT_EQ(Pixel(0, 0), 0u);
  EXPECT_EQ(mGUI->GetPoint(-5, -5), IColor(0, 0, 0, 0));
}

}  // namespace

namespace {

TEST_F(DrawingTest, OutlinesIncludeTheirRightAndBottomEdges) {
  IRECT r(10, 10, 20, 15);
  mGUI->DrawRect(&COLOR_WHITE, &r);
  const unsigned white = PixColor(&COLOR_WHITE);
  for (int x = 10; x <= 20; ++x) {
    EXPECT_EQ(Pixel(x, 10), white) << x;
    EXPECT_EQ(Pixel(x, 15), white) << x;
  }
  for (int y = 10; y <= 15; ++y) {
    EXPECT_EQ(Pixel(10, y), white) << y;
    EXPECT_EQ(Pixel(20, y), white) << y;
  }
  EXPECT_EQ(Pixel(15, 12), 0u);
  EXPECT_EQ(Pixel(21, 10), 0u);

  // Fractions across a rectangle; y counts up from the bottom and is held to 0..1.
  IRECT area(40, 40, 60, 60);
  mGUI->DrawVerticalLine(&COLOR_RED, &area, 0.25f);
  mGUI->DrawHorizontalLine(&COLOR_GREEN, &area, 1.5f);
  EXPECT_EQ(Pixel(45, 50), PixColor(&COLOR_RED));
  EXPECT_EQ(Pixel(50, 40), PixColor(&COLOR_GREEN));
  EXPECT_EQ(Pixel(46, 50), 0u);
}

TEST_F(DrawingTest, RadialLinesPointUpAtZeroAndTurnClockwise) {
  mGUI->DrawRadialLine(&COLOR_WHITE, 60.0f, 60.0f, 0.0f, 5.0f, 20.0f);
  EXPECT_NE(Pixel(60, 45), 0u);
  EXPECT_NE(Pixel(60, 55), 0u);
  EXPECT_EQ(Pixel(60, 56), 0u);  // inside the inner radius
  EXPECT_EQ(Pixel(60, 70), 0u);
  mGUI->DrawRadialLine(&COLOR_RED, 60.0f, 60.0f, static_cast<float>(3.141592653589793 / 2), 0.0f, 20.0f);
  EXPECT_EQ(Pixel(79, 60), PixColor(&COLOR_RED));  // a quarter turn clockwise points right
  EXPECT_EQ(Pixel(41, 60), 0u);
}

TEST_F(DrawingTest, FilledShapesCoverTheirArea) {
  IRECT r(10, 10, 50, 40);
  mGUI->FillRoundRect(&COLOR_BLUE, &r, nullptr, 5, false);
  const unsigned blue = PixColor(&COLOR_BLUE);
  EXPECT_EQ(Pixel(30, 10), blue);
  EXPECT_EQ(Pixel(10, 25), blue);
  EXPECT_EQ(Pixel(49, 25), blue);
  EXPECT_EQ(Pixel(30, 39), blue);
  EXPECT_EQ(Pixel(10, 10), 0u);  // the rounded corner leaves the corner pixel
  EXPECT_EQ(Pixel(50, 25), 0u);

  mGUI->FillTriangle(&COLOR_GREEN, 70, 70, 110, 70, 70, 110, nullptr);
  EXPECT_EQ(Pixel(75, 75), PixColor(&COLOR_GREEN));
  EXPECT_EQ(Pixel(105, 105), 0u);
  int xs[] = {10, 30, 30, 10};
  int ys[] = {70, 70, 90, 90};
  mGUI->FillIConvexPolygon(&COLOR_YELLOW, xs, ys, 4);
  EXPECT_EQ(Pixel(20, 80), PixColor(&COLOR_YELLOW));
  mGUI->FillCircle(&COLOR_RED, 100, 20, 6.0f);
  EXPECT_EQ(Pixel(100, 20), PixColor(&COLOR_RED));
  EXPECT_EQ(Pixel(100, 30), 0u);
}

TEST_F(DrawingTest, RotatedBitmapByZeroIsAPlainCopyAroundItsCentre) {
  mGUI->mBitmapMakers["rows"] = [] { return MakeRowCoded(20, 20); };
  IBitmap rows = mGUI->LoadIBitmap(6800, "rows");
  IChannelBlend clobber(IChannelBlend::kBlendClobber);
  mGUI->DrawRotatedBitmap(&rows, 50, 50, 0.0, 0, &clobber);
  EXPECT_EQ(Pixel(40, 40), RowCode(0));
  EXPECT_EQ(Pixel(45, 52), RowCode(12));
  EXPECT_EQ(Pixel(59, 59), RowCode(19));
  EXPECT_EQ(Pixel(39, 50), 0u);
  // Half a turn puts the first row at the bottom.
  mGUI->DrawRotatedBitmap(&rows, 50, 50, 3.141592653589793, 0, &clobber);
  EXPECT_EQ(Pixel(50, 59), RowCode(0));
}

TEST_F(DrawingTest, RotatedMaskComposesBaseMaskAndTop) {
  // A grey base whose alpha the mask's additive pass restores, and a top
  // that is transparent except for one opaque row.
  mGUI->mBitmapMakers["base"] = [] { return MakeSolidBitmap(10, 10, Opaque(100, 100, 100)); };
  mGUI->mBitmapMakers["mask"] = [] { return MakeSolidBitmap(10, 10, 0xFFFFFFFFu); };
  mGUI->mBitmapMakers["top"] = [] {
    PIX_MemBitmap* top = MakeSolidBitmap(10, 10, 0);
    PIX_FillRect(top, 0, 0, 10, 1, Opaque(255, 0, 0), 1.0f, 0);
    return top;
  };
  IBitmap base = mGUI->LoadIBitmap(6900, "base");
  IBitmap mask = mGUI->LoadIBitmap(6901, "mask");
  IBitmap top = mGUI->LoadIBitmap(6902, "top");
  IChannelBlend clobber(IChannelBlend::kBlendClobber);
  mGUI->DrawRotatedMask(&base, &mask, &top, 30, 30, 0.0, &clobber);
  EXPECT_EQ(mGUI->GetPoint(35, 30), IColor(255, 255, 0, 0));
  const IColor below = mGUI->GetPoint(35, 35);
  EXPECT_EQ(below.A, 255);
  EXPECT_EQ(below.G, 255);  // base plus the white mask, clamped
  EXPECT_EQ(Pixel(29, 35), 0u);
  // Half a turn moves the top's row to the bottom.
  mGUI->DrawRotatedMask(&base, &mask, &top, 30, 30, 180.0, &clobber);
  EXPECT_EQ(mGUI->GetPoint(35, 39), IColor(255, 255, 0, 0));
}

}  // namespace
