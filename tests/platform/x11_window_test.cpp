// The X11 editor against a real X server (a private Xvfb this program
// starts): what reaches the screen, the text field, popup menus, double
// clicks, a parent window that goes away, reopening.

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "graphics/IBitmapControls.h"
#include "graphics/ITextControls.h"
#include "pix/PIX_Bitmap.h"
#include "platform/HeadlessTextField.h"
#include "platform/IGraphicsX11.h"
#include "platform/IGraphicsX11Pixels.h"
#include "platform/PlatformTestSupport.h"
#include "platform/XvfbTestEnvironment.h"
#include "dcx/ResourceDir.h"

// Last: Xlib's macros (Bool, None, Status) clash with names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

const int kBackgroundId = 900;

using platform_test::RecordingControl;
using platform_test::TestPlug;

std::string Hex(unsigned long id) {
  char text[32];
  std::snprintf(text, sizeof(text), "0x%lx", id);
  return text;
}

// A plug-in with an X11 editor: a grey background image (blits stay inside
// the repainted area, so the window always equals the draw bitmap), a
// recorder, a caption for the continuous "Level" and one for the
// enumerated "Mode".
struct Editor {
  TestPlug plug;
  IGraphicsX11* gui = static_cast<IGraphicsX11*>(MakeGraphicsX11(&plug, 200, 150, 0));
  RecordingControl* recorder = nullptr;

  Editor() {
    static platform_test::TempFolder images;
    platform_test::WriteSolidPNG(images.File("grey.png"), 200, 150, 40, 40, 40);
    SetTonnikResourceDir(images.Path().c_str());
    gui->AttachBackground(kBackgroundId, "resources/img/grey.png");
    recorder = new RecordingControl(&plug, IRECT(0, 0, 200, 60));
    gui->AttachControl(recorder);
    IText text(12);
    gui->AttachControl(new ICaptionControl(&plug, IRECT(10, 80, 90, 100), platform_test::kLevel, &text));
    gui->AttachControl(new ICaptionControl(&plug, IRECT(110, 80, 190, 100), platform_test::kMode, &text));
    plug.AttachGraphics(gui);
  }
  // Lets the window work for a while: events, ticks.
  void Run(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end && gui->Idle()) usleep(5000);
  }
  std::string Window() const { return Hex(gui->GetXWindow()); }
};

// Reads the window back and compares it with the draw bitmap.
int PixelsDifferingFromTheDrawBitmap(IGraphicsX11* gui) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return -1;
  XImage* image = XGetImage(display, gui->GetXWindow(), 0, 0, gui->Width(), gui->Height(), AllPlanes, ZPixmap);
  int differing = -1;
  if (image) {
    differing = 0;
    const X11PixelFormat format = MakeX11PixelFormat(image->red_mask, image->green_mask, image->blue_mask, 32, true);
    PIX_IBitmap* bits = gui->GetDrawBitmap();
    for (int y = 0; y < gui->Height(); ++y)
      for (int x = 0; x < gui->Width(); ++x)
        if (XGetPixel(image, x, y) != X11PixelPlain(bits->getBits()[y * bits->getRowSpan() + x], format)) ++differing;
    XDestroyImage(image);
  }
  XCloseDisplay(display);
  return differing;
}

TEST(X11Window, TheWindowShowsTheDrawBitmapWithAndWithoutSharedMemory) {
  for (bool shm : {true, false}) {
    Editor e;
    e.gui->SetUseShm(shm);
    ASSERT_NE(e.gui->OpenWindow(nullptr), nullptr) << e.gui->GetLastError();
    EXPECT_EQ(e.gui->UsesShm(), shm);
    e.plug.GetParam(platform_test::kLevel)->Set(0.25);
    e.gui->SetParameterFromPlug(platform_test::kLevel, 0.25, true);
    e.Run(200);
    EXPECT_EQ(PixelsDifferingFromTheDrawBitmap(e.gui), 0) << (shm ? "MIT-SHM" : "XPutImage");
    // An idle tick with nothing dirty draws nothing.
    EXPECT_FALSE(e.gui->Tick());
  }
}

TEST(X11Window, ClicksDoubleClicksWheelAndKeysArriveInEditorPixels) {
  Editor e;
  ASSERT_NE(e.gui->OpenWindow(nullptr), nullptr) << e.gui->GetLastError();
  e.Run(100);
  Xdotool("mousemove --window " + e.Window() + " 30 20 click 1");
  e.Run(100);
  Xdotool("sleep 0.5 click --repeat 2 --delay 60 1");
  e.Run(100);
  Xdotool("sleep 0.5 click 3 click 4 key a key F1");
  e.Run(150);
  std::string seen;
  for (const RecordingControl::Event& ev : e.recorder->mEvents) {
    seen += ev.what + " ";
    EXPECT_EQ(ev.x, 30);
    EXPECT_EQ(ev.y, 20);
  }
  // F1 has no editor key; 'a' is key 15.
  EXPECT_EQ(seen, "down up down up dbl up down up wheel key ");
  const RecordingControl::Event& right = e.recorder->mEvents[6];
  EXPECT_FALSE(right.mod.L);
  EXPECT_TRUE(right.mod.R);
  EXPECT_EQ(e.recorder->mEvents[8].extra, 1);
  EXPECT_EQ(e.recorder->mEvents[9].extra, 15);
}

TEST(X11Window, TheTextFieldFiltersTypingAndCommitsOnReturn) {
  Editor e;
  ASSERT_NE(e.gui->OpenWindow(nullptr), nullptr) << e.gui->GetLastError();
  e.Run(100);
  Xdotool("mousemove --window " + e.Window() + " 50 90 click 1");
  e.Run(100);
  HeadlessTextField* field = e.gui->GetTextField();
  ASSERT_NE(field, nullptr);
  // Drags are ignored while the field is open; letters are refused.
  Xdotool("key BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace type 0x.3a5");
  e.Run(100);
  ASSERT_NE(e.gui->GetTextField(), nullptr);
  EXPECT_STREQ(e.gui->GetTextField()->GetString(), "0.35");
  Xdotool("key Return");
  e.Run(100);
  EXPECT_EQ(e.gui->GetTextField(), nullptr);
  EXPECT_NEAR(e.plug.GetParam(platform_test::kLevel)->Value(), 0.35, 1e-9);

  // Escape closes it and changes nothing.
  Xdotool("mousemove --window " + e.Window() + " 50 90 click 1");
  e.Run(100);
  ASSERT_NE(e.gui->GetTextField(), nullptr);
  Xdotool("type 9");
  Xdotool("key Escape");
  e.Run(100);
  EXPECT_EQ(e.gui->GetTextField(), nullptr);
  EXPECT_NEAR(e.plug.GetParam(platform_test::kLevel)->Value(), 0.35, 1e-9);
  EXPECT_EQ(PixelsDifferingFromTheDrawBitmap(e.gui), 0) << "the field left pixels behind";
}

TEST(X11Window, PopupMenusReturnTheChoiceOrNothing) {
  Editor e;
  ASSERT_NE(e.gui->OpenWindow(nullptr), nullptr) << e.gui->GetLastError();
  e.Run(100);
  // The menu runs inside the click's handling: the user's answer comes
  // from another process while it waits.
  auto answer = [&](const std::string& keys) {
    std::thread user([&] { Xdotool("sleep 0.4 " + keys); });
    Xdotool("mousemove --window " + e.Window() + " 150 90 click 1");
    e.Run(300);
    user.join();
    e.Run(100);
  };
  answer("key Down key Down key Down key Return");  // Soft, Mid, Hard
  EXPECT_EQ(e.plug.GetParam(platform_test::kMode)->Int(), 2);
  answer("key Down key Escape");
  EXPECT_EQ(e.plug.GetParam(platform_test::kMode)->Int(), 2);
  answer("mousemove 600 400 click 1");  // outside the menu
  EXPECT_EQ(e.plug.GetParam(platform_test::kMode)->Int(), 2);
  EXPECT_TRUE(e.gui->WindowIsOpen());
  EXPECT_EQ(PixelsDifferingFromTheDrawBitmap(e.gui), 0) << "the menu left pixels behind";
}

TEST(X11Window, AParentWindowThatGoesAwayEndsTheEditorAndABadOneIsRefused) {
  Display* host = XOpenDisplay(nullptr);
  ASSERT_NE(host, nullptr);
  const Window parent = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 300, 200, 0, 0, 0);
  XMapWindow(host, parent);
  XSync(host, False);

  Editor e;
  void* window = e.gui->OpenWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(parent)));
  ASSERT_NE(window, nullptr) << e.gui->GetLastError();
  e.Run(100);
  EXPECT_TRUE(e.gui->WindowIsOpen());
  XDestroyWindow(host, parent);
  XSync(host, False);
  e.Run(200);
  EXPECT_FALSE(e.gui->WindowIsOpen());
  EXPECT_FALSE(e.gui->Idle());
  EXPECT_NE(std::string(e.gui->GetLastError()).find("destroyed"), std::string::npos);

  // A parent that never comes: waited for, then the window ends.
  EXPECT_NE(e.gui->OpenWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(parent))), nullptr);
  e.Run(2300);
  EXPECT_FALSE(e.gui->WindowIsOpen());
  EXPECT_NE(std::string(e.gui->GetLastError()).find("parent window does not exist"), std::string::npos);

  // A parent the host has made but not sent to the server yet (it waits
  // for the editor before it flushes): the editor's window moves into it
  // once it is there.
  const Window late = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, 300, 200, 0, 0, 0);
  void* child = e.gui->OpenWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(late)));
  ASSERT_NE(child, nullptr) << e.gui->GetLastError();
  XMapWindow(host, late);
  XSync(host, False);
  e.Run(200);
  EXPECT_TRUE(e.gui->WindowIsOpen());
  Window root = 0, parentOfChild = 0;
  Window* children = nullptr;
  unsigned n = 0;
  XQueryTree(host, static_cast<Window>(reinterpret_cast<uintptr_t>(child)), &root, &parentOfChild, &children, &n);
  if (children) XFree(children);
  EXPECT_EQ(parentOfChild, late);
  e.gui->CloseWindow();
  XDestroyWindow(host, late);
  XCloseDisplay(host);

  // And the editor opens again afterwards, as often as asked.
  for (int i = 0; i < 3; ++i) {
    ASSERT_NE(e.gui->OpenWindow(nullptr), nullptr) << e.gui->GetLastError();
    e.Run(60);
    e.gui->CloseWindow();
    EXPECT_FALSE(e.gui->WindowIsOpen());
  }
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);
  return RUN_ALL_TESTS();
}
