#pragma once
// A bitmap that ignores the mouse: the trigger LED. Its value is set only
// by the plug-in (IGraphics::SetControlFromPlug): 0 lit right after a hit,
// 1 dark once the hit is over. Clicks, drags and the wheel over it change
// nothing, and because it lies above the trigger button, a click where the
// two overlap does not reach the button either.
// Ownership: owned by the editor. Threads: as IBitmapControl.

#include "graphics/IBitmapControls.h"

class INonClickable : public IBitmapControl {
public:
  INonClickable(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
  ~INonClickable() override;

  void OnMouseDown(int x, int y, IMouseMod* mod) override {}
  void OnMouseUp(int x, int y, IMouseMod* mod) override {}
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override {}
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override {}
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override {}
};
