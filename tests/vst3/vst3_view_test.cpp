// The editor's VST 3 view as a host on Linux holds it: inside a parent
// window, refreshed and fed its X events only through the host's run loop,
// telling the host about a knob drag (xdotool) as edits; one view per
// instance, reopened, two instances side by side, nothing registered after
// removal. Under a private Xvfb.

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>

#include "platform/XvfbTestEnvironment.h"
#include "tonnik/Tonnik.h"
#include "vst3/VST3Factory.h"
#include "vst3/VST3TestHost.h"

// Last: Xlib's macros clash with names above.
#include <X11/Xlib.h>

namespace {

const int kEditorWidth = 336, kEditorHeight = 598;
const vst3::uint64 kEditorFrameMs = 40;  // 25 frames a second

// A plug frame that is the host's run loop: it keeps what is registered and
// runs it on demand.
class RunLoopFrame : public vst3::IPlugFrame, public vst3::IRunLoop {
public:
  vst3::tresult queryInterface(const vst3::TUID iid, void** obj) override {
    *obj = vst3::SameUID(iid, vst3::iid::kIRunLoop) ? static_cast<vst3::IRunLoop*>(this) : nullptr;
    return *obj ? vst3::kResultOk : vst3::kNoInterface;
  }
  vst3::uint32 addRef() override { return 1; }
  vst3::uint32 release() override { return 1; }
  vst3::tresult resizeView(vst3::IPlugView*, vst3::ViewRect* size) override {
    mAskedSize = *size;
    return vst3::kResultOk;
  }
  vst3::tresult registerEventHandler(vst3::IEventHandler* h, int fd) override {
    mHandler = h;
    mFd = fd;
    return vst3::kResultOk;
  }
  vst3::tresult unregisterEventHandler(vst3::IEventHandler* h) override {
    if (h == mHandler) mHandler = nullptr;
    return vst3::kResultOk;
  }
  vst3::tresult registerTimer(vst3::ITimerHandler* h, vst3::uint64 ms) override {
    mTimer = h;
    mTimerMs = ms;
    return vst3::kResultOk;
  }
  vst3::tresult unregisterTimer(vst3::ITimerHandler* h) override {
    if (h == mTimer) mTimer = nullptr;
    return vst3::kResultOk;
  }
  // Runs the loop for ms milliseconds: the timer on its period, the handler
  // whenever its descriptor is readable.
  void Run(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end && mTimer) {
      pollfd p = {mFd, POLLIN, 0};
      if (mHandler && poll(&p, 1, (int)mTimerMs) > 0) mHandler->onFDIsSet(mFd);
      mTimer->onTimer();
    }
  }
  vst3::IEventHandler* mHandler = nullptr;
  vst3::ITimerHandler* mTimer = nullptr;
  int mFd = -1;
  vst3::uint64 mTimerMs = 0;
  vst3::ViewRect mAskedSize = {};
};

class VST3View : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_NE(mDisplay = XOpenDisplay(nullptr), nullptr); }
  void TearDown() override { XCloseDisplay(mDisplay); }
  Window MakeParent() {
    const Window w = XCreateSimpleWindow(mDisplay, DefaultRootWindow(mDisplay), 0, 0, kEditorWidth, kEditorHeight, 0,
                                         0, 0);
    XMapWindow(mDisplay, w);
    XSync(mDisplay, False);
    return w;
  }
  // The parent's one child (the editor's window), or 0.
  Window ChildOf(Window parent) {
    Window root = 0, up = 0, *children = nullptr;
    unsigned n = 0;
    XQueryTree(mDisplay, parent, &root, &up, &children, &n);
    const Window child = n == 1 ? children[0] : 0;
    if (children) XFree(children);
    return child;
  }
  vst3::IPlugView* Attach(HostedInstance& vst, RunLoopFrame* frame, Window parent) {
    vst3::IPlugView* view = vst.mController->createView(vst3::kEditorViewType);
    if (!view) return nullptr;
    view->setFrame(frame);
    EXPECT_EQ(view->attached(reinterpret_cast<void*>(parent), vst3::kPlatformTypeX11EmbedWindowID), vst3::kResultOk);
    return view;
  }
  Display* mDisplay = nullptr;
};

TEST_F(VST3View, AKnobDragInTheEmbeddedEditorReachesTheHostAsEdits) {
  HostedInstance vst(VST3Factory(), 48000.0, 512);
  ASSERT_TRUE(vst.Ok());
  RecordingHandler handler;
  vst.mController->setComponentHandler(&handler);
  RunLoopFrame frame;
  const Window parent = MakeParent();
  vst3::IPlugView* view = Attach(vst, &frame, parent);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->isPlatformTypeSupported("HWND"), vst3::kResultFalse);
  vst3::ViewRect size = {};
  view->getSize(&size);
  EXPECT_EQ(size.right - size.left, kEditorWidth);
  EXPECT_EQ(size.bottom - size.top, kEditorHeight);
  EXPECT_EQ(view->canResize(), vst3::kResultFalse);
  EXPECT_EQ(frame.mTimerMs, kEditorFrameMs);
  ASSERT_NE(frame.mHandler, nullptr);
  frame.Run(300);
  const Window editor = ChildOf(parent);
  ASSERT_NE(editor, 0u);
  const std::string window = std::to_string(editor);
  // The Decay knob sits at (49, 266), 49 x 51 pixels.
  Xdotool("mousemove --window " + window + " 70 290 mousedown 1 mousemove --window " + window +
          " 70 270 mousemove --window " + window + " 70 250 mouseup 1");
  frame.Run(300);
  ASSERT_GE(handler.mCalls.size(), 3u);
  EXPECT_EQ(handler.mCalls.front(), "begin 3");
  EXPECT_EQ(handler.mCalls.back(), "end 3");
  EXPECT_GT(vst.mController->getParamNormalized(Tonnik::kDecay), 0.5);
  view->removed();
  EXPECT_EQ(frame.mTimer, nullptr);
  EXPECT_EQ(frame.mHandler, nullptr);
  EXPECT_EQ(ChildOf(parent), 0u);
  view->release();
  vst.mController->setComponentHandler(nullptr);
}

TEST_F(VST3View, OneViewPerInstanceReopenedAndTwoInstancesSideBySide) {
  HostedInstance first(VST3Factory(), 48000.0, 512), second(VST3Factory(), 48000.0, 512);
  ASSERT_TRUE(first.Ok() && second.Ok());
  RunLoopFrame frame1, frame2;
  vst3::IPlugView* view1 = Attach(first, &frame1, MakeParent());
  ASSERT_NE(view1, nullptr);
  EXPECT_EQ(first.mController->createView(vst3::kEditorViewType), nullptr);
  vst3::IPlugView* view2 = Attach(second, &frame2, MakeParent());
  ASSERT_NE(view2, nullptr);
  EXPECT_NE(frame1.mFd, frame2.mFd);
  frame1.Run(100);
  frame2.Run(100);
  view1->removed();
  view1->release();
  for (int i = 0; i < 3; ++i) {
    const Window parent = MakeParent();
    view1 = Attach(first, &frame1, parent);
    ASSERT_NE(view1, nullptr);
    frame1.Run(50);
    EXPECT_NE(ChildOf(parent), 0u);
    view1->release();  // without removed(): the view takes its window along
    EXPECT_EQ(ChildOf(parent), 0u);
  }
  view2->removed();
  view2->release();
}

// The host's content scale: the view asks for the size at the new scale and
// its window takes it; scales it does not draw at are refused.
TEST_F(VST3View, ContentScaleResizesTheOpenEditor) {
  HostedInstance vst(VST3Factory(), 48000.0, 512);
  ASSERT_TRUE(vst.Ok());
  RunLoopFrame frame;
  const Window parent = MakeParent();
  vst3::IPlugView* view = Attach(vst, &frame, parent);
  ASSERT_NE(view, nullptr);
  void* found = nullptr;
  ASSERT_EQ(view->queryInterface(vst3::iid::kIPlugViewContentScaleSupport.bytes, &found), vst3::kResultOk);
  auto* scaling = static_cast<vst3::IPlugViewContentScaleSupport*>(found);
  EXPECT_EQ(scaling->setContentScaleFactor(3.0f), vst3::kResultFalse);
  ASSERT_EQ(scaling->setContentScaleFactor(2.0f), vst3::kResultTrue);
  EXPECT_EQ(frame.mAskedSize.right - frame.mAskedSize.left, 2 * kEditorWidth);
  EXPECT_EQ(frame.mAskedSize.bottom - frame.mAskedSize.top, 2 * kEditorHeight);
  vst3::ViewRect size = {};
  ASSERT_EQ(view->getSize(&size), vst3::kResultOk);
  EXPECT_EQ(size.right, 2 * kEditorWidth);
  frame.Run(100);
  XWindowAttributes child = {};
  XGetWindowAttributes(mDisplay, ChildOf(parent), &child);
  EXPECT_EQ(child.width, 2 * kEditorWidth);
  EXPECT_EQ(child.height, 2 * kEditorHeight);
  scaling->release();
  view->removed();
  view->release();
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new XvfbEnvironment);
  return RUN_ALL_TESTS();
}
