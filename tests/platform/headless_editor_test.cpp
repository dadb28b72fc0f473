// The headless editor platform: window lifetime, the refresh tick, the
// screen, mouse and key events through the view, text entry and menus
// answered by the caller.

#include <gtest/gtest.h>

#include "graphics/IBitmapControls.h"
#include "graphics/IPopupMenu.h"
#include "graphics/ITextControls.h"
#include "graphics/IUtilityControls.h"
#include "au/apple/CoreFoundation.h"
#include "pix/PIX_Bitmap.h"
#include "platform/HeadlessView.h"
#include "platform/PlatformTestSupport.h"

namespace {

using platform_test::RecordingControl;
using platform_test::ScriptedPrompts;
using platform_test::TestPlug;

const unsigned kRedPixel = 0xFFu | (255u << 8);

// A plug-in with a headless editor of w x h: a recording control over the
// whole area and whatever a test attaches before Attach().
struct Editor {
  TestPlug plug;
  IGraphicsHeadless* gui;
  RecordingControl* recorder;

  explicit Editor(int w = 336, int h = 598) : gui(plug.MakeEditor(w, h)) {
    // The background at index 0 never receives keys; the recorder sits above it.
    IColor grey(255, 40, 40, 40);
    gui->AttachPanelBackground(&grey);
    recorder = new RecordingControl(&plug, IRECT(0, 0, w, h));
    gui->AttachControl(recorder);
    gui->SetPrompts(&prompts);
  }
  void Attach() {
    plug.AttachGraphics(gui);
    gui->OpenWindow(nullptr);
  }
  HeadlessView* View() { return gui->GetView(); }

  ScriptedPrompts prompts;
};

TEST(HeadlessEditor, FactoryGivesBundleIdentifierAndFrameRate) {
  TestPlug plug;
  IGraphicsHeadless* gui = plug.MakeEditor(100, 80, 0);
  EXPECT_STREQ(gui->GetBundleID(), "com.tonnik.test.platform");
  EXPECT_EQ(gui->FPS(), 25);
  EXPECT_DOUBLE_EQ(gui->TimerInterval(), 0.04);
  IGraphicsHeadless* fast = plug.MakeEditor(100, 80, 50);
  EXPECT_DOUBLE_EQ(fast->TimerInterval(), 0.02);
  delete fast;
  plug.AttachGraphics(gui);
}

TEST(HeadlessEditor, WindowOpensClosesAndReopens) {
  Editor e;
  e.plug.AttachGraphics(e.gui);
  EXPECT_FALSE(e.gui->WindowIsOpen());
  EXPECT_EQ(e.gui->GetScreen(), nullptr);
  IRECT r(0, 0, 10, 10);
  EXPECT_FALSE(e.gui->DrawScreen(&r));
  EXPECT_FALSE(e.gui->Tick());

  void* first = e.gui->OpenWindow(nullptr);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(e.gui->WindowIsOpen());
  EXPECT_EQ(e.gui->GetWindow(), first);
  EXPECT_TRUE(e.View()->TimerRunning());
  EXPECT_DOUBLE_EQ(e.View()->TimerInterval(), 0.04);

  e.gui->CloseWindow();
  EXPECT_FALSE(e.gui->WindowIsOpen());
  e.gui->CloseWindow();  // a second close is harmless

  EXPECT_NE(e.gui->OpenWindow(nullptr), nullptr);
  EXPECT_TRUE(e.gui->WindowIsOpen());
  e.gui->OpenWindow(nullptr);  // replaces the open view
  EXPECT_TRUE(e.gui->WindowIsOpen());
}

TEST(HeadlessEditor, HostRemovingTheViewClosesTheWindow) {
  Editor e;
  e.Attach();
  e.View()->RemoveFromSuperview();
  EXPECT_FALSE(e.gui->WindowIsOpen());
  EXPECT_NE(e.gui->OpenWindow(nullptr), nullptr);
}

TEST(HeadlessEditor, TickRepaintsOnlyWhatIsDirty) {
  Editor e;
  IColor red(255, 255, 0, 0);
  IControl* small = new IPanelControl(&e.plug, IRECT(10, 20, 30, 40), &red);
  e.gui->AttachControl(small);
  e.Attach();

  IRECT drawn;
  ASSERT_TRUE(e.gui->Tick(&drawn));
  EXPECT_EQ(drawn, IRECT(0, 0, 337, 599));
  EXPECT_FALSE(e.gui->Tick());

  small->SetDirty(false);
  ASSERT_TRUE(e.gui->Tick(&drawn));
  const ViewRect& asked = e.View()->GetLastRepaintRequest();
  EXPECT_EQ(asked.x, 10);
  EXPECT_EQ(asked.y, 557);
  EXPECT_EQ(asked.width, 21);
  EXPECT_EQ(asked.height, 21);
  EXPECT_EQ(drawn, IRECT(10, 20, 31, 41));

  PIX_IBitmap* screen = e.gui->GetScreen();
  ASSERT_NE(screen, nullptr);
  EXPECT_EQ(screen->getBits()[25 * screen->getRowSpan() + 15], kRedPixel);
  EXPECT_NE(screen->getBits()[45 * screen->getRowSpan() + 15], kRedPixel);
}

TEST(HeadlessEditor, TimerStoppedMeansNoRepaint) {
  Editor e;
  e.Attach();
  e.View()->KillTimer();
  EXPECT_FALSE(e.gui->Tick());
}

TEST(HeadlessEditor, MouseEventsArriveConvertedWithTheirModifiers) {
  Editor e;
  e.Attach();
  HeadlessView* v = e.View();
  ViewModifiers none, command, shift;
  command.command = true;
  shift.shift = true;

  v->MouseDown(ViewPoint{100, 500}, none);
  v->MouseDragged(ViewPoint{100, 480}, shift);
  v->MouseUp(ViewPoint{100, 480}, none);
  v->MouseDown(ViewPoint{100, 500}, command);
  v->MouseUp(ViewPoint{100, 500}, command);
  v->RightMouseDown(ViewPoint{50, 50}, none);
  v->RightMouseUp(ViewPoint{50, 50}, none);
  v->MouseDown(ViewPoint{100, 500}, none, 2);
  v->ScrollWheel(ViewPoint{100, 500}, none, 2.7);
  v->ScrollWheel(ViewPoint{100, 500}, none, -1.5);

  const auto& ev = e.recorder->mEvents;
  ASSERT_EQ(ev.size(), 10u);
  EXPECT_EQ(ev[0].what, "down");
  EXPECT_EQ(ev[0].x, 98);
  EXPECT_EQ(ev[0].y, 95);
  EXPECT_TRUE(ev[0].mod.L);
  EXPECT_FALSE(ev[0].mod.R);
  EXPECT_EQ(ev[1].what, "drag");
  EXPECT_EQ(ev[1].y, 115);
  EXPECT_TRUE(ev[1].mod.S);
  EXPECT_EQ(ev[2].what, "up");
  EXPECT_EQ(ev[3].what, "down");
  EXPECT_TRUE(ev[3].mod.L);
  EXPECT_TRUE(ev[3].mod.R);  // command-click counts as a right click
  EXPECT_EQ(ev[5].what, "down");
  EXPECT_FALSE(ev[5].mod.L);
  EXPECT_TRUE(ev[5].mod.R);
  EXPECT_EQ(ev[5].x, 48);
  EXPECT_EQ(ev[5].y, 545);
  EXPECT_EQ(ev[7].what, "dbl");
  EXPECT_EQ(ev[8].what, "wheel");
  EXPECT_EQ(ev[8].extra, 2);
  EXPECT_EQ(ev[9].extra, -1);
}

TEST(HeadlessEditor, KeysGoToTheControlUnderTheLastMousePosition) {
  Editor e;
  e.recorder->mKeysTaken = {15};
  e.Attach();
  HeadlessView* v = e.View();
  v->MouseMoved(ViewPoint{100, 500}, ViewModifiers());

  EXPECT_EQ(v->KeyDown(0, "a"), HeadlessView::kKeyConsumed);
  EXPECT_EQ(v->KeyDown(0, "A"), HeadlessView::kKeyConsumed);
  EXPECT_EQ(v->KeyDown(26, "7"), HeadlessView::kKeyPassedToHost);  // not taken
  EXPECT_EQ(v->KeyDown(122, "\xEF\x9C\x84"), HeadlessView::kKeyPassedToHost);  // F1: unmapped
  EXPECT_EQ(v->KeyDown(0, "ab"), HeadlessView::kKeyDropped);
  EXPECT_EQ(v->KeyDown(0, ""), HeadlessView::kKeyDropped);

  const auto& ev = e.recorder->mEvents;
  ASSERT_EQ(ev.size(), 3u);
  EXPECT_EQ(ev[0].x, 98);
  EXPECT_EQ(ev[0].y, 95);
  EXPECT_EQ(ev[0].extra, 15);
  EXPECT_EQ(ev[1].extra, 15);
  EXPECT_EQ(ev[2].extra, 12);
}

TEST(HeadlessEditor, KeyOverNothingButTheBackgroundGoesToTheHost) {
  TestPlug plug;
  IGraphicsHeadless* gui = plug.MakeEditor(50, 50);
  IColor grey(255, 40, 40, 40);
  gui->AttachPanelBackground(&grey);
  plug.AttachGraphics(gui);
  gui->OpenWindow(nullptr);
  EXPECT_EQ(gui->GetView()->KeyDown(0, "a"), HeadlessView::kKeyPassedToHost);
}

// A caption over the Level parameter (text entry) and one over Mode (menu).
struct PromptEditor : Editor {
  ICaptionControl* level;
  ICaptionControl* mode;
  PromptEditor() {
    IText style;
    level = new ICaptionControl(&plug, IRECT(100, 100, 200, 120), platform_test::kLevel, &style);
    mode = new ICaptionControl(&plug, IRECT(100, 200, 200, 220), platform_test::kMode, &style);
    gui->AttachControl(level);
    gui->AttachControl(mode);
    Attach();
  }
  // A click on the caption, given in editor coordinates.
  void Click(int x, int y) {
    View()->MouseDown(ViewPoint{double(x + 2), double(598 - y - 3)}, ViewModifiers());
    View()->MouseUp(ViewPoint{double(x + 2), double(598 - y - 3)}, ViewModifiers());
  }
  double Level() { return plug.GetParam(platform_test::kLevel)->Value(); }
};

TEST(HeadlessTextEntry, TypedValueIsFilteredAndCommitted) {
  PromptEditor e;
  e.prompts.mType = "0.x7-5";
  e.Click(150, 110);
  EXPECT_EQ(e.prompts.mEntries, 1);
  EXPECT_EQ(e.prompts.mTypedResult, "0.7-5");  // the letter is refused
  EXPECT_EQ(e.prompts.mShownText, "0.50");
  // The field's frame went through the view, one pixel larger.
  EXPECT_EQ(e.prompts.mFieldRect, IRECT(135, 102, 166, 119));
  EXPECT_EQ(e.prompts.mFieldFontSize, 9);
  EXPECT_DOUBLE_EQ(e.Level(), 0.7);
  EXPECT_EQ(e.View()->GetTextField(), nullptr);
}

TEST(HeadlessTextEntry, TwentyFirstCharacterIsRefused) {
  PromptEditor e;
  e.prompts.mType = "0.1111111111111111111111";
  e.prompts.mEnd = IPlatformPrompts::kEntryCancel;
  e.Click(150, 110);
  EXPECT_EQ(e.prompts.mTypedResult.size(), 20u);
  EXPECT_DOUBLE_EQ(e.Level(), 0.5);  // cancelled: nothing changes
}

TEST(HeadlessTextEntry, OpenFieldBlocksDragsAndClosesOnWheelOrForce) {
  PromptEditor e;
  e.prompts.mType = "0.25";
  e.prompts.mEnd = IPlatformPrompts::kEntryLeaveOpen;
  e.Click(150, 110);
  ASSERT_NE(e.View()->GetTextField(), nullptr);
  const size_t before = e.recorder->mEvents.size();
  e.View()->MouseDown(ViewPoint{20, 20}, ViewModifiers());
  e.View()->MouseDragged(ViewPoint{20, 40}, ViewModifiers());
  EXPECT_EQ(e.recorder->mEvents.size(), before + 1);  // the down only
  e.View()->MouseUp(ViewPoint{20, 40}, ViewModifiers());

  e.View()->ScrollWheel(ViewPoint{20, 20}, ViewModifiers(), 1);
  EXPECT_EQ(e.View()->GetTextField(), nullptr);
  EXPECT_DOUBLE_EQ(e.Level(), 0.5);

  e.Click(150, 110);
  ASSERT_NE(e.View()->GetTextField(), nullptr);
  e.gui->ForceEndUserEdit();
  EXPECT_EQ(e.View()->GetTextField(), nullptr);
  EXPECT_DOUBLE_EQ(e.Level(), 0.5);

  e.Click(150, 110);
  e.View()->EndTextEntry(true);
  EXPECT_DOUBLE_EQ(e.Level(), 0.25);
}

TEST(HeadlessTextEntry, NothingOpensWithoutAWindowOrPrompts) {
  PromptEditor e;
  e.gui->SetPrompts(nullptr);
  e.Click(150, 110);
  EXPECT_EQ(e.View()->GetTextField(), nullptr);
  EXPECT_DOUBLE_EQ(e.Level(), 0.5);
  e.gui->CloseWindow();
  IRECT r(0, 0, 10, 10);
  IText style;
  e.gui->CreateTextEntry(e.level, &style, &r, "1", e.plug.GetParam(0));
  EXPECT_EQ(e.prompts.mEntries, 0);
}

TEST(HeadlessMenus, ChoiceSetsTheParameter) {
  PromptEditor e;
  e.prompts.mChoice = "Hard";
  e.Click(150, 210);
  EXPECT_EQ(e.prompts.mMenus, 1);
  ASSERT_EQ(e.prompts.mMenuTitles.size(), 3u);
  EXPECT_EQ(e.prompts.mMenuTitles[0], "Soft");
  EXPECT_TRUE(e.prompts.mMenuChecks[0]);
  EXPECT_FALSE(e.prompts.mMenuChecks[2]);
  // Below the caption's lower-left corner, in view coordinates.
  EXPECT_EQ(e.prompts.mMenuLocation.x, 100);
  EXPECT_EQ(e.prompts.mMenuLocation.y, 598 - 220 - 1 - 4);
  EXPECT_EQ(e.plug.GetParam(platform_test::kMode)->Int(), 2);
}

TEST(HeadlessMenus, DismissedMenuChangesNothing) {
  PromptEditor e;
  e.prompts.mChoice = "";
  e.Click(150, 210);
  EXPECT_EQ(e.prompts.mMenus, 1);
  EXPECT_EQ(e.plug.GetParam(platform_test::kMode)->Int(), 0);
}

// Answers with an entry that a menu cannot choose.
struct BadChoicePrompts : IPlatformPrompts {
  int pick = 0;
  HeadlessMenuEntry stranger;
  const HeadlessMenuEntry* PopupMenu(const HeadlessMenu& menu) override {
    return pick < 0 ? &stranger : menu.GetEntry(pick);
  }
};

TEST(HeadlessMenus, OnlyEnabledItemsOfTheShownMenuCanBeChosen) {
  TestPlug plug;
  IGraphicsHeadless* gui = plug.MakeEditor(100, 100);
  plug.AttachGraphics(gui);
  gui->OpenWindow(nullptr);
  BadChoicePrompts prompts;
  gui->SetPrompts(&prompts);
  IPopupMenu sub;
  sub.AddItem("Deep");
  IPopupMenu menu;
  menu.AddItem("Off", -1, IPopupMenuItem::kDisabled);
  menu.AddSeparator();
  menu.AddItem("Sub", &sub);
  menu.AddItem("Fine");
  IRECT r(10, 10, 50, 20);
  for (int pick : {0, 1, 2, -1}) {
    prompts.pick = pick;
    EXPECT_EQ(gui->CreateIPopupMenu(&menu, &r), nullptr) << pick;
    EXPECT_EQ(menu.GetChosenItemIdx(), -1);
  }
  prompts.pick = 3;
  EXPECT_EQ(gui->CreateIPopupMenu(&menu, &r), &menu);
  EXPECT_EQ(menu.GetChosenItemIdx(), 3);
}

TEST(HeadlessMenus, SubmenuChoiceReturnsTheSubmenu) {
  TestPlug plug;
  IGraphicsHeadless* gui = plug.MakeEditor(100, 100);
  plug.AttachGraphics(gui);
  gui->OpenWindow(nullptr);
  ScriptedPrompts prompts;
  prompts.mChoice = "Deep";
  gui->SetPrompts(&prompts);
  IPopupMenu sub;
  sub.AddItem("Shallow");
  sub.AddItem("Deep");
  IPopupMenu menu;
  menu.AddItem("Sub", &sub);
  IRECT r(10, 10, 50, 20);
  EXPECT_EQ(gui->CreateIPopupMenu(&menu, &r), &sub);
  EXPECT_EQ(sub.GetChosenItemIdx(), 1);
  gui->CloseWindow();
  EXPECT_EQ(gui->CreateIPopupMenu(&menu, &r), nullptr);
}

TEST(HeadlessEditor, FilePromptsGoToTheCaller) {
  Editor e;
  e.Attach();
  e.prompts.mFileAnswer = "/tmp/x.fxp";
  KIT_String name, dir;
  char ext[] = "fxp";
  e.gui->PromptForFile(&name, kFileSave, &dir, ext);
  EXPECT_STREQ(name.Get(), "/tmp/x.fxp");
  ASSERT_EQ(e.prompts.mFileActions.size(), 1u);
  EXPECT_EQ(e.prompts.mFileActions[0], kFileSave);
  EXPECT_EQ(e.prompts.mFileExtensions[0], "fxp");
  e.gui->SetPrompts(nullptr);
  name.Set("left over");
  e.gui->PromptForFile(&name, kFileOpen, &dir, ext);
  EXPECT_STREQ(name.Get(), "");
}

TEST(HeadlessEditor, ResizeFollowsOnlyRealChanges) {
  Editor e(100, 80);
  e.Attach();
  e.gui->Resize(100, 80);
  EXPECT_EQ(e.gui->GetNControls(), 2);  // unchanged size: controls kept
  e.gui->Resize(120, 90);
  EXPECT_EQ(e.gui->GetNControls(), 0);
  EXPECT_EQ(e.View()->GetWidth(), 120);
  EXPECT_EQ(e.gui->GetScreen()->getHeight(), 90);
}

TEST(HeadlessEditor, CursorHidesOnceAndShowsAgain) {
  Editor e;
  e.Attach();
  e.gui->HideMouseCursor();
  e.gui->HideMouseCursor();
  EXPECT_TRUE(e.gui->IsCursorHidden());
  e.gui->ShowMouseCursor();
  EXPECT_FALSE(e.gui->IsCursorHidden());
}

}  // namespace

namespace {

TEST(HeadlessEditor, FactoryMakesThePlugInsBundleFindable) {
  TestPlug plug;
  IGraphicsHeadless* gui = plug.MakeEditor(10, 10);
  plug.AttachGraphics(gui);
  CFStringRef id = CFStringCreateWithCString(nullptr, "com.tonnik.test.platform", kCFStringEncodingUTF8);
  EXPECT_NE(CFBundleGetBundleWithIdentifier(id), nullptr);
  CFRelease(id);
}

}  // namespace
