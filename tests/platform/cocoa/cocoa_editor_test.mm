// The Mac editor layer in a real window under an X server (GNUstep):
// opened through the Audio Unit's Cocoa view factory, refreshed by its
// timer, shown the same as the headless editor, and driven by real input
// events sent with xdotool.

#import <AppKit/AppKit.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "au/IPluginAU.h"
#include "au/apple/StandIn.h"
#include "graphics/IGraphics.h"
#include "graphics/IPopupMenu.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_PNG.h"
#import "platform/cocoa/CocoaTestSupport.h"
#import "platform/cocoa/IGraphicsCocoa.h"
#include "platform/cocoa/IGraphicsMac.h"
#import "platform/cocoa/Tonnik_View.h"

using cocoa_test::HostWindow;
using cocoa_test::Instrument;
using cocoa_test::Pump;
using cocoa_test::PumpUntil;
using cocoa_test::RecordingControl;
using cocoa_test::RunProgram;
using cocoa_test::Views;
using cocoa_test::Xdotool;

namespace {

const int kEditorW = 336;
const int kEditorH = 598;
// Long enough for the first repaint of a new window, in seconds.
const double kSettleSeconds = 0.5;
// Longer than the window system's double-click time, in seconds.
const double kDoubleClickSeconds = 1.0;
// Time for a batch of sent events to arrive, in seconds.
const double kEventSeconds = 3.0;

// GNUstep opens a popup menu under the pointer, the pointer on its title
// bar, the entries below in rows of about 20 pixels. After a pause for the
// menu to show, these click the second entry or beside the menu.
const char* const kClickFirstEntry = "sleep 1; xdotool mousemove_relative 0 21; sleep 0.3; xdotool click 1";
const char* const kClickSecondEntry = "sleep 1; xdotool mousemove_relative 0 41; sleep 0.3; xdotool click 1";
const char* const kClickBesideMenu = "sleep 1; xdotool mousemove_relative 150 0; sleep 0.3; xdotool click 1";

// A fresh folder under /tmp, removed with its files.
struct TempDir {
  std::string path;
  TempDir() {
    char pattern[] = "/tmp/tonnik_cocoa_XXXXXX";
    const char* made = mkdtemp(pattern);
    path = made ? made : "/tmp";
  }
  ~TempDir() { RunProgram({"rm", "-rf", path}); }
};

// Pixels whose colour (not alpha) differs between two images of one size;
// -1 when either cannot be read or the sizes differ.
long DifferingPixels(const std::string& a, const std::string& b) {
  PIX_IBitmap* x = PIX_LoadPNG(a.c_str(), nullptr);
  PIX_IBitmap* y = PIX_LoadPNG(b.c_str(), nullptr);
  long differing = -1;
  if (x && y && x->getWidth() == y->getWidth() && x->getHeight() == y->getHeight()) {
    differing = 0;
    const unsigned kColour = 0xFFFFFF00u;
    for (int row = 0; row < x->getHeight(); ++row)
      for (int col = 0; col < x->getWidth(); ++col)
        if ((x->getBits()[row * x->getRowSpan() + col] & kColour) !=
            (y->getBits()[row * y->getRowSpan() + col] & kColour))
          ++differing;
  }
  delete x;
  delete y;
  return differing;
}

// The X window point of an editor point (the view fills the window; the
// editor's y is 3 pixels below the view's mirrored y, its x 2 left).
std::string WindowX(int editorX) { return std::to_string(editorX + 2); }
std::string WindowY(int editorY) { return std::to_string(editorY + 3); }

class CocoaEditor : public ::testing::Test {
protected:
  void SetUp() override {
    mPool = [[NSAutoreleasePool alloc] init];
    cocoa_test::WatchEditorViews();
  }
  void TearDown() override { [mPool release]; }

  // The instrument's view through the view factory, in a host window.
  NSView* OpenView(Instrument* instrument) {
    Tonnik_View* factory = [[[Tonnik_View alloc] init] autorelease];
    return [factory uiViewForAudioUnit:instrument->Unit() withSize:NSMakeSize(kEditorW, kEditorH)];
  }

  NSAutoreleasePool* mPool;
};

TEST_F(CocoaEditor, ViewFactoryOpensTheEditorAndTheTimerTicksAtTheFrameRate) {
  Instrument instrument;
  ASSERT_TRUE(instrument.IsOpen());
  IGraphicsMac* editor = instrument.Editor();
  ASSERT_NE(editor, nullptr) << "the instrument's editor is not a Mac editor";
  EXPECT_STREQ(editor->GetGUIAPI(), "Cocoa gui");
  Tonnik_View* factory = [[[Tonnik_View alloc] init] autorelease];
  EXPECT_EQ([factory interfaceVersion], 0u);
  EXPECT_TRUE([[factory description] isEqualToString:@"TONNIK-PRO View"]);
  NSView* view = [factory uiViewForAudioUnit:instrument.Unit() withSize:NSMakeSize(1, 1)];
  ASSERT_NE(view, nil);
  EXPECT_EQ(view, editor->GetWindow());
  EXPECT_TRUE(NSEqualSizes([view frame].size, NSMakeSize(kEditorW, kEditorH)));
  EXPECT_TRUE([view isOpaque]);
  HostWindow window(view, kEditorW, kEditorH);
  Pump(kSettleSeconds);
  EXPECT_EQ([[view window] firstResponder], view);

  RecordingControl* counter = new RecordingControl(instrument.Plug(), IRECT(0, 0, 1, 1));
  editor->AttachControl(counter);
  const double kCountSeconds = 2.0;
  const int kExpectedTicks = 50;  // 25 per second
  const int before = counter->mDirtyQueries;
  Pump(kCountSeconds);
  const int ticks = counter->mDirtyQueries - before;
  // A loaded machine may miss a few firings; a repeating timer never fires early.
  EXPECT_LE(ticks, kExpectedTicks + 1);
  EXPECT_GE(ticks, kExpectedTicks * 3 / 4);
  std::printf("timer: %d ticks in %.1f s\n", ticks, kCountSeconds);
}

TEST_F(CocoaEditor, OnlyTheDirtyAreaIsRepainted) {
  Instrument instrument;
  ASSERT_TRUE(instrument.IsOpen());
  IGraphicsMac* editor = instrument.Editor();
  ASSERT_NE(editor, nullptr);
  RecordingControl* dirty = new RecordingControl(instrument.Plug(), IRECT(10, 20, 30, 40));
  RecordingControl* away = new RecordingControl(instrument.Plug(), IRECT(200, 300, 220, 320));
  editor->AttachControl(dirty);
  editor->AttachControl(away);
  HostWindow window(OpenView(&instrument), kEditorW, kEditorH);
  // Wait until the first full repaint is over and nothing is dirty.
  ASSERT_TRUE(PumpUntil(
      [&] {
        const size_t n = Views().needsDisplay.size();
        Pump(0.2);
        return n == Views().needsDisplay.size() && dirty->mDraws > 0;
      },
      kEventSeconds));
  const int awayDraws = away->mDraws;
  const int dirtyDraws = dirty->mDraws;
  Views().needsDisplay.clear();
  Views().drawn.clear();

  dirty->SetDirty(false);
  ASSERT_TRUE(PumpUntil([&] { return dirty->mDraws > dirtyDraws; }, kEventSeconds));
  Pump(0.2);
  ASSERT_EQ(Views().needsDisplay.size(), 1u);
  const NSRect asked = Views().needsDisplay[0];
  EXPECT_TRUE(NSEqualRects(asked, NSMakeRect(10, 557, 21, 21)))
      << asked.origin.x << "," << asked.origin.y << " " << asked.size.width << "x" << asked.size.height;
  ASSERT_FALSE(Views().drawn.empty());
  for (const NSRect& r : Views().drawn) EXPECT_TRUE(NSContainsRect(asked, r));
  EXPECT_EQ(dirty->mDraws, dirtyDraws + 1);
  EXPECT_EQ(away->mDraws, awayDraws);
}

// GNUstep has no backing scale of its own: a forced one stands for a Mac's
// high-density window. The view stays 336 x 598 points; the editor draws
// at 2 and the view shows it.
TEST_F(CocoaEditor, TheWindowsBackingScaleIsTheEditorsScale) {
  ForceBackingScale(2.0);
  Instrument instrument;
  ASSERT_TRUE(instrument.IsOpen());
  HostWindow window(OpenView(&instrument), kEditorW, kEditorH);
  IGraphicsMac* editor = instrument.Editor();
  ASSERT_TRUE(PumpUntil([&] { return !Views().drawn.empty(); }, kEventSeconds));
  ForceBackingScale(0);
  EXPECT_EQ(editor->DrawScale(), 2);
  EXPECT_EQ(editor->ScreenWidth(), 2 * kEditorW);
  EXPECT_EQ(editor->GetDrawBitmap()->getHeight(), 2 * kEditorH);
  EXPECT_EQ(NSWidth([editor->GetView() frame]), kEditorW);
}

TEST_F(CocoaEditor, ScreenMatchesTheHeadlessEditorAfterTheSameEvents) {
  Instrument instrument;
  ASSERT_TRUE(instrument.IsOpen());
  HostWindow window(OpenView(&instrument), kEditorW, kEditorH);
  Pump(kSettleSeconds);
  const std::string w = window.XWindow();

  // The MIDI Tune switch clicked, the Tone knob dragged up, the Decay knob
  // dragged down: each followed by a rendered block, as the headless
  // session does.
  ASSERT_TRUE(Xdotool({"mousemove", "--window", w, WindowX(152), WindowY(105), "click", "1"}));
  Pump(kSettleSeconds);
  ASSERT_TRUE(instrument.RenderBlock());
  ASSERT_TRUE(Xdotool({"mousemove", "--window", w, WindowX(260), WindowY(290), "mousedown", "1", "mousemove",
                       "--window", w, WindowX(260), WindowY(280), "mousemove", "--window", w, WindowX(260),
                       WindowY(270), "mouseup", "1"}));
  Pump(kSettleSeconds);
  ASSERT_TRUE(instrument.RenderBlock());
  ASSERT_TRUE(Xdotool({"mousemove", "--window", w, WindowX(72), WindowY(290), "mousedown", "1", "mousemove",
                       "--window", w, WindowX(72), WindowY(305), "mousemove", "--window", w, WindowX(72),
                       WindowY(320), "mouseup", "1"}));
  Pump(kSettleSeconds);
  ASSERT_TRUE(instrument.RenderBlock());
  Pump(kSettleSeconds);

  TempDir dir;
  const std::string shot = dir.path + "/window.png";
  const std::string reference = dir.path + "/headless.png";
  ASSERT_TRUE(RunProgram({"import", "-window", w, shot}));
  ASSERT_TRUE(RunProgram({TONNIK_COMMAND, "editor", "-o", reference, "--click", "152,105", "--drag", "260,290,0,-20",
                          "--drag", "72,290,0,30"}));
  EXPECT_EQ(DifferingPixels(shot, reference), 0);
  // The events changed what is shown.
  const std::string untouched = dir.path + "/untouched.png";
  ASSERT_TRUE(RunProgram({TONNIK_COMMAND, "editor", "-o", untouched}));
  const long changed = DifferingPixels(shot, untouched);
  EXPECT_GT(changed, 0);
  std::printf("screen: %ld pixels changed by the events, none differing from the headless editor\n", changed);
}

TEST_F(CocoaEditor, MouseAndKeyEventsReachTheEditorMapped) {
  Instrument instrument;
  ASSERT_TRUE(instrument.IsOpen());
  IGraphicsMac* editor = instrument.Editor();
  ASSERT_NE(editor, nullptr);
  RecordingControl* recorder = new RecordingControl(instrument.Plug(), IRECT(60, 60, 160, 160));
  recorder->mKeysTaken = {15, 12};
  editor->AttachControl(recorder);
  HostWindow window(OpenView(&instrument), kEditorW, kEditorH);
  Pump(kSettleSeconds);
  const std::string w = window.XWindow();

  // View point (100, 500) is window pixel (100, 598 - 500).
  ASSERT_TRUE(Xdotool({"mousemove", "--window", w, "100", "98", "click", "1"}));
  ASSERT_TRUE(PumpUntil([&] { return recorder->mDowns.size() == 1; }, kEventSeconds));
  EXPECT_EQ(recorder->mDowns[0].x, 98);
  EXPECT_EQ(recorder->mDowns[0].y, 95);
  EXPECT_TRUE(recorder->mDowns[0].mod.L);
  EXPECT_FALSE(recorder->mDowns[0].mod.R);
  // GNUstep counts a click of another button within the double-click time
  // as the second click of a double click.
  Pump(kDoubleClickSeconds);
  ASSERT_TRUE(Xdotool({"click", "3"}));
  ASSERT_TRUE(PumpUntil([&] { return recorder->mDowns.size() == 2; }, kEventSeconds));
  EXPECT_FALSE(recorder->mDowns[1].mod.L);
  EXPECT_TRUE(recorder->mDowns[1].mod.R);
  Pump(kDoubleClickSeconds);
  ASSERT_TRUE(Xdotool({"keydown", "shift", "click", "1", "keyup", "shift"}));
  ASSERT_TRUE(PumpUntil([&] { return recorder->mDowns.size() == 3; }, kEventSeconds));
  EXPECT_TRUE(recorder->mDowns[2].mod.S);

  // The wheel turned up one step, then down one.
  ASSERT_TRUE(Xdotool({"click", "4", "click", "5"}));
  ASSERT_TRUE(PumpUntil([&] { return recorder->mWheel.size() == 2; }, kEventSeconds));
  EXPECT_GT(recorder->mWheel[0], 0);
  EXPECT_LT(recorder->mWheel[1], 0);

  // 'a' and 'A' are key 15, '7' key 12: taken. 'b' (16) is not taken and a
  // function key has no editor key: both go on to the host.
  // Without a window manager nobody gives the window the keyboard focus.
  ASSERT_TRUE(Xdotool({"windowfocus", w}));
  ASSERT_TRUE(Xdotool({"key", "a", "shift+a", "7", "b", "F5"}));
  HostView_vTest* host = window.Host();
  PumpUntil([&] { return host->mKeysPassedOn.size() == 2; }, kEventSeconds);
  ASSERT_EQ(host->mKeysPassedOn.size(), 2u) << "the editor got " << recorder->mKeys.size() << " keys; key window "
                                             << ([NSApp keyWindow] == window.Window()) << " active " << [NSApp isActive];
  EXPECT_EQ(recorder->mKeys, (std::vector<int>{15, 15, 12, 16}));
  EXPECT_EQ(host->mKeysPassedOn[0], "b");
  EXPECT_EQ(host->mKeysPassedOn[1], "\xEF\x9C\x88");  // NSF5FunctionKey
}

// The text in the editor's open field, "" while none is open.
std::string FieldText(IGraphicsMac* editor) {
  NSTextField* field = [editor->GetView() textField];
  if (!field) return "";
  NSText* typing = [field currentEditor];
  NSString* text = typing ? [typing string] : [field stringValue];
  return [text UTF8String];
}

TEST_F(CocoaEditor, TextEntryFiltersTypingAndCommitsToTheParameter) {
  Instrument instrument;
  ASSERT_TRUE(instrument.IsOpen());
  IGraphicsMac* editor = instrument.Editor();
  ASSERT_NE(editor, nullptr);
  const int kTone = 0;  // a continuous parameter, 0..1
  RecordingControl* tone = new RecordingControl(instrument.Plug(), IRECT(20, 20, 120, 60), kTone);
  tone->DisablePrompt(false);
  editor->AttachControl(tone);
  HostWindow window(OpenView(&instrument), kEditorW, kEditorH);
  Pump(kSettleSeconds);
  const std::string w = window.XWindow();

  // A right click prompts for the value.
  ASSERT_TRUE(Xdotool({"mousemove", "--window", w, WindowX(70), WindowY(40), "click", "3"}));
  ASSERT_TRUE(PumpUntil([&] { return [editor->GetView() textField] != nil; }, kEventSeconds));
  NSTextField* field = [editor->GetView() textField];
  EXPECT_NE([[field cell] formatter], nil);
  EXPECT_EQ([[field window] firstResponder], [field currentEditor]);
  ASSERT_TRUE(Xdotool({"windowfocus", w}));
  ASSERT_TRUE(Xdotool({"key", "End", "ctrl+BackSpace"}));
  ASSERT_TRUE(Xdotool({"key", "--repeat", "12", "BackSpace"}));
  ASSERT_TRUE(PumpUntil([&] { return FieldText(editor).empty(); }, kEventSeconds)) << FieldText(editor);

  // A letter is refused; a minus sign and a point are taken.
  ASSERT_TRUE(Xdotool({"type", "--delay", "30", "x-1.5"}));
  PumpUntil([&] { return FieldText(editor) == "-1.5"; }, kEventSeconds);
  EXPECT_EQ(FieldText(editor), "-1.5");

  // 20 characters at most: the 21st and later are refused.
  ASSERT_TRUE(Xdotool({"key", "--repeat", "4", "BackSpace"}));
  ASSERT_TRUE(Xdotool({"type", "--delay", "30", "0.250000000000000000001"}));
  PumpUntil([&] { return FieldText(editor).size() >= 20; }, kEventSeconds);
  Pump(0.3);
  EXPECT_EQ(FieldText(editor), "0.250000000000000000");

  // Return commits the text to the parameter and closes the field.
  ASSERT_TRUE(Xdotool({"key", "Return"}));
  ASSERT_TRUE(PumpUntil([&] { return [editor->GetView() textField] == nil; }, kEventSeconds));
  EXPECT_NEAR(instrument.Plug()->GetParam(kTone)->Value(), 0.25, 1e-9);
  EXPECT_EQ([[window.Window() firstResponder] class], [IGraphicsCocoa_vTonnik_au class]);
}

TEST_F(CocoaEditor, PopupMenuDismissedGivesNullAndAChoiceGivesItsMenu) {
  Instrument instrument;
  ASSERT_TRUE(instrument.IsOpen());
  IGraphicsMac* editor = instrument.Editor();
  ASSERT_NE(editor, nullptr);
  HostWindow window(OpenView(&instrument), kEditorW, kEditorH);
  Pump(kSettleSeconds);
  const std::string w = window.XWindow();

  IPopupMenu menu;
  menu.AddItem("Soft");
  menu.AddItem("Mid");
  menu.AddItem("Hard");
  IRECT at(100, 100, 200, 120);
  ASSERT_TRUE(Xdotool({"mousemove", "--window", w, "150", "200"}));
  Pump(0.2);
  // The menu runs its own event loop until it closes; the clicks come while
  // it is open.
  NSTask* choose = cocoa_test::StartProgram({"sh", "-c", kClickSecondEntry});
  IPopupMenu* chosen = editor->CreateIPopupMenu(&menu, &at);
  EXPECT_TRUE(cocoa_test::WaitProgram(choose, kEventSeconds));
  EXPECT_EQ(chosen, &menu);
  EXPECT_EQ(menu.GetChosenItemIdx(), 1);

  menu.SetChosenItemIdx(-1);
  ASSERT_TRUE(Xdotool({"mousemove", "--window", w, "150", "200"}));
  Pump(0.2);
  NSTask* dismiss = cocoa_test::StartProgram({"sh", "-c", kClickBesideMenu});
  EXPECT_EQ(editor->CreateIPopupMenu(&menu, &at), nullptr);
  EXPECT_TRUE(cocoa_test::WaitProgram(dismiss, kEventSeconds));
  EXPECT_EQ(menu.GetChosenItemIdx(), -1);
}

TEST_F(CocoaEditor, PopupOpenedByAQuickClickStaysOpenForTheChoice) {
  Instrument instrument;
  ASSERT_TRUE(instrument.IsOpen());
  IGraphicsMac* editor = instrument.Editor();
  ASSERT_NE(editor, nullptr);
  const int kDriveEnv = 18;  // boolean: "off", "on"
  RecordingControl* mode = new RecordingControl(instrument.Plug(), IRECT(20, 20, 120, 60), kDriveEnv);
  mode->mPromptOnAnyClick = true;
  mode->DisablePrompt(false);
  editor->AttachControl(mode);
  HostWindow window(OpenView(&instrument), kEditorW, kEditorH);
  Pump(kSettleSeconds);
  const std::string w = window.XWindow();
  ASSERT_EQ(instrument.Plug()->GetParam(kDriveEnv)->Int(), 0);

  // Press and release at once: the menu opens and waits for the choice.
  NSTask* choose = cocoa_test::StartProgram({"sh", "-c", kClickSecondEntry});
  ASSERT_TRUE(Xdotool({"mousemove", "--window", w, WindowX(70), WindowY(40), "click", "1"}));
  EXPECT_TRUE(cocoa_test::WaitProgram(choose, kEventSeconds));
  Pump(0.2);
  EXPECT_EQ(mode->mDowns.size(), 1u);
  EXPECT_EQ(instrument.Plug()->GetParam(kDriveEnv)->Int(), 1);

  // The same with the right button.
  Pump(kDoubleClickSeconds);
  choose = cocoa_test::StartProgram({"sh", "-c", kClickFirstEntry});
  ASSERT_TRUE(Xdotool({"mousemove", "--window", w, WindowX(70), WindowY(40), "click", "3"}));
  EXPECT_TRUE(cocoa_test::WaitProgram(choose, kEventSeconds));
  Pump(0.2);
  EXPECT_EQ(mode->mDowns.size(), 2u);
  EXPECT_EQ(instrument.Plug()->GetParam(kDriveEnv)->Int(), 0);
}

TEST_F(CocoaEditor, ClosingReopeningAndTwoEditorsLeaveNothingBehind) {
  const int viewsBefore = Views().live;
  const long cfBefore = StandIn_LiveCFObjectCount();
  NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
  {
    Instrument first, second;
    ASSERT_TRUE(first.IsOpen() && second.IsOpen());
    IGraphicsMac* a = first.Editor();
    IGraphicsMac* b = second.Editor();
    ASSERT_TRUE(a && b);
    HostWindow windowA(OpenView(&first), kEditorW, kEditorH);
    HostWindow windowB(OpenView(&second), kEditorW, kEditorH);
    Pump(kSettleSeconds);
    EXPECT_EQ(Views().live, viewsBefore + 2);

    // The host takes the first view away: its editor's window closes.
    NSView* gone = static_cast<NSView*>(a->GetWindow());
    [gone removeFromSuperview];
    EXPECT_FALSE(a->WindowIsOpen());
    Pump(0.2);
    // ... and opens it again.
    NSView* again = OpenView(&first);
    ASSERT_NE(again, nil);
    [windowA.Host() addSubview:again];
    Pump(kSettleSeconds);
    EXPECT_TRUE(a->WindowIsOpen());
    EXPECT_TRUE([again isOpaque]);

    // The second editor closes its window itself: the view leaves the host.
    NSView* closed = static_cast<NSView*>(b->GetWindow());
    [closed retain];
    b->CloseWindow();
    EXPECT_EQ([closed superview], nil);
    EXPECT_FALSE([closed isOpaque]);  // detached from its editor
    [closed release];
    // A second close is harmless, and a closed editor opens no menu.
    b->CloseWindow();
    IPopupMenu menu;
    menu.AddItem("only");
    IRECT at(0, 0, 10, 10);
    EXPECT_EQ(b->CreateIPopupMenu(&menu, &at), nullptr);
    Pump(0.2);
  }
  [pool release];
  Pump(0.2);
  EXPECT_EQ(Views().live, viewsBefore);
  EXPECT_EQ(StandIn_LiveCFObjectCount(), cfBefore);
}

TEST_F(CocoaEditor, BundleImagesAreFoundByResourceNameOnly) {
  Instrument instrument;  // registers the instrument's bundle
  ASSERT_TRUE(instrument.IsOpen());
  const char* bundle = instrument.Plug()->GetBundleID();
  PIX_IBitmap* knob = LoadImgFromResourceOSX(bundle, "resources/img/knob.PNG");
  ASSERT_NE(knob, nullptr);
  EXPECT_GT(knob->getWidth(), 0);
  delete knob;
  EXPECT_EQ(LoadImgFromResourceOSX(bundle, nullptr), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX(bundle, "resources/img/knob.jpg"), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX(bundle, "resources/img/.png"), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX(bundle, "resources/img/nothing.png"), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX("com.example.no.such.bundle", "knob.png"), nullptr);
  EXPECT_EQ(LoadImgFromResourceOSX(nullptr, "knob.png"), nullptr);
}

TEST_F(CocoaEditor, FormatterRefusesCharactersLengthAndValue) {
  CocoaFormatter_vTonnik_au* f = [[[CocoaFormatter_vTonnik_au alloc] init] autorelease];
  EXPECT_TRUE([f isPartialStringValid:@"anything at all" newEditingString:NULL errorDescription:NULL]);
  [f setAcceptableCharacterSet:[NSCharacterSet characterSetWithCharactersInString:@"0123456789-"]];
  [f setMaximumLength:4];
  [f setMaximumValue:500];
  EXPECT_TRUE([f isPartialStringValid:@"-12" newEditingString:NULL errorDescription:NULL]);
  EXPECT_TRUE([f isPartialStringValid:@"500" newEditingString:NULL errorDescription:NULL]);
  EXPECT_FALSE([f isPartialStringValid:@"501" newEditingString:NULL errorDescription:NULL]);
  EXPECT_FALSE([f isPartialStringValid:@"1.5" newEditingString:NULL errorDescription:NULL]);
  EXPECT_FALSE([f isPartialStringValid:@"-1234" newEditingString:NULL errorDescription:NULL]);
  id value = nil;
  EXPECT_TRUE([f getObjectValue:&value forString:@"42" errorDescription:NULL]);
  EXPECT_TRUE([value isEqual:@"42"]);
  EXPECT_TRUE([[f stringForObjectValue:@"42"] isEqual:@"42"]);
}

}  // namespace
