#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "TestPlug.h"

typedef std::vector<unsigned char> Bytes;

static void InitParams(IPluginBase* plug) {
  plug->GetParam(0)->InitDouble("Decay", 0.5, 0.0, 1.0, 0.01);
  plug->GetParam(1)->InitInt("Tune", 0, -12, 12);
  plug->GetParam(2)->InitBool("Long", false);
}

static Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

static void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

static int BE32(const Bytes& b, size_t at) {
  return static_cast<int>((unsigned(b[at]) << 24) | (unsigned(b[at + 1]) << 16) |
                          (unsigned(b[at + 2]) << 8) | b[at + 3]);
}

static void SetBE32(Bytes* b, size_t at, int v) {
  (*b)[at] = static_cast<unsigned char>(unsigned(v) >> 24);
  (*b)[at + 1] = static_cast<unsigned char>(unsigned(v) >> 16);
  (*b)[at + 2] = static_cast<unsigned char>(unsigned(v) >> 8);
  (*b)[at + 3] = static_cast<unsigned char>(v);
}

// A plug-in with three parameters, two presets and an editor whose file
// dialog answers with a path in the test's temp folder.
struct Fixture {
  explicit Fixture(bool chunks, int uniqueID = kTestPlugID, int nParams = 3)
      : plug(nParams, "0-1 0-2", 2, chunks, uniqueID), gui(new TestGraphics(&plug)) {
    if (nParams == 3) InitParams(&plug);
    plug.MakePreset("First preset", 0.25, 4, 1);
    plug.MakePreset("Second", 0.75, -4, 0);
    plug.AttachGraphics(gui);
  }
  TestPlug plug;
  TestGraphics* gui;
};

// A temp path of this test alone, so that tests may run in parallel.
static std::string UniquePath(const char* name) {
  std::string path = testing::TempDir() + "tonnik_" + std::to_string(getpid()) + "_";
  for (const char* c = testing::UnitTest::GetInstance()->current_test_info()->name(); *c; ++c)
    path += *c == '/' ? '_' : *c;
  return path + "_" + name;
}

class ProgramFiles : public testing::TestWithParam<bool> {
protected:
  std::string Path(const char* name) { return UniquePath(name); }
};

TEST(ProgramFilesNoEditor, EverythingFailsWithoutAnEditor) {
  TestPlug plug;
  EXPECT_FALSE(plug.SaveProgramAsFXP("x"));
  EXPECT_FALSE(plug.SaveBankAsFXB("x"));
  EXPECT_FALSE(plug.LoadProgramFromFXP());
  EXPECT_FALSE(plug.LoadBankFromFXB());
}

TEST(ProgramFilesNoEditor, CancelledDialogAndUnwritablePath) {
  Fixture f(true);
  f.gui->mAnswer = "";
  EXPECT_FALSE(f.plug.SaveProgramAsFXP("default"));
  EXPECT_EQ(f.gui->mLastAction, kFileSave);
  EXPECT_EQ(f.gui->mLastExtension, "fxp");
  EXPECT_EQ(f.gui->mLastDefaultName, "default");
  f.gui->mAnswer = "/nonexistent-dir/p.fxp";
  EXPECT_FALSE(f.plug.SaveProgramAsFXP("default"));
  EXPECT_FALSE(f.plug.SaveBankAsFXB("default"));
  EXPECT_FALSE(f.plug.LoadProgramFromFXP());
  EXPECT_EQ(f.gui->mLastAction, kFileOpen);
}

TEST(ProgramFilesLayout, ChunkFormProgramHeader) {
  Fixture f(true);
  f.plug.RestorePreset(0);
  const std::string path = UniquePath("layout.fxp");
  f.gui->mAnswer = path;
  ASSERT_TRUE(f.plug.SaveProgramAsFXP(""));
  const Bytes b = ReadBytes(path);
  const int stateSize = 8 + 3 * 8;
  ASSERT_EQ(b.size(), 60u + stateSize);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "CcnK");
  EXPECT_EQ(BE32(b, 4), stateSize + 60);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "FPCh");
  EXPECT_EQ(BE32(b, 12), 1);
  EXPECT_EQ(BE32(b, 16), kTestPlugID);
  EXPECT_EQ(BE32(b, 20), 10203);
  EXPECT_EQ(BE32(b, 24), 3);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[28])), "First preset");
  EXPECT_EQ(b[55], 0);
  EXPECT_EQ(BE32(b, 56), stateSize);
  EXPECT_EQ(std::string(b.begin() + 60, b.begin() + 64), "tffp");
  std::remove(path.c_str());
}

TEST(ProgramFilesLayout, LongNamesAreCutTo27) {
  Fixture f(false);
  f.plug.RestorePreset(0);
  f.plug.ModifyCurrentPreset("A preset name that is much too long");
  const std::string path = UniquePath("longname.fxp");
  f.gui->mAnswer = path;
  ASSERT_TRUE(f.plug.SaveProgramAsFXP(""));
  const Bytes b = ReadBytes(path);
  ASSERT_EQ(b.size(), 56u + 12);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "FxCk");
  EXPECT_EQ(BE32(b, 4), 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[28])), "A preset name that is much ");
  // Loading gives the cut name back.
  f.plug.ModifyCurrentPreset("other");
  EXPECT_TRUE(f.plug.LoadProgramFromFXP());
  EXPECT_STREQ(f.plug.GetPresetName(0), "A preset name that is much ");
  std::remove(path.c_str());
}

TEST_P(ProgramFiles, ProgramRoundTrip) {
  Fixture f(GetParam());
  f.plug.RestorePreset(1);
  f.plug.GetParam(0)->Set(0.5);
  f.plug.GetParam(1)->Set(9);
  f.plug.GetParam(2)->Set(1);
  const std::string path = Path("round.fxp");
  f.gui->mAnswer = path;
  ASSERT_TRUE(f.plug.SaveProgramAsFXP("x"));

  f.plug.RestorePreset(0);
  f.plug.mProgramChanges = 0;
  ASSERT_TRUE(f.plug.LoadProgramFromFXP());
  EXPECT_EQ(f.plug.mProgramChanges, 1);
  EXPECT_NEAR(f.plug.GetParam(0)->Value(), 0.5, 1e-6);
  EXPECT_EQ(f.plug.GetParam(1)->Value(), 9.0);
  EXPECT_EQ(f.plug.GetParam(2)->Value(), 1.0);
  // The current slot captured the loaded program under the file's name.
  EXPECT_STREQ(f.plug.GetPresetName(0), "Second");
  f.plug.RestorePreset(1);
  EXPECT_TRUE(f.plug.RestorePreset(0));
  EXPECT_EQ(f.plug.GetParam(1)->Value(), 9.0);
  std::remove(path.c_str());
}

TEST_P(ProgramFiles, BankRoundTrip) {
  Fixture f(GetParam());
  const std::string path = Path("round.fxb");
  f.gui->mAnswer = path;
  f.plug.RestorePreset(1);
  ASSERT_TRUE(f.plug.SaveBankAsFXB("x"));
  EXPECT_EQ(f.gui->mLastExtension, "fxb");

  Fixture g(GetParam());
  g.plug.ModifyCurrentPreset("Changed");
  g.plug.GetParam(0)->Set(0.0);
  g.gui->mAnswer = path;
  ASSERT_TRUE(g.plug.LoadBankFromFXB());
  EXPECT_STREQ(g.plug.GetPresetName(0), "First preset");
  EXPECT_STREQ(g.plug.GetPresetName(1), "Second");
  ASSERT_TRUE(g.plug.RestorePreset(0));
  EXPECT_NEAR(g.plug.GetParam(0)->Value(), 0.25, 1e-6);
  EXPECT_EQ(g.plug.GetParam(1)->Value(), 4.0);
  ASSERT_TRUE(g.plug.RestorePreset(1));
  EXPECT_EQ(g.plug.GetParam(1)->Value(), -4.0);
  std::remove(path.c_str());
}

TEST_P(ProgramFiles, RejectsOtherPluginsAndWrongCounts) {
  Fixture f(GetParam());
  const std::string program = Path("reject.fxp"), bank = Path("reject.fxb");
  f.gui->mAnswer = program;
  ASSERT_TRUE(f.plug.SaveProgramAsFXP(""));
  f.gui->mAnswer = bank;
  ASSERT_TRUE(f.plug.SaveBankAsFXB(""));

  Fixture other(GetParam(), 0x4F746872);
  other.gui->mAnswer = program;
  EXPECT_FALSE(other.plug.LoadProgramFromFXP());
  other.gui->mAnswer = bank;
  EXPECT_FALSE(other.plug.LoadBankFromFXB());

  Fixture wider(GetParam(), kTestPlugID, 4);
  wider.gui->mAnswer = program;
  EXPECT_FALSE(wider.plug.LoadProgramFromFXP());

  // Damaged headers.
  const Bytes good = ReadBytes(program);
  const struct {
    size_t at;
    int value;
  } edits[] = {{0, 0x43636E4C}, {8, 0x41424344}, {12, 2}};
  for (const auto& e : edits) {
    Bytes bad = good;
    SetBE32(&bad, e.at, e.value);
    WriteBytes(program, bad);
    f.gui->mAnswer = program;
    EXPECT_FALSE(f.plug.LoadProgramFromFXP()) << e.at;
  }
  // A bank's format version is not checked.
  Bytes versioned = ReadBytes(bank);
  SetBE32(&versioned, 12, 1);
  WriteBytes(bank, versioned);
  f.gui->mAnswer = bank;
  EXPECT_TRUE(f.plug.LoadBankFromFXB());
  std::remove(program.c_str());
  std::remove(bank.c_str());
}

TEST_P(ProgramFiles, TruncatedProgramsNeverChangeState) {
  Fixture f(GetParam());
  f.plug.RestorePreset(0);
  const std::string path = Path("cut.fxp");
  f.gui->mAnswer = path;
  f.plug.GetParam(1)->Set(11);
  ASSERT_TRUE(f.plug.SaveProgramAsFXP(""));
  const Bytes full = ReadBytes(path);
  f.plug.RestorePreset(1);
  for (size_t length = 0; length < full.size(); ++length) {
    WriteBytes(path, Bytes(full.begin(), full.begin() + length));
    EXPECT_FALSE(f.plug.LoadProgramFromFXP()) << length;
    EXPECT_EQ(f.plug.GetParam(1)->Value(), -4.0) << length;
    EXPECT_STREQ(f.plug.GetPresetName(1), "Second");
    EXPECT_EQ(f.plug.GetCurrentPresetIdx(), 1);
  }
  WriteBytes(path, full);
  EXPECT_TRUE(f.plug.LoadProgramFromFXP());
  EXPECT_EQ(f.plug.GetParam(1)->Value(), 11.0);
  std::remove(path.c_str());
}

TEST_P(ProgramFiles, TruncatedBanksRestoreOnlyWhatFits) {
  Fixture f(GetParam());
  const std::string path = Path("cut.fxb");
  f.gui->mAnswer = path;
  ASSERT_TRUE(f.plug.SaveBankAsFXB(""));
  const Bytes full = ReadBytes(path);
  for (size_t length = 0; length < full.size(); ++length) {
    Fixture g(GetParam());
    g.plug.RestorePreset(1);
    g.plug.ModifyCurrentPreset("Mine");
    g.gui->mAnswer = path;
    WriteBytes(path, Bytes(full.begin(), full.begin() + length));
    EXPECT_FALSE(g.plug.LoadBankFromFXB()) << length;
    // Whatever was loaded, every slot still restores to a complete state.
    for (int p = 0; p < 2; ++p) EXPECT_TRUE(g.plug.RestorePreset(p)) << length;
  }
  std::remove(path.c_str());
}

TEST_P(ProgramFiles, HostileValuesStayInRange) {
  Fixture f(GetParam());
  f.plug.RestorePreset(0);
  const std::string path = Path("hostile.fxp");
  f.gui->mAnswer = path;
  ASSERT_TRUE(f.plug.SaveProgramAsFXP(""));
  Bytes b = ReadBytes(path);
  if (GetParam()) {
    // A NaN in place of the first stored double.
    const double nan = NAN;
    std::memcpy(&b[60 + 8], &nan, 8);
  } else {
    SetBE32(&b, 56, 0xFF800000);   // -infinity
    SetBE32(&b, 60, 0xC61C3C00);   // -9999
  }
  WriteBytes(path, b);
  const bool loaded = f.plug.LoadProgramFromFXP();
  EXPECT_EQ(loaded, !GetParam());
  for (int i = 0; i < 3; ++i) {
    double lo, hi;
    f.plug.GetParam(i)->GetBounds(&lo, &hi);
    EXPECT_GE(f.plug.GetParam(i)->Value(), lo);
    EXPECT_LE(f.plug.GetParam(i)->Value(), hi);
  }
  std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(ChunkAndParameterForms, ProgramFiles, testing::Values(true, false));
