#include "platform/GraphicsFactory.h"

#include <atomic>

#include "au/apple/StandIn.h"
#include "plugin/IPluginBase.h"
#include "dcx/ResourceDir.h"
#include "platform/IGraphicsHeadless.h"

namespace {
std::atomic<PlatformGraphicsMaker> gMaker{nullptr};

bool RegisterBundle(IPluginBase* plug, const char* bundleID) {
  if (!plug || !bundleID || !*bundleID) return false;
  // An Audio Unit's bundle, as the window system would find it by its
  // identifier: its resources are the editor's resource folder. Hosts look
  // it up to load the editor's view. Other formats find their bundle by
  // its path (and a registry made inside an LV2 plug-in would be lost when
  // the host unloads it).
  if (plug->GetAPI() == kAPIAU) StandIn_RegisterBundle(bundleID, TonnikResourceDir(), TonnikResourceDir());
  return true;
}
}  // namespace

void SetPlatformGraphicsMaker(PlatformGraphicsMaker maker) { gMaker.store(maker); }

IGraphics* MakeGraphics(IPluginBase* plug, const char* bundleID, int w, int h, int fps) {
  const PlatformGraphicsMaker maker = gMaker.load();
  if (!maker) return MakeHeadlessGraphics(plug, bundleID, w, h, fps);
  IGraphics* graphics = maker(plug, w, h, fps);
  RegisterBundle(plug, bundleID);
  return graphics;
}

IGraphicsHeadless* MakeHeadlessGraphics(IPluginBase* plug, const char* bundleID, int w, int h, int fps) {
  IGraphicsHeadless* graphics = new IGraphicsHeadless(plug, w, h, fps);
  if (RegisterBundle(plug, bundleID)) graphics->SetBundleID(bundleID);
  return graphics;
}
