#include "platform/GraphicsFactory.h"

#include <atomic>

#include "au/IPluginAU.h"
#include "au/apple/StandIn.h"
#include "platform/IGraphicsHeadless.h"
#include "platform/ResourceDir.h"

namespace {
std::atomic<PlatformGraphicsMaker> gMaker{nullptr};

void RegisterBundle(IPluginAU* plug) {
  // The plug-in's bundle, as the window system would find it by its
  // identifier: its resources are the editor's resource folder. Hosts
  // look it up to load the editor's view.
  StandIn_RegisterBundle(plug->GetBundleID(), TonnikResourceDir(), TonnikResourceDir());
}
}  // namespace

void SetPlatformGraphicsMaker(PlatformGraphicsMaker maker) { gMaker.store(maker); }

IGraphics* MakeGraphics(IPluginAU* plug, int w, int h, int fps) {
  const PlatformGraphicsMaker maker = gMaker.load();
  if (!maker) return MakeHeadlessGraphics(plug, w, h, fps);
  IGraphics* graphics = maker(plug, w, h, fps);
  if (plug) RegisterBundle(plug);
  return graphics;
}

IGraphicsHeadless* MakeHeadlessGraphics(IPluginAU* plug, int w, int h, int fps) {
  IGraphicsHeadless* graphics = new IGraphicsHeadless(plug, w, h, fps);
  if (plug) {
    graphics->SetBundleID(plug->GetBundleID());
    RegisterBundle(plug);
  }
  return graphics;
}
