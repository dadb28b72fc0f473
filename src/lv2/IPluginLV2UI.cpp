#include "lv2/IPluginLV2UI.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "lv2/LV2Features.h"
#include "lv2/LV2Product.h"
#include "lv2/atom/atom.h"
#include "lv2/instance-access/instance-access.h"
#include "platform/IGraphicsX11.h"

namespace {

const char* const kEditorSuffix = "#ui";
// The option a host gives for a UI on a high-density screen (device pixels
// per editor pixel, an atom:Float); newer LV2 headers name it
// LV2_UI__scaleFactor.
const char* const kScaleFactorURI = "http://lv2plug.in/ns/extensions/ui#scaleFactor";

struct UIFeatures {
  void* mParent = nullptr;
  IPluginLV2* mPlug = nullptr;
  const LV2UI_Resize* mResize = nullptr;
  const LV2UI_Touch* mTouch = nullptr;
  LV2_Log_Log* mLog = nullptr;
  LV2_URID_Map* mMap = nullptr;
  const LV2_Options_Option* mOptions = nullptr;
};

UIFeatures ReadFeatures(const LV2_Feature* const* features) {
  UIFeatures found;
  found.mParent = LV2FeatureData(features, LV2_UI__parent);
  found.mPlug = static_cast<IPluginLV2*>(LV2FeatureData(features, LV2_INSTANCE_ACCESS_URI));
  found.mResize = static_cast<const LV2UI_Resize*>(LV2FeatureData(features, LV2_UI__resize));
  found.mTouch = static_cast<const LV2UI_Touch*>(LV2FeatureData(features, LV2_UI__touch));
  found.mLog = static_cast<LV2_Log_Log*>(LV2FeatureData(features, LV2_LOG__log));
  found.mMap = static_cast<LV2_URID_Map*>(LV2FeatureData(features, LV2_URID__map));
  found.mOptions = static_cast<const LV2_Options_Option*>(LV2FeatureData(features, LV2_OPTIONS__options));
  if (found.mMap && !found.mMap->map) found.mMap = nullptr;
  if (found.mTouch && !found.mTouch->touch) found.mTouch = nullptr;
  if (found.mResize && !found.mResize->ui_resize) found.mResize = nullptr;
  return found;
}

// Says why the UI declines: through the host's log when it has one and can
// map the log's URIs, on stderr otherwise.
IPluginLV2UI* Decline(const UIFeatures& features, const char* why) {
  if (features.mLog && features.mLog->printf && features.mMap && features.mMap->map) {
    const LV2_URID error = features.mMap->map(features.mMap->handle, LV2_LOG__Error);
    features.mLog->printf(features.mLog->handle, error, "TONNIK-PRO editor: %s\n", why);
  } else {
    std::fprintf(stderr, "TONNIK-PRO editor: %s\n", why);
  }
  return nullptr;
}

}  // namespace

IPluginLV2UI* IPluginLV2UI::Instantiate(LV2UI_Write_Function write, LV2UI_Controller controller,
                                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
  const UIFeatures found = ReadFeatures(features);
  if (!found.mParent) return Decline(found, "the host gives no parent window (ui:parent); not shown");
  if (!found.mPlug) return Decline(found, "the host gives no access to the plug-in (instance-access); not shown");
  if (!write || !widget) return Decline(found, "the host gives no write function or widget; not shown");
  IGraphicsX11* gui = dynamic_cast<IGraphicsX11*>(found.mPlug->GetGUI());
  if (!gui) return Decline(found, "the plug-in has no X11 editor; not shown");
  if (gui->WindowIsOpen()) return Decline(found, "the editor is already shown by another window; not shown twice");
  // A scale an earlier UI's host set does not carry over to this one.
  gui->SetScreenScale(IGraphics::kMinScreenScale);
  void* window = gui->OpenWindow(found.mParent);
  if (!window) {
    const std::string why = std::string("the editor's window could not be made: ") + gui->GetLastError();
    return Decline(found, why.c_str());
  }
  IPluginLV2UI* ui =
      new (std::nothrow) IPluginLV2UI(found.mPlug, gui, write, controller, found.mTouch, found.mResize, found.mMap);
  if (!ui) {
    gui->CloseWindow();
    return Decline(found, "out of memory");
  }
  *widget = window;
  // The window is made at scale 1 and follows the host's scale at once.
  if (ui->SetOptions(found.mOptions) != LV2_OPTIONS_SUCCESS) ui->TellSize();
  return ui;
}

uint32_t IPluginLV2UI::SetOptions(const LV2_Options_Option* options) {
  if (!mMap) return LV2_OPTIONS_ERR_UNKNOWN;
  const LV2_URID key = mMap->map(mMap->handle, kScaleFactorURI);
  const LV2_URID floatType = mMap->map(mMap->handle, LV2_ATOM__Float);
  for (const LV2_Options_Option* o = options; o && o->key; ++o) {
    if (o->key != key || o->type != floatType || o->size != sizeof(float) || !o->value) continue;
    // The editor shows 1 to 2; a host's 2.5 or 0.75 gets the nearest.
    const float asked = *static_cast<const float*>(o->value);
    if (!std::isfinite(asked) || asked <= 0) return LV2_OPTIONS_ERR_BAD_VALUE;
    const double scale = std::min(std::max(double(asked), IGraphics::kMinScreenScale), IGraphics::kMaxScreenScale);
    mGUI->SetScreenScale(scale);
    TellSize();
    return LV2_OPTIONS_SUCCESS;
  }
  return LV2_OPTIONS_ERR_UNKNOWN;
}

void IPluginLV2UI::TellSize() {
  if (mResize) mResize->ui_resize(mResize->handle, mGUI->ScreenWidth(), mGUI->ScreenHeight());
}

IPluginLV2UI::IPluginLV2UI(IPluginLV2* plug, IGraphicsX11* gui, LV2UI_Write_Function write,
                           LV2UI_Controller controller, const LV2UI_Touch* touch, const LV2UI_Resize* resize,
                           LV2_URID_Map* map)
    : mPlug(plug), mGUI(gui), mWrite(write), mController(controller), mTouch(touch), mResize(resize), mMap(map) {
  const int n = plug->NControlPorts();
  mSeen.Resize(n);
  mHostValue.Resize(n);
  for (int i = 0; i < n; ++i) {
    // What the host holds now is what the plug-in took from its ports.
    mSeen.Get()[i] = static_cast<float>(plug->GetParam(i)->Value());
    mHostValue.Get()[i] = mSeen.Get()[i];
  }
  plug->SetGestureListener(this);
}

IPluginLV2UI::~IPluginLV2UI() {
  mPlug->SetGestureListener(nullptr);
  mGUI->CloseWindow();
}

void IPluginLV2UI::PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer) {
  if (format != 0 || bufferSize != sizeof(float) || !buffer || port >= (uint32_t)mPlug->NControlPorts()) return;
  const float value = *static_cast<const float*>(buffer);
  if (!std::isfinite(value)) return;
  mHostValue.Get()[port] = value;
  IPluginBase::IMutexLock lock(mPlug);
  mGUI->SetParameterFromPlug((int)port, value, false);
}

int IPluginLV2UI::Idle() {
  if (!mGUI->Idle()) return 1;
  SendChangedValues();
  return 0;
}

void IPluginLV2UI::SendChangedValues() {
  for (int i = 0; i < mPlug->NControlPorts(); ++i) {
    const float value = static_cast<float>(mPlug->GetParam(i)->Value());
    float& seen = mSeen.Get()[i];
    if (value == seen) continue;
    seen = value;
    float& host = mHostValue.Get()[i];
    if (value == host) continue;
    host = value;
    mWrite(mController, (uint32_t)i, sizeof(float), 0, &value);
  }
}

void IPluginLV2UI::GestureBegins(int paramIdx) {
  if (mTouch) mTouch->touch(mTouch->handle, (uint32_t)paramIdx, true);
}

void IPluginLV2UI::GestureEnds(int paramIdx) {
  // The gesture's last value goes out before the release.
  SendChangedValues();
  if (mTouch) mTouch->touch(mTouch->handle, (uint32_t)paramIdx, false);
}

// ---- The C entry points ----

namespace {

IPluginLV2UI* AsUI(LV2UI_Handle handle) { return static_cast<IPluginLV2UI*>(handle); }

LV2UI_Handle InstantiateUI(const LV2UI_Descriptor* descriptor, const char* pluginURI, const char* bundlePath,
                           LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                           const LV2_Feature* const* features) {
  if (!pluginURI || std::strcmp(pluginURI, LV2Product().mURI) != 0) return nullptr;
  return IPluginLV2UI::Instantiate(write, controller, widget, features);
}

void CleanupUI(LV2UI_Handle handle) { delete AsUI(handle); }

void PortEventUI(LV2UI_Handle handle, uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer) {
  AsUI(handle)->PortEvent(port, bufferSize, format, buffer);
}

int IdleUI(LV2UI_Handle handle) { return AsUI(handle)->Idle(); }

// The UI reports no options of its own.
uint32_t GetOptionsUI(LV2_Handle handle, LV2_Options_Option* options) { return LV2_OPTIONS_ERR_UNKNOWN; }

uint32_t SetOptionsUI(LV2_Handle handle, const LV2_Options_Option* options) {
  return static_cast<IPluginLV2UI*>(handle)->SetOptions(options);
}

const void* ExtensionDataUI(const char* uri) {
  static const LV2UI_Idle_Interface kIdle = {IdleUI};
  static const LV2_Options_Interface kOptions = {GetOptionsUI, SetOptionsUI};
  if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdle;
  if (uri && std::strcmp(uri, LV2_OPTIONS__interface) == 0) return &kOptions;
  return nullptr;
}

}  // namespace

const LV2UI_Descriptor* LV2UIDescriptor(uint32_t index) {
  static const std::string uri = std::string(LV2Product().mURI) + kEditorSuffix;
  static const LV2UI_Descriptor kDescriptor = {uri.c_str(), InstantiateUI, CleanupUI, PortEventUI, ExtensionDataUI};
  return index == 0 ? &kDescriptor : nullptr;
}
