#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "graphics/ITextMailbox.h"

namespace {

TEST(TextMailbox, PostCollectAndUnchangedText) {
  ITextMailbox box("start");
  EXPECT_STREQ(box.Current(), "start");
  EXPECT_FALSE(box.Collect());
  EXPECT_FALSE(box.Post("start"));  // equal to what is shown: nothing happens
  EXPECT_TRUE(box.Post("one"));
  EXPECT_TRUE(box.Post("two"));
  EXPECT_STREQ(box.Current(), "start");  // not collected yet
  EXPECT_TRUE(box.Collect());
  EXPECT_STREQ(box.Current(), "two");  // the latest wins
  EXPECT_FALSE(box.Collect());
  EXPECT_FALSE(box.Post("two"));
  EXPECT_TRUE(box.Post(nullptr));
  box.Collect();
  EXPECT_STREQ(box.Current(), "");
}

TEST(TextMailbox, LongTextsAreCutAtACharacterBoundary) {
  std::string longText(ITextMailbox::kCapacity + 50, 'x');
  ITextMailbox box;
  box.Post(longText.c_str());
  box.Collect();
  EXPECT_EQ(std::strlen(box.Current()), static_cast<size_t>(ITextMailbox::kCapacity - 1));

  // A two-byte character straddling the cut is dropped whole.
  std::string utf8(ITextMailbox::kCapacity - 2, 'y');
  utf8 += "\xC3\xA9tail";
  box.Post(utf8.c_str());
  box.Collect();
  EXPECT_EQ(std::strlen(box.Current()), static_cast<size_t>(ITextMailbox::kCapacity - 2));
}

// A writer thread posts while the reader collects and reads: every text the
// reader sees must be one that was posted whole, and the last one arrives.
TEST(TextMailbox, ReaderNeverSeesATornText) {
  ITextMailbox box("value 0 end");
  constexpr int kPosts = 20000;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    char text[64];
    for (int i = 1; i <= kPosts; ++i) {
      std::snprintf(text, sizeof(text), "value %d end", i);
      box.Post(text);
    }
    done = true;
  });
  int last = 0;
  bool ordered = true;
  bool wellFormed = true;
  while (!done || box.Collect()) {
    box.Collect();
    int n = -1;
    char tail[8] = {0};
    if (std::sscanf(box.Current(), "value %d %7s", &n, tail) != 2 || std::strcmp(tail, "end") != 0)
      wellFormed = false;
    if (n < last) ordered = false;
    last = n;
  }
  writer.join();
  box.Collect();
  EXPECT_TRUE(wellFormed);
  EXPECT_TRUE(ordered);
  EXPECT_STREQ(box.Current(), "value 20000 end");
}

}  // namespace
