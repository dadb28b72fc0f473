#include "platform/HeadlessView.h"

#include <algorithm>

#include "graphics/IControl.h"
#include "graphics/IPopupMenu.h"
#include "kit/KIT_String.h"
#include "kit/KIT_TypedBuf.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "platform/HeadlessMenu.h"
#include "platform/HeadlessTextField.h"
#include "platform/IGraphicsHeadless.h"
#include "platform/IPlatformPrompts.h"
#include "platform/KeyMapping.h"

namespace {
// Rows of the screen image are aligned like every editor bitmap.
constexpr unsigned kLineAlignment = 4;
// The menu appears this far below the rectangle it belongs to.
constexpr double kMenuDrop = 4.0;
constexpr unsigned kOpaqueBlack = 0xFF;

ViewRect UnionOf(const ViewRect& a, const ViewRect& b) {
  const double x0 = std::min(a.x, b.x);
  const double y0 = std::min(a.y, b.y);
  const double x1 = std::max(a.x + a.width, b.x + b.width);
  const double y1 = std::max(a.y + a.height, b.y + b.height);
  ViewRect u;
  u.x = x0;
  u.y = y0;
  u.width = x1 - x0;
  u.height = y1 - y0;
  return u;
}

// A black screen of the size. Made when first shown or read, and anew at
// each size rather than resized: an editor whose host sets its scale after
// opening it makes no screen at the first size, and a larger one takes a
// fresh block with its pages mapped at once.
std::unique_ptr<PIX_MemBitmap> NewScreen(int w, int h) {
  auto screen = std::make_unique<PIX_MemBitmap>(w, h, kLineAlignment);
  PIX_FillRect(screen.get(), 0, 0, w, h, kOpaqueBlack, 1.0f, PIX_MODE_COPY);
  return screen;
}
}  // namespace

HeadlessView::HeadlessView(IGraphicsHeadless* graphics)
    : mGraphics(graphics),
      mTimerInterval(1.0 / graphics->FPS()),
      mWidth(graphics->Width()),
      mHeight(graphics->Height()),
      mScreenWidth(graphics->ScreenWidth()),
      mScreenHeight(graphics->ScreenHeight()) {}

HeadlessView::~HeadlessView() = default;

bool HeadlessView::OnTimer(IRECT* repainted) {
  if (!mTimerRunning || !mGraphics) return false;
  IRECT dirty;
  if (mGraphics->IsDirty(&dirty)) SetNeedsDisplayInRect(ToViewRect(dirty, mHeight));
  return DisplayIfNeeded(repainted);
}

void HeadlessView::SetNeedsDisplayInRect(const ViewRect& r) {
  mLastRequest = r;
  mInvalid = mNeedsDisplay ? UnionOf(mInvalid, r) : r;
  mNeedsDisplay = true;
}

void HeadlessView::SetNeedsDisplay() {
  ViewRect all;
  all.width = mWidth;
  all.height = mHeight;
  SetNeedsDisplayInRect(all);
}

bool HeadlessView::DisplayIfNeeded(IRECT* repainted) {
  if (!mNeedsDisplay) return false;
  mNeedsDisplay = false;
  const ViewRect r = mInvalid;
  DrawRect(r);
  if (repainted) *repainted = ToIRECT(r, mHeight);
  return true;
}

void HeadlessView::DrawRect(const ViewRect& r) {
  if (!mGraphics) return;
  IRECT area = ToIRECT(r, mHeight);
  mGraphics->Draw(&area);
}

PIX_IBitmap* HeadlessView::GetScreen() {
  if (!mScreen) mScreen = NewScreen(mScreenWidth, mScreenHeight);
  return mScreen.get();
}

void HeadlessView::Present(PIX_IBitmap* pixels, const IRECT& r) {
  PIX_IBitmap* screen = GetScreen();
  const int right = std::min({r.R, pixels->getWidth(), screen->getWidth()});
  const int bottom = std::min({r.B, pixels->getHeight(), screen->getHeight()});
  const int left = std::max(r.L, 0);
  const int top = std::max(r.T, 0);
  if (right <= left || bottom <= top) return;
  PIX_Blit(screen, pixels, left, top, left, top, right - left, bottom - top, 1.0f, PIX_MODE_COPY);
}

void HeadlessView::SetFrameSize(int w, int h) {
  mWidth = w;
  mHeight = h;
  mScreenWidth = mGraphics ? mGraphics->ScreenWidth() : w;
  mScreenHeight = mGraphics ? mGraphics->ScreenHeight() : h;
  mScreen.reset();
}

void HeadlessView::ToEditor(const ViewPoint& p, int* x, int* y) {
  ViewPointToEditor(p, mHeight, x, y);
  mPrevX = *x;
  mPrevY = *y;
}

void HeadlessView::ButtonDown(const ViewPoint& p, IMouseMod mod, int clickCount) {
  if (!mGraphics) return;
  int x, y;
  ToEditor(p, &x, &y);
  if (clickCount < 2)
    mGraphics->OnMouseDown(x, y, &mod);
  else
    mGraphics->OnMouseDblClick(x, y, &mod);
}

void HeadlessView::ButtonUp(const ViewPoint& p, IMouseMod mod) {
  if (!mGraphics) return;
  int x, y;
  ToEditor(p, &x, &y);
  mGraphics->OnMouseUp(x, y, &mod);
}

void HeadlessView::ButtonDragged(const ViewPoint& p, IMouseMod mod) {
  if (!mGraphics || mTextField) return;
  int x, y;
  ToEditor(p, &x, &y);
  mGraphics->OnMouseDrag(x, y, &mod);
}

void HeadlessView::MouseDown(const ViewPoint& p, const ViewModifiers& mods, int clickCount) {
  ButtonDown(p, GetMouseMod(mods), clickCount);
}

void HeadlessView::MouseUp(const ViewPoint& p, const ViewModifiers& mods) { ButtonUp(p, GetMouseMod(mods)); }

void HeadlessView::MouseDragged(const ViewPoint& p, const ViewModifiers& mods) {
  ButtonDragged(p, GetMouseMod(mods));
}

void HeadlessView::RightMouseDown(const ViewPoint& p, const ViewModifiers& mods, int clickCount) {
  ButtonDown(p, GetRightMouseMod(mods), clickCount);
}

void HeadlessView::RightMouseUp(const ViewPoint& p, const ViewModifiers& mods) {
  ButtonUp(p, GetRightMouseMod(mods));
}

void HeadlessView::RightMouseDragged(const ViewPoint& p, const ViewModifiers& mods) {
  ButtonDragged(p, GetRightMouseMod(mods));
}

void HeadlessView::MouseMoved(const ViewPoint& p, const ViewModifiers& mods) {
  if (!mGraphics) return;
  int x, y;
  ToEditor(p, &x, &y);
  IMouseMod mod = GetMouseMod(mods);
  mGraphics->OnMouseOver(x, y, &mod);
}

void HeadlessView::ScrollWheel(const ViewPoint& p, const ViewModifiers& mods, double deltaY) {
  EndUserInput();
  if (!mGraphics) return;
  int x, y;
  ToEditor(p, &x, &y);
  IMouseMod mod = GetMouseMod(mods);
  mGraphics->OnMouseWheel(x, y, &mod, static_cast<int>(deltaY));
}

HeadlessView::EKeyResult HeadlessView::KeyDown(unsigned short keyCode, const char* characters) {
  if (CountUtf8Chars(characters) != 1) return kKeyDropped;
  const int key = MapViewKey(keyCode, characters);
  if (key < 0 || !mGraphics) return kKeyPassedToHost;
  return mGraphics->OnKeyDown(mPrevX, mPrevY, key) ? kKeyConsumed : kKeyPassedToHost;
}

void HeadlessView::RemoveFromSuperview() {
  EndUserInput();
  if (!mGraphics) return;
  IGraphicsHeadless* graphics = mGraphics;
  mGraphics = nullptr;
  graphics->CloseWindow();  // deletes this view
}

void HeadlessView::CreateTextEntry(IControl* control, IParam* param, const IText* text, const char* str,
                                   const ViewRect& frame) {
  if (!control || mTextField || !mGraphics) return;
  mTextField = std::make_unique<HeadlessTextField>(control, param, text, str, frame, mHeight);
  IPlatformPrompts* prompts = mGraphics->GetPrompts();
  const IPlatformPrompts::ETextEntryEnd end =
      prompts ? prompts->TextEntry(mTextField.get()) : IPlatformPrompts::kEntryCancel;
  if (end == IPlatformPrompts::kEntryCommit)
    EndTextEntry(true);
  else if (end == IPlatformPrompts::kEntryCancel)
    EndTextEntry(false);
}

void HeadlessView::EndTextEntry(bool commit) {
  if (!mTextField) return;
  if (commit && mGraphics) {
    // The text is copied first: the editor's handling may open another entry.
    KIT_String text(mTextField->GetString());
    IControl* control = mTextField->GetControl();
    IParam* param = mTextField->GetParam();
    EndUserInput();
    KIT_TypedBuf<char> buf;
    buf.Resize(text.GetLength() + 1);
    std::copy(text.Get(), text.Get() + text.GetLength() + 1, buf.Get());
    if (param)
      mGraphics->SetFromStringAfterPrompt(control, param, buf.Get());
    else
      control->TextFromTextEntry(buf.Get());
  } else {
    EndUserInput();
  }
  SetNeedsDisplay();
}

void HeadlessView::EndUserInput() { mTextField.reset(); }

IPopupMenu* HeadlessView::CreateIPopupMenu(IPopupMenu* menu, const ViewRect& frame) {
  if (!menu || !mGraphics) return nullptr;
  HeadlessMenu shown(menu);
  ViewPoint at;
  at.x = frame.x;
  at.y = frame.y - kMenuDrop;
  shown.SetLocation(at);
  IPlatformPrompts* prompts = mGraphics->GetPrompts();
  const HeadlessMenuEntry* chosen = prompts ? prompts->PopupMenu(shown) : nullptr;
  return shown.TakeChoice(chosen);
}
