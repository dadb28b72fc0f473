#include "graphics/IUtilityControls.h"

#include <cstring>

// Zero-fills field, then copies text cut to fit when it is given and non-empty.
static void CopyField(char* field, int size, const char* text) {
  std::memset(field, 0, static_cast<size_t>(size));
  if (text && *text) std::strncpy(field, text, static_cast<size_t>(size - 1));
}

IPanelControl::IPanelControl(IPluginBase* plug, IRECT rect, const IColor* color)
    : IControl(plug, rect), mColor(*color) {}

bool IPanelControl::Draw(IGraphics* graphics) { return graphics->FillIRect(&mColor, &mRECT, &mBlend); }

IURLControl::IURLControl(IPluginBase* plug, IRECT rect, const char* url, const char* backupURL,
                         const char* errMsgOnFailure)
    : IControl(plug, rect) {
  CopyField(mURL, kURLLen, url);
  CopyField(mBackupURL, kURLLen, backupURL);
  CopyField(mErrMsg, kErrMsgLen, errMsgOnFailure);
}

void IURLControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  IGraphics* graphics = GetGUI();
  if (!graphics) return;
  bool opened = false;
  if (mURL[0]) opened = graphics->OpenURL(mURL, mErrMsg, nullptr, nullptr);
  if (!opened && mBackupURL[0]) graphics->OpenURL(mBackupURL, mErrMsg, nullptr, nullptr);
}

IFileSelectorControl::IFileSelectorControl(IPluginBase* plug, IRECT rect, int paramIdx, IBitmap* bitmap,
                                           EFileAction action, const char* dir, const char* extensions)
    : IControl(plug, rect, paramIdx), mBitmap(*bitmap), mDir(dir), mFileAction(action) {
  CopyField(mExtensions, kExtensionsLen, extensions);
}

void IFileSelectorControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  IGraphics* graphics = GetGUI();
  if (!graphics) return;
  mState = kFSSelecting;
  SetDirty(false);
  graphics->PromptForFile(&mFile, mFileAction, &mDir, mExtensions);
  mValue += 1.0;
  if (mValue > 1.0) mValue = 0.0;
  mState = kFSDone;
  SetDirty(true);
}

bool IFileSelectorControl::Draw(IGraphics* graphics) {
  if (mState == kFSSelecting) return graphics->DrawBitmap(&mBitmap, &mRECT, 1, &mBlend);
  return true;
}

bool IFileSelectorControl::IsDirty() {
  if (mState == kFSDone) {
    mState = kFSNone;
    return true;
  }
  return IControl::IsDirty();
}
