// Image resources found in the resource folder, and the screen written as PNG.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "dcx/ResourceDir.h"
#include "graphics/IScaledImage.h"
#include "kit/KIT_String.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_PNG.h"
#include "platform/PlatformTestSupport.h"
#include "platform/ResourceImages.h"
#include "platform/ScreenPNG.h"

namespace {

using platform_test::TempFolder;
using platform_test::TestPlug;

// Points the resource folder somewhere for one test.
struct ResourceFolder {
  explicit ResourceFolder(const std::string& dir) { SetTonnikResourceDir(dir.c_str()); }
  ~ResourceFolder() { SetTonnikResourceDir(nullptr); }
};

TEST(ResourceImages, NamesMapToFilesInTheFolder) {
  struct Case {
    const char* name;
    const char* path;  // null: not a PNG resource name
  } cases[] = {
      {"resources/img/knob.png", "/res/knob.png"},
      {"knob.png", "/res/knob.png"},
      {"a/b.c/KNOB.PNG", "/res/KNOB.png"},
      {"ring.Png", "/res/ring.png"},
      {"knob.jpg", nullptr},
      {"knob", nullptr},
      {"png", nullptr},
      {".png", nullptr},
      {"dir/.png", nullptr},
      {nullptr, nullptr},
  };
  for (const Case& c : cases) {
    KIT_String path("untouched");
    const bool ok = ResourceImagePath(c.name, "/res", &path);
    EXPECT_EQ(ok, c.path != nullptr) << (c.name ? c.name : "(null)");
    EXPECT_STREQ(path.Get(), c.path ? c.path : "untouched");
  }
}

TEST(ResourceImages, LoadsAndReportsWhatIsMissing) {
  TempFolder folder;
  ResourceFolder use(folder.Path());
  ASSERT_TRUE(platform_test::WriteSolidPNG(folder.File("knob.png"), 7, 5, 10, 20, 30));
  {
    std::FILE* f = std::fopen(folder.File("broken.png").c_str(), "wb");
    std::fputs("\x89PNG\r\n\x1a\n garbage", f);
    std::fclose(f);
  }

  KIT_String error;
  PIX_IBitmap* knob = LoadImgFromResource("resources/img/knob.png", &error);
  ASSERT_NE(knob, nullptr);
  EXPECT_EQ(knob->getWidth(), 7);
  EXPECT_EQ(knob->getHeight(), 5);
  EXPECT_EQ(knob->getBits()[0], 0xFFu | (10u << 8) | (20u << 16) | (30u << 24));
  delete knob;

  EXPECT_EQ(LoadImgFromResource("resources/img/missing.png", &error), nullptr);
  EXPECT_NE(std::string(error.Get()).find("missing.png"), std::string::npos) << error.Get();
  EXPECT_NE(std::string(error.Get()).find(folder.Path()), std::string::npos) << error.Get();

  EXPECT_EQ(LoadImgFromResource("resources/img/broken.png", &error), nullptr);
  EXPECT_NE(std::string(error.Get()).find("broken.png is not a readable PNG: not a PNG image or a damaged one"),
            std::string::npos)
      << error.Get();
  EXPECT_EQ(LoadImgFromResource("resources/img/knob.gif", &error), nullptr);
  EXPECT_EQ(LoadImgFromResource(nullptr, nullptr), nullptr);
}

TEST(ResourceImagesDeathTest, MissingEditorImageStopsNamingFileAndFolder) {
  TempFolder folder;
  ResourceFolder use(folder.Path());
  EXPECT_DEATH(
      {
        TestPlug plug;
        IGraphicsHeadless* gui = plug.MakeEditor(50, 50);
        gui->LoadIBitmap(9901, "resources/img/nothere.png", 1);
      },
      "nothere.png.*" + folder.Path());
}

// PNG signature and header chunk: a file cut after them reads as a PNG
// until it is decoded.
constexpr off_t kPNGHeaderBytes = 33;

TEST(ResourceImages, DamagedTwiceSizeFileIsNamedOnceAndTheImageStillDraws) {
  TempFolder folder;
  ResourceFolder use(folder.Path());
  ASSERT_TRUE(platform_test::WriteSolidPNG(folder.File("dot.png"), 8, 6, 40, 50, 60));
  ASSERT_TRUE(platform_test::WriteSolidPNG(folder.File("dot@2x.png"), 16, 12, 1, 1, 1));
  ASSERT_EQ(truncate(folder.File("dot@2x.png").c_str(), kPNGHeaderBytes + 8), 0);
  TestPlug plug;
  IGraphicsHeadless* gui = plug.MakeEditor(8, 6);
  gui->AttachBackground(9903, "resources/img/dot.png");
  plug.AttachGraphics(gui);
  gui->OpenWindow(nullptr);
  ASSERT_TRUE(gui->SetScreenScale(2.0));
  testing::internal::CaptureStderr();
  ASSERT_TRUE(gui->Tick());
  gui->SetAllControlsDirty();
  ASSERT_TRUE(gui->Tick());
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("dot@2x.png: not a PNG image or a damaged one"), std::string::npos) << said;
  EXPECT_EQ(said.find("dot@2x.png"), said.rfind("dot@2x.png")) << said;
  PIX_IBitmap* screen = gui->GetScreen();
  EXPECT_EQ(screen->getBits()[11 * screen->getRowSpan() + 15], 0xFFu | (40u << 8) | (50u << 16) | (60u << 24));
}

TEST(ResourceImagesDeathTest, UnreadableEditorImageStopsNamingFileAndReason) {
  TempFolder folder;
  ResourceFolder use(folder.Path());
  std::ofstream(folder.File("text.png")) << "this file holds words and no image at all";
  ASSERT_TRUE(platform_test::WriteSolidPNG(folder.File("cut.png"), 4, 4, 1, 2, 3));
  ASSERT_EQ(truncate(folder.File("cut.png").c_str(), kPNGHeaderBytes), 0);
  TestPlug plug;
  IGraphicsHeadless* gui = plug.MakeEditor(50, 50);
  plug.AttachGraphics(gui);
  EXPECT_DEATH(gui->LoadIBitmap(9904, "resources/img/text.png"), "text.png: not a PNG image");
  IBitmap cut = gui->LoadIBitmap(9905, "resources/img/cut.png");
  EXPECT_DEATH(dynamic_cast<IScaledImage*>(cut.mData)->AtScale(1), "cut.png: .*damaged");
}

TEST(ResourceImages, EditorLoadsThroughTheCache) {
  TempFolder folder;
  ResourceFolder use(folder.Path());
  ASSERT_TRUE(platform_test::WriteSolidPNG(folder.File("strip.png"), 4, 6, 1, 2, 3));
  TestPlug plug;
  IGraphicsHeadless* gui = plug.MakeEditor(50, 50);
  plug.AttachGraphics(gui);
  IBitmap b = gui->LoadIBitmap(9902, "resources/img/strip.png", 3);
  EXPECT_EQ(b.W, 4);
  EXPECT_EQ(b.H, 6);
  EXPECT_EQ(b.N, 3);
}

TEST(ScreenPNG, ScreenRoundTripsThroughAFile) {
  TempFolder folder;
  TestPlug plug;
  IGraphicsHeadless* gui = plug.MakeEditor(30, 20);
  IColor colour(255, 12, 34, 56);
  gui->AttachPanelBackground(&colour);
  plug.AttachGraphics(gui);
  KIT_String error;
  EXPECT_FALSE(gui->WriteScreenPNG(folder.File("closed.png").c_str(), &error));
  gui->OpenWindow(nullptr);
  ASSERT_TRUE(gui->Tick());
  const std::string path = folder.File("screen.png");
  ASSERT_TRUE(gui->WriteScreenPNG(path.c_str(), &error)) << error.Get();
  PIX_IBitmap* back = PIX_LoadPNG(path.c_str(), nullptr);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->getWidth(), 30);
  EXPECT_EQ(back->getHeight(), 20);
  EXPECT_EQ(back->getBits()[19 * back->getRowSpan() + 29], 0xFFu | (12u << 8) | (34u << 16) | (56u << 24));
  delete back;
}

TEST(ScreenPNG, RefusesEmptyBitmapsAndUnwritablePaths) {
  PIX_MemBitmap empty(0, 0, 4);
  KIT_String error;
  EXPECT_FALSE(WriteBitmapPNG(&empty, "/tmp/never.png", &error));
  EXPECT_FALSE(WriteBitmapPNG(nullptr, "/tmp/never.png", &error));
  PIX_MemBitmap small(2, 2, 4);
  EXPECT_FALSE(WriteBitmapPNG(&small, "/nonexistent-folder/x.png", &error));
  EXPECT_NE(std::string(error.Get()).find("/nonexistent-folder/x.png"), std::string::npos);
  EXPECT_FALSE(WriteBitmapPNG(&small, nullptr, &error));
}

}  // namespace
