#pragma once
// A small plug-in and a headless editor platform for the editor framework's
// tests. The platform records what the editor asks of it (screen copies,
// text entries, menus, URLs, files) and makes bitmaps in memory.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "graphics/IControl.h"
#include "graphics/IGraphics.h"
#include "graphics/IPopupMenu.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "plugin/IPluginBase.h"

namespace gtest_support {

// Parameters of the test plug-in.
enum ETestParam { kGain = 0, kMode, kOn, kTune, kLong, kNumTestParams };

class TestPlug : public IPluginBase {
public:
  struct GUIChange {
    int mParamIdx;
    double mNormalized;
  };

  TestPlug();

  void SetParameterFromGUI(int paramIdx, double normalizedValue) override;
  void BeginInformHostOfParamChange(int paramIdx) override { mBegins.push_back(paramIdx); }
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override {}
  void EndInformHostOfParamChange(int paramIdx) override { mEnds.push_back(paramIdx); }
  void InformHostOfProgramChange() override {}
  double GetSamplePos() override { return 0.0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int* numerator, int* denominator) override { *numerator = *denominator = 4; }
  void GetTime(ITimeInfo* timeInfo) override {}
  void ResizeGraphics(int w, int h) override { mResizes.push_back({w, h}); }
  bool SendMidiMsg(IMidiMsg* msg) override { return true; }

  std::vector<GUIChange> mGUIChanges;
  std::vector<int> mBegins;
  std::vector<int> mEnds;
  std::vector<std::pair<int, int>> mResizes;
};

class TestGraphics : public IGraphics {
public:
  TestGraphics(IPluginBase* plug, int w, int h) : IGraphics(plug, w, h, 0) {}

  bool DrawScreen(IRECT* r) override {
    mScreens.push_back(*r);
    return mScreenWorks;
  }
  void ForceEndUserEdit() override {}
  int ShowMessageBox(const char* text, const char* caption, int type) override { return 0; }
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* textRect) override;
  void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str, IParam* param) override;
  void HostPath(KIT_String* path) override { path->Set(""); }
  void PluginPath(KIT_String* path) override { path->Set(""); }
  void DesktopPath(KIT_String* path) override { path->Set(""); }
  void PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir, char* extension) override {
    ++mFilePrompts;
    fileName->Set(mFileAnswer.c_str());
  }
  bool PromptForColor(IColor* color, char* prompt) override { return false; }
  bool OpenURL(const char* url, const char* msgWindowTitle, const char* confirmMsg,
               const char* errMsgOnFailure) override {
    mURLs.push_back(url);
    return mURLOpens;
  }
  void* OpenWindow(void* parentView) override { return nullptr; }
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }
  PIX_IBitmap* OSLoadBitmap(int id, const char* name) override;

  // Bitmaps OSLoadBitmap can make, by resource name.
  std::map<std::string, std::function<PIX_IBitmap*()>> mBitmapMakers;
  int mBitmapLoads = 0;

  std::vector<IRECT> mScreens;
  bool mScreenWorks = true;

  // Menu answers: the chosen index, or -1 to dismiss the menu.
  int mMenuChoice = -1;
  std::vector<std::string> mMenuItems;
  std::vector<bool> mMenuChecks;
  IRECT mMenuRect;

  IControl* mEntryControl = nullptr;
  IParam* mEntryParam = nullptr;
  std::string mEntryText;
  IRECT mEntryRect;

  std::string mFileAnswer = "/tmp/chosen.fxp";
  int mFilePrompts = 0;
  std::vector<std::string> mURLs;
  bool mURLOpens = true;
};

// A memory bitmap of w x h filled with one colour.
PIX_MemBitmap* MakeSolidBitmap(int w, int h, unsigned color);
// A strip of frames (vertical unless horizontal), frame i filled with colors[i].
PIX_MemBitmap* MakeStrip(int frameW, int frameH, const std::vector<unsigned>& colors, bool horizontal = false);
// A bitmap whose row y has the colour rowColor(y).
PIX_MemBitmap* MakeRowCoded(int w, int h);
unsigned RowCode(int y);

// Raster pixel of an opaque colour.
unsigned Opaque(int r, int g, int b);

// Runs one platform tick: if anything is dirty, repaints the dirty area.
// Returns the repainted area (empty when nothing was dirty).
IRECT Tick(IGraphics* graphics);

}  // namespace gtest_support
