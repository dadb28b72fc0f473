#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "dcx/ResourceDir.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_PNG.h"
#include "pix/PIX_PNGInfo.h"
#include "pix/PngWriter.h"

namespace {

std::unique_ptr<PIX_IBitmap> Load(const std::vector<unsigned char>& data) {
  return std::unique_ptr<PIX_IBitmap>(PIX_LoadPNGFromMemory(data.data(), int(data.size()), nullptr));
}

unsigned Argb(int a, int r, int g, int b) { return unsigned(a) | unsigned(r) << 8 | unsigned(g) << 16 | unsigned(b) << 24; }

pngtest::Image RgbaImage(int w, int h, unsigned seed) {
  pngtest::Image img{w, h, PNG_COLOR_TYPE_RGBA, 8, {}, {}, {}};
  std::mt19937 rng(seed);
  for (int i = 0; i < w * h * 4; ++i) img.rows.push_back(static_cast<unsigned char>(rng()));
  return img;
}

std::string TempPath(const char* name) { return std::string(::testing::TempDir()) + name; }

void WriteFile(const std::string& path, const std::vector<unsigned char>& data) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(data.data(), 1, data.size(), f);
  std::fclose(f);
}

// A valid PNG header chunk with the given size, so huge images can be described cheaply.
std::vector<unsigned char> HeaderOnly(unsigned width, unsigned height) {
  std::vector<unsigned char> out;
  auto put32 = [&out](unsigned long v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<unsigned char>(v >> s));
  };
  for (int c : {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}) out.push_back(static_cast<unsigned char>(c));
  put32(13);
  for (char c : {'I', 'H', 'D', 'R'}) out.push_back(static_cast<unsigned char>(c));
  put32(width);
  put32(height);
  for (int c : {8, 6, 0, 0, 0}) out.push_back(static_cast<unsigned char>(c));
  put32(crc32(0, out.data() + 12, 17));
  return out;
}

}  // namespace

TEST(PixPng, ColourTypesArriveAsArgb) {
  struct Case {
    const char* what;
    pngtest::Image image;
    std::vector<unsigned> expect;
  };
  pngtest::Image grey1{4, 1, PNG_COLOR_TYPE_GRAY, 1, {0xA0}, {}, {}};  // 1,0,1,0
  pngtest::Image palette{3, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1, 2}, {{255, 0, 0}, {0, 255, 0}, {1, 2, 3}}, {0, 128}};
  pngtest::Image rgba16{2, 1, PNG_COLOR_TYPE_RGBA, 16, {0x12, 0x99, 0x34, 0x99, 0x56, 0x99, 0x78, 0x99,
                                                        0xFE, 0x01, 0x00, 0xFF, 0x80, 0x00, 0x01, 0x02}, {}, {}};
  pngtest::Image greyAlpha{2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0x40, 0x80, 0xC0, 0x00}, {}, {}};
  pngtest::Image rgb{2, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3, 4, 5, 6}, {}, {}};
  pngtest::Image palette2{4, 1, PNG_COLOR_TYPE_PALETTE, 2, {0x1B}, {{0, 0, 0}, {10, 10, 10}, {20, 20, 20}, {30, 30, 30}}, {}};
  const Case cases[] = {
      {"grey 1-bit", grey1, {Argb(255, 255, 255, 255), Argb(255, 0, 0, 0), Argb(255, 255, 255, 255), Argb(255, 0, 0, 0)}},
      {"palette with transparency", palette, {Argb(0, 255, 0, 0), Argb(128, 0, 255, 0), Argb(255, 1, 2, 3)}},
      {"16-bit RGBA keeps high bytes", rgba16, {Argb(0x78, 0x12, 0x34, 0x56), Argb(0x01, 0xFE, 0x00, 0x80)}},
      {"grey with alpha", greyAlpha, {Argb(0x80, 0x40, 0x40, 0x40), Argb(0x00, 0xC0, 0xC0, 0xC0)}},
      {"RGB gets alpha 255", rgb, {Argb(255, 1, 2, 3), Argb(255, 4, 5, 6)}},
      {"palette 2-bit", palette2, {Argb(255, 0, 0, 0), Argb(255, 10, 10, 10), Argb(255, 20, 20, 20), Argb(255, 30, 30, 30)}},
  };
  for (const Case& c : cases) {
    auto bmp = Load(pngtest::Encode(c.image));
    ASSERT_NE(bmp, nullptr) << c.what;
    ASSERT_EQ(bmp->getWidth(), int(c.expect.size())) << c.what;
    ASSERT_EQ(bmp->getHeight(), 1);
    EXPECT_EQ(bmp->getRowSpan() % 4, 0);
    for (size_t i = 0; i < c.expect.size(); ++i)
      EXPECT_EQ(PIX_GetPixel(bmp.get(), int(i), 0), c.expect[i]) << c.what << " pixel " << i << std::hex << " got " << PIX_GetPixel(bmp.get(), int(i), 0);
  }
}

TEST(PixPng, RowsLandInPlaceIncludingInterlaced) {
  for (bool interlaced : {false, true}) {
    pngtest::Image img = RgbaImage(13, 9, 3);
    img.interlaced = interlaced;
    auto bmp = Load(pngtest::Encode(img));
    ASSERT_NE(bmp, nullptr);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 13; ++x) {
        const unsigned char* p = &img.rows[size_t((y * 13 + x) * 4)];
        ASSERT_EQ(PIX_GetPixel(bmp.get(), x, y), Argb(p[3], p[0], p[1], p[2])) << x << "," << y;
      }
  }
}

TEST(PixPng, DestinationIsResizedAndReturned) {
  const std::vector<unsigned char> data = pngtest::Encode(RgbaImage(6, 5, 1));
  PIX_SysBitmap sys(2, 2);
  EXPECT_EQ(PIX_LoadPNGFromMemory(data.data(), int(data.size()), &sys), &sys);
  EXPECT_EQ(sys.getWidth(), 6);
  EXPECT_EQ(sys.getHeight(), 5);
  EXPECT_EQ(sys.getRowSpan(), 8);
}

TEST(PixPng, BadInputGivesNull) {
  const std::vector<unsigned char> good = pngtest::Encode(RgbaImage(16, 16, 9));
  ASSERT_NE(Load(good), nullptr);
  // Truncated at every length.
  for (size_t n = 0; n < good.size(); ++n) {
    std::vector<unsigned char> cut(good.begin(), good.begin() + long(n));
    if (n < good.size() - 12) EXPECT_EQ(Load(cut), nullptr) << "truncated to " << n;  // the IEND chunk may go
    else Load(cut);
  }
  std::vector<unsigned char> badSig = good;
  badSig[1] = 'Q';
  EXPECT_EQ(Load(badSig), nullptr);
  EXPECT_EQ(PIX_LoadPNGFromMemory(good.data(), 7, nullptr), nullptr);
  EXPECT_EQ(PIX_LoadPNGFromMemory(nullptr, 100, nullptr), nullptr);
  EXPECT_EQ(PIX_LoadPNGFromMemory(good.data(), -5, nullptr), nullptr);
  std::vector<unsigned char> badCrc = good;
  badCrc[29] ^= 0x40;  // inside the header chunk's CRC
  EXPECT_EQ(Load(badCrc), nullptr);
  // Flip bytes inside the compressed data (after the header chunk).
  std::mt19937 rng(17);
  for (int i = 0; i < 40; ++i) {
    std::vector<unsigned char> corrupt = good;
    corrupt[41 + rng() % (good.size() - 53)] ^= static_cast<unsigned char>(1 + rng() % 255);
    EXPECT_EQ(Load(corrupt), nullptr) << "corruption " << i;
  }
  EXPECT_EQ(Load(HeaderOnly(100000, 100000)), nullptr);
  EXPECT_EQ(Load(HeaderOnly(4097, 4097)), nullptr);
  EXPECT_EQ(Load(HeaderOnly(0x7FFFFFFF, 1)), nullptr);
}

// A failed load says why, in terms of what went wrong; a good load clears it.
TEST(PixPng, FailureGivesItsReason) {
  const std::vector<unsigned char> good = pngtest::Encode(RgbaImage(4, 4, 1));
  std::vector<unsigned char> cut(good.begin(), good.begin() + 60);
  EXPECT_EQ(Load(cut), nullptr);
  EXPECT_NE(std::strstr(PIX_PNGFailureReason(), "damaged"), nullptr) << PIX_PNGFailureReason();
  std::vector<unsigned char> badSig = good;
  badSig[1] = 'Q';
  EXPECT_EQ(Load(badSig), nullptr);
  EXPECT_STREQ(PIX_PNGFailureReason(), "not a PNG image");
  EXPECT_EQ(PIX_LoadPNG(TempPath("no_such_image.png").c_str(), nullptr), nullptr);
  EXPECT_NE(std::strstr(PIX_PNGFailureReason(), "could not be opened"), nullptr) << PIX_PNGFailureReason();
  EXPECT_NE(Load(good), nullptr);
  EXPECT_STREQ(PIX_PNGFailureReason(), "");
}

TEST(PixPng, FailureKeepsCallerBitmapAlive) {
  const std::vector<unsigned char> good = pngtest::Encode(RgbaImage(16, 16, 9));
  PIX_MemBitmap dest(3, 3, 4);
  std::vector<unsigned char> cut(good.begin(), good.begin() + 60);
  EXPECT_EQ(PIX_LoadPNGFromMemory(cut.data(), int(cut.size()), &dest), nullptr);
  PIX_Clear(&dest, 1);  // still a usable bitmap
}

TEST(PixPng, FilesNamedResourcesAndTheLoader) {
  const std::vector<unsigned char> data = pngtest::Encode(RgbaImage(5, 4, 2));
  const std::string path = TempPath("pix_png_test_image.Png");
  WriteFile(path, data);
  std::unique_ptr<PIX_IBitmap> fromFile(PIX_LoadPNG(path.c_str(), nullptr));
  ASSERT_NE(fromFile, nullptr);
  EXPECT_EQ(fromFile->getWidth(), 5);
  EXPECT_EQ(PIX_LoadPNG((path + ".missing").c_str(), nullptr), nullptr);
  EXPECT_EQ(PIX_LoadPNG(nullptr, nullptr), nullptr);

  SetTonnikResourceDir(::testing::TempDir().c_str());
  std::unique_ptr<PIX_IBitmap> named(PIX_LoadPNGFromNamedResource("pix_png_test_image.Png", nullptr));
  EXPECT_NE(named, nullptr);
  EXPECT_EQ(PIX_LoadPNGFromNamedResource(std::string(401, 'a').c_str(), nullptr), nullptr);
  SetTonnikResourceDir(nullptr);
  EXPECT_EQ(PIX_LoadPNGFromResource(nullptr, 1, nullptr), nullptr);

  ASSERT_EQ(PIX_ImageLoader_list, &PIX_pngldr);
  std::unique_ptr<PIX_IBitmap> checked(PIX_pngldr.loadfunc(path.c_str(), true, nullptr));
  EXPECT_NE(checked, nullptr) << "extension Png is accepted";
  const std::string pngx = TempPath("pix_png_test_image.PNGX");
  WriteFile(pngx, data);
  EXPECT_EQ(PIX_pngldr.loadfunc(pngx.c_str(), true, nullptr), nullptr);
  std::unique_ptr<PIX_IBitmap> unchecked(PIX_pngldr.loadfunc(pngx.c_str(), false, nullptr));
  EXPECT_NE(unchecked, nullptr);
  EXPECT_EQ(PIX_pngldr.loadfunc("dir.png/file", true, nullptr), nullptr);
  EXPECT_EQ(PIX_pngldr.loadfunc("dir\\x.png\\file", true, nullptr), nullptr);
  const char* list = PIX_pngldr.get_extlist();
  EXPECT_STREQ(list, "PNG files (*.PNG)");
  EXPECT_STREQ(list + std::strlen(list) + 1, "*.PNG");
  std::remove(path.c_str());
  std::remove(pngx.c_str());
}

TEST(PixPng, SizeFromTheHeaderAlone) {
  const std::string path = TempPath("size_header.png");
  WriteFile(path, HeaderOnly(70000, 3));  // far too big to decode, yet its size is known
  int w = -1, h = -1;
  ASSERT_TRUE(PIX_ReadPNGSize(path.c_str(), &w, &h));
  EXPECT_EQ(w, 70000);
  EXPECT_EQ(h, 3);

  std::vector<unsigned char> wrongChunk = HeaderOnly(4, 4);
  wrongChunk[12] = 'X';
  const std::vector<unsigned char> zeroWide = HeaderOnly(0, 4);
  std::vector<unsigned char> shortFile = HeaderOnly(4, 4);
  shortFile.resize(20);
  const std::vector<unsigned char> notPng(30, 'a');
  const std::vector<unsigned char>* bads[] = {&wrongChunk, &zeroWide, &shortFile, &notPng};
  // Each failure says why, each in its own words.
  std::set<std::string> reasons;
  for (const std::vector<unsigned char>* bad : bads) {
    WriteFile(path, *bad);
    w = h = -1;
    const char* reason = nullptr;
    EXPECT_FALSE(PIX_ReadPNGSize(path.c_str(), &w, &h, &reason));
    EXPECT_EQ(w, -1);
    ASSERT_NE(reason, nullptr);
    reasons.insert(reason);
  }
  EXPECT_EQ(reasons.size(), 4u);
  const char* reason = nullptr;
  EXPECT_FALSE(PIX_ReadPNGSize(TempPath("no_such_file.png").c_str(), &w, &h, &reason));
  EXPECT_STREQ(reason, "the file could not be opened");
  EXPECT_FALSE(PIX_ReadPNGSize(nullptr, &w, &h));
}
