#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "pix/PIX_Bilinear.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Reduce.h"
#include "pix/PixReference.h"

namespace {

void FillRandom(PIX_IBitmap* bmp, unsigned seed) {
  std::mt19937 rng(seed);
  for (int y = 0; y < bmp->getHeight(); ++y)
    for (int x = 0; x < bmp->getWidth(); ++x) bmp->getBits()[y * bmp->getRowSpan() + x] = pixref::RandomPixel(rng);
}

}  // namespace

TEST(PixRotatedBlit, ZeroAngleEqualsPlainBlit) {
  const int modes[] = {0, 0x100, 0x10000, 0x10100, 0x10101};
  for (int mode : modes) {
    for (int side : {7, 8, 60}) {
      PIX_MemBitmap src(side, side, 4), a(side + 6, side + 6, 4), b(side + 6, side + 6, 4);
      FillRandom(&src, 5);
      FillRandom(&a, 6);
      FillRandom(&b, 6);
      PIX_RotatedBlit(&a, &src, 3, 2, side, side, 0, 0, float(side), float(side), 0.0f, false, 0.7f, mode, 0, 0);
      PIX_Blit(&b, &src, 3, 2, 0, 0, side, side, 0.7f, mode & ~0x100);
      for (int y = 0; y < side + 6; ++y)
        for (int x = 0; x < side + 6; ++x)
          ASSERT_EQ(PIX_GetPixel(&a, x, y), PIX_GetPixel(&b, x, y)) << "mode " << mode << " side " << side << " at " << x << "," << y;
    }
  }
}

TEST(PixRotatedBlit, QuarterTurnClockwiseMovesTopToRight) {
  for (int mode : {0, 0x100}) {
    for (int side : {5, 6, 31}) {
      PIX_MemBitmap src(side, side, 4), dst(side, side, 4);
      FillRandom(&src, 11);
      PIX_Clear(&dst, 0);
      PIX_RotatedBlit(&dst, &src, 0, 0, side, side, 0, 0, float(side), float(side), 1.5707964f, false, 1.0f, mode, 0, 0);
      // Turned clockwise: the source's top row becomes the right column.
      for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
          ASSERT_EQ(PIX_GetPixel(&dst, x, y), PIX_GetPixel(&src, y, side - 1 - x)) << "mode " << mode << " at " << x << "," << y;
    }
  }
}

TEST(PixRotatedBlit, MirroredWidthFlipsRows) {
  PIX_MemBitmap src(9, 4, 4), dst(9, 4, 4);
  FillRandom(&src, 3);
  PIX_Clear(&dst, 0);
  PIX_RotatedBlit(&dst, &src, 9, 0, -9, 4, 0, 0, 9, 4, 0.0f, false, 1.0f, 0, 0, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 9; ++x) ASSERT_EQ(PIX_GetPixel(&dst, x, y), PIX_GetPixel(&src, 8 - x, y));
}

TEST(PixRotatedBlit, SamplesOutsideTheSourceLeaveDestination) {
  PIX_MemBitmap src(10, 10, 4), dst(30, 30, 4);
  PIX_Clear(&src, 0xFFFFFFFFu);
  PIX_Clear(&dst, 0x12u);
  // A rectangle twice the source: its border samples fall outside.
  PIX_RotatedBlit(&dst, &src, -10, -10, 40, 40, -5, -5, 20, 20, 0.3f, false, 1.0f, 0x100, 0, 0);
  EXPECT_EQ(PIX_GetPixel(&dst, 0, 0), 0x12u);
  EXPECT_EQ(PIX_GetPixel(&dst, 29, 29), 0x12u);
  EXPECT_EQ(PIX_GetPixel(&dst, 10, 10), 0xFFFFFFFFu);
  // With clipping to a source rectangle of its left half only that half is drawn.
  PIX_Clear(&dst, 0x12u);
  PIX_RotatedBlit(&dst, &src, 0, 0, 10, 10, 0, 0, 10, 10, 0.0f, true, 1.0f, 0, 0, 0);
  PIX_Clear(&dst, 0x12u);
  PIX_RotatedBlit(&dst, &src, 0, 0, 10, 10, 0, 0, 5, 10, 0.0f, true, 1.0f, 0, 0, 0);
  EXPECT_EQ(PIX_GetPixel(&dst, 9, 5), 0xFFFFFFFFu) << "the rectangle is stretched over the destination";
}

TEST(PixRotatedBlit, BilinearHalfTurnOfSymmetricImageIsStable) {
  // A point-symmetric image turned by 180 degrees is unchanged.
  PIX_MemBitmap src(8, 8, 4), dst(8, 8, 4);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const unsigned v = unsigned((x < 4) == (y < 4) ? 200 : 20);
      src.getBits()[y * src.getRowSpan() + x] = v << 8 | v << 16 | v << 24 | 0xFF;
    }
  PIX_Clear(&dst, 0);
  PIX_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, 8, 3.14159265f, false, 1.0f, 0x100, 0, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const unsigned want = PIX_GetPixel(&src, x, y);
      const unsigned got = PIX_GetPixel(&dst, x, y);
      for (int c = 0; c < 4; ++c) ASSERT_NEAR(pixref::Ch(got, c), pixref::Ch(want, c), 1) << x << "," << y;
    }
}

TEST(PixScaledBlit, SameSizeEqualsBlitForEveryFilter) {
  for (int mode : {0, 0x100, 0x10000, 0x10100}) {
    PIX_MemBitmap src(11, 9, 4), a(15, 15, 4), b(15, 15, 4);
    FillRandom(&src, 21);
    FillRandom(&a, 22);
    FillRandom(&b, 22);
    PIX_ScaledBlit(&a, &src, -2, 3, 11, 9, 0, 0, 11, 9, 0.6f, mode);
    PIX_Blit(&b, &src, -2, 3, 0, 0, 11, 9, 0.6f, mode & ~0x100);
    for (int y = 0; y < 15; ++y)
      for (int x = 0; x < 15; ++x) ASSERT_EQ(PIX_GetPixel(&a, x, y), PIX_GetPixel(&b, x, y)) << "mode " << mode;
  }
}

TEST(PixScaledBlit, DoubleSizeNearestRepeatsPixels) {
  PIX_MemBitmap src(4, 3, 4), dst(8, 6, 4);
  FillRandom(&src, 31);
  PIX_ScaledBlit(&dst, &src, 0, 0, 8, 6, 0, 0, 4, 3, 1.0f, 0);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) ASSERT_EQ(PIX_GetPixel(&dst, x, y), PIX_GetPixel(&src, x / 2, y / 2));
}

TEST(PixScaledBlit, FilteredHalfSizeAveragesBlocks) {
  PIX_MemBitmap src(4, 4, 4), dst(2, 2, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) src.getBits()[y * src.getRowSpan() + x] = unsigned(10 * (x + 4 * y)) << 8 | 0xFF;
  PIX_ScaledBlit(&dst, &src, 0, 0, 2, 2, 0, 0, 4, 4, 1.0f, 0x100);
  EXPECT_EQ(PIX_GetPixel(&dst, 0, 0), unsigned((0 + 10 + 40 + 50) / 4) << 8 | 0xFF);
  EXPECT_EQ(PIX_GetPixel(&dst, 1, 1), unsigned((100 + 110 + 140 + 150) / 4) << 8 | 0xFF);
}

TEST(PixScaledBlit, FilteredEnlargeInterpolatesAndStaysInside) {
  PIX_MemBitmap src(2, 1, 4), dst(8, 4, 4);
  src.getBits()[0] = 0xFF;
  src.getBits()[1] = (200u << 8) | 0xFF;
  PIX_Clear(&dst, 0x55u);
  PIX_ScaledBlit(&dst, &src, 0, 0, 8, 4, 0, 0, 2, 1, 1.0f, 0x100);
  int last = -1;
  for (int x = 0; x < 8; ++x) {
    const int red = pixref::Ch(PIX_GetPixel(&dst, x, 2), 1);
    EXPECT_GE(red, last);
    last = red;
  }
  EXPECT_EQ(pixref::Ch(PIX_GetPixel(&dst, 0, 0), 1), 0);
  EXPECT_EQ(pixref::Ch(PIX_GetPixel(&dst, 7, 3), 1), 200);
}

TEST(PixTransform, AbsurdCoordinatesDrawNothing) {
  PIX_MemBitmap src(8, 8, 4), dst(8, 8, 4);
  FillRandom(&src, 1);
  PIX_Clear(&dst, 0x42u);
  const float huge[] = {1e30f, -1e30f, INFINITY, NAN, 3e9f};
  for (float v : huge) {
    PIX_RotatedBlit(&dst, &src, 0, 0, 8, 8, v, 0, 8, 8, 0.1f, false, 1.0f, 0x100, 0, 0);
    PIX_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, v, 8, 0.1f, true, 1.0f, 0, 0, v);
    if (!std::isfinite(v)) PIX_RotatedBlit(&dst, &src, 0, 0, 8, 8, 0, 0, 8, 8, v, false, 1.0f, 0, 0, 0);
    PIX_ScaledBlit(&dst, &src, 0, 0, 8, 8, v, 0, 8, 8, 1.0f, 0x100);
    PIX_ScaledBlit(&dst, &src, 0, 0, 8, 8, 0, 0, v, 8, 1.0f, 0);
  }
  PIX_RotatedBlit(&dst, &src, 0x7FFFFFF0, 0x7FFFFFF0, 0x7FFFFFFF, -0x7FFFFFFF, 0, 0, 8, 8, 0.1f, false, 1.0f, 0, 0, 0);
  PIX_ScaledBlit(&dst, &src, -0x7FFFFFFF, 0, 0x7FFFFFFF, 8, 0, 0, 8, 8, 1.0f, 0);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(PIX_GetPixel(&dst, x, y), 0x42u);
}

// Rows stored bottom-up: every operation must address them through the interface.
class FlippedBitmap : public PIX_IBitmap {
public:
  FlippedBitmap(int w, int h) : mInner(w, h, 4) {}
  unsigned* getBits() override { return mInner.getBits(); }
  int getWidth() override { return mInner.getWidth(); }
  int getHeight() override { return mInner.getHeight(); }
  int getRowSpan() override { return mInner.getRowSpan(); }
  bool isFlipped() override { return true; }
  bool resize(int w, int h) override { return mInner.resize(w, h); }
  // The stored row that holds picture row y.
  unsigned* StoredRow(int y) { return mInner.getBits() + (getHeight() - 1 - y) * getRowSpan(); }

private:
  PIX_MemBitmap mInner;
};

TEST(PixTransform, FlippedBitmapsAreAddressedTopDown) {
  PIX_MemBitmap src(6, 4, 4);
  FillRandom(&src, 8);
  FlippedBitmap flipped(6, 4);
  PIX_Clear(&flipped, 0);
  PIX_Blit(&flipped, &src, 0, 0, nullptr, 1.0f, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) {
      ASSERT_EQ(flipped.StoredRow(y)[x], PIX_GetPixel(&src, x, y));
      ASSERT_EQ(PIX_GetPixel(&flipped, x, y), PIX_GetPixel(&src, x, y));
    }
  PIX_MemBitmap back(6, 4, 4);
  PIX_RotatedBlit(&back, &flipped, 0, 0, 6, 4, 0, 0, 6, 4, 0.0f, false, 1.0f, 0x100, 0, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_EQ(PIX_GetPixel(&back, x, y), PIX_GetPixel(&src, x, y));
}

// The rotated blit's SSE2 sample against the formula: every fraction edge (0, the sign
// change of a signed 16-bit number at 32768, 65535) with extreme and random channels.
TEST(PixBilinear, FastSampleEqualsTheFormula) {
  std::mt19937 rng(41);
  const unsigned fractions[] = {0, 1, 255, 256, 32767, 32768, 32769, 65534, 65535};
  const unsigned extremes[] = {0u, 0xFFFFFFFFu, 0x00FF00FFu, 0xFF00FF00u};
  for (unsigned fx : fractions)
    for (unsigned fy : fractions)
      for (unsigned a : extremes)
        for (unsigned b : extremes)
          for (unsigned c : extremes)
            for (unsigned d : extremes)
              ASSERT_EQ(PIX_BilinearFast(a, b, c, d, fx, fy), PIX_BilinearPlain(a, b, c, d, fx, fy))
                  << std::hex << a << " " << b << " " << c << " " << d << " " << fx << " " << fy;
  for (int i = 0; i < 1000000; ++i) {
    const unsigned a = unsigned(rng()), b = unsigned(rng()), c = unsigned(rng()), d = unsigned(rng());
    const unsigned fx = unsigned(rng()) & 0xFFFF, fy = unsigned(rng()) & 0xFFFF;
    ASSERT_EQ(PIX_BilinearFast(a, b, c, d, fx, fy), PIX_BilinearPlain(a, b, c, d, fx, fy))
        << std::hex << a << " " << b << " " << c << " " << d << " " << fx << " " << fy;
  }
}

TEST(PixAreaReduce, AveragesTheCoveredAreaAndPiecesAgreeWithTheWhole) {
  PIX_MemBitmap src(12, 9, 4);
  FillRandom(&src, 7);
  // By 2: each pixel is its 2 x 2 block's mean in every channel.
  PIX_MemBitmap half(6, 4, 4);
  PIX_AreaReduce(&half, 0, 0, 6, 4, &src, 2.0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      for (int c = 0; c < 32; c += 8) {
        int sum = 0;
        for (int k = 0; k < 4; ++k) sum += (PIX_GetPixel(&src, 2 * x + k % 2, 2 * y + k / 2) >> c) & 255;
        EXPECT_NEAR(int((PIX_GetPixel(&half, x, y) >> c) & 255), sum / 4.0, 0.51);
      }
  // By 4/3 a flat colour stays exactly that colour, and a rectangle drawn
  // on its own equals the same area of the whole reduction.
  PIX_MemBitmap flat(12, 9, 4), out(9, 7, 4), whole(9, 7, 4);
  PIX_Clear(&flat, 0x80C0A0FFu);
  PIX_AreaReduce(&out, 0, 0, 9, 7, &flat, 4.0 / 3.0);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 9; ++x) ASSERT_EQ(PIX_GetPixel(&out, x, y), 0x80C0A0FFu) << x << "," << y;
  PIX_AreaReduce(&whole, 0, 0, 9, 7, &src, 4.0 / 3.0);
  PIX_Clear(&out, 0);
  PIX_AreaReduce(&out, 3, 2, 4, 3, &src, 4.0 / 3.0);
  for (int y = 2; y < 5; ++y)
    for (int x = 3; x < 7; ++x) EXPECT_EQ(PIX_GetPixel(&out, x, y), PIX_GetPixel(&whole, x, y));
  EXPECT_EQ(PIX_GetPixel(&out, 2, 2), 0u);
}

TEST(PixAreaReduce, RatiosOutsideOneToFourDoNothing) {
  PIX_MemBitmap src(8, 8, 4), out(4, 4, 4);
  FillRandom(&src, 3);
  PIX_Clear(&out, 0x12345678u);
  for (double bad : {0.5, 0.0, -2.0, 4.5, double(NAN), double(INFINITY)}) {
    PIX_AreaReduce(&out, 0, 0, 4, 4, &src, bad);
    EXPECT_EQ(PIX_GetPixel(&out, 1, 1), 0x12345678u) << bad;
  }
  PIX_AreaReduce(&out, 0, 0, 4, 4, &src, 1.0);  // 1: a copy
  EXPECT_EQ(PIX_GetPixel(&out, 1, 1), PIX_GetPixel(&src, 1, 1));
}
