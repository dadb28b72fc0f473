#include "platform/PlatformTestSupport.h"

#include <dirent.h>
#include <stdlib.h>
#include <unistd.h>

#include "au/apple/FourCC.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "platform/GraphicsFactory.h"
#include "platform/ScreenPNG.h"

namespace platform_test {

TestPlug::TestPlug()
    : IPluginAU(
          [] {
            IPluginInstanceInfo info;
            info.mBundleID.Set("com.tonnik.test.platform");
            info.mCocoaViewFactoryClassName.Set("PlatformTest_View");
            return info;
          }(),
          kNumParams, "0-1 0-2", 1, "PlatformTest", "", "Velmora", 0x00010000, MakeFourCC("Tpl1"),
          MakeFourCC("-VL-"), 0, true, true, true) {
  GetParam(kLevel)->InitDouble("Level", 0.5, 0.0, 1.0, 0.01, "dB");
  GetParam(kMode)->InitEnum("Mode", 0, 3);
  GetParam(kMode)->SetDisplayText(0, "Soft");
  GetParam(kMode)->SetDisplayText(1, "Mid");
  GetParam(kMode)->SetDisplayText(2, "Hard");
  GetParam(kActive)->InitBool("Active", false);
}

IGraphicsHeadless* TestPlug::MakeEditor(int w, int h, int fps) { return MakeHeadlessGraphics(this, GetBundleID(), w, h, fps); }

IPlatformPrompts::ETextEntryEnd ScriptedPrompts::TextEntry(HeadlessTextField* field) {
  ++mEntries;
  mShownText = field->GetString();
  mFieldRect = field->GetRECT();
  mFieldFontSize = field->GetFontSize();
  field->Clear();
  field->Type(mType.c_str());
  mTypedResult = field->GetString();
  return mEnd;
}

const HeadlessMenuEntry* ScriptedPrompts::PopupMenu(const HeadlessMenu& menu) {
  ++mMenus;
  mMenuTitles.clear();
  mMenuChecks.clear();
  for (int i = 0; i < menu.GetNEntries(); ++i) {
    mMenuTitles.push_back(menu.GetEntry(i)->mTitle.Get());
    mMenuChecks.push_back(menu.GetEntry(i)->mChecked);
  }
  mMenuLocation = menu.GetLocation();
  return mChoice.empty() ? nullptr : menu.FindEntry(mChoice.c_str());
}

void ScriptedPrompts::PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir,
                                    const char* extension) {
  mFileActions.push_back(action);
  mFileExtensions.push_back(extension);
  fileName->Set(mFileAnswer.c_str());
}

TempFolder::TempFolder() {
  char pattern[] = "/tmp/tonnik_platform_XXXXXX";
  const char* made = mkdtemp(pattern);
  mPath = made ? made : "/tmp";
}

TempFolder::~TempFolder() {
  DIR* dir = opendir(mPath.c_str());
  if (!dir) return;
  while (dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") unlink((mPath + "/" + name).c_str());
  }
  closedir(dir);
  rmdir(mPath.c_str());
}

bool WriteSolidPNG(const std::string& path, int w, int h, int r, int g, int b) {
  PIX_MemBitmap bitmap(w, h, 4);
  const unsigned color = 0xFFu | (unsigned(r) << 8) | (unsigned(g) << 16) | (unsigned(b) << 24);
  PIX_FillRect(&bitmap, 0, 0, w, h, color, 1.0f, PIX_MODE_COPY);
  return WriteBitmapPNG(&bitmap, path.c_str());
}

}  // namespace platform_test

// The product's factory, as the adapter expects one.
IPluginAU* MakePlug() { return new platform_test::TestPlug(); }
