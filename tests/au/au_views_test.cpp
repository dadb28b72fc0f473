// The editor views: the UI component list, the Cocoa view factory and the
// Carbon view component.

#include <gtest/gtest.h>

#include <string>

#include "au/IPluginAU_ViewFactory.h"
#include "au/TestPlug.h"
#include "au/apple/ComponentCall.h"
#include "au/apple/StandIn.h"

namespace {

// An instance of the test component with an editor.
struct EditorUnit {
  EditorUnit() {
    gTestPlugConfig.withEditor = true;
    OpenAComponent(TestComponent(), &unit);
    gTestPlugConfig = TestPlugConfig{};
  }
  ~EditorUnit() { CloseComponent(unit); }
  IPluginAU* Plug() const { return reinterpret_cast<IPluginAU*>(GetComponentInstanceStorage(unit)); }
  TestEditor* Editor() const { return static_cast<TestEditor*>(Plug()->GetGUI()); }
  AudioUnit unit = nullptr;
};

ComponentResult ViewEntry(ComponentParameters* params, Handle storage) {
  return IPluginAU::IPluginAUCarbonViewEntry(params, storage);
}

Component ViewComponent() {
  static Component component = [] {
    ComponentDescription cd = {kAudioUnitCarbonViewComponentType, MakeFourCC("Tst1"), MakeFourCC("-VL-"), 0, 0};
    return RegisterComponent(&cd, ViewEntry, 0, nullptr, nullptr, nullptr);
  }();
  return component;
}

std::string Text(CFStringRef s) {
  char buffer[256];
  return s && CFStringGetCString(s, buffer, sizeof buffer, kCFStringEncodingUTF8) ? buffer : "<null>";
}

TEST(AUViews, UIComponentListNamesTheCarbonView) {
  EditorUnit u;
  ComponentDescription cd;
  UInt32 size = sizeof cd;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_GetUIComponentList, 0, 0, &cd, &size));
  EXPECT_EQ(20u, size);
  EXPECT_EQ((OSType)kAudioUnitCarbonViewComponentType, cd.componentType);
  EXPECT_EQ(MakeFourCC("Tst1"), cd.componentSubType);
  EXPECT_EQ(MakeFourCC("-VL-"), cd.componentManufacturer);
  EXPECT_EQ(0u, cd.componentFlags);
}

TEST(AUViews, CocoaUINeedsTheRegisteredBundle) {
  EditorUnit u;
  AudioUnitCocoaViewInfo info;
  UInt32 size = sizeof info;
  // Not registered yet: the host could not load the factory.
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, AudioUnitGetProperty(u.unit, kAudioUnitProperty_CocoaUI, 0, 0, &info, &size));
  ASSERT_TRUE(StandIn_RegisterBundle("com.tonnik.test.plug", "/tmp/TestPlug.component", "/tmp"));
  const long live = StandIn_LiveCFObjectCount();
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_CocoaUI, 0, 0, &info, &size));
  EXPECT_EQ(16u, size);
  CFStringRef path = CFURLCopyFileSystemPath(info.mCocoaAUViewBundleLocation, kCFURLPOSIXPathStyle);
  EXPECT_EQ("/tmp/TestPlug.component", Text(path));
  EXPECT_EQ("TestPlug_View", Text(info.mCocoaAUViewClass[0]));
  CFRelease(path);
  CFRelease(info.mCocoaAUViewBundleLocation);
  CFRelease(info.mCocoaAUViewClass[0]);
  EXPECT_EQ(live, StandIn_LiveCFObjectCount());
}

TEST(AUViews, CocoaViewFactoryOpensTheEditorWithoutParent) {
  EditorUnit u;
  IPluginAU_ViewFactory factory("TestPlug View");
  EXPECT_EQ(&factory, factory.init());
  EXPECT_EQ(nullptr, factory.GetPlug());
  NSView* view = factory.uiViewForAudioUnit(u.unit, NSSize{400, 300});
  EXPECT_EQ(static_cast<void*>(&u.Editor()->mView), static_cast<void*>(view));
  EXPECT_EQ(u.Plug(), factory.GetPlug());
  EXPECT_EQ(1, u.Editor()->mOpens);
  EXPECT_EQ(0u, factory.interfaceVersion());
  CFStringRef description = factory.description();
  EXPECT_EQ("TestPlug View", Text(description));
  CFRelease(description);

  TestUnit plain;  // no editor
  EXPECT_EQ(nullptr, factory.uiViewForAudioUnit(plain.unit, NSSize{0, 0}));
  EXPECT_EQ(nullptr, factory.uiViewForAudioUnit(nullptr, NSSize{0, 0}));
}

TEST(AUViews, CarbonViewOpensInTheHostWindowAndClosesTheEditor) {
  EditorUnit u;
  AudioUnitCarbonView view = nullptr;
  ASSERT_EQ(noErr, OpenAComponent(ViewComponent(), &view));
  int window = 0, parent = 0;
  const Float32Point location = {10.0f, 20.0f};
  const Float32Point size = {100.0f, 50.0f};
  ControlRef control = nullptr;
  ASSERT_EQ(noErr, AudioUnitCarbonViewCreate(view, u.unit, reinterpret_cast<WindowRef>(&window),
                                             reinterpret_cast<ControlRef>(&parent), &location, &size, &control));
  TestEditor* editor = u.Editor();
  EXPECT_EQ(static_cast<void*>(&editor->mControl), static_cast<void*>(control));
  EXPECT_EQ(static_cast<void*>(&window), editor->mParentWindow);
  EXPECT_EQ(static_cast<void*>(&parent), editor->mParentControl);
  EXPECT_EQ(10, editor->mLeft);
  EXPECT_EQ(20, editor->mTop);
  EXPECT_EQ(paramErr, AudioUnitCarbonViewCreate(view, u.unit, nullptr, nullptr, &location, &size, nullptr));
  EXPECT_EQ(badComponentSelector, ComponentCall(kAudioUnitCarbonViewSetEventListenerSelect).Call(view));
  EXPECT_EQ(noErr, CloseComponent(view));
  EXPECT_EQ(1, editor->mCloses);
}

TEST(AUViews, CarbonViewWithoutEditorAnswersBadSelector) {
  TestUnit plain;
  AudioUnitCarbonView view = nullptr;
  ASSERT_EQ(noErr, OpenAComponent(ViewComponent(), &view));
  ControlRef control = nullptr;
  EXPECT_EQ(badComponentSelector, AudioUnitCarbonViewCreate(view, plain.unit, nullptr, nullptr, nullptr, nullptr, &control));
  EXPECT_EQ(nullptr, control);
  EXPECT_EQ(noErr, CloseComponent(view));
}

}  // namespace
