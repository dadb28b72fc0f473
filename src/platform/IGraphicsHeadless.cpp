#include "platform/IGraphicsHeadless.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "pix/PIX_Bitmap.h"
#include "platform/HeadlessView.h"
#include "platform/IPlatformPrompts.h"
#include "platform/ScreenPNG.h"

IGraphicsHeadless::IGraphicsHeadless(IPluginBase* plug, int w, int h, int fps) : IGraphicsDesktop(plug, w, h, fps) {}

IGraphicsHeadless::~IGraphicsHeadless() { CloseWindow(); }

bool IGraphicsHeadless::DrawScreen(IRECT* r) {
  if (!mView) return false;
  IRECT device;
  PIX_IBitmap* pixels = ScreenPixels(*r, &device);
  mView->Present(pixels, device);
  return true;
}

void IGraphicsHeadless::OnScreenScaleChanged() {
  if (mView) mView->SetFrameSize(Width(), Height());
}

void IGraphicsHeadless::ForceEndUserEdit() {
  if (mView) mView->EndTextEntry(false);
}

int IGraphicsHeadless::ShowMessageBox(const char* text, const char* caption, int type) {
  return mPrompts ? mPrompts->MessageBox(text, caption, type) : 0;
}

IPopupMenu* IGraphicsHeadless::CreateIPopupMenu(IPopupMenu* menu, IRECT* textRect) {
  ReleaseMouseCapture();
  if (!mView || !textRect) return nullptr;
  return mView->CreateIPopupMenu(menu, ToViewRect(*textRect, Height()));
}

void IGraphicsHeadless::CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str,
                                        IParam* param) {
  if (!mView || !text || !textRect) return;
  mView->CreateTextEntry(control, param, text, str, ToViewRect(*textRect, Height()));
}

void IGraphicsHeadless::PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir,
                                      char* extension) {
  if (!mPrompts) {
    fileName->Set("");
    return;
  }
  mPrompts->PromptForFile(fileName, action, dir, extension ? extension : "");
}

void* IGraphicsHeadless::OpenWindow(void* parentView) {
  CloseWindow();
  OpenDrawing();
  mView = std::make_unique<HeadlessView>(this);
  return mView.get();
}

void IGraphicsHeadless::CloseWindow() {
  if (!mView) return;
  // Forgotten before it is detached, so nothing it calls back reaches it.
  std::unique_ptr<HeadlessView> view = std::move(mView);
  view->KillTimer();
  view->DetachGraphics();
}

void* IGraphicsHeadless::GetWindow() { return mView.get(); }

void IGraphicsHeadless::HideMouseCursor() {
  if (mCursorHidden) return;
  mCursorHidden = true;
  if (mView) {
    mHiddenMousePointX = mView->GetPrevX();
    mHiddenMousePointY = mView->GetPrevY();
  }
}

void IGraphicsHeadless::ShowMouseCursor() { mCursorHidden = false; }

bool IGraphicsHeadless::Tick(IRECT* repainted) { return mView ? mView->OnTimer(repainted) : false; }

PIX_IBitmap* IGraphicsHeadless::GetScreen() { return mView ? mView->GetScreen() : nullptr; }

bool IGraphicsHeadless::WriteScreenPNG(const char* path, KIT_String* error) {
  if (!mView) {
    if (error) error->Set("the editor's window is not open");
    return false;
  }
  return WriteBitmapPNG(mView->GetScreen(), path, error);
}
