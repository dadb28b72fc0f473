#pragma once
// The editor's platform half for X11 (Xlib). OpenWindow makes the editor's
// window inside a parent window the caller names (a host's window id), or
// a top-level window without one; the caller then runs the refresh: Idle()
// as often as it likes (it handles the waiting events and ticks at the
// editor's frame rate), or RunUntilClosed() in a program of its own.
//
// What the window system gives the editor here, as the editor expects it:
// - window pixels are device pixels: the editor's size times its screen
//   scale (SetScreenScale); positions are divided back to editor pixels
//   (origin top left, y down) before the editor sees them;
// - each tick asks IsDirty and repaints that area, as a Mac view asks for
//   its dirty area (one pixel wider and taller), together with the areas
//   the server asked to be exposed; the screen copy sends only that area,
//   through MIT-SHM when the server offers it, XPutImage otherwise;
// - buttons with click counts (a second click within 400 ms in one place is
//   a double click), Shift, Control and Alt; the right button, and the left
//   one with Super held, are right clicks; the wheel in whole steps;
// - keys mapped to the editor's key codes at the last mouse position; a key
//   the editor does not take goes to the parent window;
// - a single-line text field drawn in the window, filtered like a Mac
//   text field; popup menus in override-redirect windows of their own;
// - the PNG resources of the resource folder (IGraphicsDesktop).
// A lost display (the server went away) ends the window cleanly: the
// editor and its plug-in stay, Idle() answers false, WindowIsOpen() false.
// No display at all: OpenWindow answers null and GetLastError() says why. A
// parent window that has not reached the server yet (a host made it on its
// own connection) is waited for up to two seconds of Idle() calls; one
// that never comes ends the window with "the parent window does not exist".
//
// Ownership: made by the graphics factory (MakeGraphicsX11) and owned by
// the plug-in base like every editor. It owns its connection, window,
// screen image, text field and menus while they are open.
//
// Threads: main thread (the thread that opened the window), except the
// plug-in relays of IGraphics, which only mark controls dirty.

#include <csignal>
#include <memory>

#include "kit/KIT_String.h"
#include "platform/IGraphicsDesktop.h"
#include "platform/IGraphicsX11Input.h"

class HeadlessTextField;
class IPluginBase;
class PIX_MemBitmap;
class X11Connection;
class X11Surface;
union _XEvent;

class IGraphicsX11 : public IGraphicsDesktop {
public:
  IGraphicsX11(IPluginBase* plug, int w, int h, int fps);
  // Closes the window first.
  ~IGraphicsX11() override;

  // ---- Platform operations of IGraphics ----

  // Sends the area r of the draw bitmap to the window; false while no
  // window is open.
  bool DrawScreen(IRECT* r) override;
  // Closes an open text field without committing it.
  void ForceEndUserEdit() override;
  // The window (and a top-level window's fixed size) and its surface
  // follow the editor's size in device pixels.
  void OnScreenScaleChanged() override;
  bool WindowIsOpen() override;
  const char* GetGUIAPI() override { return "X11 gui"; }
  // Written to stderr; there are no buttons to press: answers 0.
  int ShowMessageBox(const char* text, const char* caption, int type) override;
  // Releases the mouse capture first; runs the menu until a choice or a
  // dismissal. Null while no window is open.
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* textRect) override;
  // Only while a window is open.
  void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str, IParam* param) override;
  // There is no file dialog: fileName comes back empty (cancelled).
  void PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir, char* extension) override;
  // parentView is the parent's X window id (cast to a pointer), or null for
  // a top-level window. Closes any open window first. Returns the new
  // window's id as a pointer, or null (GetLastError() says why).
  void* OpenWindow(void* parentView) override;
  void CloseWindow() override;
  // The window's id as a pointer, null while closed.
  void* GetWindow() override;
  void HideMouseCursor() override;
  void ShowMouseCursor() override;

  // ---- X11 platform ----

  // Why the last OpenWindow failed, or why the window ended.
  const char* GetLastError() const { return mError.Get(); }
  // Handles every waiting event and ticks when a frame period has passed.
  // False once the window is gone (closed, destroyed by its parent, the
  // display lost) or was never opened.
  bool Idle();
  // One refresh tick now: the dirty test and the repaint of the dirty area
  // with the areas waiting to be exposed. False when nothing was drawn;
  // repainted (when given) receives the editor area drawn.
  bool Tick(IRECT* repainted = nullptr);
  // Handles the waiting events only.
  void HandleEvents();
  // Milliseconds until the next tick is due (0 when due).
  int MillisecondsToNextTick() const;
  // The connection's socket, for a caller's poll(); -1 while closed.
  int ConnectionFd() const;
  // Runs the window until it closes, its close button is pressed or *stop
  // becomes non-zero (a signal handler may set it). afterTick, when given,
  // runs after every tick. False when the window ended because the display
  // was lost or the window was destroyed.
  bool RunUntilClosed(const volatile std::sig_atomic_t* stop, void (*afterTick)(void*) = nullptr,
                      void* user = nullptr);
  // The top-level window's title.
  void SetTitle(const char* title);
  // WM_CLASS of the top-level windows opened from now on, for the desktop
  // to tie them to a program's launcher and icon. Every top-level window
  // also carries the process id (_NET_WM_PID) and the host's name
  // (WM_CLIENT_MACHINE).
  void SetWindowClass(const char* instanceName, const char* className);
  unsigned long GetXWindow() const { return mWindow; }
  // Waits until the server has handled every request sent so far: the
  // frame is on the screen.
  void Sync();
  // True when the screen copy goes through shared memory.
  bool UsesShm() const;
  // The open text field, null when none.
  HeadlessTextField* GetTextField() const { return mTextField.get(); }

  // For a caller that wants no shared memory (a test of the other path).
  void SetUseShm(bool use) { mAllowShm = use; }

private:
  // Declares the editor's size as the window's only size. A window manager
  // then keeps a top-level window at it; an embedding host reads it too
  // (suil, in Ardour, then centres the editor in a plug-in window wider
  // than it, where it would otherwise stretch the window to that width).
  void FixSizeHints();
  // The editor's window (under the root while a host's parent is awaited),
  // its GC and a top-level window's properties; false with the reason in
  // mError.
  bool CreateEditorWindow();
  // The window's screen image at the editor's size in device pixels; false
  // with the reason in mError.
  bool FitSurface();
  void HandleEvent(_XEvent* event);
  void OnButtonPress(_XEvent* event);
  void OnButtonRelease(_XEvent* event);
  void OnMotion(_XEvent* event);
  void OnKeyPress(_XEvent* event);
  bool FieldKeyPress(_XEvent* event);
  void AddPending(const IRECT& r);
  // The window is gone: stop using it, keep the reason.
  void EndWindow(const char* reason);
  // Moves the window into its parent once the parent exists.
  void AdoptParent();
  // WM_CLASS, _NET_WM_PID and WM_CLIENT_MACHINE of a new top-level window.
  void SetDesktopProperties();
  void CloseField(bool commit);
  void DrawField();
  long long NowMs() const;

  std::unique_ptr<X11Connection> mConnection;
  std::unique_ptr<X11Surface> mSurface;
  unsigned long mWindow = 0;
  unsigned long mParent = 0;
  void* mGC = nullptr;
  unsigned long mDeleteAtom = 0;
  unsigned long mBlankCursor = 0;
  bool mTopLevel = false;
  bool mWindowAlive = false;
  bool mCloseRequested = false;
  bool mWindowFailed = false;
  bool mAwaitingParent = false;
  long long mParentDeadlineMs = 0;
  bool mAllowShm = true;
  KIT_String mError;
  KIT_String mClassInstance;
  KIT_String mClassName;

  bool mHasPending = false;
  IRECT mPending;
  long long mLastTickMs = 0;
  X11ClickCounter mClicks;
  int mPrevX = 0;
  int mPrevY = 0;

  std::unique_ptr<HeadlessTextField> mTextField;
  std::unique_ptr<PIX_MemBitmap> mFieldBitmap;
};

// The graphics factory's maker for X11 editors: the editor of w x h pixels
// at fps frames per second for plug. UseX11Editors() makes every editor
// that MakeGraphics builds from then on an X11 one.
IGraphics* MakeGraphicsX11(IPluginBase* plug, int w, int h, int fps);
void UseX11Editors();
