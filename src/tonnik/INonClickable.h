#pragma once
// A bitmap that ignores the mouse: the trigger LED. Its value is set only
// by the plug-in (IGraphics::SetControlFromPlug): 0 lit right after a hit,
// 1 dark once the hit is over. The editor never finds it under the pointer,
// so clicks, drags, double clicks and the wheel over it go to the control
// beneath: the LED sits on the trigger button's centre, where a musician
// aims. Its mouse handlers do nothing all the same, for callers that hand
// it events directly.
// Ownership: owned by the editor. Threads: as IBitmapControl.

#include "graphics/IBitmapControls.h"

class INonClickable : public IBitmapControl {
public:
  INonClickable(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
  ~INonClickable() override;

  bool IsHit(int x, int y) override { return false; }
  void OnMouseDown(int x, int y, IMouseMod* mod) override {}
  void OnMouseUp(int x, int y, IMouseMod* mod) override {}
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override {}
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override {}
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override {}
};
