#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dcx/DCX.h"
#include "dcx/DCXFrameCache.h"

namespace {
// An editor's frame: 500 x 400 pixels, 800 KB, well above the cache's floor.
const int kFrameWidth = 500;
const int kFrameHeight = 400;
const int kFramePixels = kFrameWidth * kFrameHeight;

}  // namespace

TEST(DcxFrameCache, ReusedContextStartsClearedLikeAFreshOne) {
  DCX_FrameCacheRelease();
  HDC first = DCX_CreateMemContext(kFrameWidth, kFrameHeight);
  ASSERT_NE(first, nullptr);
  uint32_t* firstBits = DCX_GetCtxFrameBuffer(first);
  std::memset(firstBits, 0xAB, size_t(kFramePixels) * 4);
  DCX_DeleteContext(first);
  EXPECT_EQ(DCX_FrameCacheCount(), 1);

  HDC again = DCX_CreateMemContext(kFrameWidth, kFrameHeight);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(DCX_FrameCacheCount(), 0);
  uint32_t* bits = DCX_GetCtxFrameBuffer(again);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(bits) % 64, 0u);
  int dirty = 0;
  for (int i = 0; i < kFramePixels; ++i) dirty += bits[i] != 0;
  EXPECT_EQ(dirty, 0);
  DCX_DeleteContext(again);
}

TEST(DcxFrameCache, ContextsOpenAtOnceNeverShareABlock) {
  DCX_FrameCacheRelease();
  HDC a = DCX_CreateMemContext(kFrameWidth, kFrameHeight);
  HDC b = DCX_CreateMemContext(kFrameWidth, kFrameHeight);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  DCX_DeleteContext(a);
  DCX_DeleteContext(b);
  EXPECT_EQ(DCX_FrameCacheCount(), 2);

  // Three open at once: two from the cache, one fresh, all distinct.
  HDC c = DCX_CreateMemContext(kFrameWidth, kFrameHeight);
  HDC d = DCX_CreateMemContext(kFrameWidth, kFrameHeight);
  HDC e = DCX_CreateMemContext(kFrameWidth, kFrameHeight);
  ASSERT_NE(c, nullptr);
  ASSERT_NE(d, nullptr);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(DCX_FrameCacheCount(), 0);
  EXPECT_NE(DCX_GetCtxFrameBuffer(c), DCX_GetCtxFrameBuffer(d));
  EXPECT_NE(DCX_GetCtxFrameBuffer(c), DCX_GetCtxFrameBuffer(e));
  EXPECT_NE(DCX_GetCtxFrameBuffer(d), DCX_GetCtxFrameBuffer(e));
  DCX_DeleteContext(c);
  DCX_DeleteContext(d);
  DCX_DeleteContext(e);
  // The cache keeps no more than its slots; the third block went to the heap.
  EXPECT_EQ(DCX_FrameCacheCount(), kFrameCacheBlocks);
}

TEST(DcxFrameCache, SmallAndMismatchedBlocksAreNotKept) {
  DCX_FrameCacheRelease();
  HDC small = DCX_CreateMemContext(16, 16);
  ASSERT_NE(small, nullptr);
  DCX_DeleteContext(small);
  EXPECT_EQ(DCX_FrameCacheCount(), 0);

  HDC frame = DCX_CreateMemContext(kFrameWidth, kFrameHeight);
  ASSERT_NE(frame, nullptr);
  DCX_DeleteContext(frame);
  ASSERT_EQ(DCX_FrameCacheCount(), 1);
  // Another size does not take the held frame; it stays for the next frame of its size.
  HDC other = DCX_CreateMemContext(kFrameWidth, kFrameHeight + 1);
  ASSERT_NE(other, nullptr);
  EXPECT_EQ(DCX_FrameCacheCount(), 1);
  DCX_DeleteContext(other);
  DCX_GiveFrameBlock(nullptr, kFrameCacheMinBytes);
  EXPECT_EQ(DCX_FrameCacheCount(), 2);
}

// Fresh large blocks, of normal and of huge pages, freed dirty to the heap and
// taken again: zeroed ones are zero to the last byte whatever the heap hands
// back, and every block can be written to its end and freed.
TEST(DcxFrameCache, FreshLargeBlocksAreZeroedWhenAskedWhateverTheHeapReturns) {
  DCX_FrameCacheRelease();
  // Odd sizes, so the blocks end inside a page: 300 KB and just over 2 MB.
  for (size_t bytes : {kFrameCacheMinBytes + 44 * 1024 + 13, (size_t(2) << 20) + 4096 * 5 + 7}) {
    for (int round = 0; round < 3; ++round) {
      unsigned char* dirty = static_cast<unsigned char*>(DCX_TakeFrameBlock(bytes, false));
      ASSERT_NE(dirty, nullptr);
      std::memset(dirty, 0xAB, bytes);
      std::free(dirty);
      unsigned char* block = static_cast<unsigned char*>(DCX_TakeFrameBlock(bytes, true));
      ASSERT_NE(block, nullptr);
      size_t nonzero = 0;
      for (size_t i = 0; i < bytes; ++i) nonzero += block[i] != 0;
      EXPECT_EQ(nonzero, 0u) << bytes << " bytes, round " << round;
      std::free(block);
    }
  }
}
