#include "tonnik/INonClickable.h"

INonClickable::INonClickable(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                             IChannelBlend::EBlendMethod blendMethod)
    : IBitmapControl(plug, x, y, paramIdx, bitmap, blendMethod) {}

INonClickable::~INonClickable() = default;
