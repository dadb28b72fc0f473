// The PNG writer against the loader: every encoding gives back the pixels it
// was handed (alpha dropped where the encoding has none), and what cannot be
// written says why and leaves no file.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "pix/PIX_PNG.h"
#include "pix/PIX_PNGWrite.h"

namespace {

const unsigned kAlphaMask = 0xFF;  // alpha sits in the low byte of a pixel

std::string TempPath(const char* name) { return std::string(::testing::TempDir()) + name; }

bool FileExists(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f) std::fclose(f);
  return f != nullptr;
}

// Odd sizes, so no row is a whole number of vector steps, and random pixels
// with every alpha.
void FillRandom(PIX_IBitmap* bitmap, unsigned seed) {
  std::mt19937 rng(seed);
  for (int y = 0; y < bitmap->getHeight(); ++y)
    for (int x = 0; x < bitmap->getWidth(); ++x) bitmap->getBits()[y * bitmap->getRowSpan() + x] = unsigned(rng());
}

TEST(PixPngWrite, EveryEncodingLoadsBackAsWritten) {
  PIX_MemBitmap source(13, 7);
  FillRandom(&source, 5);
  const PIX_PNGEncoding kEncodings[] = {
      {true, 9, false}, {true, 0, true}, {false, kPIX_PNGDefaultLevel, true}, {false, 0, false}};
  const std::string path = TempPath("pix_png_write.png");
  for (const PIX_PNGEncoding& encoding : kEncodings) {
    ASSERT_EQ(PIX_WritePNG(&source, encoding, path.c_str()), PIX_PNGWriteResult::kWritten);
    std::unique_ptr<PIX_IBitmap> back(PIX_LoadPNG(path.c_str(), nullptr));
    ASSERT_TRUE(back) << encoding.alpha << " " << encoding.level;
    ASSERT_EQ(back->getWidth(), 13);
    ASSERT_EQ(back->getHeight(), 7);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x) {
        const unsigned want = source.getBits()[y * source.getRowSpan() + x] | (encoding.alpha ? 0 : kAlphaMask);
        ASSERT_EQ(back->getBits()[y * back->getRowSpan() + x], want) << x << "," << y;
      }
  }
  std::remove(path.c_str());
}

TEST(PixPngWrite, BytesArePngOrdered) {
  PIX_MemBitmap one(1, 1);
  one.getBits()[0] = 0x332211AA;  // blue 0x33, green 0x22, red 0x11, alpha 0xAA
  KIT_TypedBuf<unsigned char> bytes;
  ASSERT_TRUE(PIX_ToPNGBytes(&one, true, &bytes));
  ASSERT_EQ(bytes.GetSize(), 4);
  EXPECT_EQ(bytes.Get()[0], 0x11);
  EXPECT_EQ(bytes.Get()[1], 0x22);
  EXPECT_EQ(bytes.Get()[2], 0x33);
  EXPECT_EQ(bytes.Get()[3], 0xAA);
  ASSERT_TRUE(PIX_ToPNGBytes(&one, false, &bytes));
  EXPECT_EQ(bytes.GetSize(), 3);
}

TEST(PixPngWrite, WhatCannotBeWrittenSaysWhyAndLeavesNoFile) {
  const PIX_PNGEncoding encoding = {false, kPIX_PNGDefaultLevel, true};
  PIX_MemBitmap empty;
  PIX_MemBitmap small(2, 2);
  KIT_TypedBuf<unsigned char> bytes;
  EXPECT_FALSE(PIX_ToPNGBytes(nullptr, false, &bytes));
  EXPECT_FALSE(PIX_ToPNGBytes(&empty, false, &bytes));
  EXPECT_EQ(PIX_WritePNG(nullptr, encoding, TempPath("none.png").c_str()), PIX_PNGWriteResult::kNoPixels);
  EXPECT_EQ(PIX_WritePNG(&empty, encoding, TempPath("none.png").c_str()), PIX_PNGWriteResult::kNoPixels);
  EXPECT_FALSE(FileExists(TempPath("none.png")));
  EXPECT_EQ(PIX_WritePNG(&small, encoding, nullptr), PIX_PNGWriteResult::kCannotCreate);
  EXPECT_EQ(PIX_WritePNG(&small, encoding, "/nonexistent-folder/x.png"), PIX_PNGWriteResult::kCannotCreate);
}

}  // namespace
