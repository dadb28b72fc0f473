#pragma once
// Building a strip of frames stacked vertically: each frame is drawn into
// its own Layer and copied, alpha included, to its place in the strip.

#include "Layer.h"
#include "Layout.h"

template <class DrawFrame>
bool DrawFrames(PIX_IBitmap* out, ImageId id, DrawFrame drawFrame) {
  const ImageSpec& imageSize = SpecOf(id);
  const int w = imageSize.frameWidth * OutputScale(), h = imageSize.frameHeight * imageSize.frames * OutputScale();
  if (!out->resize(w, h) && (out->getWidth() != w || out->getHeight() != h)) return false;
  for (int frame = 0; frame < imageSize.frames; ++frame) {
    Layer layer(imageSize.frameWidth, imageSize.frameHeight);
    if (!drawFrame(layer, frame)) return false;
    layer.CopyInto(out, 0, frame * imageSize.frameHeight);
  }
  return true;
}
