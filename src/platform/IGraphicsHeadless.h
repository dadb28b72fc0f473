#pragma once
// The editor's platform half for a machine without a window system. It
// supplies every platform operation of IGraphics: the view (HeadlessView)
// that OpenWindow creates, the refresh tick, the screen copy, typed text
// entry and popup menus answered by the caller's IPlatformPrompts, image
// resources from the resource folder, and the path queries.
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

#include "graphics/IGraphics.h"
#include "kit/KIT_String.h"

class HeadlessView;
class IPlatformPrompts;

class IGraphicsHeadless : public IGraphics {
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
  // The view's screen follows the new size in device pixels.
  void OnScreenScaleChanged() override;
  // Nothing when the size is unchanged; otherwise the base operation, then
  // the view follows.
  void Resize(int w, int h) override;
  const char* GetGUIAPI() override { return "Headless gui"; }
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  // Releases the mouse capture first; null while no view is open.
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* textRect) override;
  // Only while a view is open.
  void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str, IParam* param) override;
  // The running program's folder.
  void HostPath(KIT_String* path) override;
  // The resource folder.
  void PluginPath(KIT_String* path) override;
  // $HOME/Desktop, or "" without a home folder.
  void DesktopPath(KIT_String* path) override;
  void PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir, char* extension) override;
  // There is no colour dialog: false.
  bool PromptForColor(IColor* color, char* prompt) override { return false; }
  // There is no browser: false.
  bool OpenURL(const char* url, const char* msgWindowTitle, const char* confirmMsg,
               const char* errMsgOnFailure) override {
    return false;
  }
  // Closes any open view and opens a new one; returns it (a HeadlessView*).
  // The parent is not used.
  void* OpenWindow(void* parentView) override;
  void CloseWindow() override;
  void* GetWindow() override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  // The image of resource name ("resources/img/knob.png" is "knob.png" in
  // the resource folder); the id is not used. On failure says on stderr
  // what was missing and where it was looked for, and returns null.
  PIX_IBitmap* OSLoadBitmap(int id, const char* name) override;
  // The resource's file in the resource folder, when it is there.
  bool OSImageFile(int id, const char* name, KIT_String* path) override;

  // ---- Headless platform ----

  void SetBundleID(const char* id) { mBundleID.Set(id); }
  const char* GetBundleID() const { return mBundleID.Get(); }
  // The caller's answers to prompts (not owned); null answers "cancelled".
  void SetPrompts(IPlatformPrompts* prompts) { mPrompts = prompts; }
  IPlatformPrompts* GetPrompts() const { return mPrompts; }
  HeadlessView* GetView() const { return mView; }
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
  HeadlessView* mView = nullptr;
  KIT_String mBundleID;
  IPlatformPrompts* mPrompts = nullptr;
};
