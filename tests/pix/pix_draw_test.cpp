#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <utility>

#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Draw.h"
#include "pix/PixReference.h"

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels Drawn(PIX_IBitmap* bmp) {
  Pixels out;
  for (int y = 0; y < bmp->getHeight(); ++y)
    for (int x = 0; x < bmp->getWidth(); ++x)
      if (PIX_GetPixel(bmp, x, y) != 0) out.insert({x, y});
  return out;
}

std::vector<unsigned> All(PIX_IBitmap* bmp) {
  std::vector<unsigned> out;
  for (int y = 0; y < bmp->getHeight(); ++y)
    for (int x = 0; x < bmp->getWidth(); ++x) out.push_back(PIX_GetPixel(bmp, x, y));
  return out;
}

const float kPi = 3.14159265f;

}  // namespace

TEST(PixLine, EdgeCases) {
  struct Case {
    int x1, y1, x2, y2;
    Pixels expect;
  };
  Pixels clippedRow;
  for (int x = 0; x < 100; ++x) clippedRow.insert({x, 5});
  Pixels reversedRow;
  for (int x = 2; x <= 10; ++x) reversedRow.insert({x, 3});
  Pixels column;
  for (int y = 0; y < 20; ++y) column.insert({7, y});
  const Case cases[] = {
      {5, 5, 5, 5, {{5, 5}}},
      {10, 3, 2, 3, reversedRow},
      {-10, 5, 300, 5, clippedRow},
      {7, 40, 7, -3, column},
      {2, 2, 5, 5, {{2, 2}, {3, 3}, {4, 4}, {5, 5}}},
      {5, 2, 2, 5, {{5, 2}, {4, 3}, {3, 4}, {2, 5}}},
      {200, 5, 300, 5, {}},
  };
  for (bool aa : {false, true}) {
    for (const Case& c : cases) {
      PIX_MemBitmap bmp(100, 20, 4);
      PIX_Clear(&bmp, 0);
      PIX_Line(&bmp, c.x1, c.y1, c.x2, c.y2, 0xFFFFFFFFu, 1.0f, 0, aa);
      EXPECT_EQ(Drawn(&bmp), c.expect) << c.x1 << "," << c.y1 << " - " << c.x2 << "," << c.y2 << " aa " << aa;
    }
  }
}

TEST(PixLine, GeneralLinesAreSymmetricAndOnePixelPerMajorStep) {
  std::mt19937 rng(42);
  for (int i = 0; i < 300; ++i) {
    const int x1 = int(rng() % 40), y1 = int(rng() % 40), x2 = int(rng() % 40), y2 = int(rng() % 40);
    for (bool aa : {false, true}) {
      PIX_MemBitmap a(40, 40, 4), b(40, 40, 4);
      PIX_Clear(&a, 0);
      PIX_Clear(&b, 0);
      PIX_Line(&a, x1, y1, x2, y2, 0xFFFFFFFFu, 1.0f, 0, aa);
      PIX_Line(&b, x2, y2, x1, y1, 0xFFFFFFFFu, 1.0f, 0, aa);
      ASSERT_EQ(All(&a), All(&b)) << x1 << "," << y1 << " - " << x2 << "," << y2 << " aa " << aa;
      // The line turned by 180 degrees about its midpoint draws the same
      // pixels, except where the midpoint falls between two pixels.
      const Pixels drawn = Drawn(&a);
      const bool xMajor = std::abs(x2 - x1) >= std::abs(y2 - y1);
      for (const auto& p : drawn) {
        if (2 * (xMajor ? p.first : p.second) == (xMajor ? x1 + x2 : y1 + y2)) continue;
        ASSERT_TRUE(drawn.count({x1 + x2 - p.first, y1 + y2 - p.second}));
      }
      if (!aa) {
        const int major = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
        ASSERT_EQ(int(drawn.size()), major + 1);
        std::set<int> majors;
        for (const auto& p : drawn) majors.insert(xMajor ? p.first : p.second);
        ASSERT_EQ(int(majors.size()), major + 1);
      }
    }
  }
}

TEST(PixLine, AntiAliasedStepsShareTheWeight) {
  // Adding white onto black shows each pixel's weight (255 x w / 256).
  PIX_MemBitmap bmp(30, 10, 4);
  PIX_Clear(&bmp, 0);
  PIX_Line(&bmp, 0, 0, 20, 7, 0xFFFFFFFFu, 1.0f, PIX_MODE_ADD, true);
  EXPECT_EQ(PIX_GetPixel(&bmp, 0, 0) & 255, 255u) << "end points at full weight";
  EXPECT_EQ(PIX_GetPixel(&bmp, 20, 7) & 255, 255u);
  for (int x = 1; x < 20; ++x) {
    int sum = 0, touched = 0;
    for (int y = 0; y < 10; ++y) {
      const int v = int(PIX_GetPixel(&bmp, x, y) & 255);
      sum += v;
      touched += v != 0;
    }
    EXPECT_NEAR(sum, 254, 2) << "column " << x;
    EXPECT_LE(touched, 2);
  }
}

TEST(PixLine, RunsUseTheModeAndWeight) {
  std::mt19937 rng(5);
  for (int mode = 0; mode < 5; ++mode) {
    for (float alpha : {0.25f, 0.5f, 0.75f, 0.3f, 1.0f}) {
      PIX_MemBitmap bmp(8, 8, 4);
      const unsigned d = pixref::RandomPixel(rng), c = pixref::RandomPixel(rng);
      PIX_Clear(&bmp, d);
      PIX_Line(&bmp, 1, 2, 6, 2, c, alpha, mode, false);
      PIX_MemBitmap single(1, 1, 4);
      PIX_Clear(&single, d);
      PIX_PutPixel(&single, 0, 0, c, alpha, mode);
      EXPECT_EQ(PIX_GetPixel(&bmp, 3, 2), PIX_GetPixel(&single, 0, 0)) << "mode " << mode << " alpha " << alpha;
      EXPECT_EQ(PIX_GetPixel(&bmp, 0, 2), d);
    }
  }
}

TEST(PixCircle, OutlineIsSymmetricAndNearTheRadius) {
  // Masks of even size sit on a pixel corner, odd ones on a pixel centre.
  struct Case {
    float r, centre;
  };
  const Case cases[] = {{1.5f, 20.0f}, {2.0f, 20.5f}, {2.5f, 20.0f}, {3.0f, 20.5f}, {3.5f, 20.0f},
                        {4.0f, 20.5f}, {5.0f, 20.5f}, {7.5f, 20.0f}, {12.3f, 20.5f}};
  for (const Case& c : cases) {
    const float r = c.r;
    for (bool aa : {false, true}) {
      PIX_MemBitmap bmp(40, 40, 4);
      PIX_Clear(&bmp, 0);
      PIX_Circle(&bmp, c.centre, c.centre, r, 0xFFFFFFFFu, 1.0f, 0, aa);
      const Pixels drawn = Drawn(&bmp);
      ASSERT_FALSE(drawn.empty());
      const int mirror = int(2 * c.centre) - 1;
      for (const auto& p : drawn) {
        ASSERT_TRUE(drawn.count({mirror - p.first, p.second})) << "mirror left-right, r " << r;
        ASSERT_TRUE(drawn.count({p.second, p.first})) << "mirror diagonal, r " << r;
        const double d = std::hypot(p.first + 0.5 - c.centre, p.second + 0.5 - c.centre);
        ASSERT_LT(std::fabs(d - r), 1.5) << "r " << r;
      }
    }
  }
}

TEST(PixCircle, OutlineHasNoGaps) {
  // Walking around the circle, every pixel of the ring has a drawn neighbour on both sides.
  PIX_MemBitmap bmp(60, 60, 4);
  PIX_Clear(&bmp, 0);
  PIX_Circle(&bmp, 30.0f, 30.0f, 20.0f, 0xFFFFFFFFu, 1.0f, 0, false);
  const Pixels drawn = Drawn(&bmp);
  for (int i = 0; i < 720; ++i) {
    const double a = i * kPi / 360;
    const int x = int(std::floor(30 + 20 * std::sin(a))), y = int(std::floor(30 - 20 * std::cos(a)));
    bool near = false;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) near = near || drawn.count({x + dx, y + dy});
    ASSERT_TRUE(near) << "angle step " << i;
  }
}

TEST(PixCircle, FilledAreaMatchesPiRSquared) {
  for (float r : {3.0f, 10.0f, 17.5f}) {
    for (bool aa : {false, true}) {
      PIX_MemBitmap bmp(50, 50, 4);
      PIX_Clear(&bmp, 0);
      PIX_FillCircle(&bmp, 25.0f, 25.0f, r, 0xFFFFFFFFu, 1.0f, PIX_MODE_ADD, aa);
      double area = 0;
      for (unsigned p : All(&bmp)) area += (p & 255) / 255.0;
      EXPECT_NEAR(area, kPi * r * r, aa ? 0.03 * kPi * r * r + 1 : 0.1 * kPi * r * r + 2) << "r " << r << " aa " << aa;
    }
  }
}

TEST(PixCircle, ClippedAndHostileCirclesAreSafe) {
  PIX_MemBitmap bmp(20, 20, 4);
  PIX_Clear(&bmp, 0);
  PIX_Circle(&bmp, -3.0f, 5.0f, 6.0f, 0xFFFFFFFFu, 1.0f, 0, true);
  PIX_FillCircle(&bmp, 19.0f, 19.0f, 8.0f, 0xFFFFFFFFu, 1.0f, 0, true);
  PIX_Circle(&bmp, 10.0f, 10.0f, 1e9f, 0xFFFFFFFFu, 1.0f, 0, false);
  PIX_FillCircle(&bmp, NAN, 10.0f, 3.0f, 0xFFFFFFFFu, 1.0f, 0, false);
  PIX_Arc(&bmp, 10.0f, 10.0f, 5.0f, -INFINITY, 2.0f, 0xFFFFFFFFu, 1.0f, 0, false);
  PIX_Circle(&bmp, 1.0f, 1.0f, 2.0f, 0xFFFFFFFFu, 1.0f, 0, true);  // a mask over the corner
  EXPECT_NE(PIX_GetPixel(&bmp, 19, 19), 0u);
  EXPECT_NE(PIX_GetPixel(&bmp, 2, 5), 0u);
}

TEST(PixArc, EachQuarterLiesInItsQuadrant) {
  struct Case {
    float from, to;
    bool right, top;
  };
  const Case cases[] = {
      {0.0f, kPi / 2, true, true},          {kPi / 2, kPi, true, false},
      {kPi, 1.5f * kPi, false, false},      {-kPi / 2, 0.0f, false, true},
      {2 * kPi, 2.5f * kPi, true, true},    {-kPi, -kPi / 2, false, false},
      {kPi / 2, 0.0f, true, true},
  };
  for (const Case& c : cases) {
    for (bool aa : {false, true}) {
      PIX_MemBitmap bmp(41, 41, 4);
      PIX_Clear(&bmp, 0);
      PIX_Arc(&bmp, 20.5f, 20.5f, 15.0f, c.from, c.to, 0xFFFFFFFFu, 1.0f, 0, aa);
      const Pixels drawn = Drawn(&bmp);
      ASSERT_GT(drawn.size(), 15u) << c.from << ".." << c.to;
      for (const auto& p : drawn) {
        EXPECT_EQ(p.first >= 20.5f, c.right) << c.from << ".." << c.to << " at " << p.first << "," << p.second;
        if (p.second == 20) continue;  // the centre row belongs to both halves
        EXPECT_EQ(p.second < 20, c.top) << c.from << ".." << c.to << " at " << p.first << "," << p.second;
      }
    }
  }
}

TEST(PixArc, FourQuartersMakeTheCircleAndAFullTurnIsTheCircle) {
  PIX_MemBitmap quarters(41, 41, 4), full(41, 41, 4), turn(41, 41, 4);
  PIX_Clear(&quarters, 0);
  PIX_Clear(&full, 0);
  PIX_Clear(&turn, 0);
  for (int q = 0; q < 4; ++q) PIX_Arc(&quarters, 20.5f, 20.5f, 15.0f, q * kPi / 2, (q + 1) * kPi / 2, 0xFFFFFFFFu, 1.0f, 0, false);
  PIX_Circle(&full, 20.5f, 20.5f, 15.0f, 0xFFFFFFFFu, 1.0f, 0, false);
  PIX_Arc(&turn, 20.5f, 20.5f, 15.0f, 1.0f, 1.0f + 2 * kPi + 0.01f, 0xFFFFFFFFu, 1.0f, 0, false);
  EXPECT_EQ(Drawn(&quarters), Drawn(&full));
  EXPECT_EQ(Drawn(&turn), Drawn(&full));
}

TEST(PixShapes, RoundRectOutlineIsSymmetricWithOpenCorners) {
  PIX_MemBitmap bmp(30, 20, 4);
  PIX_Clear(&bmp, 0);
  PIX_RoundRect(&bmp, 2, 3, 24, 14, 4, 0xFFFFFFFFu, 1.0f, 0, false);
  const Pixels drawn = Drawn(&bmp);
  EXPECT_FALSE(drawn.count({2, 3})) << "corner left open";
  EXPECT_TRUE(drawn.count({12, 3}));
  EXPECT_TRUE(drawn.count({2, 10}));
  EXPECT_TRUE(drawn.count({25, 10}));
  EXPECT_TRUE(drawn.count({12, 16}));
  for (const auto& p : drawn) {
    EXPECT_TRUE(drawn.count({27 - p.first, p.second})) << p.first << "," << p.second;
    EXPECT_TRUE(drawn.count({p.first, 19 - p.second})) << p.first << "," << p.second;
    EXPECT_TRUE(p.first >= 2 && p.first <= 25 && p.second >= 3 && p.second <= 16);
  }
}

TEST(PixShapes, PolygonsFillPixelCentresInside) {
  PIX_MemBitmap bmp(20, 20, 4);
  PIX_Clear(&bmp, 0);
  const int xs[] = {2, 12, 12, 2}, ys[] = {3, 3, 9, 9};
  PIX_FillConvexPolygon(&bmp, xs, ys, 4, 0xFFFFFFFFu, 1.0f, 0);
  Pixels rect;
  for (int y = 3; y < 9; ++y)
    for (int x = 2; x < 12; ++x) rect.insert({x, y});
  EXPECT_EQ(Drawn(&bmp), rect);
  PIX_Clear(&bmp, 0);
  PIX_FillTriangle(&bmp, 0, 0, 20, 0, 0, 20, 0xFFFFFFFFu, 1.0f, 0);
  EXPECT_NEAR(double(Drawn(&bmp).size()), 200.0, 12.0);
  PIX_FillTriangle(&bmp, -1000000, 5, 1000000, 5, 0, 1000000, 0xFFFFFFFFu, 1.0f, 0);
  PIX_FillConvexPolygon(&bmp, xs, ys, 2, 0xFFFFFFFFu, 1.0f, 0);
  PIX_FillConvexPolygon(&bmp, nullptr, ys, 4, 0xFFFFFFFFu, 1.0f, 0);
}
