#pragma once
// A row (or column) of radio buttons and a fader whose handle follows the
// mouse. Threads: as IControl (main thread, plus the plug-in relays).

#include "graphics/IControl.h"
#include "kit/KIT_TypedBuf.h"

// nButtons buttons laid out evenly over the rectangle; the value picks the
// active one (frame 2 of the bitmap), the others show frame 1.
class IRadioButtonsControl : public IControl {
public:
  // A count below 1 is taken as 1. With reverse, buttons are laid out from
  // the right (bottom) edge, the first one flush with it.
  IRadioButtonsControl(IPluginBase* plug, IRECT rect, int paramIdx, int nButtons, IBitmap* bitmap,
                       EDirection direction = kVertical, bool reverse = false);

  // Right button: prompt; otherwise the button under the mouse is chosen.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;

  const IRECT* GetButtonRECT(int idx) const;

protected:
  KIT_TypedBuf<IRECT> mRECTs;
  IBitmap mBitmap;
};

// A handle bitmap that slides along len pixels; down and drag snap the
// handle's centre to the mouse.
class IFaderControl : public IControl {
public:
  IFaderControl(IPluginBase* plug, int x, int y, int len, int paramIdx, IBitmap* bitmap,
                EDirection direction = kVertical, bool onlyHandle = false);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;
  // Only the handle is hit when only-handle is set.
  bool IsHit(int x, int y) override;

  int GetLength() const { return mLen; }
  int GetHandleHeadroom() const { return mHandleHeadroom; }
  IRECT GetHandleRECT() const;

protected:
  void SnapToMouse(int x, int y);

  int mLen;
  int mHandleHeadroom;
  IBitmap mBitmap;
  EDirection mDirection;
  bool mOnlyHandle;
};
