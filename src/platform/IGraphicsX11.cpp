#include "platform/IGraphicsX11.h"

#include <poll.h>
#include <unistd.h>
#include <time.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "graphics/IControl.h"
#include "kit/KIT_TypedBuf.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Font.h"
#include "platform/GraphicsFactory.h"
#include "platform/HeadlessMenu.h"
#include "platform/HeadlessTextField.h"
#include "platform/IGraphicsX11Display.h"
#include "platform/IGraphicsX11Menu.h"
#include "platform/IGraphicsX11Surface.h"
#include "platform/KeyMapping.h"
#include "platform/ViewGeometry.h"

namespace {
// Rows of the field's image are aligned like every editor bitmap.
constexpr unsigned kLineAlignment = 4;
// Room between the field's edge and its text, in pixels.
constexpr int kFieldPadding = 2;
// The caret's distance from the field's top and bottom edges, in pixels.
constexpr int kCaretInset = 2;
// The menu appears this far below the rectangle it belongs to, in pixels.
constexpr int kMenuDrop = 4;
// Longest key text XLookupString may give us.
constexpr int kKeyTextBytes = 16;
constexpr long long kMsPerSecond = 1000;
constexpr long kNsPerMs = 1000000;
// The window's name until a title is set.
const char* const kWindowName = "editor";
// Room for a host name (POSIX HOST_NAME_MAX is 255) and its terminator.
const int kHostNameBytes = 256;
// How long a parent window named by a host may take to reach the server.
constexpr long long kParentWaitMs = 2000;

GC AsGC(void* gc) { return static_cast<GC>(gc); }

bool IsPrintable(const char* text, int n) {
  return n == 1 && static_cast<unsigned char>(text[0]) >= 0x20 && static_cast<unsigned char>(text[0]) < 0x7F;
}
}  // namespace

IGraphicsX11::IGraphicsX11(IPluginBase* plug, int w, int h, int fps) : IGraphicsDesktop(plug, w, h, fps) {}

IGraphicsX11::~IGraphicsX11() { CloseWindow(); }

// ---- Window lifetime ----

void* IGraphicsX11::OpenWindow(void* parentView) {
  CloseWindow();
  OpenDrawing();
  mError.Set("");
  mWindowFailed = false;
  auto connection = std::make_unique<X11Connection>();
  if (!connection->Open(&mError)) return nullptr;
  mConnection = std::move(connection);
  mParent = parentView ? static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parentView)) : 0;
  mTopLevel = mParent == 0;
  // CloseWindow frees whatever of the window was made before a failure.
  if (!CreateEditorWindow()) {
    CloseWindow();
    return nullptr;
  }
  mSurface = std::make_unique<X11Surface>();
  if (!FitSurface()) {
    CloseWindow();
    return nullptr;
  }
  Display* display = mConnection->Get();
  if (!mAwaitingParent) XMapWindow(display, mWindow);
  XFlush(display);
  mWindowAlive = true;
  mCloseRequested = false;
  mClicks.Reset();
  mLastTickMs = NowMs();
  // The first frame shows the whole editor, as the first exposure would.
  AddPending(IRECT(0, 0, Width(), Height()));
  return reinterpret_cast<void*>(static_cast<uintptr_t>(mWindow));
}

bool IGraphicsX11::FitSurface() {
  Display* display = mConnection->Get();
  const int screen = DefaultScreen(display);
  return mSurface->Create(mConnection.get(), mWindow, AsGC(mGC), DefaultVisual(display, screen),
                          DefaultDepth(display, screen), ScreenWidth(), ScreenHeight(), mAllowShm, &mError);
}

bool IGraphicsX11::CreateEditorWindow() {
  Display* display = mConnection->Get();
  const int screen = DefaultScreen(display);
  const Window parent = mTopLevel ? RootWindow(display, screen) : static_cast<Window>(mParent);
  XSetWindowAttributes attributes = {};
  attributes.background_pixel = BlackPixel(display, screen);
  attributes.border_pixel = BlackPixel(display, screen);
  attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask |
                          StructureNotifyMask | FocusChangeMask;
  auto create = [&](Window under) {
    mConnection->BeginTrap();
    const Window made = XCreateWindow(display, under, 0, 0, static_cast<unsigned>(ScreenWidth()),
                                      static_cast<unsigned>(ScreenHeight()), 0, DefaultDepth(display, screen), InputOutput,
                                      DefaultVisual(display, screen), CWBackPixel | CWBorderPixel | CWEventMask,
                                      &attributes);
    return mConnection->EndTrap() == Success ? made : static_cast<Window>(0);
  };
  Window window = create(parent);
  // A host's window may not have reached the server yet: the host made it
  // on its own connection and is waiting for this call before it sends
  // anything. The editor's window waits under the root until it has.
  mAwaitingParent = !window && !mTopLevel;
  if (mAwaitingParent) {
    window = create(RootWindow(display, screen));
    mParentDeadlineMs = NowMs() + kParentWaitMs;
  }
  if (!window) {
    mError.Set("the X server refused the editor's window");
    return false;
  }
  mWindow = window;
  mGC = XCreateGC(display, window, 0, nullptr);

  // A name to find the window by (a top-level one gets its title later).
  XStoreName(display, window, kWindowName);
  FixSizeHints();
  if (mTopLevel) {
    mDeleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
    Atom protocols[] = {static_cast<Atom>(mDeleteAtom)};
    XSetWMProtocols(display, window, protocols, 1);
    SetDesktopProperties();
  }
  return true;
}

void IGraphicsX11::CloseWindow() {
  if (!mConnection) return;
  CloseField(false);
  Display* display = mConnection->Get();
  const bool usable = !mConnection->IsLost();
  ShowMouseCursor();
  mSurface.reset();  // before the display closes
  if (usable) {
    if (mGC) XFreeGC(display, AsGC(mGC));
    if (mBlankCursor) XFreeCursor(display, mBlankCursor);
    if (mWindowAlive) XDestroyWindow(display, mWindow);
    XSync(display, False);
  }
  mGC = nullptr;
  mBlankCursor = 0;
  mConnection.reset();
  mWindow = 0;
  mWindowAlive = false;
  mHasPending = false;
}

void IGraphicsX11::EndWindow(const char* reason) {
  mError.Set(reason);
  mWindowFailed = true;
  std::fprintf(stderr, "editor: %s; the editor's window is closed\n", reason);
  CloseWindow();
}

bool IGraphicsX11::WindowIsOpen() { return mConnection != nullptr && mWindowAlive; }

void* IGraphicsX11::GetWindow() {
  return WindowIsOpen() ? reinterpret_cast<void*>(static_cast<uintptr_t>(mWindow)) : nullptr;
}

void IGraphicsX11::Sync() {
  if (WindowIsOpen() && !mConnection->IsLost()) XSync(mConnection->Get(), False);
}

bool IGraphicsX11::UsesShm() const { return mSurface && mSurface->UsesShm(); }

void IGraphicsX11::SetTitle(const char* title) {
  if (!WindowIsOpen() || !mTopLevel || !title) return;
  Display* display = mConnection->Get();
  XStoreName(display, mWindow, title);
  // WM_NAME is Latin-1; desktops show this UTF-8 copy, which keeps any file name intact.
  XChangeProperty(display, mWindow, XInternAtom(display, "_NET_WM_NAME", False),
                  XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title), static_cast<int>(std::strlen(title)));
  XFlush(display);
}

void IGraphicsX11::SetWindowClass(const char* instanceName, const char* className) {
  mClassInstance.Set(instanceName);
  mClassName.Set(className);
}

// Set before the window is mapped: window managers read them once, at the map.
void IGraphicsX11::SetDesktopProperties() {
  Display* display = mConnection->Get();
  if (mClassName.GetLength() > 0) {
    XClassHint hint = {const_cast<char*>(mClassInstance.Get()), const_cast<char*>(mClassName.Get())};
    XSetClassHint(display, mWindow, &hint);
  }
  // A CARDINAL of format 32 travels as a long in Xlib.
  const long pid = static_cast<long>(getpid());
  XChangeProperty(display, mWindow, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  char host[kHostNameBytes] = {};
  if (gethostname(host, sizeof host - 1) != 0) return;
  char* names[] = {host};
  XTextProperty machine;
  if (!XStringListToTextProperty(names, 1, &machine)) return;
  XSetWMClientMachine(display, mWindow, &machine);
  XFree(machine.value);
}

void IGraphicsX11::FixSizeHints() {
  XSizeHints* hints = XAllocSizeHints();
  if (!hints) return;
  hints->flags = PMinSize | PMaxSize;
  hints->min_width = hints->max_width = ScreenWidth();
  hints->min_height = hints->max_height = ScreenHeight();
  XSetWMNormalHints(mConnection->Get(), mWindow, hints);
  XFree(hints);
}

void IGraphicsX11::OnScreenScaleChanged() {
  if (!WindowIsOpen()) return;
  FixSizeHints();
  XResizeWindow(mConnection->Get(), mWindow, static_cast<unsigned>(ScreenWidth()),
                static_cast<unsigned>(ScreenHeight()));
  if (!FitSurface()) {
    EndWindow(mError.Get());
    return;
  }
  AddPending(IRECT(0, 0, Width(), Height()));
}

// ---- Refresh ----

long long IGraphicsX11::NowMs() const {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * kMsPerSecond + now.tv_nsec / kNsPerMs;
}

int IGraphicsX11::MillisecondsToNextTick() const {
  const long long period = kMsPerSecond / FPS();
  const long long left = mLastTickMs + period - NowMs();
  return left > 0 ? static_cast<int>(left) : 0;
}

int IGraphicsX11::ConnectionFd() const { return mConnection ? ConnectionNumber(mConnection->Get()) : -1; }

void IGraphicsX11::AddPending(const IRECT& r) {
  mPending = mHasPending ? mPending.Union(r) : r;
  mHasPending = true;
}

bool IGraphicsX11::Tick(IRECT* repainted) {
  if (!WindowIsOpen()) return false;
  IRECT dirty;
  // The area a view asks the window system for, and gets back to draw:
  // one pixel wider and taller than the dirty area.
  if (IsDirty(&dirty)) AddPending(ToIRECT(ToViewRect(dirty, Height()), Height()));
  if (!mHasPending) return false;
  IRECT area = mPending;
  mHasPending = false;
  Draw(&area);
  if (repainted) *repainted = area;
  if (mConnection && mConnection->IsLost()) EndWindow("the X display went away");
  return true;
}

bool IGraphicsX11::DrawScreen(IRECT* r) {
  if (!WindowIsOpen() || !r) return false;
  IRECT device;
  PIX_IBitmap* pixels = ScreenPixels(*r, &device);
  mSurface->Put(pixels, device.L, device.T, device.W(), device.H(), device.L, device.T);
  if (mTextField && mTextField->GetRECT().Intersects(*r)) DrawField();
  return true;
}

void IGraphicsX11::HandleEvents() {
  if (!WindowIsOpen()) return;
  Display* display = mConnection->Get();
  while (mConnection && !mConnection->IsLost() && mWindowAlive && XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    HandleEvent(&event);
  }
  if (!mConnection) return;
  if (mConnection->IsLost())
    EndWindow("the X display went away");
  else if (!mWindowAlive)
    EndWindow("the editor's window was destroyed");
}

void IGraphicsX11::AdoptParent() {
  mConnection->BeginTrap();
  XReparentWindow(mConnection->Get(), mWindow, static_cast<Window>(mParent), 0, 0);
  if (mConnection->EndTrap() == Success) {
    mAwaitingParent = false;
    XMapWindow(mConnection->Get(), mWindow);
    XFlush(mConnection->Get());
  } else if (NowMs() > mParentDeadlineMs) {
    EndWindow("the parent window does not exist");
  }
}

bool IGraphicsX11::Idle() {
  if (WindowIsOpen() && mAwaitingParent) AdoptParent();
  HandleEvents();
  if (!WindowIsOpen()) return false;
  if (MillisecondsToNextTick() == 0) {
    const long long now = NowMs();
    const long long period = kMsPerSecond / FPS();
    // Keep the cadence, but never run behind by more than a frame.
    mLastTickMs = now - mLastTickMs > 2 * period ? now : mLastTickMs + period;
    Tick();
  }
  return WindowIsOpen();
}

bool IGraphicsX11::RunUntilClosed(const volatile std::sig_atomic_t* stop, void (*afterTick)(void*), void* user) {
  while (WindowIsOpen() && !mCloseRequested && !(stop && *stop)) {
    pollfd fd = {ConnectionFd(), POLLIN, 0};
    poll(&fd, 1, MillisecondsToNextTick());
    const long long before = mLastTickMs;
    Idle();
    if (afterTick && mLastTickMs != before) afterTick(user);
  }
  return !mWindowFailed;
}

// ---- Events ----

void IGraphicsX11::HandleEvent(_XEvent* e) {
  XEvent* event = reinterpret_cast<XEvent*>(e);
  if (event->xany.window != mWindow) return;
  switch (event->type) {
    case Expose: {
      // The editor pixels that cover the exposed device pixels.
      IRECT exposed;
      ScreenToEditor(event->xexpose.x, event->xexpose.y, &exposed.L, &exposed.T);
      ScreenToEditor(event->xexpose.x + event->xexpose.width - 1, event->xexpose.y + event->xexpose.height - 1,
                     &exposed.R, &exposed.B);
      AddPending(IRECT(exposed.L, exposed.T, exposed.R + 1, exposed.B + 1));
      if (event->xexpose.count == 0) {
        // Repaint what was uncovered now, not at the next tick.
        const long long lastTick = mLastTickMs;
        Tick();
        mLastTickMs = lastTick;
      }
      break;
    }
    case ButtonPress:
      OnButtonPress(e);
      break;
    case ButtonRelease:
      OnButtonRelease(e);
      break;
    case MotionNotify:
      OnMotion(e);
      break;
    case KeyPress:
      OnKeyPress(e);
      break;
    case ClientMessage:
      if (mTopLevel && static_cast<unsigned long>(event->xclient.data.l[0]) == mDeleteAtom) mCloseRequested = true;
      break;
    case DestroyNotify:
      mWindowAlive = false;
      break;
    default:
      break;
  }
}

void IGraphicsX11::OnButtonPress(_XEvent* e) {
  const XButtonEvent& b = reinterpret_cast<XEvent*>(e)->xbutton;
  int x, y;
  ScreenToEditor(b.x, b.y, &x, &y);
  mPrevX = x;
  mPrevY = y;
  const ViewModifiers mods = X11StateToModifiers(b.state);
  const int wheel = X11WheelDelta(b.button);
  if (wheel != 0) {
    CloseField(false);
    IMouseMod mod = GetMouseMod(mods);
    OnMouseWheel(x, y, &mod, wheel);
    return;
  }
  if (mTextField) {
    // A click elsewhere ends the typing as leaving a Mac text field does.
    if (!mTextField->GetRECT().Contains(x, y)) CloseField(true);
    return;
  }
  if (b.button != kX11ButtonLeft && b.button != kX11ButtonRight) return;
  const bool right = b.button == kX11ButtonRight;
  const int clicks = mClicks.Press(b.button, b.x, b.y, b.time);
  IMouseMod mod = right ? GetRightMouseMod(mods) : GetMouseMod(mods);
  if (clicks < 2)
    OnMouseDown(x, y, &mod);
  else
    OnMouseDblClick(x, y, &mod);
}

void IGraphicsX11::OnButtonRelease(_XEvent* e) {
  const XButtonEvent& b = reinterpret_cast<XEvent*>(e)->xbutton;
  if (b.button != kX11ButtonLeft && b.button != kX11ButtonRight) return;
  ScreenToEditor(b.x, b.y, &mPrevX, &mPrevY);
  const ViewModifiers mods = X11StateToModifiers(b.state);
  IMouseMod mod = b.button == kX11ButtonRight ? GetRightMouseMod(mods) : GetMouseMod(mods);
  OnMouseUp(mPrevX, mPrevY, &mod);
}

void IGraphicsX11::OnMotion(_XEvent* e) {
  XEvent* event = reinterpret_cast<XEvent*>(e);
  // Only the newest position of a burst of movements matters (the editor
  // takes the movement from the last position it saw); a press or release
  // in between ends the burst, so nothing moves across it.
  Display* display = mConnection->Get();
  XEvent next;
  while (XEventsQueued(display, QueuedAlready) > 0) {
    XPeekEvent(display, &next);
    if (next.type != MotionNotify || next.xany.window != mWindow) break;
    XNextEvent(display, event);
  }
  const XMotionEvent& m = event->xmotion;
  ScreenToEditor(m.x, m.y, &mPrevX, &mPrevY);
  const ViewModifiers mods = X11StateToModifiers(m.state);
  if (m.state & Button1Mask) {
    if (mTextField) return;
    IMouseMod mod = GetMouseMod(mods);
    OnMouseDrag(mPrevX, mPrevY, &mod);
  } else if (m.state & Button3Mask) {
    if (mTextField) return;
    IMouseMod mod = GetRightMouseMod(mods);
    OnMouseDrag(mPrevX, mPrevY, &mod);
  } else {
    IMouseMod mod = GetMouseMod(mods);
    OnMouseOver(mPrevX, mPrevY, &mod);
  }
}

void IGraphicsX11::OnKeyPress(_XEvent* e) {
  XEvent* event = reinterpret_cast<XEvent*>(e);
  if (mTextField && FieldKeyPress(e)) return;
  char text[kKeyTextBytes] = {};
  KeySym keysym = NoSymbol;
  const int n = XLookupString(&event->xkey, text, sizeof(text) - 1, &keysym, nullptr);
  const unsigned short code = X11KeySymToViewKeyCode(XLookupKeysym(&event->xkey, 0));
  int key = -1;
  if (code != kViewKeyNone)
    key = MapViewKey(code, nullptr);
  else if (n >= 0 && CountUtf8Chars(text) == 1)
    key = MapViewKey(kViewKeyNone, text);
  if (key >= 0 && OnKeyDown(mPrevX, mPrevY, key)) return;
  // Not ours: the host's window gets it, as the next responder would.
  if (!mTopLevel) {
    XEvent forwarded = *event;
    forwarded.xkey.window = static_cast<Window>(mParent);
    XSendEvent(mConnection->Get(), static_cast<Window>(mParent), True, KeyPressMask, &forwarded);
    XFlush(mConnection->Get());
  }
}

// ---- Text entry ----

void IGraphicsX11::CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str, IParam* param) {
  if (!WindowIsOpen() || !control || !text || !textRect || mTextField) return;
  mTextField = std::make_unique<HeadlessTextField>(control, param, text, str, ToViewRect(*textRect, Height()), Height());
  // Typing goes to the field, also inside a host's window.
  XSetInputFocus(mConnection->Get(), mWindow, RevertToParent, CurrentTime);
  DrawField();
}

bool IGraphicsX11::FieldKeyPress(_XEvent* e) {
  XEvent* event = reinterpret_cast<XEvent*>(e);
  char text[kKeyTextBytes] = {};
  KeySym keysym = NoSymbol;
  const int n = XLookupString(&event->xkey, text, sizeof(text) - 1, &keysym, nullptr);
  switch (keysym) {
    case XK_Return:
    case XK_KP_Enter:
    case XK_Tab:
      CloseField(true);
      return true;
    case XK_Escape:
      CloseField(false);
      return true;
    case XK_BackSpace:
      mTextField->Backspace();
      break;
    default:
      if (IsPrintable(text, n)) mTextField->Type(text);
      break;
  }
  DrawField();
  return true;
}

void IGraphicsX11::CloseField(bool commit) {
  if (!mTextField) return;
  // Taken first: the editor's handling may open another entry.
  KIT_String text(mTextField->GetString());
  IControl* control = mTextField->GetControl();
  IParam* param = mTextField->GetParam();
  mTextField.reset();
  if (commit) {
    KIT_TypedBuf<char> buf;
    buf.Resize(text.GetLength() + 1);
    std::copy(text.Get(), text.Get() + text.GetLength() + 1, buf.Get());
    if (param)
      SetFromStringAfterPrompt(control, param, buf.Get());
    else
      control->TextFromTextEntry(buf.Get());
  }
  if (WindowIsOpen()) AddPending(IRECT(0, 0, Width(), Height()));
}

void IGraphicsX11::ForceEndUserEdit() { CloseField(false); }

void IGraphicsX11::DrawField() {
  if (!mTextField || !mSurface) return;
  const IRECT r = mTextField->GetRECT();
  const int w = r.W();
  const int h = r.H();
  if (w <= 0 || h <= 0) return;
  if (!mFieldBitmap) mFieldBitmap = std::make_unique<PIX_MemBitmap>(0, 0, kLineAlignment);
  mFieldBitmap->resize(w, h);
  IColor background = mTextField->GetBackgroundColor();
  IColor foreground = mTextField->GetTextColor();
  PIX_FillRect(mFieldBitmap.get(), 0, 0, w, h, PixColor(&background), 1.0f, PIX_MODE_COPY);

  const HeadlessTextField::EAlignment align = mTextField->GetAlignment();
  IText style(mTextField->GetFontSize(), &foreground, mTextField->GetFontName(), IText::kStyleNormal,
              static_cast<IText::EAlign>(align));
  int caretX = kFieldPadding;
  if (PIX_CachedFont* font = CacheFont(&style)) {
    font->SetTextColor(PixColor(&foreground));
    unsigned flags = PIX_TEXT_VCENTER | PIX_TEXT_NOCLIP;
    if (align == HeadlessTextField::kAlignCenter) flags |= PIX_TEXT_HCENTER;
    if (align == HeadlessTextField::kAlignRight) flags |= PIX_TEXT_RIGHT;
    RECT measured = {0, 0, 0, 0};
    font->DrawText(nullptr, mTextField->GetString(), -1, &measured, PIX_TEXT_MEASURE);
    const int textW = measured.right - measured.left;
    RECT box = {kFieldPadding, 0, w - kFieldPadding, h};
    font->DrawText(mFieldBitmap.get(), mTextField->GetString(), -1, &box, flags);
    if (align == HeadlessTextField::kAlignCenter)
      caretX = (w + textW) / 2;
    else if (align == HeadlessTextField::kAlignRight)
      caretX = w - kFieldPadding;
    else
      caretX = kFieldPadding + textW;
  }
  caretX = std::min(caretX, w - 1);
  PIX_FillRect(mFieldBitmap.get(), caretX, kCaretInset, 1, std::max(h - 2 * kCaretInset, 1), PixColor(&foreground),
               1.0f, PIX_MODE_COPY);
  const IRECT device = ToScreen(r);
  mSurface->Put(mFieldBitmap.get(), 0, 0, w, h, device.L, device.T);
}

// ---- Menus ----

IPopupMenu* IGraphicsX11::CreateIPopupMenu(IPopupMenu* menu, IRECT* textRect) {
  ReleaseMouseCapture();
  if (!WindowIsOpen() || !menu || !textRect) return nullptr;
  HeadlessMenu shown(menu);
  Window child;
  int rootX = 0, rootY = 0;
  XTranslateCoordinates(mConnection->Get(), mWindow, DefaultRootWindow(mConnection->Get()), textRect->L,
                        textRect->B + 1 + kMenuDrop, &rootX, &rootY, &child);
  const HeadlessMenuEntry* chosen = RunX11PopupMenu(mConnection.get(), this, shown, rootX, rootY);
  if (mConnection->IsLost()) {
    EndWindow("the X display went away");
    return nullptr;
  }
  return shown.TakeChoice(chosen);
}

// ---- Cursor and prompts ----

void IGraphicsX11::HideMouseCursor() {
  if (mCursorHidden || !WindowIsOpen()) return;
  Display* display = mConnection->Get();
  if (!mBlankCursor) {
    static const char kNoBits[1] = {0};
    Pixmap empty = XCreateBitmapFromData(display, mWindow, kNoBits, 1, 1);
    XColor black = {};
    mBlankCursor = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display, empty);
  }
  Window root, child;
  int rootX, rootY, x, y;
  unsigned mask;
  if (XQueryPointer(display, mWindow, &root, &child, &rootX, &rootY, &x, &y, &mask)) {
    mHiddenMousePointX = rootX;
    mHiddenMousePointY = rootY;
  }
  XDefineCursor(display, mWindow, mBlankCursor);
  XFlush(display);
  mCursorHidden = true;
}

void IGraphicsX11::ShowMouseCursor() {
  if (!mCursorHidden) return;
  mCursorHidden = false;
  if (!WindowIsOpen() || mConnection->IsLost()) return;
  Display* display = mConnection->Get();
  XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, mHiddenMousePointX, mHiddenMousePointY);
  XUndefineCursor(display, mWindow);
  XFlush(display);
}

int IGraphicsX11::ShowMessageBox(const char* text, const char* caption, int type) {
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "editor", text ? text : "");
  return 0;
}

void IGraphicsX11::PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir, char* extension) {
  fileName->Set("");
}

// ---- Factory ----

IGraphics* MakeGraphicsX11(IPluginBase* plug, int w, int h, int fps) { return new IGraphicsX11(plug, w, h, fps); }

void UseX11Editors() { SetPlatformGraphicsMaker(MakeGraphicsX11); }
