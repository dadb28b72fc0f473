#include <gtest/gtest.h>

#include <cstdint>

#include "dcx/DCXFrameCache.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"

TEST(PixBitmap, PixelLayoutIsAlphaRedGreenBlueInMemory) {
  PIX_MemBitmap bmp(1, 1, 4);
  PIX_Clear(&bmp, 0x563412FFu);
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(bmp.getBits());
  EXPECT_EQ(bytes[0], 0xFF);  // alpha
  EXPECT_EQ(bytes[1], 0x12);  // red
  EXPECT_EQ(bytes[2], 0x34);  // green
  EXPECT_EQ(bytes[3], 0x56);  // blue
}

TEST(PixBitmap, MemBitmapRowSpanFollowsAlignment) {
  struct Case {
    unsigned alignment;
    int width;
    int span;
  };
  const Case cases[] = {{4, 5, 8}, {4, 8, 8}, {0, 5, 5}, {1, 5, 5}, {2, 5, 6}, {12, 5, 8}, {16, 17, 32}, {64, 17, 32}};
  for (const Case& c : cases) {
    PIX_MemBitmap bmp(c.width, 3, c.alignment);
    EXPECT_EQ(bmp.getRowSpan(), c.span) << "alignment " << c.alignment << " width " << c.width;
  }
}

TEST(PixBitmap, MemBitmapBitsAre64ByteAligned) {
  for (int w = 1; w < 40; w += 7) {
    PIX_MemBitmap bmp(w, w, 4);
    ASSERT_NE(bmp.getBits(), nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(bmp.getBits()) % 64, 0u);
  }
}

TEST(PixBitmap, MemBitmapResizeReportsChangesAndEmptiesOnZero) {
  PIX_MemBitmap bmp(0, 0, 4);
  EXPECT_EQ(bmp.getBits(), nullptr);
  EXPECT_TRUE(bmp.resize(10, 10));
  EXPECT_FALSE(bmp.resize(10, 10));
  EXPECT_EQ(bmp.getWidth(), 10);
  EXPECT_NE(bmp.getBits(), nullptr);
  EXPECT_TRUE(bmp.resize(0, 10));
  EXPECT_EQ(bmp.getWidth(), 0);
  EXPECT_EQ(bmp.getHeight(), 0);
  EXPECT_EQ(bmp.getBits(), nullptr);
}

TEST(PixBitmap, MemBitmapShrinkKeepsMemoryAndGrowWorks) {
  PIX_MemBitmap bmp(100, 100, 4);
  unsigned* before = bmp.getBits();
  EXPECT_TRUE(bmp.resize(10, 10));
  EXPECT_EQ(bmp.getBits(), before);
  EXPECT_TRUE(bmp.resize(300, 200));
  ASSERT_NE(bmp.getBits(), nullptr);
  PIX_Clear(&bmp, 0x11223344u);  // touches every pixel of the grown size
  EXPECT_EQ(PIX_GetPixel(&bmp, 299, 199), 0x11223344u);
}

TEST(PixBitmap, MemBitmapRefusesAbsurdSizes) {
  PIX_MemBitmap bmp(4, 4, 4);
  EXPECT_TRUE(bmp.resize(1 << 20, 1 << 20));
  EXPECT_EQ(bmp.getWidth(), 0);
  EXPECT_EQ(bmp.getBits(), nullptr);
  EXPECT_TRUE(bmp.resize(-3, 5));
  EXPECT_EQ(bmp.getWidth(), 0);
}

TEST(PixBitmap, SysBitmapHasContextAndFourPixelRows) {
  PIX_SysBitmap bmp(5, 3);
  ASSERT_NE(bmp.getDC(), nullptr);
  EXPECT_EQ(bmp.getRowSpan(), 8);
  EXPECT_EQ(bmp.getBits(), DCX_GetCtxFrameBuffer(bmp.getDC()));
  EXPECT_EQ(DCX_GetCtxWidth(bmp.getDC()), 8);
}

TEST(PixBitmap, SysBitmapShrinkKeepsRowSpanAndContext) {
  PIX_SysBitmap bmp(100, 100);
  HDC dc = bmp.getDC();
  EXPECT_TRUE(bmp.resize(50, 50));
  EXPECT_EQ(bmp.getRowSpan(), 100);
  EXPECT_EQ(bmp.getDC(), dc);
  EXPECT_EQ(bmp.getWidth(), 50);
  EXPECT_FALSE(bmp.resize(50, 50));
  EXPECT_TRUE(bmp.resize(101, 50));
  EXPECT_EQ(bmp.getRowSpan(), 104);
  EXPECT_TRUE(bmp.resize(0, 0));
  EXPECT_EQ(bmp.getDC(), nullptr);
  EXPECT_EQ(bmp.getBits(), nullptr);
  EXPECT_EQ(bmp.getWidth(), 0);
}

TEST(PixBitmap, OperationsIgnoreEmptyAndNullBitmaps) {
  PIX_MemBitmap empty;
  PIX_MemBitmap full(4, 4, 4);
  PIX_Clear(&full, 0xAABBCCDDu);
  PIX_Clear(nullptr, 1);
  PIX_Clear(&empty, 1);
  PIX_Blit(&empty, &full, 0, 0, nullptr, 1.0f, 0);
  PIX_Blit(&full, &empty, 0, 0, nullptr, 1.0f, 0);
  PIX_Blit(nullptr, &full, 0, 0, nullptr, 1.0f, 0);
  PIX_FillRect(&empty, 0, 0, 4, 4, 1, 1.0f, 0);
  PIX_PutPixel(nullptr, 0, 0, 1, 1.0f, 0);
  PIX_RotatedBlit(&full, &empty, 0, 0, 4, 4, 0, 0, 4, 4, 1.0f, false, 1.0f, 0, 0, 0);
  PIX_ScaledBlit(&full, &empty, 0, 0, 4, 4, 0, 0, 4, 4, 1.0f, 0);
  EXPECT_EQ(PIX_GetPixel(&empty, 0, 0), 0u);
  EXPECT_EQ(PIX_GetPixel(&full, 3, 3), 0xAABBCCDDu);
}

// A later editor reuses the frames an earlier one gave back: its drawing
// context and its window copy each get their own block, and the drawing
// context starts cleared as a fresh one does.
TEST(PixBitmap, EditorFramesReusedButNeverShared) {
  const int w = 500, h = 400;  // an editor's frame, 800 KB
  DCX_FrameCacheRelease();
  for (int round = 0; round < 3; ++round) {
    PIX_SysBitmap draw(w, h);
    PIX_MemBitmap window(w, h, 4);
    PIX_SysBitmap otherDraw(w, h);  // a second editor open at the same time
    ASSERT_NE(draw.getBits(), nullptr);
    ASSERT_NE(window.getBits(), nullptr);
    ASSERT_NE(otherDraw.getBits(), nullptr);
    EXPECT_NE(draw.getBits(), window.getBits());
    EXPECT_NE(draw.getBits(), otherDraw.getBits());
    EXPECT_NE(window.getBits(), otherDraw.getBits());
    int dirty = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) dirty += (PIX_GetPixel(&draw, x, y) != 0) + (PIX_GetPixel(&otherDraw, x, y) != 0);
    EXPECT_EQ(dirty, 0) << "round " << round;
    PIX_Clear(&draw, 0xFFFFFFFFu);
    PIX_Clear(&window, 0xFFFFFFFFu);
    PIX_Clear(&otherDraw, 0xFFFFFFFFu);
  }
  EXPECT_EQ(DCX_FrameCacheCount(), kFrameCacheBlocks);
  DCX_FrameCacheRelease();
  EXPECT_EQ(DCX_FrameCacheCount(), 0);
}
