#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "plugin/Base64.h"
#include "plugin/ByteChunk.h"
#include "plugin/IPluginStructs.h"

TEST(ByteChunk, PutAndGetValues) {
  ByteChunk c;
  const int i = -7;
  const unsigned u = 0xDEADBEEF;
  const double d = 3.25;
  EXPECT_EQ(c.Put(&i), 4);
  EXPECT_EQ(c.Put(&u), 8);
  EXPECT_EQ(c.Put(&d), 16);
  EXPECT_EQ(c.PutBool(true), 17);
  EXPECT_EQ(c.PutStr("abc"), 24);
  int i2 = 0;
  unsigned u2 = 0;
  double d2 = 0;
  bool b = false;
  KIT_String s;
  int pos = c.Get(&i2, 0);
  pos = c.Get(&u2, pos);
  pos = c.Get(&d2, pos);
  pos = c.GetBool(&b, pos);
  pos = c.GetStr(&s, pos);
  EXPECT_EQ(pos, 24);
  EXPECT_EQ(i2, i);
  EXPECT_EQ(u2, u);
  EXPECT_EQ(d2, d);
  EXPECT_TRUE(b);
  EXPECT_STREQ(s.Get(), "abc");
  // Little-endian in-memory bytes, no conversion.
  EXPECT_EQ(c.GetBytes()[0], 0xF9);
}

TEST(ByteChunk, ReadsFailOutsideTheChunk) {
  ByteChunk c;
  const int v = 1;
  c.Put(&v);
  int out = 0;
  const struct {
    int size, position, result;
  } cases[] = {{4, 0, 4}, {4, 1, -1}, {0, 4, 4}, {1, 4, -1}, {4, -1, -1}, {-1, 0, -1},
               {-4, 4, -1}, {0x7FFFFFFF, 2, -1}};
  for (const auto& k : cases) {
    char buf[8];
    EXPECT_EQ(c.GetBytes(buf, k.size, k.position), k.result) << k.size << "@" << k.position;
  }
  EXPECT_EQ(c.Get(&out, -1), -1);
  EXPECT_EQ(c.PutBytes(&v, -3), 4);
}

TEST(ByteChunk, GetStrRejectsDamagedLengths) {
  const struct {
    int storedLength;
    int bytesAfter;
    int result;
  } cases[] = {{3, 3, 7}, {3, 2, -1}, {-1, 8, -1}, {-100, 8, -1}, {0x7FFFFFFF, 4, -1}, {0, 0, 4}};
  for (const auto& k : cases) {
    ByteChunk c;
    c.Put(&k.storedLength);
    for (int i = 0; i < k.bytesAfter; ++i) c.PutBool(true);
    KIT_String s("keep");
    EXPECT_EQ(c.GetStr(&s, 0), k.result) << k.storedLength;
    if (k.result < 0 || k.storedLength == 0) {
      EXPECT_STREQ(s.Get(), "keep");
    }
  }
}

TEST(ByteChunk, ResizeClearAndPutChunk) {
  ByteChunk a, b;
  const int v = 42;
  a.Put(&v);
  EXPECT_EQ(a.Resize(10), 4);
  EXPECT_EQ(a.Size(), 10);
  for (int i = 4; i < 10; ++i) EXPECT_EQ(a.GetBytes()[i], 0);
  b.PutChunk(&a);
  b.PutChunk(&b);
  EXPECT_EQ(b.Size(), 20);
  int w = 0;
  EXPECT_EQ(b.Get(&w, 10), 14);
  EXPECT_EQ(w, 42);
  a.Clear();
  EXPECT_EQ(a.Size(), 0);
  EXPECT_EQ(a.Resize(-1), 0);
}

TEST(ByteChunk, EveryTruncationOfAStateFailsAtTheRightRead) {
  // A small state: an int map entry, a string and three doubles.
  ByteChunk full;
  const int entry = 5;
  full.Put(&entry);
  full.PutStr("name");
  const double values[] = {0.5, -1.0, 7.0};
  for (double v : values) full.Put(&v);
  for (int length = 0; length <= full.Size(); ++length) {
    ByteChunk cut;
    cut.PutBytes(full.GetBytes(), length);
    int e = 0;
    KIT_String s;
    int pos = cut.Get(&e, 0);
    EXPECT_EQ(pos, length >= 4 ? 4 : -1);
    pos = cut.GetStr(&s, pos);
    EXPECT_EQ(pos, length >= 12 ? 12 : -1) << length;
    for (int k = 0; k < 3; ++k) {
      double v = 0.0;
      pos = cut.Get(&v, pos);
      const int end = 12 + 8 * (k + 1);
      EXPECT_EQ(pos, length >= end ? end : -1) << length;
      EXPECT_LE(pos, cut.Size());
    }
  }
}

TEST(Base64, KnownTexts) {
  const struct {
    const char* bytes;
    const char* text;
  } cases[] = {{"", ""}, {"a", "YQ=="}, {"ab", "YWI="}, {"abc", "YWJj"}, {"abcd", "YWJjZA=="},
               {"\xff\xfe\xfd", "//79"}};
  for (const auto& k : cases) {
    char out[32];
    const int n = static_cast<int>(std::strlen(k.bytes));
    EXPECT_EQ(base64encode(reinterpret_cast<const unsigned char*>(k.bytes), out, n),
              static_cast<int>(std::strlen(k.text)));
    EXPECT_STREQ(out, k.text);
    unsigned char back[32];
    EXPECT_EQ(base64decode(k.text, back, 32), n);
    EXPECT_EQ(std::memcmp(back, k.bytes, n), 0);
  }
}

TEST(Base64, RandomRoundTripsAndBoundedOutput) {
  std::mt19937 rng(5);
  for (int n = 0; n < 300; ++n) {
    std::vector<unsigned char> in(rng() % 200);
    for (auto& b : in) b = static_cast<unsigned char>(rng());
    std::vector<char> text(in.size() / 3 * 4 + 8);
    base64encode(in.data(), text.data(), static_cast<int>(in.size()));
    std::vector<unsigned char> back(in.size() + 4, 0xAA);
    EXPECT_EQ(base64decode(text.data(), back.data(), static_cast<int>(in.size())),
              static_cast<int>(in.size()));
    EXPECT_TRUE(std::equal(in.begin(), in.end(), back.begin()));
    // Never more than asked for.
    const int limit = static_cast<int>(in.size() / 2);
    std::vector<unsigned char> small(limit + 1, 0xAA);
    EXPECT_EQ(base64decode(text.data(), small.data(), limit), limit);
    EXPECT_EQ(small[limit], 0xAA);
  }
  unsigned char out[8];
  EXPECT_EQ(base64decode("YW*Jj", out, 8), 1);  // stops at the first stranger
}

TEST(Base64, StrictDecoderTakesExactlyTheEncodersTexts) {
  std::mt19937 rng(11);
  for (int n = 0; n < 200; ++n) {
    std::vector<unsigned char> in(rng() % 100);
    for (auto& b : in) b = static_cast<unsigned char>(rng());
    std::vector<char> text(in.size() / 3 * 4 + 8);
    const int size = base64encode(in.data(), text.data(), static_cast<int>(in.size()));
    std::vector<unsigned char> back(size / 4 * 3 + 1, 0xAA);
    ASSERT_EQ(base64decodeStrict(text.data(), size, back.data(), size / 4 * 3), static_cast<int>(in.size()));
    EXPECT_TRUE(std::equal(in.begin(), in.end(), back.begin()));
  }
  const struct {
    const char* text;
    int outSize;
  } refused[] = {{"YQ", 8},      {"YQ=", 8},      {"Y===", 8},     {"YR==", 8},   {"YWJ=", 8},
                 {"YWI=YWJj", 8}, {"YW*j", 8},     {"=YWJ", 8},     {"YWJj", 2},   {"YWJ\xff", 8}};
  for (const auto& r : refused) {
    unsigned char out[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(base64decodeStrict(r.text, static_cast<int>(std::strlen(r.text)), out, r.outSize), -1) << r.text;
    EXPECT_EQ(out[0], 9) << "nothing written for " << r.text;
  }
  // The size given is the text: a terminator is not needed and what follows is not read.
  unsigned char out[8];
  EXPECT_EQ(base64decodeStrict("YWJjYQ==", 4, out, 8), 3);
  EXPECT_EQ(base64decodeStrict("", 0, out, 0), 0);
}

TEST(PluginVersionHeader, WriteAndRead) {
  ByteChunk c;
  const int junk = 99;
  c.Put(&junk);
  InitChunkWithIPluginVer(&c);
  EXPECT_EQ(c.Size(), 8);
  EXPECT_EQ(std::memcmp(c.GetBytes(), "tffp", 4), 0);
  int pos = 0;
  EXPECT_EQ(GetIPluginVerFromChunk(&c, &pos), 0x00010000);
  EXPECT_EQ(pos, 8);

  ByteChunk other;
  other.Put(&junk);
  pos = 0;
  EXPECT_EQ(GetIPluginVerFromChunk(&other, &pos), 0);
  EXPECT_EQ(pos, 0);

  ByteChunk cut;
  cut.PutBytes(c.GetBytes(), 6);
  pos = 0;
  EXPECT_EQ(GetIPluginVerFromChunk(&cut, &pos), 0);
  EXPECT_EQ(pos, -1);
}
