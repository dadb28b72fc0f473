#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "pix/PixReference.h"

namespace {

const int kSide = 13;

void FillRandom(PIX_IBitmap* bmp, std::mt19937& rng) {
  for (int y = 0; y < bmp->getHeight(); ++y)
    for (int x = 0; x < bmp->getWidth(); ++x) bmp->getBits()[y * bmp->getRowSpan() + x] = pixref::RandomPixel(rng);
}

std::vector<unsigned> Snapshot(PIX_IBitmap* bmp) {
  std::vector<unsigned> out;
  for (int y = 0; y < bmp->getHeight(); ++y)
    for (int x = 0; x < bmp->getWidth(); ++x) out.push_back(PIX_GetPixel(bmp, x, y));
  return out;
}

// Fills a bitmap with its coordinates so a pixel shows where it came from.
void FillCoordinates(PIX_IBitmap* bmp) {
  for (int y = 0; y < bmp->getHeight(); ++y)
    for (int x = 0; x < bmp->getWidth(); ++x) bmp->getBits()[y * bmp->getRowSpan() + x] = unsigned(x) << 8 | unsigned(y) << 16 | 0xFFu;
}

const float kWeights[] = {0.0f, 1 / 256.0f, 63 / 256.0f, 0.25f, 0.5f, 129 / 256.0f, 0.75f, 191 / 256.0f, 255 / 256.0f, 1.0f};

}  // namespace

TEST(PixBlit, EveryModeAndWeightMatchesTheFormulas) {
  std::mt19937 rng(1234);
  const int modes[] = {0, 1, 2, 3, 4, 0x10000, 0x10001, 0x10002, 0x10003, 0x10004};
  for (int mode : modes) {
    for (float alpha : kWeights) {
      PIX_MemBitmap src(kSide, kSide, 4), dst(kSide, kSide, 4);
      FillRandom(&src, rng);
      FillRandom(&dst, rng);
      const std::vector<unsigned> s = Snapshot(&src), d = Snapshot(&dst);
      PIX_Blit(&dst, &src, 0, 0, 0, 0, kSide, kSide, alpha, mode);
      const std::vector<unsigned> out = Snapshot(&dst);
      for (size_t i = 0; i < out.size(); ++i) {
        ASSERT_EQ(out[i], pixref::Blit(mode, d[i], s[i], alpha))
            << std::hex << "mode 0x" << mode << " alpha " << alpha << " d 0x" << d[i] << " s 0x" << s[i];
      }
    }
  }
}

TEST(PixBlit, SourceAlphaCopyMatchesTheFormulaAtEveryWidth) {
  std::mt19937 rng(77);
  for (int width = 1; width <= 21; ++width) {
    PIX_MemBitmap src(width, 3, 0), dst(width, 3, 0);
    FillRandom(&src, rng);
    FillRandom(&dst, rng);
    const std::vector<unsigned> s = Snapshot(&src), d = Snapshot(&dst);
    PIX_Blit(&dst, &src, 0, 0, nullptr, 1.0f, 0x10000);
    const std::vector<unsigned> out = Snapshot(&dst);
    for (size_t i = 0; i < out.size(); ++i)
      ASSERT_EQ(out[i], pixref::Blit(0x10000, d[i], s[i], 1.0f)) << std::hex << "d 0x" << d[i] << " s 0x" << s[i];
  }
}

// Every source alpha against a spread of colour pairs, in rows long enough for the eight- and
// four-pixel steps and the tail.
TEST(PixBlit, SourceAlphaCopyMatchesTheFormulaForEveryAlpha) {
  const unsigned channels[] = {0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF};
  std::vector<unsigned> s, d;
  for (unsigned sa = 0; sa < 256; ++sa)
    for (unsigned sc : channels)
      for (unsigned dc : channels) {
        s.push_back(sa | sc << 8 | (255 - sc) << 16 | dc << 24);
        d.push_back((dc * 7 & 255) | dc << 8 | sc << 16 | (255 - dc) << 24);
      }
  const int width = 37;
  const int height = int((s.size() + width - 1) / width);
  PIX_MemBitmap src(width, height, 0), dst(width, height, 0);
  for (size_t i = 0; i < size_t(width) * height; ++i) {
    src.getBits()[i] = i < s.size() ? s[i] : 0;
    dst.getBits()[i] = i < d.size() ? d[i] : 0;
  }
  PIX_Blit(&dst, &src, 0, 0, nullptr, 1.0f, 0x10000);
  for (size_t i = 0; i < s.size(); ++i)
    ASSERT_EQ(dst.getBits()[i], pixref::Blit(0x10000, d[i], s[i], 1.0f)) << std::hex << "d 0x" << d[i] << " s 0x" << s[i];
}

TEST(PixBlit, SourceAlphaCopyAtFullWeight) {
  PIX_MemBitmap src(1, 1, 4), dst(1, 1, 4);
  PIX_Clear(&dst, 0x11223344u);
  PIX_Clear(&src, 0xAABBCC00u);
  PIX_Blit(&dst, &src, 0, 0, nullptr, 1.0f, 0x10000);
  EXPECT_EQ(PIX_GetPixel(&dst, 0, 0), 0x11223344u) << "alpha 0 leaves the destination";
  PIX_Clear(&src, 0xAABBCCFFu);
  PIX_Blit(&dst, &src, 0, 0, nullptr, 1.0f, 0x10000);
  EXPECT_EQ(PIX_GetPixel(&dst, 0, 0), 0xAABBCCFFu) << "alpha 255 replaces it";
}

TEST(PixBlit, HsvAdjustWithNeutralSourceKeepsColour) {
  PIX_MemBitmap src(1, 1, 4), dst(1, 1, 4);
  // Red 128 turns hue by 0; green and blue 128 keep saturation and value.
  const unsigned neutral = 0x808080FFu;
  const unsigned colours[] = {0xFF0000FFu, 0x00FF00FFu, 0x0000FFFFu, 0x804020FFu, 0x000000FFu, 0xFFFFFFFFu};
  for (unsigned c : colours) {
    PIX_Clear(&dst, c);
    PIX_Clear(&src, neutral);
    PIX_Blit(&dst, &src, 0, 0, nullptr, 0.99f, PIX_MODE_HSV);
    const unsigned out = PIX_GetPixel(&dst, 0, 0);
    for (int i = 1; i < 4; ++i) EXPECT_NEAR(pixref::Ch(out, i), pixref::Ch(c, i), 4) << std::hex << c;
    EXPECT_EQ(out & 255, 0xFFu);
  }
}

TEST(PixBlit, ChannelCopyMovesOneByte) {
  PIX_MemBitmap src(2, 1, 4), dst(2, 1, 4);
  PIX_Clear(&src, 0x44332211u);
  PIX_Clear(&dst, 0xDDCCBBAAu);
  // Source byte 2 (green, 0x33) into destination byte 0 (alpha).
  PIX_Blit(&dst, &src, 0, 0, nullptr, 0.3f, 0xF0 | 2 | (0 << 2));
  EXPECT_EQ(PIX_GetPixel(&dst, 1, 0), 0xDDCCBB33u);
  // Source byte 0 into destination byte 3 (blue).
  PIX_Blit(&dst, &src, 0, 0, nullptr, 1.0f, 0xF0 | 0 | (3 << 2));
  EXPECT_EQ(PIX_GetPixel(&dst, 0, 0), 0x11CCBB33u);
}

TEST(PixBlit, ClippingOnEverySide) {
  struct Case {
    int dstx, dsty;
    RECT src;
    int expectLeft, expectTop, expectRight, expectBottom;  // destination area written
    int srcxAtLeft, srcyAtTop;                             // source pixel at its top-left
  };
  const Case cases[] = {
      {-5, -5, {0, 0, 10, 10}, 0, 0, 5, 5, 5, 5},        // negative destination
      {15, 2, {0, 0, 10, 10}, 15, 2, 20, 12, 0, 0},      // right edge
      {2, 17, {0, 0, 10, 10}, 2, 17, 12, 20, 0, 0},      // bottom edge
      {3, 3, {-4, -2, 6, 6}, 7, 5, 13, 11, 0, 0},        // source rectangle starting outside the source
      {3, 3, {8, 8, 30, 30}, 3, 3, 7, 7, 8, 8},          // source rectangle past the source
      {-12, 3, {0, 0, 10, 10}, 0, 0, 0, 0, 0, 0},        // wholly left
      {25, 3, {0, 0, 10, 10}, 0, 0, 0, 0, 0, 0},         // wholly right
  };
  for (const Case& c : cases) {
    PIX_MemBitmap src(12, 12, 4), dst(20, 20, 4);
    FillCoordinates(&src);
    PIX_Clear(&dst, 0);
    PIX_Blit(&dst, &src, c.dstx, c.dsty, &c.src, 1.0f, 0);
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 20; ++x) {
        const bool inside = x >= c.expectLeft && x < c.expectRight && y >= c.expectTop && y < c.expectBottom;
        const unsigned expect =
            inside ? (unsigned(c.srcxAtLeft + x - c.expectLeft) << 8 | unsigned(c.srcyAtTop + y - c.expectTop) << 16 | 0xFFu) : 0u;
        ASSERT_EQ(PIX_GetPixel(&dst, x, y), expect) << "case dst " << c.dstx << "," << c.dsty << " at " << x << "," << y;
      }
    }
  }
}

TEST(PixBlit, HugeCoordinatesDoNotOverflow) {
  PIX_MemBitmap src(4, 4, 4), dst(4, 4, 4);
  FillCoordinates(&src);
  PIX_Clear(&dst, 0);
  PIX_Blit(&dst, &src, 0x7FFFFFF0, 0, 0, 0, 0x7FFFFFFF, 4, 1.0f, 0);
  PIX_Blit(&dst, &src, -0x7FFFFFFF, -0x7FFFFFFF, nullptr, 1.0f, 0);
  PIX_Blit(&dst, &src, 0, 0, -0x7FFFFFFF, -0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 1.0f, 0);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(PIX_GetPixel(&dst, i % 4, i / 4), 0u);
}

TEST(PixBlit, OverlappingSelfBlitReadsTheOriginal) {
  PIX_MemBitmap bmp(10, 10, 4), ref(10, 10, 4);
  FillCoordinates(&bmp);
  FillCoordinates(&ref);
  PIX_Blit(&bmp, &bmp, 2, 1, 0, 0, 8, 8, 1.0f, 0);
  for (int y = 1; y < 9; ++y)
    for (int x = 2; x < 10; ++x) ASSERT_EQ(PIX_GetPixel(&bmp, x, y), PIX_GetPixel(&ref, x - 2, y - 1));
}

TEST(PixBlit, CopyResizesDestination) {
  PIX_MemBitmap src(7, 5, 4), dst(2, 2, 4);
  FillCoordinates(&src);
  PIX_Copy(&dst, &src);
  ASSERT_EQ(dst.getWidth(), 7);
  ASSERT_EQ(dst.getHeight(), 5);
  EXPECT_EQ(Snapshot(&dst), Snapshot(&src));
}

// Opaque fills store four pixels at a time: every width and offset leaves the pixels around
// the rectangle alone.
TEST(PixFill, OpaqueFillOfEveryWidthStaysInsideItsRectangle) {
  for (int x = 0; x < 4; ++x)
    for (int w = 0; w <= 13; ++w) {
      PIX_MemBitmap bmp(20, 3, 0);
      PIX_Clear(&bmp, 0x11111111u);
      PIX_FillRect(&bmp, x, 1, w, 1, 0x563412FFu, 1.0f, 0);
      for (int px = 0; px < 20; ++px)
        for (int py = 0; py < 3; ++py) {
          const bool inside = py == 1 && px >= x && px < x + w;
          ASSERT_EQ(PIX_GetPixel(&bmp, px, py), inside ? 0x563412FFu : 0x11111111u) << x << " " << w << " " << px;
        }
    }
}

TEST(PixFill, FillRectMatchesFixedMixesAndFormulas) {
  std::mt19937 rng(99);
  const int modes[] = {0, 1, 2, 3, 4, 0x10000, 0x10001};
  for (int mode : modes) {
    for (float alpha : kWeights) {
      PIX_MemBitmap dst(kSide, kSide, 4);
      FillRandom(&dst, rng);
      const unsigned color = pixref::RandomPixel(rng);
      const std::vector<unsigned> d = Snapshot(&dst);
      PIX_FillRect(&dst, 2, 3, 7, 5, color, alpha, mode);
      float a = alpha;
      if (mode & 0x10000) a = a * float(color & 255) / 255.0f;
      const int w = int(a * 256);
      for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
          const unsigned before = d[size_t(y * kSide + x)];
          unsigned expect = before;
          if (x >= 2 && x < 9 && y >= 3 && y < 8 && w > 0) {
            const int low = mode & 255;
            if (low == 0 && w == 256) expect = color;
            else if (low == 0 && w == 128) expect = ((before >> 1) & 0x7F7F7F7F) + ((color >> 1) & 0x7F7F7F7F);
            else if (low == 0 && w == 64)
              expect = ((before >> 1) & 0x7F7F7F7F) + ((before >> 2) & 0x3F3F3F3F) + ((color >> 2) & 0x3F3F3F3F);
            else if (low == 0 && w == 192)
              expect = ((color >> 1) & 0x7F7F7F7F) + ((color >> 2) & 0x3F3F3F3F) + ((before >> 2) & 0x3F3F3F3F);
            else expect = (pixref::Plain(low, before, color, w) & 0xFFFFFF00u) | (before & 255);
          }
          ASSERT_EQ(PIX_GetPixel(&dst, x, y), expect) << std::hex << "mode " << mode << " alpha " << alpha;
        }
      }
    }
  }
}

TEST(PixFill, PutPixelHalfWeightIsPerByteAverage) {
  PIX_MemBitmap bmp(3, 3, 4);
  PIX_Clear(&bmp, 0x10FF0381u);
  PIX_PutPixel(&bmp, 1, 1, 0x2001FF03u, 0.5f, 0);
  // Each byte is halved before adding, so two odd bytes lose their half.
  EXPECT_EQ(PIX_GetPixel(&bmp, 1, 1), 0x187F8041u);
  EXPECT_EQ(PIX_GetPixel(&bmp, 0, 1), 0x10FF0381u);
  PIX_PutPixel(&bmp, -1, 1, 0, 1.0f, 0);
  PIX_PutPixel(&bmp, 3, 1, 0, 1.0f, 0);
  EXPECT_EQ(PIX_GetPixel(&bmp, 3, 1), 0u);
}

TEST(PixFill, PutPixelOtherWeightsAndModes) {
  std::mt19937 rng(7);
  for (int mode = 0; mode < 5; ++mode) {
    for (float alpha : kWeights) {
      PIX_MemBitmap bmp(1, 1, 4);
      const unsigned d = pixref::RandomPixel(rng), c = pixref::RandomPixel(rng);
      PIX_Clear(&bmp, d);
      PIX_PutPixel(&bmp, 0, 0, c, alpha, mode | 0x10000);  // the flag is not consulted
      const int w = int(alpha * 256);
      unsigned expect = d;
      if (w > 0) {
        if (mode == 0 && w == 128) expect = ((d >> 1) & 0x7F7F7F7F) + ((c >> 1) & 0x7F7F7F7F);
        else if (mode == 0 && w == 64) expect = ((d >> 1) & 0x7F7F7F7F) + ((d >> 2) & 0x3F3F3F3F) + ((c >> 2) & 0x3F3F3F3F);
        else if (mode == 0 && w == 192) expect = ((c >> 1) & 0x7F7F7F7F) + ((c >> 2) & 0x3F3F3F3F) + ((d >> 2) & 0x3F3F3F3F);
        else expect = pixref::Plain(mode, d, c, w);
      }
      EXPECT_EQ(PIX_GetPixel(&bmp, 0, 0), expect) << "mode " << mode << " alpha " << alpha;
    }
  }
}

TEST(PixFill, ClearRectKeepsAndSetsBitsInsideOnly) {
  PIX_MemBitmap bmp(6, 6, 4);
  PIX_Clear(&bmp, 0x12345678u);
  PIX_ClearRect(&bmp, -2, 4, 4, 10, 0xFFFFFF00u, 0);
  EXPECT_EQ(PIX_GetPixel(&bmp, 0, 4), 0x12345600u);
  EXPECT_EQ(PIX_GetPixel(&bmp, 1, 5), 0x12345600u);
  EXPECT_EQ(PIX_GetPixel(&bmp, 2, 5), 0x12345678u);
  EXPECT_EQ(PIX_GetPixel(&bmp, 0, 3), 0x12345678u);
}

TEST(PixFill, WeightsOutsideTheRangeAreHeld) {
  PIX_MemBitmap bmp(1, 1, 4);
  PIX_Clear(&bmp, 0x10203040u);
  PIX_FillRect(&bmp, 0, 0, 1, 1, 0xFFFFFFFFu, 7.0f, 0);
  EXPECT_EQ(PIX_GetPixel(&bmp, 0, 0), 0xFFFFFFFFu);
  PIX_FillRect(&bmp, 0, 0, 1, 1, 0, -1.0f, 0);
  PIX_FillRect(&bmp, 0, 0, 1, 1, 0, std::numeric_limits<float>::quiet_NaN(), 0);
  EXPECT_EQ(PIX_GetPixel(&bmp, 0, 0), 0xFFFFFFFFu);
}
