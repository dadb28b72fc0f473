#include "platform/GraphicsFactory.h"

#include "au/apple/StandIn.h"
#include "plugin/IPluginBase.h"
#include "dcx/ResourceDir.h"
#include "platform/IGraphicsHeadless.h"

IGraphicsHeadless* MakeGraphics(IPluginBase* plug, const char* bundleID, int w, int h, int fps) {
  IGraphicsHeadless* graphics = new IGraphicsHeadless(plug, w, h, fps);
  if (plug && bundleID && *bundleID) {
    graphics->SetBundleID(bundleID);
    // An Audio Unit's bundle, as the window system would find it by its
    // identifier: its resources are the editor's resource folder. Hosts
    // look it up to load the editor's view. Other formats find their
    // bundle by its path.
    if (plug->GetAPI() == kAPIAU) StandIn_RegisterBundle(bundleID, TonnikResourceDir(), TonnikResourceDir());
  }
  return graphics;
}
