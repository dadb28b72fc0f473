#include "platform/IGraphicsX11Menu.h"

#include <poll.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <memory>

#include "graphics/IGraphics.h"
#include "kit/KIT_TypedBuf.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Font.h"
#include "platform/HeadlessMenu.h"
#include "platform/IGraphicsX11Display.h"
#include "platform/IGraphicsX11Surface.h"

namespace {
// Menu text size in pixels, a little larger than the editor's labels.
constexpr int kFontSize = 12;
// Space above and below an entry's text, and left and right of the menu.
constexpr int kRowPadding = 3;
constexpr int kSidePadding = 8;
// Column of the check mark, and of the submenu arrow.
constexpr int kCheckColumn = 14;
constexpr int kArrowColumn = 14;
// A title entry is indented by this much per level.
constexpr int kIndent = 12;
// A separator's row.
constexpr int kSeparatorHeight = 7;
// Side of the square that marks a checked entry.
constexpr int kCheckSize = 6;
// Nested submenus deeper than this are not opened.
constexpr int kMaxLevels = 8;
// While the menu waits, it looks at the display this often (ms).
constexpr int kPollMs = 40;
constexpr unsigned kLineAlignment = 4;
constexpr int kKeyTextBytes = 16;

const IColor kBackground(255, 236, 236, 236);
const IColor kBorder(255, 120, 120, 120);
const IColor kText(255, 0, 0, 0);
const IColor kDisabledText(255, 150, 150, 150);
const IColor kHighlight(255, 48, 96, 192);
const IColor kHighlightText(255, 255, 255, 255);
const IColor kSeparator(255, 180, 180, 180);

unsigned Pix(const IColor& c) { return PixColor(&c); }

bool Selectable(const HeadlessMenuEntry* e) { return e && !e->mSeparator && e->mEnabled; }

struct Level {
  const HeadlessMenu* menu = nullptr;
  Window window = 0;
  X11Surface surface;
  PIX_MemBitmap bitmap{0, 0, kLineAlignment};
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  int highlighted = -1;
  KIT_TypedBuf<int> rowTop;  // entry i spans rowTop[i] to rowTop[i + 1]
};

class MenuSession {
public:
  MenuSession(X11Connection* connection, IGraphics* fonts) : mConnection(connection), mFonts(fonts) {
    mStyle = IText(kFontSize, &kText);
    mFont = mFonts->CacheFont(&mStyle);
    if (mFont) mLineHeight = mFont->GetLineHeight();
  }
  ~MenuSession() { CloseFrom(0); }

  const HeadlessMenuEntry* Run(const HeadlessMenu& menu, int x, int y);

private:
  bool Open(const HeadlessMenu* menu, int x, int y);
  void CloseFrom(int level);
  void Draw(int level);
  int TextWidth(const char* text);
  // The level and entry under a screen point; false outside every level.
  bool Hit(int rootX, int rootY, int* level, int* entry);
  void Highlight(int level, int entry);
  void Move(int step);

  X11Connection* mConnection;
  IGraphics* mFonts;
  IText mStyle;
  PIX_CachedFont* mFont = nullptr;
  int mLineHeight = kFontSize;
  std::unique_ptr<Level> mLevels[kMaxLevels];
  int mDepth = 0;
};

int MenuSession::TextWidth(const char* text) {
  if (!mFont || !text || !*text) return 0;
  RECT r = {0, 0, 0, 0};
  mFont->DrawText(nullptr, text, -1, &r, PIX_TEXT_MEASURE);
  return r.right - r.left;
}

bool MenuSession::Open(const HeadlessMenu* menu, int x, int y) {
  if (mDepth >= kMaxLevels || menu->GetNEntries() == 0) return false;
  Display* display = mConnection->Get();
  const int screen = DefaultScreen(display);
  auto level = std::make_unique<Level>();
  level->menu = menu;
  const int n = menu->GetNEntries();
  level->rowTop.Resize(n + 1);
  int top = 1;
  int width = 0;
  for (int i = 0; i < n; ++i) {
    const HeadlessMenuEntry* e = menu->GetEntry(i);
    level->rowTop.Get()[i] = top;
    top += e->mSeparator ? kSeparatorHeight : mLineHeight + 2 * kRowPadding;
    width = std::max(width, TextWidth(e->mTitle.Get()) + e->mIndentation * kIndent);
  }
  level->rowTop.Get()[n] = top;
  level->w = width + 2 * kSidePadding + kCheckColumn + kArrowColumn;
  level->h = top + 1;
  // Keep the whole menu on the screen.
  level->x = std::max(0, std::min(x, DisplayWidth(display, screen) - level->w));
  level->y = std::max(0, std::min(y, DisplayHeight(display, screen) - level->h));

  XSetWindowAttributes attributes = {};
  attributes.override_redirect = True;
  attributes.save_under = True;
  attributes.background_pixel = WhitePixel(display, screen);
  attributes.event_mask = ExposureMask;
  level->window = XCreateWindow(display, DefaultRootWindow(display), level->x, level->y,
                                static_cast<unsigned>(level->w), static_cast<unsigned>(level->h), 0,
                                DefaultDepth(display, screen), InputOutput, DefaultVisual(display, screen),
                                CWOverrideRedirect | CWSaveUnder | CWBackPixel | CWEventMask, &attributes);
  KIT_String error;
  if (!level->window || !level->surface.Create(mConnection, level->window, DefaultGC(display, screen),
                                               DefaultVisual(display, screen), DefaultDepth(display, screen),
                                               level->w, level->h, true, &error)) {
    if (level->window) XDestroyWindow(display, level->window);
    return false;
  }
  level->bitmap.resize(level->w, level->h);
  XMapRaised(display, level->window);
  mLevels[mDepth++] = std::move(level);
  Draw(mDepth - 1);
  return true;
}

void MenuSession::CloseFrom(int from) {
  Display* display = mConnection->Get();
  while (mDepth > from) {
    const std::unique_ptr<Level> level = std::move(mLevels[--mDepth]);
    level->surface.Release();
    if (!mConnection->IsLost()) XDestroyWindow(display, level->window);
  }
  if (!mConnection->IsLost()) XFlush(display);
}

void MenuSession::Draw(int index) {
  Level* level = mLevels[index].get();
  PIX_IBitmap* b = &level->bitmap;
  PIX_FillRect(b, 0, 0, level->w, level->h, Pix(kBorder), 1.0f, PIX_MODE_COPY);
  PIX_FillRect(b, 1, 1, level->w - 2, level->h - 2, Pix(kBackground), 1.0f, PIX_MODE_COPY);
  for (int i = 0; i < level->menu->GetNEntries(); ++i) {
    const HeadlessMenuEntry* e = level->menu->GetEntry(i);
    const int top = level->rowTop.Get()[i];
    const int bottom = level->rowTop.Get()[i + 1];
    if (e->mSeparator) {
      PIX_FillRect(b, kSidePadding, (top + bottom) / 2, level->w - 2 * kSidePadding, 1, Pix(kSeparator), 1.0f,
                   PIX_MODE_COPY);
      continue;
    }
    const bool lit = i == level->highlighted && Selectable(e);
    if (lit) PIX_FillRect(b, 1, top, level->w - 2, bottom - top, Pix(kHighlight), 1.0f, PIX_MODE_COPY);
    const IColor& ink = !e->mEnabled ? kDisabledText : lit ? kHighlightText : kText;
    if (e->mChecked)
      PIX_FillRect(b, kSidePadding, (top + bottom - kCheckSize) / 2, kCheckSize, kCheckSize, Pix(ink), 1.0f,
                   PIX_MODE_COPY);
    if (mFont) {
      mFont->SetTextColor(Pix(ink));
      RECT box = {kSidePadding + kCheckColumn + e->mIndentation * kIndent, top, level->w - kSidePadding, bottom};
      mFont->DrawText(b, e->mTitle.Get(), -1, &box, PIX_TEXT_VCENTER | PIX_TEXT_NOCLIP);
      if (e->mSubmenu) {
        RECT arrow = {level->w - kSidePadding - kArrowColumn, top, level->w - kSidePadding, bottom};
        mFont->DrawText(b, ">", -1, &arrow, PIX_TEXT_VCENTER | PIX_TEXT_RIGHT | PIX_TEXT_NOCLIP);
      }
    }
  }
  level->surface.Put(b, 0, 0, level->w, level->h, 0, 0);
}

bool MenuSession::Hit(int rootX, int rootY, int* levelIdx, int* entry) {
  for (int l = mDepth - 1; l >= 0; --l) {
    const Level* level = mLevels[l].get();
    const int x = rootX - level->x;
    const int y = rootY - level->y;
    if (x < 0 || y < 0 || x >= level->w || y >= level->h) continue;
    *levelIdx = l;
    *entry = -1;
    for (int i = 0; i < level->menu->GetNEntries(); ++i)
      if (y >= level->rowTop.Get()[i] && y < level->rowTop.Get()[i + 1]) *entry = i;
    return true;
  }
  return false;
}

void MenuSession::Highlight(int levelIdx, int entry) {
  Level* level = mLevels[levelIdx].get();
  if (level->highlighted != entry) {
    level->highlighted = entry;
    Draw(levelIdx);
  }
  const HeadlessMenuEntry* e = level->menu->GetEntry(entry);
  if (levelIdx + 1 < mDepth && (!e || mLevels[levelIdx + 1]->menu != e->mSubmenu.get())) CloseFrom(levelIdx + 1);
  if (e && e->mSubmenu && e->mEnabled && levelIdx + 1 == mDepth)
    Open(e->mSubmenu.get(), level->x + level->w - 1, level->y + level->rowTop.Get()[entry]);
}

void MenuSession::Move(int step) {
  Level* level = mLevels[mDepth - 1].get();
  const int n = level->menu->GetNEntries();
  int i = level->highlighted;
  for (int tries = 0; tries < n; ++tries) {
    i = (i + step + n) % n;
    if (Selectable(level->menu->GetEntry(i))) break;
  }
  level->highlighted = i;
  Draw(mDepth - 1);
}

const HeadlessMenuEntry* MenuSession::Run(const HeadlessMenu& menu, int x, int y) {
  if (!Open(&menu, x, y)) return nullptr;
  Display* display = mConnection->Get();
  const Window grab = mLevels[0]->window;
  XGrabPointer(display, grab, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
               GrabModeAsync, None, None, CurrentTime);
  XGrabKeyboard(display, grab, False, GrabModeAsync, GrabModeAsync, CurrentTime);
  const HeadlessMenuEntry* chosen = nullptr;
  bool done = false;
  while (!done && !mConnection->IsLost()) {
    if (XPending(display) == 0) {
      pollfd fd = {ConnectionNumber(display), POLLIN, 0};
      poll(&fd, 1, kPollMs);
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    int l = -1, entry = -1;
    switch (event.type) {
      case Expose:
        for (int i = 0; i < mDepth; ++i)
          if (mLevels[i]->window == event.xexpose.window && event.xexpose.count == 0) Draw(i);
        break;
      case MotionNotify:
        if (Hit(event.xmotion.x_root, event.xmotion.y_root, &l, &entry)) Highlight(l, entry);
        break;
      case ButtonPress:
        if (!Hit(event.xbutton.x_root, event.xbutton.y_root, &l, &entry)) {
          done = true;  // a click outside dismisses
        } else if (entry >= 0) {
          const HeadlessMenuEntry* e = mLevels[l]->menu->GetEntry(entry);
          if (e->mSubmenu)
            Highlight(l, entry);
          else if (Selectable(e)) {
            chosen = e;
            done = true;
          }
        }
        break;
      case KeyPress: {
        char text[kKeyTextBytes] = {};
        KeySym keysym = NoSymbol;
        XLookupString(&event.xkey, text, sizeof(text) - 1, &keysym, nullptr);
        Level* deepest = mLevels[mDepth - 1].get();
        const HeadlessMenuEntry* lit = deepest->menu->GetEntry(deepest->highlighted);
        if (keysym == XK_Escape) {
          done = true;
        } else if (keysym == XK_Up) {
          Move(-1);
        } else if (keysym == XK_Down) {
          Move(1);
        } else if (keysym == XK_Left && mDepth > 1) {
          CloseFrom(mDepth - 1);
        } else if (keysym == XK_Right && lit && lit->mSubmenu) {
          Highlight(mDepth - 1, deepest->highlighted);
        } else if ((keysym == XK_Return || keysym == XK_KP_Enter) && Selectable(lit) && !lit->mSubmenu) {
          chosen = lit;
          done = true;
        }
        break;
      }
      default:
        break;
    }
  }
  if (!mConnection->IsLost()) {
    XUngrabKeyboard(display, CurrentTime);
    XUngrabPointer(display, CurrentTime);
  }
  CloseFrom(0);
  return mConnection->IsLost() ? nullptr : chosen;
}
}  // namespace

const HeadlessMenuEntry* RunX11PopupMenu(X11Connection* connection, IGraphics* fonts, const HeadlessMenu& menu,
                                         int rootX, int rootY) {
  if (!connection || !connection->IsOpen() || connection->IsLost()) return nullptr;
  MenuSession session(connection, fonts);
  return session.Run(menu, rootX, rootY);
}
