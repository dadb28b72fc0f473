#include <gtest/gtest.h>

#include <thread>

#include "kit/KIT_Mutex.h"
#include "kit/KIT_PtrList.h"
#include "kit/KIT_String.h"
#include "kit/KIT_TypedBuf.h"

namespace {

struct Counted {
  static int alive;
  Counted() { ++alive; }
  ~Counted() { --alive; }
};
int Counted::alive = 0;

TEST(KitString, SetAppendAndSelfAssignment) {
  KIT_String s;
  EXPECT_STREQ(s.Get(), "");
  s.Set("hello world", 5);
  EXPECT_STREQ(s.Get(), "hello");
  s.Append(", you");
  EXPECT_STREQ(s.Get(), "hello, you");
  s.Set(s.Get() + 7);  // a suffix of itself
  EXPECT_STREQ(s.Get(), "you");
  s.Set(nullptr);
  EXPECT_EQ(s.GetLength(), 0);
  EXPECT_TRUE(s.Equals(""));
}

TEST(KitPtrList, InsertDeleteAndEmptyWithDeletion) {
  KIT_PtrList<Counted> list;
  Counted* a = list.Add(new Counted);
  Counted* b = list.Insert(0, new Counted);
  EXPECT_EQ(list.Get(0), b);
  EXPECT_EQ(list.Get(1), a);
  EXPECT_EQ(list.Get(2), nullptr);
  EXPECT_EQ(list.Find(a), 1);
  list.Delete(0, true);
  EXPECT_EQ(Counted::alive, 1);
  list.Add(new Counted);
  list.Empty(true);
  EXPECT_EQ(Counted::alive, 0);
  EXPECT_EQ(list.GetSize(), 0);
}

TEST(KitTypedBuf, GrowsWithZeroedTailAndKeepsContents) {
  KIT_TypedBuf<double> buf;
  ASSERT_TRUE(buf.Add(1.5));
  ASSERT_TRUE(buf.Resize(4));
  EXPECT_EQ(buf.Get()[0], 1.5);
  EXPECT_EQ(buf.Get()[3], 0.0);
  ASSERT_TRUE(buf.Resize(1));
  ASSERT_TRUE(buf.Resize(3));
  EXPECT_EQ(buf.Get()[2], 0.0);  // regrown bytes are zero again
  EXPECT_FALSE(buf.Resize(-1));
}

TEST(KitMutex, IsRecursiveAndExcludesOtherThreads) {
  KIT_Mutex m;
  int counter = 0;
  {
    KIT_MutexLock outer(&m);
    KIT_MutexLock inner(&m);
    std::thread t([&] { EXPECT_FALSE(m.TryEnter()); });
    t.join();
    ++counter;
  }
  std::thread t([&] {
    ASSERT_TRUE(m.TryEnter());
    m.Leave();
  });
  t.join();
  KIT_MutexLock none(nullptr);
  EXPECT_EQ(counter, 1);
}

}  // namespace
