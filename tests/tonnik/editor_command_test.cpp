// The `tonnik editor` command: its session (instrument opened through the
// entry, view from the view factory, events, state and program loading)
// and the program's exit codes.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "EditorSession.h"
#include "au/IPluginAU.h"
#include "graphics/IControl.h"
#include "platform/IGraphicsHeadless.h"
#include "platform/IPlatformPrompts.h"
#include "plugin/ByteChunk.h"
#include "tonnik/Tonnik.h"

namespace {

const std::string kTmp = "/tmp/tonnik_editor_command_";

int RunTonnik(const std::string& args) {
  const std::string command = "./tonnik " + args + " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Exists(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f) std::fclose(f);
  return f != nullptr;
}

void WriteBytes(const std::string& path, const void* data, size_t n) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (n) std::fwrite(data, 1, n, f);
  std::fclose(f);
}

TEST(EditorCommand, ParsesCoordinateLists) {
  int v[4];
  EXPECT_TRUE(ParseInts("12,34", 2, v));
  EXPECT_EQ(v[0], 12);
  EXPECT_EQ(v[1], 34);
  EXPECT_TRUE(ParseInts("-5,6,-7,8", 4, v));
  EXPECT_EQ(v[2], -7);
  for (const char* bad : {"12", "12,", ",3", "1,2,3", "a,b", "1;2", "1,2 ", "1,99999999999"})
    EXPECT_FALSE(ParseInts(bad, 2, v)) << bad;
}

TEST(EditorCommand, SessionOpensThroughTheViewFactoryAndReplays) {
  EditorSession session;
  std::string error;
  ASSERT_TRUE(session.Open(&error)) << error;
  ASSERT_TRUE(session.Graphics()->WindowIsOpen());
  EditorEvent glideMode{EditorEvent::kClick, 210, 195, 0, 0, ""};
  ASSERT_TRUE(session.Replay(glideMode, &error)) << error;
  EXPECT_EQ(session.Plug()->GetParam(Tonnik::kGlideMode)->Int(), 1);
  EditorEvent wheel{EditorEvent::kWheel, 70, 290, 5, 0, ""};
  ASSERT_TRUE(session.Replay(wheel, &error));
  EXPECT_NEAR(session.Plug()->GetParam(Tonnik::kDecay)->Value(), 0.55, 1e-9);
  EditorEvent drag{EditorEvent::kDrag, 70, 200, 0, -51, ""};
  ASSERT_TRUE(session.Replay(drag, &error));
  EXPECT_NEAR(session.Plug()->GetParam(Tonnik::kAccent)->Value(), 0.75, 1e-9);
  EditorEvent trigger{EditorEvent::kClick, 150, 475, 0, 0, ""};
  ASSERT_TRUE(session.Replay(trigger, &error));
  EXPECT_DOUBLE_EQ(session.Graphics()->GetControl(22)->GetValue(), 0.0);  // lit after the block
  EditorEvent key{EditorEvent::kKey, 70, 290, 0, 0, "up"};
  EXPECT_TRUE(session.Replay(key, &error));
  key.key = "F13";
  EXPECT_FALSE(session.Replay(key, &error));
  EXPECT_NE(error.find("F13"), std::string::npos);

  const std::string png = kTmp + "screen.png";
  ASSERT_TRUE(session.WriteScreen(png, &error)) << error;
  EXPECT_TRUE(Exists(png));
  std::remove(png.c_str());
  EXPECT_FALSE(session.WriteScreen("/nonexistent-folder/x.png", &error));
}

TEST(EditorCommand, LoadsWholeStatesAndRefusesBrokenOnes) {
  std::string error;
  EditorSession source;
  ASSERT_TRUE(source.Open(&error));
  source.Plug()->SetParameterFromGUI(Tonnik::kGlideMode, 1.0);
  source.Plug()->SetParameterFromGUI(Tonnik::kTone, 0.25);
  ByteChunk chunk;
  source.Plug()->SerializeState(&chunk);
  std::vector<unsigned char> bytes(chunk.Size());
  chunk.GetBytes(bytes.data(), chunk.Size(), 0);
  const std::string path = kTmp + "state.bin";

  EditorSession session;
  ASSERT_TRUE(session.Open(&error));
  WriteBytes(path, bytes.data(), 100);  // cut short
  EXPECT_FALSE(session.LoadState(path, &error));
  EXPECT_NE(error.find(path), std::string::npos);
  EXPECT_EQ(session.Plug()->GetParam(Tonnik::kGlideMode)->Int(), 0);
  EXPECT_NEAR(session.Plug()->GetParam(Tonnik::kTone)->Value(), 0.5, 1e-12);

  WriteBytes(path, bytes.data(), bytes.size());
  ASSERT_TRUE(session.LoadState(path, &error)) << error;
  EXPECT_EQ(session.Plug()->GetParam(Tonnik::kGlideMode)->Int(), 2);
  EXPECT_NEAR(session.Plug()->GetParam(Tonnik::kTone)->Value(), 0.25, 1e-12);
  // The knob follows the loaded state.
  EXPECT_NEAR(session.Graphics()->GetControl(6)->GetValue(), 0.25, 1e-12);

  const std::string preset = kTmp + "bad.aupreset";
  WriteBytes(preset, "<?xml version=\"1.0\"?><plist", 27);
  EXPECT_FALSE(session.LoadState(preset, &error));
  EXPECT_FALSE(session.LoadState(kTmp + "missing.bin", &error));
  std::remove(path.c_str());
  std::remove(preset.c_str());
}

// Answers the save dialog with one path.
struct SaveTo : IPlatformPrompts {
  std::string path;
  void PromptForFile(KIT_String* fileName, EFileAction, KIT_String*, const char*) override {
    fileName->Set(path.c_str());
  }
};

TEST(EditorCommand, LoadsProgramFiles) {
  std::string error;
  EditorSession source;
  ASSERT_TRUE(source.Open(&error));
  source.Plug()->SetParameterFromGUI(Tonnik::kDrive, 0.5);
  SaveTo save;
  save.path = kTmp + "program.fxp";
  source.Graphics()->SetPrompts(&save);
  ASSERT_TRUE(source.Plug()->SaveProgramAsFXP());
  source.Graphics()->SetPrompts(nullptr);

  EditorSession session;
  ASSERT_TRUE(session.Open(&error));
  ASSERT_TRUE(session.LoadProgram(save.path, &error)) << error;
  EXPECT_NEAR(session.Plug()->GetParam(Tonnik::kDrive)->GetNormalized(), 0.5, 1e-9);
  WriteBytes(save.path, "CcnK", 4);
  EXPECT_FALSE(session.LoadProgram(save.path, &error));
  std::remove(save.path.c_str());
}

TEST(EditorCommand, ExitCodes) {
  const std::string png = kTmp + "cmd.png";
  std::remove(png.c_str());
  EXPECT_EQ(RunTonnik("editor -o " + png + " --click 210,195 --drag 70,290,0,-20 --wheel 260,110,-3 --key 70,290,a"), 0);
  EXPECT_TRUE(Exists(png));
  std::remove(png.c_str());
  EXPECT_EQ(RunTonnik("editor --help"), 0);
  EXPECT_EQ(RunTonnik("editor --bogus 1"), 2);
  EXPECT_EQ(RunTonnik("editor --click 1"), 2);
  EXPECT_EQ(RunTonnik("editor --drag 1,2,3"), 2);
  EXPECT_EQ(RunTonnik("editor --key 1,2"), 2);
  EXPECT_EQ(RunTonnik("editor -o"), 2);
  EXPECT_EQ(RunTonnik("editor -o " + png + " --state " + kTmp + "missing.bin"), 1);
  EXPECT_EQ(RunTonnik("editor -o " + png + " --key 1,2,F13"), 1);
  EXPECT_FALSE(Exists(png));
}

}  // namespace
