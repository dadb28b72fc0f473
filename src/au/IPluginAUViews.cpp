// The editor views: the Cocoa view factory and the Carbon view component.

#include <memory>

#include "au/IPluginAU.h"
#include "au/IPluginAU_ViewFactory.h"
#include "au/apple/ComponentCall.h"
#include "graphics/IGraphics.h"
#include "plugin/Log.h"

IPluginAU_ViewFactory::IPluginAU_ViewFactory(const char* description) : mDescription(description ? description : "") {}

IPluginAU_ViewFactory* IPluginAU_ViewFactory::init() {
  mPlug = nullptr;
  return this;
}

NSView* IPluginAU_ViewFactory::uiViewForAudioUnit(AudioUnit audioUnit, NSSize) {
  mPlug = reinterpret_cast<IPluginAU*>(GetComponentInstanceStorage(audioUnit));
  if (!mPlug || !mPlug->GetGUI()) return nullptr;
  return static_cast<NSView*>(mPlug->GetGUI()->OpenWindow(nullptr));
}

CFStringRef IPluginAU_ViewFactory::description() const {
  return CFStringCreateWithCString(nullptr, mDescription, kCFStringEncodingUTF8);
}

namespace {
// What the Carbon view component keeps per open view.
struct CarbonViewRecord {
  ComponentInstance mCI;
  IPluginAU* mPlug;
};
}  // namespace

ComponentResult IPluginAU::IPluginAUCarbonViewEntry(ComponentParameters* params, void* storage) {
  if (!params) return paramErr;
  const int select = params->what;
  TRACE_AS("IPluginAUCarbonViewEntry", "%d:%s", select, AUSelectStr(select));
  CarbonViewRecord* view = static_cast<CarbonViewRecord*>(storage);

  switch (select) {
    case kComponentOpenSelect: {
      ComponentInstance ci = ComponentSelf(params);
      // The instance storage holds the record until close.
      SetComponentInstanceStorage(ci, reinterpret_cast<Handle>(new CarbonViewRecord{ci, nullptr}));
      return noErr;
    }
    case kAudioUnitCarbonViewCreateSelect: {
      if (!view) return badComponentInstance;
      AudioUnit unit = ComponentArgument<AudioUnit>(params, 0);
      WindowRef window = ComponentArgument<WindowRef>(params, 1);
      ControlRef parent = ComponentArgument<ControlRef>(params, 2);
      const Float32Point* location = ComponentArgument<const Float32Point*>(params, 3);
      ControlRef* outControl = ComponentArgument<ControlRef*>(params, 5);
      if (!outControl) return paramErr;
      view->mPlug = reinterpret_cast<IPluginAU*>(GetComponentInstanceStorage(unit));
      IGraphics* gui = view->mPlug ? view->mPlug->GetGUI() : nullptr;
      if (!gui) return badComponentSelector;
      const short left = location ? (short)location->x : 0;
      const short top = location ? (short)location->y : 0;
      *outControl = static_cast<ControlRef>(gui->OpenWindow(window, parent, left, top));
      return noErr;
    }
    case kComponentCloseSelect: {
      const std::unique_ptr<CarbonViewRecord> owned(view);
      if (view && view->mPlug && view->mPlug->GetGUI()) view->mPlug->GetGUI()->CloseWindow();
      return noErr;
    }
    default:
      return badComponentSelector;
  }
}
