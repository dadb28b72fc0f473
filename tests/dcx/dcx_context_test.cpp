#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "dcx/DCX.h"
#include "dcx/ResourceDir.h"

TEST(DcxContext, MemContextHasClearedAlignedFrameBuffer) {
  HDC dc = DCX_CreateMemContext(13, 7);
  ASSERT_NE(dc, nullptr);
  uint32_t* bits = DCX_GetCtxFrameBuffer(dc);
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(bits) % 64, 0u);
  EXPECT_EQ(DCX_GetCtxWidth(dc), 13);
  EXPECT_EQ(DCX_GetCtxHeight(dc), 7);
  for (int i = 0; i < 13 * 7; ++i) ASSERT_EQ(bits[i], 0u);
  DCX_DeleteContext(dc);
}

TEST(DcxContext, BadSizesGiveNoContext) {
  EXPECT_EQ(DCX_CreateMemContext(0, 5), nullptr);
  EXPECT_EQ(DCX_CreateMemContext(5, -1), nullptr);
  EXPECT_EQ(DCX_CreateMemContext(1 << 20, 1 << 20), nullptr);
  EXPECT_EQ(DCX_GetCtxFrameBuffer(nullptr), nullptr);
  DCX_DeleteContext(nullptr);
}

TEST(ResourceDir, OverrideThenEnvironmentThenDefault) {
  SetTonnikResourceDir("/tmp/some/where");
  EXPECT_STREQ(TonnikResourceDir(), "/tmp/some/where");
  SetTonnikResourceDir(nullptr);
  setenv("TONNIK_RESOURCE_DIR", "/env/dir", 1);
  EXPECT_STREQ(TonnikResourceDir(), "/env/dir");
  setenv("TONNIK_RESOURCE_DIR", "", 1);
  EXPECT_STREQ(TonnikResourceDir(), TONNIK_RESOURCE_DIR);
  unsetenv("TONNIK_RESOURCE_DIR");
  EXPECT_STREQ(TonnikResourceDir(), TONNIK_RESOURCE_DIR);
  EXPECT_NE(std::string(TonnikResourceDir()).find("resources/img"), std::string::npos);
}
