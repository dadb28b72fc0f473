#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "TestPlug.h"
#include "plugin/Base64.h"

// Three parameters of every kind that matters for the variadic makers.
static void InitParams(IPluginBase* plug) {
  plug->GetParam(0)->InitDouble("Decay", 0.5, 0.0, 1.0, 0.01);
  plug->GetParam(1)->InitInt("Tune", 0, -12, 12);
  plug->GetParam(2)->InitBool("Long", false);
}

static ByteChunk StateOf(const double* values, int n) {
  ByteChunk c;
  for (int i = 0; i < n; ++i) c.Put(values + i);
  return c;
}

TEST(State, SerializeWritesOneDoublePerParameter) {
  TestPlug plug;
  InitParams(&plug);
  plug.GetParam(0)->Set(0.25);
  ByteChunk c;
  EXPECT_TRUE(plug.SerializeState(&c));
  EXPECT_EQ(c.Size(), 24);
  double v = 0;
  c.Get(&v, 0);
  EXPECT_EQ(v, 0.25);
}

TEST(State, UnserializeAtEveryTruncation) {
  const double stored[] = {0.75, 5.0, 1.0};
  const ByteChunk full = StateOf(stored, 3);
  for (int length = 0; length <= full.Size(); ++length) {
    TestPlug plug;
    InitParams(&plug);
    plug.GetParam(1)->Set(-3);
    plug.GetParam(2)->Set(1);
    ByteChunk cut;
    cut.PutBytes(full.GetBytes(), length);
    const int complete = length / 8;
    const int pos = plug.UnserializeState(&cut, 0);
    EXPECT_EQ(pos, complete == 3 ? 24 : -1) << length;
    for (int i = 0; i < 3; ++i) {
      const double value = plug.GetParam(i)->Value();
      if (i < complete)
        EXPECT_EQ(value, stored[i]);
      else if (i == complete)
        EXPECT_EQ(value, 0.0) << "failed read sets 0.0 clamped";
      else
        EXPECT_EQ(value, i == 1 ? -3.0 : 1.0) << "later parameters untouched";
    }
    EXPECT_EQ(plug.mParamChanges.size(), 3u);
  }
}

TEST(State, FailedReadClampsZeroIntoTheRange) {
  TestPlug plug(1);
  plug.GetParam(0)->InitDouble("Freq", 100, 20, 200, 1);
  ByteChunk empty;
  EXPECT_EQ(plug.UnserializeParams(&empty, 0), -1);
  EXPECT_EQ(plug.GetParam(0)->Value(), 20.0);
}

TEST(State, NonFiniteValuesAreDamage) {
  const double bad[] = {NAN, INFINITY, -INFINITY};
  for (double b : bad) {
    TestPlug plug;
    InitParams(&plug);
    plug.GetParam(2)->Set(1);
    const double stored[] = {0.75, b, 0.0};
    ByteChunk c = StateOf(stored, 3);
    EXPECT_EQ(plug.UnserializeState(&c, 0), -1);
    EXPECT_EQ(plug.GetParam(0)->Value(), 0.75);
    EXPECT_EQ(plug.GetParam(1)->Value(), 0.0);
    EXPECT_EQ(plug.GetParam(2)->Value(), 1.0);
  }
  // Finite values outside the range are still clamped, as before.
  TestPlug plug;
  InitParams(&plug);
  const double wide[] = {7.0, -100.0, 0.0};
  ByteChunk c = StateOf(wide, 3);
  EXPECT_EQ(plug.UnserializeState(&c, 0), 24);
  EXPECT_EQ(plug.GetParam(0)->Value(), 1.0);
  EXPECT_EQ(plug.GetParam(1)->Value(), -12.0);
}

TEST(State, CompareStateUsesFloatPrecision) {
  TestPlug plug;
  InitParams(&plug);
  plug.GetParam(0)->Set(0.3);
  const double same[] = {99.0, 0.3 + 1e-9, 0.0, 0.0};
  EXPECT_TRUE(plug.CompareState(reinterpret_cast<const unsigned char*>(same), 1));
  const double differ[] = {0.31, 0.0, 0.0};
  EXPECT_FALSE(plug.CompareState(reinterpret_cast<const unsigned char*>(differ), 0));
}

TEST(Presets, MakersFillSlotsInOrder) {
  TestPlug plug(3, "0-1 0-2", 5);
  InitParams(&plug);
  plug.MakePreset("Init", 0.8, 7, 1);
  plug.MakePresetFromNamedParams("Named", 1, 1, -5);
  plug.GetParam(0)->Set(0.1);
  const double values[] = {0.2, 2.0, 0.0};
  ByteChunk chunk = StateOf(values, 3);
  plug.MakePresetFromChunk("Chunk", &chunk);
  plug.MakeDefaultPreset(nullptr, 1);
  EXPECT_STREQ(plug.GetPresetName(0), "Init");
  EXPECT_STREQ(plug.GetPresetName(3), "Empty");
  EXPECT_STREQ(plug.GetPresetName(4), "empty");
  EXPECT_STREQ(plug.GetPresetName(5), "");

  EXPECT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.8);
  EXPECT_EQ(plug.GetParam(1)->Value(), 7.0);
  EXPECT_EQ(plug.GetParam(2)->Value(), 1.0);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);

  plug.GetParam(0)->Set(0.6);
  EXPECT_TRUE(plug.RestorePreset("Named"));
  EXPECT_EQ(plug.GetParam(1)->Value(), -5.0);
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.5);  // unnamed: the value when the preset was made
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
  EXPECT_TRUE(plug.RestorePreset("Chunk"));
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.2);
  EXPECT_FALSE(plug.RestorePreset("nope"));
  EXPECT_FALSE(plug.RestorePreset(""));
  EXPECT_FALSE(plug.RestorePreset(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(plug.RestorePreset(9));
  EXPECT_FALSE(plug.RestorePreset(-1));
}

TEST(PresetsDeathTest, NamedParamOutOfRangeStops) {
  TestPlug plug;
  InitParams(&plug);
  EXPECT_DEATH(plug.MakePresetFromNamedParams("x", 1, 3, 1), "paramIdx >= 0 && paramIdx < n");
}

TEST(Presets, NeverFilledSlotsBecomeUserPresets) {
  TestPlug plug(3, "0-1", 3);
  InitParams(&plug);
  plug.GetParam(0)->Set(0.4);
  EXPECT_TRUE(plug.RestorePreset(1));
  EXPECT_STREQ(plug.GetPresetName(1), "user preset 1");
  EXPECT_TRUE(plug.RestorePreset(2));
  EXPECT_STREQ(plug.GetPresetName(2), "user preset 2");
  plug.GetParam(0)->Set(0.9);
  EXPECT_TRUE(plug.RestorePreset(1));
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.4);
  EXPECT_EQ(plug.mPresetsChanged, 3);
}

TEST(Presets, ShortChunkFailsAndKeepsTheIndex) {
  TestPlug plug(3, "0-1", 2);
  InitParams(&plug);
  plug.MakeDefaultPreset("Good", 1);
  const double partial[] = {0.9};
  ByteChunk chunk = StateOf(partial, 1);
  plug.MakePresetFromChunk("Short", &chunk);
  EXPECT_FALSE(plug.RestorePreset(1));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.9);  // read before the end
}

TEST(Presets, BlobAndDefaultFilling) {
  TestPlug plug(3, "0-1", 4);
  InitParams(&plug);
  const double values[] = {0.125, 3.0, 1.0};
  ByteChunk chunk = StateOf(values, 3);
  char text[64];
  base64encode(chunk.GetBytes(), text, chunk.Size());
  plug.MakePresetFromBlob("Blob", text, chunk.Size());
  plug.MakePresetFromBlob("Negative", text, -5);  // refused
  plug.EnsureDefaultPreset();
  EXPECT_STREQ(plug.GetPresetName(0), "Blob");
  EXPECT_STREQ(plug.GetPresetName(1), "Empty");
  EXPECT_STREQ(plug.GetPresetName(3), "Empty");
  EXPECT_TRUE(plug.RestorePreset(0));
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.125);
  EXPECT_EQ(plug.GetParam(1)->Value(), 3.0);
  // No free slot left: the makers do nothing.
  plug.MakePreset("More", 0.0, 0, 0);
  EXPECT_STREQ(plug.GetPresetName(1), "Empty");
}

TEST(Presets, ModifyAndPrune) {
  TestPlug plug(3, "0-1", 4);
  InitParams(&plug);
  plug.MakePreset("A", 0.1, 1, 0);
  plug.MakePreset("B", 0.2, 2, 0);
  plug.PruneUninitializedPresets();
  EXPECT_EQ(plug.NPresets(), 2);
  EXPECT_STREQ(plug.GetPresetName(1), "B");
  plug.RestorePreset(1);
  plug.GetParam(0)->Set(0.7);
  plug.ModifyCurrentPreset("B2");
  plug.ModifyCurrentPreset("");
  EXPECT_STREQ(plug.GetPresetName(1), "B2");
  plug.RestorePreset(0);
  EXPECT_TRUE(plug.RestorePreset("B2"));
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.7);
  const std::string longName(300, 'x');
  plug.ModifyCurrentPreset(longName.c_str());
  EXPECT_EQ(std::string(plug.GetPresetName(1)).size(), 255u);
}

TEST(Presets, BankRoundTripAndEmptyNames) {
  TestPlug source(3, "0-1", 3);
  InitParams(&source);
  source.MakePreset("First", 0.1, 1, 1);
  source.MakePreset("", 0.2, 2, 0);
  source.MakePreset("Third", 0.3, 3, 1);
  ByteChunk bank;
  EXPECT_TRUE(source.SerializePresets(&bank));

  TestPlug target(3, "0-1", 3);
  InitParams(&target);
  EXPECT_EQ(target.UnserializePresets(&bank, 0), bank.Size());
  EXPECT_STREQ(target.GetPresetName(0), "First");
  EXPECT_STREQ(target.GetPresetName(1), "First");  // an empty stored name reuses the previous
  EXPECT_STREQ(target.GetPresetName(2), "Third");
  EXPECT_TRUE(target.RestorePreset(2));
  EXPECT_EQ(target.GetParam(1)->Value(), 3.0);
  EXPECT_TRUE(target.RestorePreset(1));
  EXPECT_EQ(target.GetParam(0)->Value(), 0.2);
}

TEST(Presets, TruncatedBankChangesOnlyCompleteSlots) {
  TestPlug source(3, "0-1", 2);
  InitParams(&source);
  source.MakePreset("One", 0.1, 1, 1);
  source.MakePreset("Two", 0.2, 2, 0);
  ByteChunk bank;
  source.SerializePresets(&bank);
  const int firstSlotEnd = 4 + 3 + 1 + 24;
  for (int length = 0; length < bank.Size(); ++length) {
    TestPlug target(3, "0-1", 2);
    InitParams(&target);
    target.MakePreset("Keep0", 0.5, 5, 0);
    target.MakePreset("Keep1", 0.6, 6, 0);
    ByteChunk cut;
    cut.PutBytes(bank.GetBytes(), length);
    EXPECT_EQ(target.UnserializePresets(&cut, 0), -1) << length;
    EXPECT_STREQ(target.GetPresetName(0), length >= firstSlotEnd ? "One" : "Keep0") << length;
    EXPECT_STREQ(target.GetPresetName(1), "Keep1") << length;
    EXPECT_TRUE(target.RestorePreset(1));
    EXPECT_EQ(target.GetParam(1)->Value(), 6.0);
  }
}

static std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Presets, DumpSourceText) {
  TestPlug plug(3, "0-1", 1);
  InitParams(&plug);
  plug.GetParam(0)->Set(0.25);
  plug.GetParam(1)->Set(-4);
  plug.GetParam(2)->Set(1);
  const std::string path = testing::TempDir() + "tonnik_dump_src.txt";
  const char* names[] = {"kDecay", "kTune", "kLong"};
  EXPECT_TRUE(plug.DumpPresetSrcCode(path.c_str(), names));
  EXPECT_EQ(ReadAll(path),
            "  MakePresetFromNamedParams(\"name\", 3,\n    kDecay, 0.250000,\n    kTune, -4,\n"
            "    kLong, true);\n");
  EXPECT_FALSE(plug.DumpPresetSrcCode("/nonexistent-dir/x.txt", names));

  plug.MakeDefaultPreset("Init", 1);
  EXPECT_TRUE(plug.DumpPresetBlob(path.c_str()));
  const std::string blob = ReadAll(path);
  EXPECT_EQ(blob.rfind("MakePresetFromBlob(\"name\", \"", 0), 0u);
  EXPECT_NE(blob.find("\", 24);\n"), std::string::npos);
  std::remove(path.c_str());
}

TEST(Presets, DumpBlobRefusesChunksTooLargeForItsText) {
  const struct {
    int nParams;
    bool fits;
  } cases[] = {{95, true}, {96, false}, {200, false}};  // 760, 768 and 1600 bytes
  for (const auto& c : cases) {
    TestPlug plug(c.nParams, "0-1", 1);
    plug.MakeDefaultPreset("Init", 1);
    const std::string path = testing::TempDir() + "tonnik_dump_blob.txt";
    EXPECT_EQ(plug.DumpPresetBlob(path.c_str()), c.fits) << c.nParams;
    std::remove(path.c_str());
  }
}

// The editor path and a state restore on another thread both hold the
// plug-in mutex, so every restore sees and leaves whole values (and the
// thread sanitizer sees no race).
TEST(State, EditorChangesAndRestoresDoNotInterleave) {
  TestPlug plug;
  InitParams(&plug);
  const double stored[] = {0.75, 5.0, 1.0};
  ByteChunk chunk = StateOf(stored, 3);
  std::thread editor([&plug] {
    for (int i = 0; i < 2000; ++i) plug.SetParameterFromGUI(i % 3, (i % 10) / 10.0);
  });
  for (int i = 0; i < 2000; ++i) {
    ByteChunk out;
    IPluginBase::IMutexLock lock(&plug);
    ASSERT_EQ(plug.UnserializeState(&chunk, 0), 24);
    ASSERT_TRUE(plug.SerializeState(&out));
    ASSERT_EQ(std::memcmp(out.GetBytes(), chunk.GetBytes(), 24), 0);
  }
  editor.join();
}
