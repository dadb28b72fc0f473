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

// The audio thread and the main thread may both write one display: texts
// from both arrive whole, and once both are done the reader shows one of
// their last texts.
TEST(TextMailbox, TwoWritersAtOnce) {
  ITextMailbox box("a 0 end");
  constexpr int kPosts = 20000;
  std::atomic<int> running{2};
  auto writer = [&](char tag) {
    char text[64];
    for (int i = 1; i <= kPosts; ++i) {
      std::snprintf(text, sizeof(text), "%c %d end", tag, i % 7 == 0 ? 7 : i);
      box.Post(text);
    }
    running--;
  };
  std::thread a(writer, 'a');
  std::thread b(writer, 'b');
  bool wellFormed = true;
  while (running > 0) {
    box.Collect();
    char tag = 0;
    int n = -1;
    char tail[8] = {0};
    if (std::sscanf(box.Current(), "%c %d %7s", &tag, &n, tail) != 3 || std::strcmp(tail, "end") != 0 ||
        (tag != 'a' && tag != 'b'))
      wellFormed = false;
  }
  a.join();
  b.join();
  box.Collect();
  EXPECT_TRUE(wellFormed);
  const std::string last = box.Current();
  EXPECT_TRUE(last == "a 20000 end" || last == "b 20000 end") << last;
  // With the writers done, the unchanged test is exact again after one post.
  box.Post(last.c_str());
  EXPECT_FALSE(box.Post(last.c_str()));
  EXPECT_TRUE(box.Post("c 1 end"));
}

}  // namespace
