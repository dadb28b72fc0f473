#include "graphics/IBitmapControls.h"

#include "graphics/IGraphics.h"

// A value above this after a switch step wraps to 0 (tolerates rounding).
static constexpr double kSwitchWrapLimit = 1.001;

IBitmapControl::IBitmapControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IControl(plug, IRECT(x, y, bitmap), paramIdx, IChannelBlend(blendMethod)), mBitmap(*bitmap) {}

IBitmapControl::IBitmapControl(IPluginBase* plug, int x, int y, IBitmap* bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IBitmapControl(plug, x, y, -1, bitmap, blendMethod) {}

bool IBitmapControl::Draw(IGraphics* graphics) {
  return graphics->DrawBitmap(&mBitmap, &mRECT, FrameForValue(mBitmap.N), &mBlend);
}

ISwitchControl::ISwitchControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IBitmapControl(plug, x, y, paramIdx, bitmap, blendMethod) {}

void ISwitchControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  mValue += mBitmap.N > 1 ? 1.0 / (mBitmap.N - 1) : 1.0;
  if (mValue > kSwitchWrapLimit) mValue = 0.0;
  SetDirty(true);
}

void ISwitchControl::OnMouseDblClick(int x, int y, IMouseMod* mod) { OnMouseDown(x, y, mod); }

IContactControl::IContactControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap)
    : ISwitchControl(plug, x, y, paramIdx, bitmap) {}

void IContactControl::OnMouseUp(int x, int y, IMouseMod* mod) {
  mValue = 0.0;
  SetDirty(true);
}

IBitmapOverlayControl::IBitmapOverlayControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                                             IRECT targetArea)
    : ISwitchControl(plug, x, y, paramIdx, bitmap), mTargetArea(targetArea) {}

IBitmapOverlayControl::IBitmapOverlayControl(IPluginBase* plug, int x, int y, IBitmap* bitmap, IRECT targetArea)
    : IBitmapOverlayControl(plug, x, y, -1, bitmap, targetArea) {}

bool IBitmapOverlayControl::Draw(IGraphics* graphics) {
  if (mValue < 0.5) {
    mTargetRECT = mTargetArea;
    return true;
  }
  mTargetRECT = mRECT;
  return IBitmapControl::Draw(graphics);
}

IInvisibleSwitchControl::IInvisibleSwitchControl(IPluginBase* plug, IRECT rect, int paramIdx)
    : IControl(plug, rect, paramIdx, IChannelBlend(IChannelBlend::kBlendClobber)) {
  mDisablePrompt = true;
}

void IInvisibleSwitchControl::OnMouseDown(int x, int y, IMouseMod* mod) {
  mValue = mValue < 0.5 ? 1.0 : 0.0;
  SetDirty(true);
}
