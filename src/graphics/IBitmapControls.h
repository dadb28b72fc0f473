#pragma once
// Controls drawn from one frame of a bitmap strip chosen by the value:
// plain bitmaps, switches that step through their frames, momentary
// contacts, overlays that appear at one end of their range, and an
// invisible switch. The bitmap records refer to images in the bitmap
// cache; copying them is cheap and owns nothing.
// Threads: as IControl (main thread, plus the plug-in relays).

#include "graphics/IControl.h"

// Draws frame 1 + (int)(0.5 + value * (frames - 1)) of its strip.
class IBitmapControl : public IControl {
public:
  // The rectangle is one frame of the bitmap at (x, y).
  IBitmapControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
  IBitmapControl(IPluginBase* plug, int x, int y, IBitmap* bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);

  bool Draw(IGraphics* graphics) override;

protected:
  IBitmap mBitmap;
};

// Each click steps to the next frame, wrapping from the last to the first.
class ISwitchControl : public IBitmapControl {
public:
  ISwitchControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
};

// A switch that falls back to 0 on release: shows its pressed frame only
// while the button is held.
class IContactControl : public ISwitchControl {
public:
  IContactControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap);

  void OnMouseUp(int x, int y, IMouseMod* mod) override;
};

// Hidden (and hit over targetArea) below 0.5; drawn and hit over its own
// rectangle from 0.5 up.
class IBitmapOverlayControl : public ISwitchControl {
public:
  IBitmapOverlayControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap, IRECT targetArea);
  IBitmapOverlayControl(IPluginBase* plug, int x, int y, IBitmap* bitmap, IRECT targetArea);

  bool Draw(IGraphics* graphics) override;

protected:
  IRECT mTargetArea;
};

// A clickable area without a picture: toggles between 0 and 1.
class IInvisibleSwitchControl : public IControl {
public:
  IInvisibleSwitchControl(IPluginBase* plug, IRECT rect, int paramIdx);

  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override { return true; }
};
