#include <gtest/gtest.h>

#include "graphics/IGraphics.h"
#include "graphics/IGraphicsStructs.h"

namespace {

struct RectCase {
  IRECT a;
  IRECT b;
  bool intersects;
  IRECT intersection;
  IRECT unionRect;
};

TEST(IRECTRules, EmptinessAndContainment) {
  EXPECT_TRUE(IRECT().Empty());
  EXPECT_TRUE(IRECT(0, 0, 0, 0).Empty());
  EXPECT_FALSE(IRECT(5, 5, 5, 5).Empty());
  EXPECT_FALSE(IRECT(0, 0, 0, 1).Empty());

  const IRECT r(10, 20, 30, 40);
  EXPECT_EQ(r.W(), 20);
  EXPECT_EQ(r.H(), 20);
  EXPECT_FLOAT_EQ(r.MW(), 20.0f);
  EXPECT_FLOAT_EQ(IRECT(0, 0, 5, 3).MH(), 1.5f);

  struct PointCase {
    int x, y;
    bool inside;
  } points[] = {{10, 20, true}, {29, 39, true}, {30, 25, false}, {15, 40, false},
                {9, 25, false}, {15, 19, false}};
  for (const PointCase& p : points) EXPECT_EQ(r.Contains(p.x, p.y), p.inside) << p.x << "," << p.y;
  EXPECT_FALSE(IRECT().Contains(0, 0));
  EXPECT_FALSE(IRECT(5, 5, 5, 5).Contains(5, 5));
}

TEST(IRECTRules, IntersectionAndUnionTable) {
  const IRECT e;
  const RectCase cases[] = {
      // overlapping
      {IRECT(0, 0, 10, 10), IRECT(5, 5, 15, 15), true, IRECT(5, 5, 10, 10), IRECT(0, 0, 15, 15)},
      // sharing only the right/left edge: intersects, zero-width result
      {IRECT(0, 0, 10, 10), IRECT(10, 0, 20, 10), true, IRECT(10, 0, 10, 10), IRECT(0, 0, 20, 10)},
      // sharing the bottom/top edge
      {IRECT(0, 0, 10, 10), IRECT(0, 10, 10, 20), true, IRECT(0, 10, 10, 10), IRECT(0, 0, 10, 20)},
      // the other way round the test is exclusive on this rectangle's left edge
      {IRECT(10, 0, 20, 10), IRECT(0, 0, 10, 10), false, e, IRECT(0, 0, 20, 10)},
      // apart
      {IRECT(0, 0, 10, 10), IRECT(20, 20, 30, 30), false, e, IRECT(0, 0, 30, 30)},
      // contained
      {IRECT(0, 0, 100, 100), IRECT(10, 10, 20, 20), true, IRECT(10, 10, 20, 20), IRECT(0, 0, 100, 100)},
      // empty on either side: no intersection, union is the other one unchanged
      {e, IRECT(1, 2, 3, 4), false, e, IRECT(1, 2, 3, 4)},
      {IRECT(1, 2, 3, 4), e, false, e, IRECT(1, 2, 3, 4)},
      {e, e, false, e, e},
      // a zero-area rectangle away from the origin is not empty
      {IRECT(5, 5, 5, 5), IRECT(0, 0, 10, 10), true, IRECT(5, 5, 5, 5), IRECT(0, 0, 10, 10)},
      {IRECT(5, 5, 5, 5), e, false, e, IRECT(5, 5, 5, 5)},
  };
  for (const RectCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a.L << "," << c.a.T << "," << c.a.R << "," << c.a.B << " vs " << c.b.L
                                    << "," << c.b.T << "," << c.b.R << "," << c.b.B);
    EXPECT_EQ(c.a.Intersects(c.b), c.intersects);
    EXPECT_EQ(c.a.Intersect(c.b), c.intersection);
    EXPECT_EQ(c.a.Union(c.b), c.unionRect);
  }
}

TEST(IRECTRules, FromBitmapIsOneFrameTall) {
  IBitmap stacked(nullptr, 40, 300, 3, false);
  EXPECT_EQ(IRECT(5, 7, &stacked), IRECT(5, 7, 45, 107));
  // Side-by-side frames still divide the height, as the layout relies on.
  IBitmap sideBySide(nullptr, 120, 30, 3, true);
  EXPECT_EQ(IRECT(0, 0, &sideBySide), IRECT(0, 0, 120, 10));
}

TEST(ValueTypes, Defaults) {
  IText text;
  EXPECT_EQ(text.mSize, 10);
  EXPECT_EQ(text.mColor, COLOR_BLACK);
  EXPECT_STREQ(text.mFont, "Monaco");
  EXPECT_EQ(text.mStyle, IText::kStyleNormal);
  EXPECT_EQ(text.mAlign, IText::kAlignCenter);
  EXPECT_EQ(text.mOrientation, 0);
  EXPECT_EQ(text.mQuality, IText::kQualityDefault);
  EXPECT_EQ(text.mTextEntryBGColor, COLOR_WHITE);
  EXPECT_EQ(text.mTextEntryFGColor, COLOR_BLACK);
  EXPECT_EQ(text.mCached, nullptr);

  IText longFace(12, &COLOR_RED, "A face name that is much longer than thirty-one bytes");
  EXPECT_EQ(std::strlen(longFace.mFont), 31u);
  EXPECT_EQ(longFace.mColor, COLOR_RED);

  IMouseMod mod(true, false, true, false, true);
  EXPECT_TRUE(mod.L && !mod.R && mod.S && !mod.C && mod.A);
}

TEST(PixConversions, ColourLayoutWeightAndModeTable) {
  IColor c(255, 0x12, 0x34, 0x56);
  EXPECT_EQ(PixColor(&c), 0x563412FFu);
  IColor wide(0x1FF, 0x100, -1, 0x2AB);
  EXPECT_EQ(PixColor(&wide), 0xABFF00FFu);  // components masked to 8 bits

  EXPECT_FLOAT_EQ(PixWeight(nullptr), 1.0f);
  IChannelBlend half(IChannelBlend::kBlendAdd, 0.5f);
  EXPECT_FLOAT_EQ(PixWeight(&half), 0.5f);

  struct ModeCase {
    int method;
    int mode;
  } modes[] = {{0, 0x10000}, {1, 0}, {2, 0x10001}, {3, 0x10002}, {4, 0x10000}, {-1, 0x10000}};
  EXPECT_EQ(PixBlendMode(nullptr), 0x10000);
  for (const ModeCase& m : modes) {
    IChannelBlend blend(static_cast<IChannelBlend::EBlendMethod>(m.method));
    EXPECT_EQ(PixBlendMode(&blend), m.mode) << m.method;
  }
}

}  // namespace
