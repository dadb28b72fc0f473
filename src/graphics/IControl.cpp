#include "graphics/IControl.h"

#include <cmath>
#include <cstdio>

#include "graphics/GraphicsCheck.h"
#include "graphics/IGraphics.h"
#include "graphics/ITextControls.h"
#include "plugin/IParam.h"
#include "plugin/IPluginBase.h"

namespace {
// Each half of the value display text is cut to this many characters.
constexpr int kDisplayPartLen = 32;
// Room for any number GetDisplayForHost may print (%f of the largest double).
constexpr int kFormatBufLen = 512;
// Size of the typing field centred on a control without display texts.
constexpr int kPromptHalfW = 15;
constexpr int kPromptHalfH = 8;
}  // namespace

IControl::IControl(IPluginBase* plug, IRECT rect, int paramIdx, IChannelBlend blend)
    : mPlug(plug), mRECT(rect), mTargetRECT(rect), mParamIdx(paramIdx), mBlend(blend) {}

IControl::~IControl() {}

void IControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  if (mod && mod->R) PromptUserInput();
}

void IControl::OnMouseUp(int x, int y, IMouseMod* mod) {}

void IControl::OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) {}

void IControl::OnMouseDblClick(int x, int y, IMouseMod* mod) {
  if (mDefaultValue >= 0.0) {
    mValue = mDefaultValue;
    SetDirty(true);
  }
}

void IControl::OnMouseWheel(int x, int y, IMouseMod* mod, int d) {
  const bool fine = mod && (mod->S || mod->C);
  mValue += (fine ? 0.001 : 0.01) * d;
  SetDirty(true);
}

bool IControl::OnKeyDown(int x, int y, int key) { return false; }

void IControl::OnMouseOver(int x, int y, IMouseMod* mod) {}

void IControl::OnMouseOut() {}

void IControl::SetValueFromPlug(double value) {
  // A value that is not a number (from a misbehaving host) is refused.
  if (!std::isfinite(value)) return;
  if (mDefaultValue < 0.0) mDefaultValue = mValue = value;
  if (mValue != value) {
    mValue = value;
    SetDirty(false);
    Redraw();
  }
}

void IControl::TextFromTextEntry(const char* txt) {}

void IControl::Hide(bool hide) {
  mHide = hide;
  Redraw();
  SetDirty(false);
}

void IControl::GrayOut(bool gray) {
  mGrayed = gray;
  mBlend.mWeight = gray ? GRAYED_ALPHA : 1.0f;
  SetDirty(false);
}

bool IControl::IsHit(int x, int y) { return mTargetRECT.Contains(x, y); }

void IControl::SetDirty(bool pushParamToPlug) {
  // Written only when out of range, so a relay on the host's thread does not
  // store into a value the main thread is reading. NaN counts as below.
  const double value = mValue;
  if (!(value >= mClampLo))
    mValue = mClampLo;
  else if (value > mClampHi)
    mValue = mClampHi;
  mDirty.store(true, std::memory_order_release);
  if (pushParamToPlug && mPlug && mParamIdx >= 0) {
    mPlug->SetParameterFromGUI(mParamIdx, mValue);
    UpdateDisplays();
  }
}

void IControl::UpdateDisplays() {
  IParam* param = mPlug->GetParam(mParamIdx);
  if (!param) return;
  if (auto* valueDisplay = dynamic_cast<ITextControl*>(mValDisplayControl)) {
    char value[kFormatBufLen];
    param->GetDisplayForHost(value);
    // The value and the label, each cut to a display part.
    char text[kDisplayPartLen + 1 + kDisplayPartLen + 1];
    std::snprintf(text, sizeof text, "%.*s %.*s", kDisplayPartLen, value, kDisplayPartLen,
                  param->GetLabelForHost());
    valueDisplay->SetTextFromPlug(text);
  }
  if (auto* nameDisplay = dynamic_cast<ITextControl*>(mNameDisplayControl))
    nameDisplay->SetTextFromPlug(param->GetNameForHost());
}

void IControl::SetClean() {
  mDirty.store(mRedraw.exchange(false, std::memory_order_relaxed), std::memory_order_relaxed);
}

bool IControl::IsDirty() { return mDirty.load(std::memory_order_acquire); }

void IControl::OnGUIIdle() {}

void IControl::SetAuxParamValueFromPlug(int auxParamIdx, double value) {
  if (!std::isfinite(value)) return;
  AuxParam* aux = GetAuxParam(auxParamIdx);
  if (aux->mValue != value) {
    aux->mValue = value;
    SetDirty(false);
    Redraw();
  }
}

void IControl::SetValueFromUserInput(double value) {
  if (std::isfinite(value) && mValue != value) {
    mValue = value;
    SetDirty(true);
    Redraw();
  }
}

void IControl::PromptUserInput() {
  if (mParamIdx < 0 || mDisablePrompt || !mPlug) return;
  IParam* param = mPlug->GetParam(mParamIdx);
  if (!param) return;
  if (param->GetNDisplayTexts()) {
    PromptUserInput(&mRECT);
    return;
  }
  const int cx = static_cast<int>(mRECT.MW());
  const int cy = static_cast<int>(mRECT.MH());
  IRECT field(cx - kPromptHalfW, cy - kPromptHalfH, cx + kPromptHalfW, cy + kPromptHalfH);
  PromptUserInput(&field);
}

void IControl::PromptUserInput(IRECT* textRect) {
  if (mParamIdx < 0 || mDisablePrompt || !mPlug) return;
  IGraphics* graphics = GetGUI();
  if (graphics) graphics->PromptUserInput(this, mPlug->GetParam(mParamIdx), textRect);
  Redraw();
}

void IControl::AddAuxParam(int paramIdx) { mAuxParams.Add(AuxParam{0.0, paramIdx}); }

IControl::AuxParam* IControl::GetAuxParam(int idx) {
  GraphicsCheck(idx > -1 && idx < mAuxParams.GetSize(), "idx > -1 && idx < mAuxParams.GetSize()");
  return mAuxParams.Get() + idx;
}

int IControl::AuxParamIdx(int paramIdx) const {
  for (int i = 0; i < mAuxParams.GetSize(); ++i)
    if (mAuxParams.Get()[i].mParamIdx == paramIdx) return i;
  return -1;
}

void IControl::SetAllAuxParamsFromGUI() {
  if (!mPlug) return;
  for (int i = 0; i < mAuxParams.GetSize(); ++i) {
    const AuxParam& aux = mAuxParams.Get()[i];
    mPlug->SetParameterFromGUI(aux.mParamIdx, aux.mValue);
  }
}

IGraphics* IControl::GetGUI() { return mPlug ? mPlug->GetGUI() : nullptr; }

int IControl::FrameForValue(int nFrames) const {
  if (nFrames <= 1) return 1;
  return 1 + static_cast<int>(0.5 + UnitValue() * (nFrames - 1));
}

double IControl::UnitValue() const {
  const double value = mValue;
  if (!(value >= 0.0)) return 0.0;
  return value > 1.0 ? 1.0 : value;
}
