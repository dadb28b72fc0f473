#include "graphics/IGraphics.h"

#include "plugin/IPluginBase.h"

static const int kDefaultFPS = 25;

IGraphics::IGraphics(IPluginBase* plug, int width, int height, int fps)
    : mPlug(plug), mWidth(width), mHeight(height), mFPS(fps > 0 ? fps : kDefaultFPS) {}

IGraphics::~IGraphics() {}

void IGraphics::SetParameterFromPlug(int paramIdx, double value, bool normalized) {
  IParam* param = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
  if (!param) return;
  if (!normalized) value = param->GetNormalized(value);
  // No controls are bound to parameters yet.
  (void)value;
}

void IGraphics::SetControlFromPlug(int controlIdx, double normalizedValue) {
  // The control list is empty, so every index is outside it.
}

void IGraphics::PrepDraw() {}
