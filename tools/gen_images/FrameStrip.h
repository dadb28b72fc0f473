#pragma once
// Building a strip of frames stacked vertically: each frame is drawn into
// its own Layer and copied, alpha included, to its place in the strip.

#include "Layer.h"
#include "Layout.h"

template <class DrawFrame>
bool DrawFrames(PIX_IBitmap* out, ImageId id, DrawFrame drawFrame) {
  const ImageSpec& spec = SpecOf(id);
  if (!out->resize(spec.frameWidth, spec.frameHeight * spec.frames) &&
      (out->getWidth() != spec.frameWidth || out->getHeight() != spec.frameHeight * spec.frames))
    return false;
  for (int frame = 0; frame < spec.frames; ++frame) {
    Layer layer(spec.frameWidth, spec.frameHeight);
    if (!drawFrame(layer, frame)) return false;
    layer.CopyInto(out, 0, frame * spec.frameHeight);
  }
  return true;
}
