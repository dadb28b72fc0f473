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
  EXPECT_DEATH(mGUI->LoadIBitmap(6100, "resources/img/missing.png"), "imgResourceFound.*missing\\.png");
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
