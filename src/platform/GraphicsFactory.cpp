#include "platform/GraphicsFactory.h"

#include <atomic>

#include "au/IPluginAU.h"
#include "au/apple/StandIn.h"
#include "platform/IGraphicsHeadless.h"
#include "platform/ResourceDir.h"

namespace {
std::atomic<PlatformGraphicsMaker> sMaker{nullptr};

// The plug-in's bundle, as the window system would find it by its
// identifier: its resources are the editor's resource folder. Hosts look it
// up to load the editor's view, editors to load their images.
void RegisterPlugInBundle(IPluginAU* plug) {
  if (plug) StandIn_RegisterBundle(plug->GetBundleID(), TonnikResourceDir(), TonnikResourceDir());
}
}  // namespace

void SetPlatformGraphicsMaker(PlatformGraphicsMaker maker) { sMaker.store(maker); }

IGraphics* MakeGraphics(IPluginAU* plug, int w, int h, int fps) {
  const PlatformGraphicsMaker maker = sMaker.load();
  if (!maker) return MakeHeadlessGraphics(plug, w, h, fps);
  RegisterPlugInBundle(plug);
  return maker(plug, w, h, fps);
}

IGraphicsHeadless* MakeHeadlessGraphics(IPluginAU* plug, int w, int h, int fps) {
  RegisterPlugInBundle(plug);
  IGraphicsHeadless* graphics = new IGraphicsHeadless(plug, w, h, fps);
  if (plug) graphics->SetBundleID(plug->GetBundleID());
  return graphics;
}
