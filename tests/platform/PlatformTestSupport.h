#pragma once
// A small Audio Unit plug-in with a headless editor for the platform
// layer's tests, a control that records what reaches it, scripted prompt
// answers, and a temporary resource folder with PNG images.

#include <string>
#include <vector>

#include "au/IPluginAU.h"
#include "graphics/IControl.h"
#include "platform/HeadlessMenu.h"
#include "platform/HeadlessTextField.h"
#include "platform/IGraphicsHeadless.h"
#include "platform/IPlatformPrompts.h"

namespace platform_test {

enum EParams { kLevel = 0, kMode, kActive, kNumParams };

class TestPlug : public IPluginAU {
public:
  TestPlug();
  // Makes the editor through the graphics factory, w x h at fps.
  IGraphicsHeadless* MakeEditor(int w, int h, int fps = 0);
};

// Records every event; takes the keys listed in mKeysTaken.
class RecordingControl : public IControl {
public:
  struct Event {
    std::string what;
    int x;
    int y;
    IMouseMod mod;
    int extra;  // wheel delta or key
  };

  RecordingControl(IPluginBase* plug, IRECT rect) : IControl(plug, rect) {}

  void OnMouseDown(int x, int y, IMouseMod* mod) override { Add("down", x, y, mod, 0); }
  void OnMouseUp(int x, int y, IMouseMod* mod) override { Add("up", x, y, mod, 0); }
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override { Add("drag", x, y, mod, 0); }
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override { Add("dbl", x, y, mod, 0); }
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override { Add("wheel", x, y, mod, d); }
  bool OnKeyDown(int x, int y, int key) override {
    Add("key", x, y, nullptr, key);
    for (int k : mKeysTaken)
      if (k == key) return true;
    return false;
  }
  bool Draw(IGraphics* graphics) override { return true; }

  std::vector<Event> mEvents;
  std::vector<int> mKeysTaken;

private:
  void Add(const char* what, int x, int y, IMouseMod* mod, int extra) {
    mEvents.push_back({what, x, y, mod ? *mod : IMouseMod(), extra});
  }
};

// Answers prompts from a script and records the questions.
class ScriptedPrompts : public IPlatformPrompts {
public:
  ETextEntryEnd TextEntry(HeadlessTextField* field) override;
  const HeadlessMenuEntry* PopupMenu(const HeadlessMenu& menu) override;
  void PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir, const char* extension) override;

  // Text entry: typed after clearing the field, then the end.
  std::string mType;
  ETextEntryEnd mEnd = kEntryCommit;
  int mEntries = 0;
  std::string mShownText;
  std::string mTypedResult;
  IRECT mFieldRect;
  int mFieldFontSize = 0;

  // Menus: the entry whose title is mChoice ("" dismisses).
  std::string mChoice;
  std::vector<std::string> mMenuTitles;
  std::vector<bool> mMenuChecks;
  ViewPoint mMenuLocation;
  int mMenus = 0;

  // Files: the answer, and what was asked.
  std::string mFileAnswer;
  std::vector<int> mFileActions;
  std::vector<std::string> mFileExtensions;
};

// A fresh folder under /tmp, removed with its files on destruction.
class TempFolder {
public:
  TempFolder();
  ~TempFolder();
  const std::string& Path() const { return mPath; }
  std::string File(const char* name) const { return mPath + "/" + name; }

private:
  std::string mPath;
};

// Writes a w x h PNG of one opaque colour (red, green, blue).
bool WriteSolidPNG(const std::string& path, int w, int h, int r, int g, int b);

}  // namespace platform_test
