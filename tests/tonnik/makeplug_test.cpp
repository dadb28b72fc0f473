// The factory: instances made concurrently are whole and distinct.

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "TonnikFixture.h"
#include "dcx/DCX.h"
#include "graphics/IGraphics.h"
#include "graphics/IGraphicsCaches.h"
#include "graphics/IResourceImage.h"
#include "platform/IGraphicsHeadless.h"
#include "tonnik/Tonnik.h"
#include "tonnik/TonnikEntry.h"

namespace {

TEST(TonnikMakePlug, MakesAnInstrumentWithItsBundleAndView) {
  IPluginAU* plug = MakePlug();
  ASSERT_NE(plug, nullptr);
  EXPECT_NE(dynamic_cast<Tonnik*>(plug), nullptr);
  EXPECT_STREQ(plug->GetBundleID(), "com.velmora.audiounit.tonnik");
  EXPECT_STREQ(plug->GetCocoaViewFactoryClassName(), "Tonnik_View");
  delete plug;
}

// Runs before anything in this program opens an editor: instances that
// only render leave every image undecoded, fonts unmade and frames unheld.
TEST(TonnikMakePlug, InstancesWithoutEditorDecodeNoImageAndHoldNoFrame) {
  TonnikRig first;
  TonnikRig second;
  for (TonnikRig* rig : {&first, &second}) {
    rig->NoteOn(36, 100, 0);
    rig->Render(512);
    EXPECT_FALSE(rig->Plug().GetGUI()->HoldsDrawBitmap());
  }
  int images = 0;
  for (int id = 101; id <= 113; ++id) {
    PIX_IBitmap* cached = BitmapStorage::Instance().Find(id);
    if (!cached) continue;
    ++images;
    IResourceImage* image = dynamic_cast<IResourceImage*>(cached);
    ASSERT_NE(image, nullptr) << "bitmap " << id << " was decoded when loaded";
    EXPECT_FALSE(image->Decoded(1) || image->Decoded(2)) << "bitmap " << id;
  }
  EXPECT_GE(images, 10);
  EXPECT_EQ(FontStorage::Instance().Size(), 0);
  EXPECT_FALSE(DCX_FontLibraryStarted());
}

// Runs next: the first editor, opened at scale 2, decodes the 2x images it
// draws and none of the 1x ones.
TEST(TonnikMakePlug, FirstEditorAtScaleTwoDecodesOnlyTwiceSizeImages) {
  TonnikRig rig;
  IGraphicsHeadless* gui = dynamic_cast<IGraphicsHeadless*>(rig.Plug().GetGUI());
  ASSERT_NE(gui, nullptr);
  gui->OpenWindow(nullptr);
  ASSERT_TRUE(gui->SetScreenScale(2.0));
  ASSERT_TRUE(gui->Tick());
  for (int id : {101, 102, 104, 109, 112}) {
    IResourceImage* image = dynamic_cast<IResourceImage*>(BitmapStorage::Instance().Find(id));
    ASSERT_NE(image, nullptr) << "bitmap " << id;
    EXPECT_TRUE(image->Decoded(2)) << "bitmap " << id;
    EXPECT_FALSE(image->Decoded(1)) << "bitmap " << id;
  }
}

TEST(TonnikMakePlug, TwoThreadsAtOnce) {
  const int kRounds = 20;
  for (int round = 0; round < kRounds; ++round) {
    IPluginAU* made[2] = {nullptr, nullptr};
    std::thread a([&] { made[0] = MakePlug(); });
    std::thread b([&] { made[1] = MakePlug(); });
    a.join();
    b.join();
    ASSERT_NE(made[0], nullptr);
    ASSERT_NE(made[1], nullptr);
    ASSERT_NE(made[0], made[1]);
    for (IPluginAU* plug : made) {
      EXPECT_EQ(plug->NParams(), Tonnik::kNumParams);
      EXPECT_STREQ(plug->GetPresetName(0), "Init");
      delete plug;
    }
  }
}

}  // namespace
