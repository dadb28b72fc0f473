#include "platform/GraphicsFactory.h"

#include "au/IPluginAU.h"
#include "platform/IGraphicsHeadless.h"

IGraphicsHeadless* MakeGraphics(IPluginAU* plug, int w, int h, int fps) {
  IGraphicsHeadless* graphics = new IGraphicsHeadless(plug, w, h, fps);
  if (plug) graphics->SetBundleID(plug->GetBundleID());
  return graphics;
}
