// The CLAP editor in a real X server: the module loaded with dlopen, the
// editor embedded in a window of the test's own, run only by the host's
// timer and fd callbacks; a click on a switch reaches the editor and the
// host hears it as a gesture; hide, show and destroy leave nothing behind.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "clap/CLAPTestHost.h"
#include "platform/XvfbTestEnvironment.h"

// Last: Xlib's macros clash with names above.
#include <X11/Xlib.h>

namespace {

const uint32_t kWidth = 336, kHeight = 598;
const clap_id kMidiTune = 5;
const int kSwitchX = 155, kSwitchY = 105;  // the MIDI Tune switch

std::vector<Window> Children(Display* display, Window parent) {
  Window root = 0, up = 0, *list = nullptr;
  unsigned n = 0;
  std::vector<Window> children;
  if (XQueryTree(display, parent, &root, &up, &list, &n)) children.assign(list, list + n);
  if (list) XFree(list);
  return children;
}

TEST(CLAPEditor, RunsOnTheHostsTimerAndFdAndHearsAClick) {
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, kWidth, kHeight, 0, 0, 0);
  XMapWindow(display, parent);
  XSync(display, False);

  CLAPModuleFile file(TONNIK_CLAP_MODULE);
  CLAPTestHost host(file.Entry());
  const clap_plugin_t* p = host.Create();
  ASSERT_NE(p, nullptr);
  auto gui = host.Extension<clap_plugin_gui_t>(p, CLAP_EXT_GUI);
  ASSERT_TRUE(gui->create(p, CLAP_WINDOW_API_X11, false));
  uint32_t w = 0, h = 0;
  ASSERT_TRUE(gui->get_size(p, &w, &h));
  EXPECT_EQ(w, kWidth);
  EXPECT_EQ(h, kHeight);
  EXPECT_FALSE(gui->can_resize(p));
  EXPECT_FALSE(gui->set_size(p, kWidth * 2, kHeight));
  clap_window_t window = {CLAP_WINDOW_API_X11, {}};
  window.x11 = parent;
  ASSERT_TRUE(gui->set_parent(p, &window));
  ASSERT_TRUE(gui->show(p));
  ASSERT_EQ(host.mTimers.size(), 1u);
  EXPECT_EQ(host.mTimers.begin()->second, 40u) << "25 frames a second";
  ASSERT_EQ(host.mFds.size(), 1u);

  host.RunEditor(p, 400);
  const std::vector<Window> editor = Children(display, parent);
  ASSERT_EQ(editor.size(), 1u);
  const std::string id = std::to_string(editor[0]), x = std::to_string(kSwitchX), y = std::to_string(kSwitchY);
  Xdotool("mousemove --window " + id + " " + x + " " + y + " click 1");
  host.RunEditor(p, 400);
  double value = 0;
  host.Extension<clap_plugin_params_t>(p, CLAP_EXT_PARAMS)->get_value(p, kMidiTune, &value);
  EXPECT_EQ(value, 1.0);
  // Drawn by the timer and the fd alone: exactly what the headless editor
  // shows after the same click.
  const std::string compare = "import -window " + id + " clap_gui.png && " TONNIK_PROGRAM
                              " editor -o clap_headless.png --click " + x + "," + y +
                              " >/dev/null && compare -metric AE clap_gui.png clap_headless.png null: 2>&1 | grep -qx 0";
  EXPECT_EQ(std::system(compare.c_str()), 0) << "the window differs from the headless editor";
  EXPECT_GT(host.mFlushRequests, 0);
  host.Flush(p, CLAPEventList());
  ASSERT_EQ(host.mSent.size(), 3u);
  EXPECT_EQ(host.mSent[0].mType, CLAP_EVENT_PARAM_GESTURE_BEGIN);
  EXPECT_EQ(host.mSent[1].mParamID, kMidiTune);
  EXPECT_EQ(host.mSent[1].mValue, 1.0);
  EXPECT_EQ(host.mSent[2].mType, CLAP_EVENT_PARAM_GESTURE_END);

  ASSERT_TRUE(gui->hide(p));
  EXPECT_TRUE(host.mTimers.empty());
  ASSERT_TRUE(gui->show(p));
  EXPECT_EQ(host.mTimers.size(), 1u);
  gui->destroy(p);
  EXPECT_TRUE(host.mTimers.empty());
  EXPECT_TRUE(host.mFds.empty());
  XSync(display, False);
  EXPECT_TRUE(Children(display, parent).empty());
  // And again, as a host that closes and reopens the editor, here on a
  // screen at twice the density: the window is the editor at twice the size.
  ASSERT_TRUE(gui->create(p, CLAP_WINDOW_API_X11, false));
  EXPECT_FALSE(gui->set_scale(p, 3.0));
  ASSERT_TRUE(gui->set_scale(p, 2.0));
  ASSERT_TRUE(gui->get_size(p, &w, &h));
  EXPECT_EQ(w, 2 * kWidth);
  EXPECT_EQ(h, 2 * kHeight);
  ASSERT_TRUE(gui->set_parent(p, &window));
  XSync(display, False);
  XWindowAttributes scaled = {};
  XGetWindowAttributes(display, Children(display, parent).at(0), &scaled);
  EXPECT_EQ(scaled.width, (int)(2 * kWidth));
  gui->destroy(p);
  XDestroyWindow(display, parent);
  XCloseDisplay(display);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);
  return RUN_ALL_TESTS();
}
