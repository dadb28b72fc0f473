#pragma once
// The editor's platform half for a machine without a window system. It
// supplies every platform operation of IGraphics: the view (HeadlessView)
// that OpenWindow creates, the refresh tick, the screen copy, typed text
// entry and popup menus answered by the caller's IPlatformPrompts; the
// image resources and path queries are IGraphicsDesktop's.
//
// Driving it: OpenWindow(nullptr) (or the Audio Unit view factory), then
// Tick() once per TimerInterval() seconds; send events to GetView() in view
// coordinates; read GetScreen() or WriteScreenPNG().
//
// Ownership: made by MakeGraphics and owned by the plug-in base like every
// editor. It owns its view while the window is open; the prompts are the
// caller's.
//
// Threads: main thread, except the plug-in relays of IGraphics.

#include <memory>

#include "kit/KIT_String.h"
#include "platform/IGraphicsDesktop.h"

class HeadlessView;
class IPlatformPrompts;

class IGraphicsHeadless : public IGraphicsDesktop {
public:
  IGraphicsHeadless(IPluginBase* plug, int w, int h, int fps);
  // Closes the window first.
  ~IGraphicsHeadless() override;

  // ---- Platform operations of IGraphics ----

  // Presents the area r of the draw bitmap on the view's screen; false
  // while no view is open.
  bool DrawScreen(IRECT* r) override;
  // Closes an open text field without committing it.
  void ForceEndUserEdit() override;
  // The view's screen follows the editor's size in device pixels.
  void OnScreenScaleChanged() override;
  const char* GetGUIAPI() override { return "Headless gui"; }
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  // Releases the mouse capture first; null while no view is open.
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* textRect) override;
  // Only while a view is open.
  void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str, IParam* param) override;
  void PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir, char* extension) override;
  // Closes any open view and opens a new one; returns it (a HeadlessView*).
  // The parent is not used.
  void* OpenWindow(void* parentView) override;
  void CloseWindow() override;
  void* GetWindow() override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;

  // ---- Headless platform ----

  void SetBundleID(const char* id) { mBundleID.Set(id); }
  const char* GetBundleID() const { return mBundleID.Get(); }
  // The caller's answers to prompts (not owned); null answers "cancelled".
  void SetPrompts(IPlatformPrompts* prompts) { mPrompts = prompts; }
  IPlatformPrompts* GetPrompts() const { return mPrompts; }
  HeadlessView* GetView() const { return mView.get(); }
  bool IsCursorHidden() const { return mCursorHidden; }

  // The refresh period in seconds: 1 / frame rate.
  double TimerInterval() const { return 1.0 / FPS(); }
  // One refresh tick: the dirty test and the repaint of the dirty area.
  // False while no view is open or nothing was dirty; repainted (when
  // given) receives the area drawn.
  bool Tick(IRECT* repainted = nullptr);
  // The view's screen image; null while no view is open.
  PIX_IBitmap* GetScreen();
  // Writes the screen image as PNG; false with the reason in error.
  bool WriteScreenPNG(const char* path, KIT_String* error = nullptr);

private:
  std::unique_ptr<HeadlessView> mView;
  KIT_String mBundleID;
  IPlatformPrompts* mPrompts = nullptr;
};
