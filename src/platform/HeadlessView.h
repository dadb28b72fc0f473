#pragma once
// The view the headless editor opens in place of a window-system view. It
// receives what a window system would send (timer ticks, repaint requests,
// mouse, wheel and key events in view coordinates), turns them into editor
// calls, keeps the open text field, shows popup menus, and holds the
// "screen": the image the repaints present, which a caller can read or
// write to a PNG file.
//
// Ownership: the editor (IGraphicsHeadless) creates the view in OpenWindow
// and deletes it in CloseWindow; the view's pointer to the editor is
// non-owning and null once the view has let go of it. The view owns its
// screen image, text field and menus while they are shown.
//
// Threads: main thread only, like the window system it stands in for.

#include <memory>

#include "graphics/IGraphicsStructs.h"
#include "platform/ViewGeometry.h"

class HeadlessTextField;
class IControl;
class IGraphicsHeadless;
class IParam;
class IPopupMenu;
class PIX_IBitmap;
class PIX_MemBitmap;

class HeadlessView {
public:
  // What became of a key event.
  enum EKeyResult {
    kKeyDropped,       // not exactly one character: nobody gets it
    kKeyConsumed,      // a control took it
    kKeyPassedToHost,  // unmapped or not consumed: the next responder gets it
  };

  // The view's frame is the editor's size; its refresh timer runs at the
  // editor's frame rate from now until KillTimer.
  explicit HeadlessView(IGraphicsHeadless* graphics);
  ~HeadlessView();
  HeadlessView(const HeadlessView&) = delete;
  HeadlessView& operator=(const HeadlessView&) = delete;

  // The editor lets go of the view (CloseWindow); the view stays inert.
  void DetachGraphics() { mGraphics = nullptr; }

  // ---- Timer and repaint ----

  bool TimerRunning() const { return mTimerRunning; }
  // Timer period in seconds: 1 / frame rate.
  double TimerInterval() const { return mTimerInterval; }
  void KillTimer() { mTimerRunning = false; }
  // One timer firing: asks for a repaint of the dirty area, then lets the
  // window system display what was asked for. True when something was drawn;
  // repainted (when given) receives the editor area drawn.
  bool OnTimer(IRECT* repainted = nullptr);
  // Adds a rectangle to the area waiting to be repainted.
  void SetNeedsDisplayInRect(const ViewRect& r);
  // Marks the whole view.
  void SetNeedsDisplay();
  // The area asked for most recently (empty size before the first request).
  const ViewRect& GetLastRepaintRequest() const { return mLastRequest; }
  // Repaints the waiting area, if any; true when it drew.
  bool DisplayIfNeeded(IRECT* repainted = nullptr);
  // The window system's repaint callback.
  void DrawRect(const ViewRect& r);
  // Kept as the window system's view answers it, though nothing here asks:
  // opaque while the editor is attached.
  bool IsOpaque() const { return mGraphics != nullptr; }

  // ---- Screen ----

  // The presented image, in device pixels: the editor's size times its
  // screen scale. The view's own coordinates stay in editor pixels (points),
  // as a window system's do on a high-density screen.
  PIX_IBitmap* GetScreen();
  // Copies the device rectangle r of pixels (clipped to both) to the same
  // place on the screen.
  void Present(PIX_IBitmap* pixels, const IRECT& r);
  // Follows the editor's size; the screen follows its size in device pixels.
  void SetFrameSize(int w, int h);
  int GetWidth() const { return mWidth; }

  // ---- Events (view coordinates) ----

  // clickCount below 2 is a click, from 2 a double click.
  void MouseDown(const ViewPoint& p, const ViewModifiers& mods, int clickCount = 1);
  void MouseUp(const ViewPoint& p, const ViewModifiers& mods);
  // Ignored while a text field is open.
  void MouseDragged(const ViewPoint& p, const ViewModifiers& mods);
  void RightMouseDown(const ViewPoint& p, const ViewModifiers& mods, int clickCount = 1);
  void RightMouseUp(const ViewPoint& p, const ViewModifiers& mods);
  // The window system's right-button drag, as the view it stands in for takes
  // it; no caller drives it yet.
  void RightMouseDragged(const ViewPoint& p, const ViewModifiers& mods);
  void MouseMoved(const ViewPoint& p, const ViewModifiers& mods);
  // Closes an open text field first; the delta is truncated to whole steps.
  void ScrollWheel(const ViewPoint& p, const ViewModifiers& mods, double deltaY);
  // characters: the key's characters ignoring modifiers (UTF-8). The editor
  // gets the key at the last mouse position.
  EKeyResult KeyDown(unsigned short keyCode, const char* characters);
  // The last mouse position in editor coordinates.
  int GetPrevX() const { return mPrevX; }
  int GetPrevY() const { return mPrevY; }

  // The host takes the view away: closes an open text field and, when still
  // attached, detaches and closes the editor's window, which deletes this
  // view. Nothing may touch the view after this call.
  void RemoveFromSuperview();

  // ---- Text entry and menus ----

  // Opens a field over frame unless there is no control or a field is
  // already open, then lets the caller's prompts answer it.
  void CreateTextEntry(IControl* control, IParam* param, const IText* text, const char* str,
                       const ViewRect& frame);
  // Null while no field is open.
  HeadlessTextField* GetTextField() const { return mTextField.get(); }
  // The field's editing ends: with commit, its text goes to the parameter
  // (SetFromStringAfterPrompt) or, without one, to the control
  // (TextFromTextEntry). The field closes and the view is marked for
  // repainting. Nothing happens while no field is open.
  void EndTextEntry(bool commit);
  // Shows the menu through the caller's prompts at frame's lower-left
  // corner moved 4 points down. Returns the IPopupMenu holding the chosen
  // item, with its chosen index set, or null when nothing was chosen.
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, const ViewRect& frame);

private:
  void ToEditor(const ViewPoint& p, int* x, int* y);
  // A button's events, for either button: mod says which it was.
  void ButtonDown(const ViewPoint& p, IMouseMod mod, int clickCount);
  void ButtonUp(const ViewPoint& p, IMouseMod mod);
  void ButtonDragged(const ViewPoint& p, IMouseMod mod);
  // Closes the field without committing it.
  void EndUserInput();

  IGraphicsHeadless* mGraphics;
  bool mTimerRunning = true;
  double mTimerInterval;
  int mWidth;
  int mHeight;
  // The screen's size in device pixels; the screen itself is made when
  // first shown or read.
  int mScreenWidth;
  int mScreenHeight;
  std::unique_ptr<PIX_MemBitmap> mScreen;
  bool mNeedsDisplay = false;
  ViewRect mInvalid;
  ViewRect mLastRequest;
  std::unique_ptr<HeadlessTextField> mTextField;
  int mPrevX = 0;
  int mPrevY = 0;
};
