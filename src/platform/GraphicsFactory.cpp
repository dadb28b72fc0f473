#include "platform/GraphicsFactory.h"

#include "au/IPluginAU.h"
#include "au/apple/StandIn.h"
#include "dcx/ResourceDir.h"
#include "platform/IGraphicsHeadless.h"

IGraphicsHeadless* MakeGraphics(IPluginAU* plug, int w, int h, int fps) {
  IGraphicsHeadless* graphics = new IGraphicsHeadless(plug, w, h, fps);
  if (plug) {
    graphics->SetBundleID(plug->GetBundleID());
    // The plug-in's bundle, as the window system would find it by its
    // identifier: its resources are the editor's resource folder. Hosts
    // look it up to load the editor's view.
    StandIn_RegisterBundle(plug->GetBundleID(), TonnikResourceDir(), TonnikResourceDir());
  }
  return graphics;
}
