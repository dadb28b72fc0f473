#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "plugin/IMidiMsg.h"
#include "plugin/IMidiQueue.h"

TEST(IMidiMsg, Builders) {
  IMidiMsg m;
  m.MakeNoteOnMsg(36, 100, 17, 3);
  EXPECT_EQ(m.mStatus, 0x93);
  EXPECT_EQ(m.NoteNumber(), 36);
  EXPECT_EQ(m.Velocity(), 100);
  EXPECT_EQ(m.mOffset, 17);
  EXPECT_EQ(m.Channel(), 3);
  EXPECT_EQ(m.StatusMsg(), IMidiMsg::kNoteOn);

  m.MakeNoteOffMsg(40, 5, 1);
  EXPECT_EQ(m.mStatus, 0x81);
  EXPECT_EQ(m.mData2, 0);
  EXPECT_EQ(m.Velocity(), 0);

  m.MakePitchWheelMsg(1.0, 0);
  EXPECT_EQ(m.mData1, 0x7F);
  EXPECT_EQ(m.mData2, 0x7F);
  m.MakePitchWheelMsg(0.0, 0);
  EXPECT_EQ(m.mData1, 0);
  EXPECT_EQ(m.mData2, 64);
  EXPECT_EQ(m.PitchWheel(), 0.0);
  m.MakePitchWheelMsg(-1.0, 0);
  EXPECT_EQ(m.PitchWheel(), -1.0);
  m.MakePitchWheelMsg(-7.0, 0);
  EXPECT_EQ(m.PitchWheel(), -1.0);

  m.MakeControlChangeMsg(IMidiMsg::kChannelVolume, 0.5, 2);
  EXPECT_EQ(m.mStatus, 0xB2);
  EXPECT_EQ(m.mData1, 7);
  EXPECT_EQ(m.mData2, 63);
  EXPECT_EQ(m.mOffset, 0);
  EXPECT_DOUBLE_EQ(m.ControlChange(IMidiMsg::kChannelVolume), 63 / 127.0);
  EXPECT_EQ(m.ControlChange(IMidiMsg::kModWheel), -1.0);
  EXPECT_EQ(m.ControlChangeIdx(), 7);
  m.MakeControlChangeMsg(IMidiMsg::kModWheel, 3.0, 0);
  EXPECT_EQ(m.mData2, 127);
}

TEST(IMidiMsg, AccessorsByStatus) {
  const struct {
    uint8_t status;
    IMidiMsg::EStatusMsg kind;
    const char* text;
    int note, velocity, program;
  } cases[] = {
      {0x80, IMidiMsg::kNoteOff, "noteoff", 10, 20, -1},
      {0x90, IMidiMsg::kNoteOn, "noteon", 10, 20, -1},
      {0xA0, IMidiMsg::kPolyAftertouch, "aftertouch", 10, -1, -1},
      {0xB0, IMidiMsg::kControlChange, "controlchange", -1, -1, -1},
      {0xC0, IMidiMsg::kProgramChange, "programchange", -1, -1, 10},
      {0xD0, IMidiMsg::kChannelAftertouch, "channelaftertouch", -1, -1, -1},
      {0xE0, IMidiMsg::kPitchWheel, "pitchwheel", -1, -1, -1},
      {0xF0, IMidiMsg::kNone, "none", -1, -1, -1},
      {0x00, IMidiMsg::kNone, "none", -1, -1, -1},
  };
  for (const auto& c : cases) {
    const IMidiMsg m(0, c.status, 10, 20);
    EXPECT_EQ(m.StatusMsg(), c.kind);
    EXPECT_STREQ(StatusMsgStr(m.StatusMsg()), c.text);
    EXPECT_EQ(m.NoteNumber(), c.note);
    EXPECT_EQ(m.Velocity(), c.velocity);
    EXPECT_EQ(m.Program(), c.program);
  }
  EXPECT_STREQ(StatusMsgStr(static_cast<IMidiMsg::EStatusMsg>(3)), "unknown");
  IMidiMsg m(4, 0x91, 1, 2);
  m.Clear();
  EXPECT_EQ(m.mOffset, 0);
  EXPECT_EQ(m.mStatus, 0);
}

TEST(SysEx, StrWritesHexPairs) {
  const uint8_t bytes[] = {0xF0, 0x7E, 0x7F, 0xF7};
  char str[64];
  EXPECT_STREQ(SysExStr(str, 64, bytes, 4), "F0 7E 7F F7");
  char small[6];
  EXPECT_STREQ(SysExStr(small, 6, bytes, 4), "F0 7E");
  EXPECT_STREQ(SysExStr(str, 64, nullptr, 4), "");
  EXPECT_STREQ(SysExStr(str, 64, bytes, 0), "");
  ISysEx s(3, bytes, 4);
  EXPECT_EQ(s.mSize, 4);
  s.Clear();
  EXPECT_EQ(s.mData, nullptr);
}

TEST(SysExDeathTest, StrNeedsABuffer) {
  const uint8_t bytes[] = {1};
  char str[2];
  EXPECT_DEATH(SysExStr(str, 2, bytes, 1), "str != NULL && maxlen >= 3");
}

static std::vector<int> DrainOffsets(IMidiQueue* q) {
  std::vector<int> offsets;
  while (!q->Empty()) {
    offsets.push_back(q->Peek()->mOffset);
    q->Remove();
  }
  return offsets;
}

TEST(IMidiQueue, KeepsOffsetOrderAndArrivalOrderForTies) {
  IMidiQueue q(1024);
  const int offsets[] = {5, 2, 9, 2};
  for (int i = 0; i < 4; ++i) {
    IMidiMsg m(offsets[i], 0x90, static_cast<uint8_t>(i), 1);
    q.Add(&m);
  }
  std::vector<int> notes;
  std::vector<int> got;
  while (!q.Empty()) {
    got.push_back(q.Peek()->mOffset);
    notes.push_back(q.Peek()->mData1);
    q.Remove();
  }
  EXPECT_EQ(got, (std::vector<int>{2, 2, 5, 9}));
  EXPECT_EQ(notes, (std::vector<int>{1, 3, 0, 2}));
}

TEST(IMidiQueue, MatchesAStableSortOverRandomInput) {
  std::mt19937 rng(99);
  for (int round = 0; round < 50; ++round) {
    IMidiQueue q(512);
    std::vector<std::pair<int, int>> expected;
    const int n = 1 + rng() % 1500;
    for (int i = 0; i < n; ++i) {
      const int offset = static_cast<int>(rng() % 64);
      IMidiMsg m(offset, 0x90, static_cast<uint8_t>(i & 0x7F), static_cast<uint8_t>(i >> 7));
      q.Add(&m);
      expected.push_back({offset, i});
      // Consume some from the front now and then, as a render loop does.
      if (rng() % 7 == 0 && !q.Empty()) {
        std::stable_sort(expected.begin(), expected.end(),
                         [](auto& a, auto& b) { return a.first < b.first; });
        EXPECT_EQ(q.Peek()->mOffset, expected.front().first);
        expected.erase(expected.begin());
        q.Remove();
      }
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](auto& a, auto& b) { return a.first < b.first; });
    ASSERT_EQ(q.ToDo(), static_cast<int>(expected.size()));
    for (const auto& e : expected) {
      ASSERT_FALSE(q.Empty());
      EXPECT_EQ(q.Peek()->mOffset, e.first);
      EXPECT_EQ(q.Peek()->mData1 | (q.Peek()->mData2 << 7), e.second);
      q.Remove();
    }
  }
}

TEST(IMidiQueue, GrowsInGranules) {
  IMidiQueue q(1024);
  EXPECT_EQ(q.GetSize(), 1024);
  IMidiMsg m(0, 0x90, 1, 1);
  for (int i = 0; i < 1024; ++i) q.Add(&m);
  EXPECT_EQ(q.GetSize(), 1024);
  q.Add(&m);
  EXPECT_EQ(q.GetSize(), 2048);

  IMidiQueue r(1024);
  EXPECT_EQ(r.Resize(512), 512);
  for (int i = 0; i < 512; ++i) r.Add(&m);
  EXPECT_EQ(r.GetSize(), 512);
  r.Add(&m);
  EXPECT_EQ(r.GetSize(), 1024);

  const struct {
    int requested;
    int room;
  } sizes[] = {{100, 512}, {512, 512}, {513, 1024}, {1024, 1024}, {4000, 4096}};
  for (const auto& s : sizes) {
    IMidiQueue g(s.requested);
    EXPECT_EQ(g.GetSize(), s.room) << s.requested;
  }
}

TEST(IMidiQueue, ResizeNeverDropsBelowWhatIsQueued) {
  IMidiQueue q(1024);
  IMidiMsg m(0, 0x90, 1, 1);
  for (int i = 0; i < 600; ++i) q.Add(&m);
  EXPECT_EQ(q.Resize(512), 1024);
  EXPECT_EQ(q.ToDo(), 600);
  // Consumed messages are compacted away before sizing.
  for (int i = 0; i < 200; ++i) q.Remove();
  EXPECT_EQ(q.Resize(512), 512);
  EXPECT_EQ(q.ToDo(), 400);
  // A block size that is not set yet keeps the queue usable.
  EXPECT_EQ(q.Resize(0), 512);
  for (int i = 0; i < 300; ++i) q.Add(&m);
  EXPECT_EQ(q.ToDo(), 700);
}

TEST(IMidiQueue, FlushMovesOffsetsToTheNextBlock) {
  IMidiQueue q(512);
  const int offsets[] = {3, 700, 1100};
  for (int o : offsets) {
    IMidiMsg m(o, 0x90, 1, 1);
    q.Add(&m);
  }
  // Render one block of 512: the first message is due.
  for (int i = 0; i < 512; ++i)
    while (!q.Empty() && q.Peek()->mOffset <= i) q.Remove();
  q.Flush(512);
  EXPECT_EQ(DrainOffsets(&q), (std::vector<int>{188, 588}));
}
