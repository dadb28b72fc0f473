#include "graphics/IFaderRadioControls.h"

#include "graphics/IGraphics.h"

IRadioButtonsControl::IRadioButtonsControl(IPluginBase* plug, IRECT rect, int paramIdx, int nButtons,
                                           IBitmap* bitmap, EDirection direction, bool reverse)
    : IControl(plug, rect, paramIdx), mBitmap(*bitmap) {
  if (nButtons < 1) nButtons = 1;
  const int w = bitmap->W;
  const int h = bitmap->H / (bitmap->N > 0 ? bitmap->N : 1);
  // One button has no gap to share out.
  const int span = direction == kHorizontal ? rect.W() - nButtons * w : rect.H() - nButtons * h;
  const int gap = nButtons > 1 ? span / (nButtons - 1) : 0;
  for (int i = 0; i < nButtons; ++i) {
    int x = rect.L;
    int y = rect.T;
    if (direction == kHorizontal)
      x = reverse ? rect.R - w - i * (w + gap) : rect.L + i * (w + gap);
    else
      y = reverse ? rect.B - h - i * (h + gap) : rect.T + i * (h + gap);
    mRECTs.Add(IRECT(x, y, x + w, y + h));
  }
}

const IRECT* IRadioButtonsControl::GetButtonRECT(int idx) const {
  return idx >= 0 && idx < mRECTs.GetSize() ? mRECTs.Get() + idx : nullptr;
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  if (mod && mod->R) {
    PromptUserInput();
  } else {
    const int n = mRECTs.GetSize();
    for (int i = 0; i < n; ++i) {
      if (mRECTs.Get()[i].Contains(x, y)) {
        mValue = n > 1 ? static_cast<double>(i) / static_cast<double>(n - 1) : 0.0;
        break;
      }
    }
  }
  SetDirty(true);
}

bool IRadioButtonsControl::Draw(IGraphics* graphics) {
  const int n = mRECTs.GetSize();
  const int active = static_cast<int>(0.5 + UnitValue() * (n - 1));
  for (int i = 0; i < n; ++i) graphics->DrawBitmap(&mBitmap, mRECTs.Get() + i, i == active ? 2 : 1, &mBlend);
  return true;
}

IFaderControl::IFaderControl(IPluginBase* plug, int x, int y, int len, int paramIdx, IBitmap* bitmap,
                             EDirection direction, bool onlyHandle)
    : IControl(plug, IRECT(), paramIdx),
      mLen(len),
      mHandleHeadroom(direction == kHorizontal ? bitmap->W : bitmap->H),
      mBitmap(*bitmap),
      mDirection(direction),
      mOnlyHandle(onlyHandle) {
  mRECT = mTargetRECT =
      direction == kHorizontal ? IRECT(x, y, x + len, y + bitmap->H) : IRECT(x, y, x + bitmap->W, y + len);
}

IRECT IFaderControl::GetHandleRECT() const {
  IRECT r(mRECT.L, mRECT.T, mRECT.L + mBitmap.W, mRECT.T + mBitmap.H);
  const int travel = mLen - mHandleHeadroom;
  if (mDirection == kHorizontal) {
    const int offs = static_cast<int>(UnitValue() * travel);
    r.L += offs;
    r.R += offs;
  } else {
    const int offs = static_cast<int>((1.0 - UnitValue()) * travel);
    r.T += offs;
    r.B += offs;
  }
  return r;
}

void IFaderControl::SnapToMouse(int x, int y) {
  const int travel = mLen - mHandleHeadroom;
  // A fader no longer than its handle has no travel; its value stays.
  if (travel != 0) {
    if (mDirection == kHorizontal)
      mValue = static_cast<double>(x - mRECT.L - mHandleHeadroom / 2) / static_cast<double>(travel);
    else
      mValue = 1.0 - static_cast<double>(y - mRECT.T - mHandleHeadroom / 2) / static_cast<double>(travel);
  }
  SetDirty(true);
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  if (mod && mod->R) {
    PromptUserInput();
    return;
  }
  SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) { SnapToMouse(x, y); }

bool IFaderControl::Draw(IGraphics* graphics) {
  IRECT handle = GetHandleRECT();
  return graphics->DrawBitmap(&mBitmap, &handle, 1, &mBlend);
}

bool IFaderControl::IsHit(int x, int y) {
  return mOnlyHandle ? GetHandleRECT().Contains(x, y) : mTargetRECT.Contains(x, y);
}
