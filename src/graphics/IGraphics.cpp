#include "graphics/IGraphics.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "dcx/DCX.h"
#include "graphics/IBitmapControls.h"
#include "graphics/IControl.h"
#include "graphics/IDecodeTogether.h"
#include "graphics/IPopupMenu.h"
#include "graphics/IUtilityControls.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Reduce.h"
#include "plugin/IParam.h"
#include "plugin/IPluginBase.h"

static constexpr int kDefaultFPS = 25;
// Scratch bitmap rows are aligned to this many pixels.
static constexpr unsigned kScratchLineAlignment = 4;
// Room for any number GetDisplayForHostNoDisplayText may print.
static constexpr int kPromptTextLen = 512;

IGraphics::IGraphics(IPluginBase* plug, int width, int height, int fps)
    : mPlug(plug), mWidth(width), mHeight(height), mFPS(fps > 0 ? fps : kDefaultFPS) {}

IGraphics::~IGraphics() {
  mKeyCatcher.reset();
  mControls.Empty(true);
  DeleteBitmaps();
}

void IGraphics::DeleteBitmaps() {
  mDrawBitmap.reset();
  mTmpBitmap.reset();
  mScreenBitmap.reset();
}

// ---- Base bodies of the virtual operations. ----

bool IGraphics::MeasureIText(IText* text, const char* str, IRECT* r) { return DrawIText(text, str, r, true); }

void IGraphics::Resize(int w, int h) {
  mWidth = w;
  mHeight = h;
  ReleaseMouseCapture();
  mMouseOver = -1;
  mControls.Empty(true);
  DeleteBitmaps();
  if (mPlug) mPlug->ResizeGraphics(w, h);
}

bool IGraphics::WindowIsOpen() { return GetWindow() != nullptr; }

const char* IGraphics::GetGUIAPI() { return ""; }

void* IGraphics::OpenWindow(void* parentWindow, void* parentControl, short leftOffset, short topOffset) {
  return nullptr;
}

void IGraphics::AttachSubWindow(void* hostWindow) {}

void IGraphics::RemoveSubWindow() {}

void IGraphics::HideMouseCursor() {}

void IGraphics::OnScreenScaleChanged() {}

void IGraphics::ShowMouseCursor() {}

// ---- Construction and attachment. ----

void IGraphics::PrepDraw() {
  if (!mDrawBitmap) mDrawBitmap = std::make_unique<PIX_SysBitmap>(mWidth * mDrawScale, mHeight * mDrawScale);
  if (!mTmpBitmap) mTmpBitmap = std::make_unique<PIX_MemBitmap>(0, 0, kScratchLineAlignment);
}

void IGraphics::OpenDrawing() {
  // The first text drawn needs the font library, whose set-up is the dearest
  // part of a first editor after its images: started now, it runs on a
  // second core while the first frame's images are decoded.
  DCX_StartFontLibrary();
}

PIX_SysBitmap* IGraphics::GetDrawBitmap() {
  PrepDraw();
  return mDrawBitmap.get();
}

void IGraphics::AttachBackground(int id, const char* name) {
  IBitmap bitmap = LoadIBitmap(id, name, 1, false);
  mControls.Insert(0, new IBitmapControl(mPlug, 0, 0, -1, &bitmap, IChannelBlend::kBlendClobber));
}

IControl* IGraphics::AttachPanelBackground(const IColor* color) {
  IControl* panel = new IPanelControl(mPlug, IRECT(0, 0, mWidth, mHeight), color);
  mControls.Insert(0, panel);
  return panel;
}

int IGraphics::AttachControl(IControl* control) {
  mControls.Add(control);
  return mControls.GetSize() - 1;
}

void IGraphics::AttachKeyCatcher(IControl* control) {
  // A replaced catcher is not deleted: its attacher may still hold it.
  mKeyCatcher.release();
  mKeyCatcher.reset(control);
}

// ---- Scale. ----

bool IGraphics::SetScreenScale(double scale) {
  if (!std::isfinite(scale) || scale < kMinScreenScale || scale > kMaxScreenScale) return false;
  if (scale == mScreenScale) return true;
  mScreenScale = scale;
  mDrawScale = scale > kMinScreenScale ? 2 : 1;
  // Remade at the new size by the next drawing.
  DeleteBitmaps();
  SetAllControlsDirty();
  OnScreenScaleChanged();
  return true;
}

int IGraphics::ScreenWidth() const { return static_cast<int>(std::lround(mWidth * mScreenScale)); }

int IGraphics::ScreenHeight() const { return static_cast<int>(std::lround(mHeight * mScreenScale)); }

IRECT IGraphics::ToScreen(const IRECT& r) const {
  const double s = mScreenScale;
  IRECT d(static_cast<int>(std::floor(r.L * s)), static_cast<int>(std::floor(r.T * s)),
          static_cast<int>(std::ceil(r.R * s)), static_cast<int>(std::ceil(r.B * s)));
  d.L = std::max(d.L, 0);
  d.T = std::max(d.T, 0);
  d.R = std::min(d.R, ScreenWidth());
  d.B = std::min(d.B, ScreenHeight());
  return d;
}

void IGraphics::ScreenToEditor(int deviceX, int deviceY, int* x, int* y) const {
  *x = static_cast<int>(std::floor(deviceX / mScreenScale));
  *y = static_cast<int>(std::floor(deviceY / mScreenScale));
}

PIX_IBitmap* IGraphics::ScreenPixels(const IRECT& r, IRECT* screenRect) {
  *screenRect = ToScreen(r);
  PIX_SysBitmap* drawn = GetDrawBitmap();
  if (mScreenScale == mDrawScale) return drawn;
  if (!mScreenBitmap)
    mScreenBitmap = std::make_unique<PIX_MemBitmap>(ScreenWidth(), ScreenHeight(), kScratchLineAlignment);
  PIX_AreaReduce(mScreenBitmap.get(), screenRect->L, screenRect->T, screenRect->W(), screenRect->H(), drawn,
                 mDrawScale / mScreenScale);
  return mScreenBitmap.get();
}

// ---- Plug-in to editor. ----

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized) {
  if (!std::isfinite(value)) return;
  if (!normalized) {
    IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    value = param->GetNormalized(value);
  }
  const int n = mControls.GetSize();
  for (int i = 0; i < n; ++i) {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->SetValueFromPlug(value);
    const int auxIdx = control->AuxParamIdx(paramIdx);
    if (auxIdx >= 0) control->SetAuxParamValueFromPlug(auxIdx, value);
  }
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue) {
  IControl* control = mControls.Get(controlIdx);
  if (control) control->SetValueFromPlug(normalizedValue);
}

void IGraphics::SetAllControlsDirty() {
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->SetDirty(false);
}

void IGraphics::HideControl(int paramIdx, bool hide) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->Hide(hide);
  }
}

void IGraphics::GrayOutControl(int paramIdx, bool gray) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->GrayOut(gray);
  }
}

void IGraphics::ClampControl(int paramIdx, double lo, double hi, bool normalized) {
  if (!normalized) {
    IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!param) return;
    lo = param->GetNormalized(lo);
    hi = param->GetNormalized(hi);
  }
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* control = mControls.Get(i);
    if (control->ParamIdx() == paramIdx) control->Clamp(lo, hi);
  }
}

void IGraphics::SetStrictDrawing(bool strict) {
  mStrict = strict;
  SetAllControlsDirty();
}

// ---- Dirty test and drawing. ----

bool IGraphics::IsDirty(IRECT* r) {
  bool dirty = false;
  const int n = mControls.GetSize();
  IControl** controls = mControls.GetList();
  for (int i = 0; i < n; ++i) {
    if (controls[i]->IsDirty()) {
      *r = r->Union(*controls[i]->GetRECT());
      dirty = true;
    }
  }
  return dirty;
}

bool IGraphics::Draw(IRECT* r) {
  if (mControls.GetSize() == 0) return true;
  PrepDraw();
  if (mImagesDecodedAt != mDrawScale) {
    DecodeTogether(mImages.GetList(), mImages.GetSize(), mDrawScale);
    mImagesDecodedAt = mDrawScale;
  }
  if (mStrict)
    DrawStrict(*r);
  else
    DrawNonStrict();
  return DrawScreen(r);
}

bool IGraphics::DrawStrict(const IRECT& r) {
  mDrawRECT = r;
  const int n = mControls.GetSize();
  IControl** controls = mControls.GetList();
  for (int i = 0; i < n; ++i) {
    IControl* control = controls[i];
    if (!control->IsHidden() && r.Intersects(*control->GetRECT())) control->Draw(this);
  }
  for (int i = 0; i < n; ++i) controls[i]->SetClean();
  return true;
}

void IGraphics::DrawNonStrict() {
  const int n = mControls.GetSize();
  IControl** controls = mControls.GetList();
  IControl* background = controls[0];
  if (background->IsDirty()) {
    mDrawRECT = *background->GetRECT();
    for (int j = 0; j < n; ++j) {
      if (j == 0 || !controls[j]->IsHidden()) {
        controls[j]->Draw(this);
        controls[j]->SetClean();
      }
    }
    return;
  }
  for (int i = 1; i < n; ++i) {
    IControl* dirty = controls[i];
    if (!dirty->IsDirty()) continue;
    mDrawRECT = *dirty->GetRECT();
    for (int j = 0; j < n; ++j) {
      IControl* other = controls[j];
      if (other->IsHidden()) continue;
      if (j == i || other->GetRECT()->Intersects(mDrawRECT)) other->Draw(this);
    }
    dirty->SetClean();
  }
}

void IGraphics::OnGUIIdle() {
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnGUIIdle();
}

// ---- Mouse and keys. ----

int IGraphics::GetMouseControlIdx(int x, int y, bool mo) {
  if (mMouseCapture >= 0) return mMouseCapture;
  for (int i = mControls.GetSize() - 1; i >= 0; --i) {
    IControl* control = mControls.Get(i);
    const bool usable = !control->IsGrayed() || (mo && control->GetMOWhenGrayed());
    if (!control->IsHidden() && usable && control->IsHit(x, y)) return i;
  }
  return -1;
}

void IGraphics::ClearMouseCapture() {
  mMouseCapture = mMouseX = mMouseY = -1;
}

void IGraphics::ReleaseMouseCapture() { ClearMouseCapture(); }

void IGraphics::OnMouseDown(int x, int y, IMouseMod* mod) {
  ReleaseMouseCapture();
  const int c = GetMouseControlIdx(x, y);
  if (c < 0) return;
  mMouseCapture = c;
  mMouseX = x;
  mMouseY = y;
  IControl* control = mControls.Get(c);
  control->OnMouseDown(x, y, mod);
  // The handler may rebind the control; ask again.
  const int paramIdx = control->ParamIdx();
  if (paramIdx >= 0 && mPlug) {
    mLastClickedParam = paramIdx;
    mPlug->BeginInformHostOfParamChange(paramIdx);
  }
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* mod) {
  const int c = GetMouseControlIdx(x, y);
  ReleaseMouseCapture();
  IControl* control = mControls.Get(c);
  if (!control) return;
  control->OnMouseUp(x, y, mod);
  const int paramIdx = control->ParamIdx();
  if (paramIdx >= 0 && mPlug) mPlug->EndInformHostOfParamChange(paramIdx);
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* mod) {
  IControl* control = mControls.Get(mMouseCapture);
  if (!control) return;
  const int dX = x - mMouseX;
  const int dY = y - mMouseY;
  if (dX == 0 && dY == 0) return;
  mMouseX = x;
  mMouseY = y;
  control->OnMouseDrag(x, y, dX, dY, mod);
}

bool IGraphics::OnMouseDblClick(int x, int y, IMouseMod* mod) {
  ReleaseMouseCapture();
  const int c = GetMouseControlIdx(x, y);
  IControl* control = mControls.Get(c);
  if (!control) return false;
  if (control->MouseDblAsSingleClick()) {
    mMouseCapture = c;
    mMouseX = x;
    mMouseY = y;
    control->OnMouseDown(x, y, mod);
    return true;
  }
  control->OnMouseDblClick(x, y, mod);
  return false;
}

void IGraphics::OnMouseWheel(int x, int y, IMouseMod* mod, int delta) {
  IControl* control = mControls.Get(GetMouseControlIdx(x, y));
  if (control) control->OnMouseWheel(x, y, mod, delta);
}

bool IGraphics::OnMouseOver(int x, int y, IMouseMod* mod) {
  if (!mHandleMouseOver) return false;
  const int c = GetMouseControlIdx(x, y, true);
  if (c < 0) return mHandleMouseOver;
  mMouseX = x;
  mMouseY = y;
  mControls.Get(c)->OnMouseOver(x, y, mod);
  IControl* previous = mControls.Get(mMouseOver);
  if (previous && mMouseOver != c) previous->OnMouseOut();
  mMouseOver = c;
  return mHandleMouseOver;
}

void IGraphics::OnMouseOut() {
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnMouseOut();
  mMouseOver = -1;
}

bool IGraphics::OnKeyDown(int x, int y, int key) {
  const int c = GetMouseControlIdx(x, y);
  if (c > 0) return mControls.Get(c)->OnKeyDown(x, y, key);
  if (mKeyCatcher) return mKeyCatcher->OnKeyDown(x, y, key);
  return false;
}

// ---- User input for a parameter. ----

// The decimal number at the start of text ([+-]digits[.digits][e[+-]digits]),
// or 0 when there is none. Words such as "nan" or "inf" and hexadecimal
// forms are not numbers here.
static double ParseLeadingDecimal(const char* text) {
  if (!text) return 0.0;
  while (*text == ' ' || *text == '\t') ++text;
  auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  const char* p = text;
  if (*p == '+' || *p == '-') ++p;
  bool digits = false;
  while (isDigit(*p)) ++p, digits = true;
  if (*p == '.') {
    ++p;
    while (isDigit(*p)) ++p, digits = true;
  }
  if (!digits) return 0.0;
  if ((*p == 'e' || *p == 'E') && (isDigit(p[1]) || ((p[1] == '+' || p[1] == '-') && isDigit(p[2])))) {
    p += 2;
    while (isDigit(*p)) ++p;
  }
  KIT_String number;
  number.Set(text, static_cast<int>(p - text));
  return std::strtod(number.Get(), nullptr);
}

void IGraphics::PromptUserInput(IControl* control, IParam* param, IRECT* textRect) {
  if (!control || !param || !textRect) return;
  const IParam::EParamKind kind = param->Type();
  const int nTexts = param->GetNDisplayTexts();
  if (kind == IParam::kKindEnum || (kind == IParam::kKindBool && nTexts > 0)) {
    char current[kPromptTextLen];
    param->GetDisplayForHost(current);
    IPopupMenu menu;
    for (int i = 0; i < nTexts; ++i) {
      const char* text = param->GetDisplayTextAtIdx(i);
      IPopupMenuItem* item = menu.AddItem(text);
      if (item && std::strcmp(text, current) == 0) item->SetChecked(true);
    }
    IPopupMenu* chosen = CreateIPopupMenu(&menu, textRect);
    if (chosen) control->SetValueFromUserInput(param->GetNormalized(chosen->GetChosenItemIdx()));
    return;
  }
  char current[kPromptTextLen];
  param->GetDisplayForHostNoDisplayText(current);
  CreateTextEntry(control, control->GetText(), textRect, current, param);
}

void IGraphics::SetFromStringAfterPrompt(IControl* control, IParam* param, char* text) {
  if (!control || !param) return;
  double value = 0.0;
  const IParam::EParamKind kind = param->Type();
  if (kind == IParam::kKindEnum || kind == IParam::kKindBool) {
    int mapped = 0;
    param->MapDisplayText(text ? text : "", &mapped);
    value = mapped;
  } else {
    value = ParseLeadingDecimal(text);
    if (param->DisplayIsNegated()) value = -value;
  }
  control->SetValueFromUserInput(param->GetNormalized(value));
}
