// The LV2 editor seen by a host: the bundle's shared object loaded with
// dlopen, the plug-in instantiated, the UI instantiated inside a parent
// window with instance access, and what the UI tells the host (port
// writes, ui:touch, ui:resize) when the Decay knob is dragged with
// xdotool; port events that move the knob; hosts the UI declines; a second
// UI, reopening, two instances. Under a private Xvfb.

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "lv2/core/lv2.h"
#include "lv2/atom/atom.h"
#include "lv2/instance-access/instance-access.h"
#include "lv2/options/options.h"
#include "lv2/ui/ui.h"
#include "lv2/urid/urid.h"
#include "platform/XvfbTestEnvironment.h"

// Last: Xlib's macros clash with names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

const char* const kURI = "http://velmora-rirevovizod.org/lv2/tonnik-pro";
const uint32_t kDecayPort = 3;
const int kEditorWidth = 336;
const int kEditorHeight = 598;
// The Decay knob: one 49 x 51 frame of the knob strip at (49, 266).
const int kKnobX = 49, kKnobY = 266, kKnobW = 49, kKnobH = 51;

// What a host keeps for the plug-in and its UI.
struct Host {
  std::map<std::string, LV2_URID> uris;
  LV2_URID_Map map = {this, [](LV2_URID_Map_Handle h, const char* uri) -> LV2_URID {
                        auto& uris = static_cast<Host*>(h)->uris;
                        auto it = uris.find(uri);
                        if (it != uris.end()) return it->second;
                        const LV2_URID id = static_cast<LV2_URID>(uris.size() + 1);
                        uris[uri] = id;
                        return id;
                      }};
  struct Write {
    uint32_t port;
    float value;
  };
  std::vector<std::string> log;  // "touch 3 on", "write 3", "touch 3 off", "resize 336x598"
  std::vector<Write> writes;
  LV2UI_Touch touch = {this, [](LV2UI_Feature_Handle h, uint32_t port, bool grabbed) {
                         static_cast<Host*>(h)->log.push_back("touch " + std::to_string(port) +
                                                              (grabbed ? " on" : " off"));
                       }};
  LV2UI_Resize resize = {this, [](LV2UI_Feature_Handle h, int w, int height) {
                           static_cast<Host*>(h)->log.push_back("resize " + std::to_string(w) + "x" +
                                                                std::to_string(height));
                           return 0;
                         }};
  static void WriteFunction(LV2UI_Controller c, uint32_t port, uint32_t size, uint32_t protocol, const void* buffer) {
    Host* host = static_cast<Host*>(c);
    if (protocol != 0 || size != sizeof(float)) return;
    host->writes.push_back({port, *static_cast<const float*>(buffer)});
    host->log.push_back("write " + std::to_string(port));
  }
};

class LV2UIHost : public ::testing::Test {
protected:
  void SetUp() override {
    const std::string bundle = std::string(TONNIK_LV2_BUNDLE_DIR) + "/";
    mLibrary = dlopen((bundle + "tonnik.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(mLibrary, nullptr) << dlerror();
    auto plugin = reinterpret_cast<const LV2_Descriptor* (*)(uint32_t)>(dlsym(mLibrary, "lv2_descriptor"));
    auto ui = reinterpret_cast<const LV2UI_Descriptor* (*)(uint32_t)>(dlsym(mLibrary, "lv2ui_descriptor"));
    ASSERT_TRUE(plugin && ui);
    mPlugin = plugin(0);
    mUI = ui(0);
    ASSERT_TRUE(mPlugin && mUI);
    EXPECT_EQ(std::string(mUI->URI), std::string(kURI) + "#ui");
    mDisplay = XOpenDisplay(nullptr);
    ASSERT_NE(mDisplay, nullptr);
  }
  void TearDown() override {
    for (Window w : mParents) XDestroyWindow(mDisplay, w);
    if (mDisplay) XCloseDisplay(mDisplay);
    // The library stays loaded: its editors' caches live as long as the process.
  }

  LV2_Handle MakePlugin(Host* host) {
    const LV2_Feature map = {LV2_URID__map, &host->map};
    const LV2_Feature* features[] = {&map, nullptr};
    const std::string bundle = std::string(TONNIK_LV2_BUNDLE_DIR) + "/";
    return mPlugin->instantiate(mPlugin, 48000, bundle.c_str(), features);
  }
  Window MakeParent() {
    const Window w = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, kEditorWidth, kEditorHeight, 0,
                                         0, 0);
    XMapWindow(mDisplay, w);
    XSync(mDisplay, False);
    mParents.push_back(w);
    return w;
  }
  // features: which of parent, instance access, touch and resize to give.
  LV2UI_Handle MakeUI(Host* host, LV2_Handle plugin, Window parent, bool withParent, bool withInstance,
                      LV2UI_Widget* widget, const LV2_Options_Option* options = nullptr) {
    const LV2_Feature map = {LV2_URID__map, &host->map};
    const LV2_Feature parentF = {LV2_UI__parent, reinterpret_cast<void*>(static_cast<uintptr_t>(parent))};
    const LV2_Feature instance = {LV2_INSTANCE_ACCESS_URI, plugin};
    const LV2_Feature touch = {LV2_UI__touch, &host->touch};
    const LV2_Feature resize = {LV2_UI__resize, &host->resize};
    const LV2_Feature optionsF = {LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
    std::vector<const LV2_Feature*> features = {&map, &touch, &resize};
    if (options) features.push_back(&optionsF);
    if (withParent) features.push_back(&parentF);
    if (withInstance) features.push_back(&instance);
    features.push_back(nullptr);
    const std::string bundle = std::string(TONNIK_LV2_BUNDLE_DIR) + "/";
    return mUI->instantiate(mUI, kURI, bundle.c_str(), Host::WriteFunction, host, widget, features.data());
  }
  // Runs the UI's idle as a host's timer would, for ms milliseconds; the
  // last idle's answer.
  int Idle(LV2UI_Handle ui, int ms) {
    auto idle = static_cast<const LV2UI_Idle_Interface*>(mUI->extension_data(LV2_UI__idleInterface));
    int answer = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end && (answer = idle->idle(ui)) == 0) usleep(10000);
    return answer;
  }
  std::vector<unsigned long> KnobPixels(LV2UI_Widget widget) {
    std::vector<unsigned long> pixels;
    XImage* image = XGetImage(mDisplay, static_cast<Window>(reinterpret_cast<uintptr_t>(widget)), kKnobX, kKnobY,
                              kKnobW, kKnobH, AllPlanes, ZPixmap);
    if (!image) return pixels;
    for (int y = 0; y < kKnobH; ++y)
      for (int x = 0; x < kKnobW; ++x) pixels.push_back(XGetPixel(image, x, y));
    XDestroyImage(image);
    return pixels;
  }

  void* mLibrary = nullptr;
  const LV2_Descriptor* mPlugin = nullptr;
  const LV2UI_Descriptor* mUI = nullptr;
  Display* mDisplay = nullptr;
  std::vector<Window> mParents;
};

TEST_F(LV2UIHost, AHostWithoutParentOrInstanceAccessIsDeclined) {
  Host host;
  LV2_Handle plugin = MakePlugin(&host);
  ASSERT_NE(plugin, nullptr);
  const Window parent = MakeParent();
  LV2UI_Widget widget = nullptr;
  EXPECT_EQ(MakeUI(&host, plugin, parent, false, true, &widget), nullptr);
  EXPECT_EQ(MakeUI(&host, plugin, parent, true, false, &widget), nullptr);
  EXPECT_EQ(widget, nullptr);
  mPlugin->cleanup(plugin);
}

TEST_F(LV2UIHost, ADragWritesThePortBetweenTouchesAndPortEventsMoveTheKnob) {
  Host host;
  LV2_Handle plugin = MakePlugin(&host);
  ASSERT_NE(plugin, nullptr);
  LV2UI_Widget widget = nullptr;
  LV2UI_Handle ui = MakeUI(&host, plugin, MakeParent(), true, true, &widget);
  ASSERT_NE(ui, nullptr);
  ASSERT_NE(widget, nullptr);
  ASSERT_EQ(host.log.size(), 1u);
  EXPECT_EQ(host.log[0], "resize 336x598");
  EXPECT_EQ(Idle(ui, 300), 0);
  const std::vector<unsigned long> before = KnobPixels(widget);
  ASSERT_FALSE(before.empty());
  EXPECT_TRUE(host.writes.empty()) << "nothing changed yet, nothing is written";

  const std::string window = std::to_string(reinterpret_cast<uintptr_t>(widget));
  Xdotool("mousemove --window " + window + " 70 290 mousedown 1 mousemove --window " + window +
          " 70 270 mousemove --window " + window + " 70 250 mouseup 1");
  EXPECT_EQ(Idle(ui, 300), 0);
  ASSERT_FALSE(host.writes.empty());
  for (const Host::Write& w : host.writes) EXPECT_EQ(w.port, kDecayPort);
  EXPECT_GT(host.writes.back().value, 0.5f);
  // Touch on, the writes, touch off: in that order.
  ASSERT_GE(host.log.size(), 4u);
  EXPECT_EQ(host.log[1], "touch 3 on");
  EXPECT_EQ(host.log.back(), "touch 3 off");
  for (size_t i = 2; i + 1 < host.log.size(); ++i) EXPECT_EQ(host.log[i], "write 3");
  EXPECT_NE(KnobPixels(widget), before);

  // The host puts Decay back; the knob follows and nothing is written back.
  const size_t writes = host.writes.size();
  const float original = 0.5f;
  mUI->port_event(ui, kDecayPort, sizeof(float), 0, &original);
  EXPECT_EQ(Idle(ui, 200), 0);
  EXPECT_EQ(KnobPixels(widget), before);
  EXPECT_EQ(host.writes.size(), writes);
  // Bad port events change nothing.
  const double wide = 0.9;
  mUI->port_event(ui, kDecayPort, sizeof(double), 0, &wide);
  mUI->port_event(ui, 9999, sizeof(float), 0, &original);
  EXPECT_EQ(Idle(ui, 100), 0);
  EXPECT_EQ(KnobPixels(widget), before);

  mUI->cleanup(ui);
  mPlugin->cleanup(plugin);
}

TEST_F(LV2UIHost, AHostsScaleFactorDrawsTheEditorAtThatScaleAndFollowsItsChanges) {
  Host host;
  LV2_Handle plugin = MakePlugin(&host);
  ASSERT_NE(plugin, nullptr);
  float scale = 2.0f;
  LV2_Options_Option options[] = {
      {LV2_OPTIONS_INSTANCE, 0, host.map.map(&host, "http://lv2plug.in/ns/extensions/ui#scaleFactor"), sizeof(float),
       host.map.map(&host, LV2_ATOM__Float), &scale},
      {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
  LV2UI_Widget widget = nullptr;
  LV2UI_Handle ui = MakeUI(&host, plugin, MakeParent(), true, true, &widget, options);
  ASSERT_NE(ui, nullptr);
  EXPECT_EQ(host.log, std::vector<std::string>{"resize 672x1196"});
  auto size = [&] {
    Window root;
    int x, y;
    unsigned w = 0, h = 0, border, depth;
    XGetGeometry(mDisplay, static_cast<Window>(reinterpret_cast<uintptr_t>(widget)), &root, &x, &y, &w, &h, &border,
                 &depth);
    return std::to_string(w) + "x" + std::to_string(h);
  };
  EXPECT_EQ(size(), "672x1196");
  EXPECT_EQ(Idle(ui, 300), 0);
  // The Decay knob at twice its editor position, dragged up.
  const std::string window = std::to_string(reinterpret_cast<uintptr_t>(widget));
  Xdotool("mousemove --window " + window + " 141 581 mousedown 1 mousemove --window " + window +
          " 141 541 mousemove --window " + window + " 141 501 mouseup 1");
  EXPECT_EQ(Idle(ui, 300), 0);
  ASSERT_FALSE(host.writes.empty());
  EXPECT_EQ(host.writes.back().port, kDecayPort);
  EXPECT_GT(host.writes.back().value, 0.5f);

  auto interface = static_cast<const LV2_Options_Interface*>(mUI->extension_data(LV2_OPTIONS__interface));
  ASSERT_NE(interface, nullptr);
  scale = 1.5f;
  EXPECT_EQ(interface->set(ui, options), uint32_t(LV2_OPTIONS_SUCCESS));
  EXPECT_EQ(host.log.back(), "resize 504x897");
  XSync(mDisplay, False);
  EXPECT_EQ(size(), "504x897");
  scale = -1.0f;
  EXPECT_EQ(interface->set(ui, options), uint32_t(LV2_OPTIONS_ERR_BAD_VALUE));
  EXPECT_EQ(interface->set(ui, options + 1), uint32_t(LV2_OPTIONS_ERR_UNKNOWN));
  EXPECT_EQ(host.log.back(), "resize 504x897");
  mUI->cleanup(ui);
  mPlugin->cleanup(plugin);
}

TEST_F(LV2UIHost, OneEditorPerInstanceReopenedAndTwoInstancesSideBySide) {
  Host host;
  LV2_Handle first = MakePlugin(&host);
  LV2_Handle second = MakePlugin(&host);
  ASSERT_TRUE(first && second);
  LV2UI_Widget w1 = nullptr, w2 = nullptr, again = nullptr;
  LV2UI_Handle ui1 = MakeUI(&host, first, MakeParent(), true, true, &w1);
  ASSERT_NE(ui1, nullptr);
  // The instance's editor is already shown.
  EXPECT_EQ(MakeUI(&host, first, MakeParent(), true, true, &again), nullptr);
  LV2UI_Handle ui2 = MakeUI(&host, second, MakeParent(), true, true, &w2);
  ASSERT_NE(ui2, nullptr);
  EXPECT_NE(w1, w2);
  EXPECT_EQ(Idle(ui1, 100), 0);
  EXPECT_EQ(Idle(ui2, 100), 0);
  mUI->cleanup(ui1);
  for (int i = 0; i < 3; ++i) {
    ui1 = MakeUI(&host, first, MakeParent(), true, true, &w1);
    ASSERT_NE(ui1, nullptr);
    EXPECT_EQ(Idle(ui1, 50), 0);
    mUI->cleanup(ui1);
  }
  // The host closes the parent window: idle says the UI is gone.
  const Window parent = MakeParent();
  ui1 = MakeUI(&host, first, parent, true, true, &w1);
  ASSERT_NE(ui1, nullptr);
  EXPECT_EQ(Idle(ui1, 50), 0);
  XDestroyWindow(mDisplay, parent);
  XSync(mDisplay, False);
  mParents.pop_back();
  EXPECT_EQ(Idle(ui1, 500), 1);
  mUI->cleanup(ui1);
  mUI->cleanup(ui2);
  mPlugin->cleanup(first);
  mPlugin->cleanup(second);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);
  return RUN_ALL_TESTS();
}
