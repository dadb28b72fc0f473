#pragma once
// Utility controls: a coloured panel, a link that opens a web address, and
// a button that asks for a file. Threads: as IControl (main thread, plus
// the plug-in relays).

#include "graphics/IControl.h"
#include "graphics/IGraphics.h"
#include "kit/KIT_String.h"

// Fills its rectangle with a colour.
class IPanelControl : public IControl {
public:
  IPanelControl(IPluginBase* plug, IRECT rect, const IColor* color);

  bool Draw(IGraphics* graphics) override;

protected:
  IColor mColor;
};

// A click opens the address, or the fallback address when that fails.
class IURLControl : public IControl {
public:
  static constexpr int kURLLen = 256;
  static constexpr int kErrMsgLen = 1024;

  // Null or empty strings leave the field empty; longer ones are cut.
  IURLControl(IPluginBase* plug, IRECT rect, const char* url, const char* backupURL = nullptr,
              const char* errMsgOnFailure = nullptr);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override { return true; }

protected:
  char mURL[kURLLen];
  char mBackupURL[kURLLen];
  char mErrMsg[kErrMsgLen];
};

// A click asks the platform for a file; the value steps 0, 1, 0 with each
// selection so the plug-in sees every choice. Shows its bitmap while the
// dialog is open.
class IFileSelectorControl : public IControl {
public:
  enum EFileSelectorState { kFSNone = 0, kFSSelecting = 1, kFSDone = 2 };
  static constexpr int kExtensionsLen = 256;

  IFileSelectorControl(IPluginBase* plug, IRECT rect, int paramIdx, IBitmap* bitmap, EFileAction action,
                       const char* dir = "", const char* extensions = "");

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;
  // Also true once right after a selection.
  bool IsDirty() override;

  void GetLastSelectedFileForPlug(KIT_String* str) const { str->Set(mFile.Get()); }
  void SetLastSelectedFileFromPlug(const char* file) { mFile.Set(file); }
  EFileSelectorState GetState() const { return mState; }

protected:
  IBitmap mBitmap;
  KIT_String mFile;
  KIT_String mDir;
  char mExtensions[kExtensionsLen];
  EFileAction mFileAction;
  EFileSelectorState mState = kFSNone;
};
