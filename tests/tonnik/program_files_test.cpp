// Program and bank files of the instrument, saved and loaded through the
// headless editor's file dialog: whole-state round trips and the files
// that must be refused without changing anything.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "EditorRig.h"
#include "platform/IPlatformPrompts.h"
#include "plugin/ByteChunk.h"

namespace {

// Answers every file dialog with one path.
class FileAnswer : public IPlatformPrompts {
public:
  void PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir, const char* extension) override {
    fileName->Set(mPath.c_str());
    mActions.push_back(action);
    mExtensions.push_back(extension);
  }
  std::string mPath;
  std::vector<int> mActions;
  std::vector<std::string> mExtensions;
};

std::vector<unsigned char> ReadAll(const std::string& path) {
  std::vector<unsigned char> bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  int c;
  while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
  std::fclose(f);
  return bytes;
}

void WriteAll(const std::string& path, const std::vector<unsigned char>& bytes, size_t n) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (n) std::fwrite(bytes.data(), 1, n, f);
  std::fclose(f);
}

int32_t BE32(const std::vector<unsigned char>& b, int pos) {
  return static_cast<int32_t>((uint32_t(b[pos]) << 24) | (uint32_t(b[pos + 1]) << 16) |
                              (uint32_t(b[pos + 2]) << 8) | b[pos + 3]);
}

void PutBE32(std::vector<unsigned char>* b, int pos, int32_t v) {
  for (int k = 0; k < 4; ++k) (*b)[pos + k] = static_cast<unsigned char>(uint32_t(v) >> (24 - 8 * k));
}

std::vector<unsigned char> State(Tonnik& plug) {
  ByteChunk chunk;
  plug.SerializeState(&chunk);
  std::vector<unsigned char> bytes(chunk.Size());
  chunk.GetBytes(bytes.data(), chunk.Size(), 0);
  return bytes;
}

// An instrument whose file dialogs answer with a path in /tmp.
struct FileRig : EditorRig {
  FileAnswer answer;
  std::string path;
  explicit FileRig(const char* name) : path(std::string("/tmp/tonnik_editor_test_") + name) {
    answer.mPath = path;
    Gui()->SetPrompts(&answer);
  }
  ~FileRig() { std::remove(path.c_str()); }

  // Sets a few parameters and learns controller 74 for Decay.
  void Customise() {
    SetParamFromGUI(Tonnik::kTone, 0.2);
    SetParamFromGUI(Tonnik::kGlideMode, 1.0);
    SetParamFromGUI(Tonnik::kDynDrive, 0.9);
    SetParamFromGUI(Tonnik::kMidiLearn, 1.0);
    SetParamFromGUI(Tonnik::kDecay, 0.7);
    ControlChange(74, 100);
    SetParamFromGUI(Tonnik::kMidiLearn, 0.0);
  }
};

TEST(TonnikProgramFiles, ProgramRoundTripsTheWholeState) {
  FileRig rig("roundtrip.fxp");
  rig.Customise();
  ASSERT_EQ(rig.Plug().GetController(Tonnik::kDecay), 74);
  const std::vector<unsigned char> saved = State(rig.Plug());
  ASSERT_TRUE(rig.Plug().SaveProgramAsFXP("kick"));
  EXPECT_EQ(rig.answer.mActions.back(), kFileSave);
  EXPECT_EQ(rig.answer.mExtensions.back(), "fxp");

  const std::vector<unsigned char> file = ReadAll(rig.path);
  ASSERT_GE(file.size(), 60u);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "CcnK");
  EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 12), "FPCh");
  EXPECT_EQ(BE32(file, 4), BE32(file, 56) + 60);
  EXPECT_EQ(BE32(file, 20), 10101);
  EXPECT_EQ(BE32(file, 24), Tonnik::kNumParams);
  EXPECT_EQ(file.size(), 60u + BE32(file, 56));

  FileRig other("roundtrip.fxp");
  EXPECT_NE(State(other.Plug()), saved);
  ASSERT_TRUE(other.Plug().LoadProgramFromFXP());
  EXPECT_EQ(other.answer.mActions.back(), kFileOpen);
  EXPECT_EQ(State(other.Plug()), saved);
  EXPECT_EQ(other.Plug().GetController(Tonnik::kDecay), 74);
}

TEST(TonnikProgramFiles, BankRoundTripsThePresets) {
  FileRig rig("roundtrip.fxb");
  rig.Customise();
  rig.Plug().ModifyCurrentPreset("Custom");
  ASSERT_TRUE(rig.Plug().SaveBankAsFXB("bank"));
  EXPECT_EQ(rig.answer.mExtensions.back(), "fxb");
  const std::vector<unsigned char> file = ReadAll(rig.path);
  ASSERT_GE(file.size(), 160u);
  EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 12), "FBCh");
  EXPECT_EQ(BE32(file, 4), BE32(file, 156) + 160);

  FileRig other("roundtrip.fxb");
  ASSERT_TRUE(other.Plug().LoadBankFromFXB());
  EXPECT_STREQ(other.Plug().GetPresetName(0), "Custom");
  EXPECT_NEAR(other.Plug().GetParam(Tonnik::kTone)->Value(), 0.2, 1e-9);
  EXPECT_NEAR(other.Plug().GetParam(Tonnik::kDecay)->Value(), rig.Plug().GetParam(Tonnik::kDecay)->Value(), 1e-9);

  // A bank whose header says format version 1 is still taken.
  std::vector<unsigned char> v1 = file;
  PutBE32(&v1, 12, 1);
  WriteAll(other.path, v1, v1.size());
  EXPECT_TRUE(other.Plug().LoadBankFromFXB());
}

TEST(TonnikProgramFiles, ForeignAndMalformedProgramsAreRefusedUntouched) {
  FileRig rig("bad.fxp");
  rig.Customise();
  ASSERT_TRUE(rig.Plug().SaveProgramAsFXP());
  const std::vector<unsigned char> good = ReadAll(rig.path);

  FileRig other("bad.fxp");
  other.SetParamFromGUI(Tonnik::kAccent, 0.9);
  const std::vector<unsigned char> before = State(other.Plug());

  struct Damage {
    const char* what;
    int pos;
    int32_t value;
  } damages[] = {
      {"another plug-in", 16, 0x54737431},
      {"more parameters", 24, Tonnik::kNumParams + 1},
      {"fewer parameters", 24, Tonnik::kNumParams - 1},
      {"format version 2", 12, 2},
      {"not CcnK", 0, 0x43636E4C},
      {"unknown program kind", 8, 0x46784378},
  };
  for (const Damage& d : damages) {
    std::vector<unsigned char> bad = good;
    PutBE32(&bad, d.pos, d.value);
    WriteAll(other.path, bad, bad.size());
    EXPECT_FALSE(other.Plug().LoadProgramFromFXP()) << d.what;
    EXPECT_EQ(State(other.Plug()), before) << d.what;
  }
  for (size_t n = 0; n < good.size(); ++n) {
    WriteAll(other.path, good, n);
    EXPECT_FALSE(other.Plug().LoadProgramFromFXP()) << n;
    ASSERT_EQ(State(other.Plug()), before) << n;
  }
  // The whole file still loads afterwards.
  WriteAll(other.path, good, good.size());
  EXPECT_TRUE(other.Plug().LoadProgramFromFXP());
}

TEST(TonnikProgramFiles, TruncatedAndForeignBanksAreRefused) {
  FileRig rig("bad.fxb");
  rig.Customise();
  ASSERT_TRUE(rig.Plug().SaveBankAsFXB());
  const std::vector<unsigned char> good = ReadAll(rig.path);

  FileRig other("bad.fxb");
  std::vector<unsigned char> foreign = good;
  PutBE32(&foreign, 16, 0x54737431);
  WriteAll(other.path, foreign, foreign.size());
  const std::vector<unsigned char> before = State(other.Plug());
  EXPECT_FALSE(other.Plug().LoadBankFromFXB());
  EXPECT_EQ(State(other.Plug()), before);
  for (size_t n = 0; n < good.size(); ++n) {
    WriteAll(other.path, good, n);
    EXPECT_FALSE(other.Plug().LoadBankFromFXB()) << n;
  }
}

TEST(TonnikProgramFiles, CancelledOrMissingFilesLoadNothing) {
  FileRig rig("missing.fxp");
  rig.answer.mPath = "";
  EXPECT_FALSE(rig.Plug().SaveProgramAsFXP());
  EXPECT_FALSE(rig.Plug().LoadProgramFromFXP());
  rig.answer.mPath = "/tmp/tonnik_editor_test_does_not_exist.fxp";
  EXPECT_FALSE(rig.Plug().LoadProgramFromFXP());
  EXPECT_FALSE(rig.Plug().LoadBankFromFXB());
  rig.Gui()->SetPrompts(nullptr);
  EXPECT_FALSE(rig.Plug().LoadProgramFromFXP());
}

}  // namespace
