// Value rules and mouse handling of the control library.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include "GraphicsTestSupport.h"
#include "graphics/IBitmapControls.h"
#include "graphics/IFaderRadioControls.h"
#include "graphics/IKnobControls.h"
#include "graphics/ITextControls.h"
#include "graphics/IUtilityControls.h"

using namespace gtest_support;

namespace {

class ControlsTest : public ::testing::Test {
protected:
  ControlsTest() : mGUI(new TestGraphics(&mPlug, 200, 200)) {
    mGUI->mBitmapMakers["knob50"] = [] { return MakeSolidBitmap(50, 50, Opaque(9, 9, 9)); };
    mGUI->mBitmapMakers["two"] = [] { return MakeStrip(10, 10, {Opaque(1, 0, 0), Opaque(2, 0, 0)}); };
    mGUI->mBitmapMakers["three"] = [] {
      return MakeStrip(10, 10, {Opaque(1, 0, 0), Opaque(2, 0, 0), Opaque(3, 0, 0)});
    };
    mGUI->mBitmapMakers["one"] = [] { return MakeSolidBitmap(10, 10, Opaque(1, 0, 0)); };
    mGUI->mBitmapMakers["handle"] = [] { return MakeSolidBitmap(10, 20, Opaque(4, 4, 4)); };
  }

  template <class T>
  T* Add(T* control) {
    mGUI->AttachControl(control);
    return control;
  }
  void Attach() { mPlug.AttachGraphics(mGUI); }
  void Click(int x, int y, IMouseMod mod = IMouseMod(true, false)) {
    mGUI->OnMouseDown(x, y, &mod);
    mGUI->OnMouseUp(x, y, &mod);
  }
  double LastPushed(int paramIdx) {
    for (auto it = mPlug.mGUIChanges.rbegin(); it != mPlug.mGUIChanges.rend(); ++it)
      if (it->mParamIdx == paramIdx) return it->mNormalized;
    return -1.0;
  }

  TestPlug mPlug;
  TestGraphics* mGUI;
};

TEST_F(ControlsTest, KnobDragGearing) {
  IBitmap bitmap = mGUI->LoadIBitmap(7001, "knob50");
  auto* knob = Add(new IKnobMultiControl(&mPlug, 0, 0, kGain, &bitmap));  // 50 tall, gearing 4
  Attach();
  mGUI->SetControlFromPlug(0, 0.2);

  struct DragCase {
    IMouseMod mod;
    int dy;
    double rise;
  } cases[] = {{IMouseMod(true, false), -100, 0.5},
               {IMouseMod(true, false, true), -100, 0.05},
               {IMouseMod(true, false, false, true), -100, 0.05},
               {IMouseMod(true, false), 50, -0.25}};
  for (const DragCase& c : cases) {
    knob->SetValueFromUserInput(0.4);
    IMouseMod mod = c.mod;
    mGUI->OnMouseDown(25, 25, &mod);
    mGUI->OnMouseDrag(25, 25 + c.dy, &mod);
    mGUI->OnMouseUp(25, 25 + c.dy, &mod);
    EXPECT_NEAR(knob->GetValue(), 0.4 + c.rise, 1e-12) << c.dy << (c.mod.S ? " shift" : "");
    EXPECT_NEAR(LastPushed(kGain), 0.4 + c.rise, 1e-12);
  }

  auto* horizontal = new IKnobMultiControl(&mPlug, 100, 0, kTune, &bitmap, kHorizontal, 2.0);
  mGUI->AttachControl(horizontal);
  horizontal->SetValueFromUserInput(0.5);
  IMouseMod left(true, false);
  mGUI->OnMouseDown(120, 20, &left);
  mGUI->OnMouseDrag(145, 20, &left);  // 25 px of a 50 px knob at gearing 2
  EXPECT_NEAR(horizontal->GetValue(), 0.75, 1e-12);
}

TEST_F(ControlsTest, WheelStepsAndClampsButStillPushes) {
  IBitmap bitmap = mGUI->LoadIBitmap(7001, "knob50");
  auto* knob = Add(new IKnobMultiControl(&mPlug, 0, 0, kGain, &bitmap));
  Attach();
  knob->SetValueFromUserInput(1.0);
  IMouseMod none;
  mGUI->OnMouseWheel(10, 10, &none, 1);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(LastPushed(kGain), 1.0);
  mGUI->OnMouseWheel(10, 10, &none, -3);
  EXPECT_NEAR(knob->GetValue(), 0.97, 1e-12);
  IMouseMod shift(false, false, true);
  mGUI->OnMouseWheel(10, 10, &shift, -10);
  EXPECT_NEAR(knob->GetValue(), 0.96, 1e-12);
}

TEST_F(ControlsTest, SwitchesStepAndWrap) {
  struct SwitchCase {
    const char* bitmap;
    int frames;
    std::vector<double> values;  // after each click, starting from 0
  } cases[] = {{"one", 1, {1.0, 0.0, 1.0}}, {"two", 2, {1.0, 0.0, 1.0}}, {"three", 3, {0.5, 1.0, 0.0, 0.5}}};
  Attach();
  int id = 7100;
  for (const SwitchCase& c : cases) {
    IBitmap bitmap = mGUI->LoadIBitmap(id++, c.bitmap, c.frames);
    auto* sw = new ISwitchControl(&mPlug, 0, 0, kOn, &bitmap);
    mGUI->AttachControl(sw);
    for (double expected : c.values) {
      Click(5, 5);
      EXPECT_DOUBLE_EQ(sw->GetValue(), expected) << c.bitmap;
    }
    // A double click steps too.
    const double before = sw->GetValue();
    IMouseMod left(true, false);
    mGUI->OnMouseDblClick(5, 5, &left);
    EXPECT_NE(sw->GetValue(), before);
    mGUI->OnMouseUp(5, 5, &left);
    mGUI->Resize(200, 200);  // drops the control for the next case
  }
}

TEST_F(ControlsTest, ContactShowsPressedOnlyWhileHeldAndInvisibleSwitchToggles) {
  IBitmap two = mGUI->LoadIBitmap(7200, "two", 2);
  auto* contact = Add(new IContactControl(&mPlug, 0, 0, kOn, &two));
  auto* invisible = Add(new IInvisibleSwitchControl(&mPlug, IRECT(50, 50, 60, 60), kTune));
  Attach();
  contact->SetValueFromPlug(0.0);
  IMouseMod left(true, false);
  mGUI->OnMouseDown(5, 5, &left);
  EXPECT_DOUBLE_EQ(contact->GetValue(), 1.0);
  mGUI->OnMouseUp(5, 5, &left);
  EXPECT_DOUBLE_EQ(contact->GetValue(), 0.0);
  EXPECT_DOUBLE_EQ(LastPushed(kOn), 0.0);

  invisible->SetValueFromPlug(0.3);
  Click(55, 55);
  EXPECT_DOUBLE_EQ(invisible->GetValue(), 1.0);
  Click(55, 55, IMouseMod(false, true));
  EXPECT_DOUBLE_EQ(invisible->GetValue(), 0.0);
  EXPECT_EQ(invisible->GetBlend()->mMethod, IChannelBlend::kBlendClobber);
}

TEST_F(ControlsTest, DoubleClickRestoresTheFirstValuePushed) {
  IBitmap bitmap = mGUI->LoadIBitmap(7001, "knob50");
  auto* knob = Add(new IKnobMultiControl(&mPlug, 0, 0, kGain, &bitmap));
  auto* fresh = new IKnobMultiControl(&mPlug, 100, 100, kTune, &bitmap);
  IMouseMod left(true, false);
  // Nothing pushed yet: a double click changes nothing.
  fresh->SetValueFromUserInput(0.7);
  fresh->OnMouseDblClick(0, 0, &left);
  EXPECT_DOUBLE_EQ(fresh->GetValue(), 0.7);
  delete fresh;

  Attach();  // pushes Gain 5 of 0..10: 0.5 becomes the default
  EXPECT_DOUBLE_EQ(knob->GetDefaultValue(), 0.5);
  mGUI->SetParameterFromPlug(kGain, 0.8, true);
  knob->SetValueFromUserInput(0.1);
  mGUI->OnMouseDblClick(10, 10, &left);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(LastPushed(kGain), 0.5);

  auto* later = new IKnobMultiControl(&mPlug, 100, 100, kTune, &bitmap);
  later->SetValueFromPlug(0.3);
  EXPECT_DOUBLE_EQ(later->GetValue(), 0.3);
  EXPECT_DOUBLE_EQ(later->GetDefaultValue(), 0.3);
  later->SetValueFromPlug(0.9);
  EXPECT_DOUBLE_EQ(later->GetDefaultValue(), 0.3);
  delete later;
}

TEST_F(ControlsTest, ValueDisplayFollowsUserChangesOnlyAndStaysShort) {
  IBitmap bitmap = mGUI->LoadIBitmap(7001, "knob50");
  IText style;
  auto* knob = Add(new IKnobMultiControl(&mPlug, 0, 0, kLong, &bitmap));
  auto* display = Add(new ITextControl(&mPlug, IRECT(0, 60, 100, 80), &style, "idle"));
  auto* name = Add(new ITextControl(&mPlug, IRECT(0, 90, 100, 110), &style));
  knob->SetValDisplayControl(display);
  knob->SetNameDisplayControl(name);
  Attach();
  EXPECT_STREQ(display->GetString(), "idle");  // plug-in pushes do not reach the display

  knob->SetValueFromUserInput(0.5);
  knob->SetValueFromUserInput(1.0);
  const std::string shown = display->GetString();
  EXPECT_LE(shown.size(), 32u + 1u + 32u);
  char full[512];
  mPlug.GetParam(kLong)->GetDisplayForHost(full);
  EXPECT_EQ(shown, std::string(full).substr(0, 32) + " " + "abcdefghijklmnopqrstuvwxyz01234");
  EXPECT_STREQ(name->GetString(), "Long");

  // A parameter with a display text shows no label.
  auto* mode = Add(new IKnobMultiControl(&mPlug, 100, 0, kMode, &bitmap));
  mode->SetValDisplayControl(display);
  mode->SetValueFromUserInput(1.0);
  EXPECT_STREQ(display->GetString(), "Hard ");
}

TEST_F(ControlsTest, TextFromPlugMarksDirtyOnlyForNewText) {
  IText style;
  auto* text = Add(new ITextControl(&mPlug, IRECT(0, 0, 50, 20), &style, "abc"));
  Attach();
  Tick(mGUI);
  text->SetTextFromPlug("abc");
  EXPECT_FALSE(text->IsDirty());
  text->SetTextFromPlug("abd");
  EXPECT_TRUE(text->IsDirty());
  EXPECT_STREQ(text->GetString(), "abd");
  EXPECT_EQ(text->ParamIdx(), -1);
}

// The instrument sets texts from its audio thread while the editor draws.
TEST_F(ControlsTest, TextFromAnotherThreadWhileTheEditorTicks) {
  IText style;
  auto* text = Add(new ITextControl(&mPlug, IRECT(0, 0, 50, 20), &style, "hit start"));
  Attach();
  std::thread audio([text] {
    char buf[32];
    for (int i = 0; i < 5000; ++i) {
      std::snprintf(buf, sizeof(buf), "hit %d", i);
      text->SetTextFromPlug(buf);
    }
  });
  for (int i = 0; i < 2000; ++i) {
    IRECT r;
    if (mGUI->IsDirty(&r)) {
      const char* s = text->GetString();
      EXPECT_EQ(std::strncmp(s, "hit ", 4), 0) << s;
      text->SetClean();
    }
  }
  audio.join();
  EXPECT_STREQ(text->GetString(), "hit 4999");
}

TEST_F(ControlsTest, HiddenControlIsNotHitKeepsItsValueAndIsRedrawnWhenShown) {
  IBitmap bitmap = mGUI->LoadIBitmap(7001, "knob50");
  auto* knob = Add(new IKnobMultiControl(&mPlug, 0, 0, kGain, &bitmap));
  Attach();
  knob->SetValueFromUserInput(0.3);
  knob->Hide(true);
  Tick(mGUI);
  Tick(mGUI);
  IMouseMod none;
  mGUI->OnMouseWheel(10, 10, &none, 5);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.3);
  knob->Hide(false);
  EXPECT_TRUE(knob->IsDirty());
  mGUI->OnMouseWheel(10, 10, &none, 5);
  EXPECT_NEAR(knob->GetValue(), 0.35, 1e-12);
}

TEST_F(ControlsTest, RadioButtonsLayoutAndChoice) {
  IBitmap two = mGUI->LoadIBitmap(7200, "two", 2);  // 10 x 10 buttons
  auto* radio = Add(new IRadioButtonsControl(&mPlug, IRECT(0, 0, 50, 10), kMode, 3, &two, kHorizontal));
  auto* reversed =
      Add(new IRadioButtonsControl(&mPlug, IRECT(0, 100, 10, 150), kMode, 3, &two, kVertical, true));
  auto* single = Add(new IRadioButtonsControl(&mPlug, IRECT(100, 100, 140, 110), kOn, 1, &two, kHorizontal));
  Attach();
  // gap (50 - 30) / 2 = 10
  EXPECT_EQ(*radio->GetButtonRECT(0), IRECT(0, 0, 10, 10));
  EXPECT_EQ(*radio->GetButtonRECT(1), IRECT(20, 0, 30, 10));
  EXPECT_EQ(*radio->GetButtonRECT(2), IRECT(40, 0, 50, 10));
  EXPECT_EQ(radio->GetButtonRECT(3), nullptr);
  // Reverse: the first button flush with the bottom edge.
  EXPECT_EQ(*reversed->GetButtonRECT(0), IRECT(0, 140, 10, 150));
  EXPECT_EQ(*reversed->GetButtonRECT(2), IRECT(0, 100, 10, 110));

  Click(45, 5);
  EXPECT_DOUBLE_EQ(radio->GetValue(), 1.0);
  Click(21, 5);
  EXPECT_DOUBLE_EQ(radio->GetValue(), 0.5);
  Click(15, 5);  // in the gap: value unchanged, still pushed
  EXPECT_DOUBLE_EQ(radio->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(LastPushed(kMode), 0.5);

  // A single button has no spacing to divide and selects 0.
  EXPECT_EQ(*single->GetButtonRECT(0), IRECT(100, 100, 110, 110));
  single->SetValueFromUserInput(1.0);
  Click(105, 105);
  EXPECT_DOUBLE_EQ(single->GetValue(), 0.0);

  // The active button shows frame 2.
  Tick(mGUI);
  EXPECT_EQ(PIX_GetPixel(mGUI->GetDrawBitmap(), 25, 5), Opaque(2, 0, 0));
  EXPECT_EQ(PIX_GetPixel(mGUI->GetDrawBitmap(), 5, 5), Opaque(1, 0, 0));
}

TEST_F(ControlsTest, FaderSnapsToTheMouseAndCanHitOnlyItsHandle) {
  IBitmap handle = mGUI->LoadIBitmap(7300, "handle");  // 10 x 20
  auto* fader = Add(new IFaderControl(&mPlug, 0, 0, 120, kGain, &handle));
  auto* flat = Add(new IFaderControl(&mPlug, 50, 150, 110, kTune, &handle, kHorizontal, true));
  auto* stub = Add(new IFaderControl(&mPlug, 180, 0, 20, kOn, &handle));  // no travel
  Attach();
  EXPECT_EQ(*fader->GetRECT(), IRECT(0, 0, 10, 120));
  EXPECT_EQ(*flat->GetRECT(), IRECT(50, 150, 160, 170));

  Click(5, 10);  // handle centre at the top: value 1
  EXPECT_DOUBLE_EQ(fader->GetValue(), 1.0);
  Click(5, 60);  // 1 - (60 - 10) / 100
  EXPECT_DOUBLE_EQ(fader->GetValue(), 0.5);
  EXPECT_EQ(fader->GetHandleRECT(), IRECT(0, 50, 10, 70));

  flat->SetValueFromUserInput(0.0);
  Click(150, 160);  // not on the handle at the left end
  EXPECT_DOUBLE_EQ(flat->GetValue(), 0.0);
  IMouseMod left(true, false);
  mGUI->OnMouseDown(52, 160, &left);
  mGUI->OnMouseDrag(105, 160, &left);  // (105 - 50 - 5) / 100
  mGUI->OnMouseUp(105, 160, &left);
  EXPECT_DOUBLE_EQ(flat->GetValue(), 0.5);

  stub->SetValueFromUserInput(0.25);
  Click(185, 5);
  EXPECT_DOUBLE_EQ(stub->GetValue(), 0.25);
}

TEST_F(ControlsTest, OverlayHitsItsTargetAreaWhileOff) {
  IBitmap two = mGUI->LoadIBitmap(7200, "two", 2);
  auto* overlay = Add(new IBitmapOverlayControl(&mPlug, 100, 100, kOn, &two, IRECT(0, 0, 20, 20)));
  Attach();
  overlay->SetValueFromUserInput(0.0);
  Tick(mGUI);
  Click(5, 5);  // the target area toggles it on
  EXPECT_DOUBLE_EQ(overlay->GetValue(), 1.0);
  Tick(mGUI);
  EXPECT_EQ(*overlay->GetTargetRECT(), IRECT(100, 100, 110, 110));
  EXPECT_EQ(PIX_GetPixel(mGUI->GetDrawBitmap(), 105, 105), Opaque(2, 0, 0));
}

TEST_F(ControlsTest, URLControlFallsBackAndFileSelectorReportsEachSelection) {
  auto* url = Add(new IURLControl(&mPlug, IRECT(0, 0, 10, 10), "http://a", "http://b", "failed"));
  auto* none = Add(new IURLControl(&mPlug, IRECT(20, 0, 30, 10), "", "http://only-backup"));
  IBitmap one = mGUI->LoadIBitmap(7400, "one");
  auto* files = Add(new IFileSelectorControl(&mPlug, IRECT(50, 50, 60, 60), -1, &one, kFileOpen, "", "fxp"));
  Attach();

  Click(5, 5);
  EXPECT_EQ(mGUI->mURLs, std::vector<std::string>{"http://a"});
  mGUI->mURLOpens = false;
  Click(5, 5);
  EXPECT_EQ(mGUI->mURLs, (std::vector<std::string>{"http://a", "http://a", "http://b"}));
  mGUI->mURLs.clear();
  Click(25, 5);
  EXPECT_EQ(mGUI->mURLs, std::vector<std::string>{"http://only-backup"});
  (void)url;
  (void)none;

  Tick(mGUI);
  Click(55, 55);
  EXPECT_EQ(mGUI->mFilePrompts, 1);
  EXPECT_DOUBLE_EQ(files->GetValue(), 1.0);
  KIT_String chosen;
  files->GetLastSelectedFileForPlug(&chosen);
  EXPECT_STREQ(chosen.Get(), "/tmp/chosen.fxp");
  Tick(mGUI);
  Tick(mGUI);
  EXPECT_FALSE(files->IsDirty());
  Click(55, 55);
  EXPECT_DOUBLE_EQ(files->GetValue(), 0.0);
}

}  // namespace

namespace {

TEST_F(ControlsTest, KnobVariantsDrawAtTheValuesAngle) {
  mGUI->mBitmapMakers["rows"] = [] { return MakeRowCoded(20, 20); };
  IBitmap rows = mGUI->LoadIBitmap(7500, "rows");
  // A line knob from -pi/2 (left) to pi/2 (right) with outer radius half the width.
  auto* line = Add(new IKnobLineControl(&mPlug, IRECT(0, 0, 40, 40), kGain, &COLOR_WHITE, 0.0, 0.0,
                                        -PI / 2, PI / 2));
  auto* rotater = Add(new IKnobRotaterControl(&mPlug, 100, 100, kTune, &rows, 0.0, PI));
  auto* panel = Add(new IPanelControl(&mPlug, IRECT(150, 0, 160, 10), &COLOR_ORANGE));
  Attach();
  line->SetValueFromPlug(0.0);
  rotater->SetValueFromPlug(0.0);
  Tick(mGUI);
  PIX_IBitmap* bits = mGUI->GetDrawBitmap();
  EXPECT_NE(PIX_GetPixel(bits, 5, 20), 0u);   // points left at 0
  EXPECT_EQ(PIX_GetPixel(bits, 35, 20), 0u);
  EXPECT_EQ(PIX_GetPixel(bits, 110, 100), RowCode(0));
  EXPECT_EQ(PIX_GetPixel(bits, 155, 5), PixColor(&COLOR_ORANGE));

  mGUI->SetParameterFromPlug(kGain, 1.0, true);
  mGUI->SetParameterFromPlug(kTune, 1.0, true);  // a half turn
  PIX_Clear(bits, 0);
  mGUI->SetAllControlsDirty();
  Tick(mGUI);
  EXPECT_NE(PIX_GetPixel(bits, 35, 20), 0u);  // points right at 1
  EXPECT_EQ(PIX_GetPixel(bits, 5, 20), 0u);
  EXPECT_EQ(PIX_GetPixel(bits, 110, 119), RowCode(0));
  (void)panel;
}

}  // namespace

namespace {

// A host may send anything: values that are not numbers are refused, values
// outside 0..1 draw the nearest frame and are clamped once the user moves
// the control.
TEST_F(ControlsTest, HostileValuesFromThePlugInAreRefusedOrHeld) {
  IBitmap three = mGUI->LoadIBitmap(7600, "three", 3);
  IBitmap two = mGUI->LoadIBitmap(7601, "two", 2);
  auto* knob = Add(new IKnobMultiControl(&mPlug, 0, 0, kGain, &three));
  auto* radio = Add(new IRadioButtonsControl(&mPlug, IRECT(20, 0, 50, 10), kMode, 2, &two, kHorizontal));
  auto* fader = Add(new IFaderControl(&mPlug, 60, 0, 50, kTune, &two));
  knob->AddAuxParam(kOn);
  Attach();
  knob->SetValueFromPlug(0.25);

  const double nan = std::nan("");
  const double inf = std::numeric_limits<double>::infinity();
  for (double bad : {nan, inf, -inf}) {
    mGUI->SetParameterFromPlug(kGain, bad, true);
    mGUI->SetParameterFromPlug(kGain, bad, false);
    mGUI->SetControlFromPlug(0, bad);
    mGUI->SetParameterFromPlug(kOn, bad, true);
    knob->SetValueFromUserInput(bad);
  }
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(knob->GetAuxParam(0)->mValue, 1.0);

  for (double far : {1e300, -1e300, 7.0}) {
    mGUI->SetControlFromPlug(0, far);
    mGUI->SetControlFromPlug(1, far);
    mGUI->SetControlFromPlug(2, far);
    Tick(mGUI);
  }
  EXPECT_EQ(PIX_GetPixel(mGUI->GetDrawBitmap(), 5, 5), Opaque(3, 0, 0));  // 7.0 shows the last frame
  EXPECT_EQ(PIX_GetPixel(mGUI->GetDrawBitmap(), 45, 5), Opaque(2, 0, 0));
  IMouseMod none;
  mGUI->OnMouseWheel(5, 5, &none, 1);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 1.0);
  (void)radio;
  (void)fader;
}

}  // namespace

namespace {

// The instrument lights its LED from the audio thread while the editor
// ticks and draws on the main thread.
TEST_F(ControlsTest, ValuesFromAnotherThreadWhileTheEditorDraws) {
  IBitmap two = mGUI->LoadIBitmap(7700, "two", 2);
  auto* led = Add(new IBitmapControl(&mPlug, 0, 0, -1, &two));
  Attach();
  std::atomic<bool> done{false};
  std::thread audio([&] {
    for (int i = 0; i < 20000; ++i) mGUI->SetControlFromPlug(0, (i & 1) ? 1.0 : 0.0);
    mGUI->SetControlFromPlug(0, 1.0);
    done = true;
  });
  while (!done) Tick(mGUI);
  audio.join();
  while (!Tick(mGUI).Empty()) {
  }
  mGUI->SetAllControlsDirty();
  Tick(mGUI);
  EXPECT_DOUBLE_EQ(led->GetValue(), 1.0);
  EXPECT_EQ(PIX_GetPixel(mGUI->GetDrawBitmap(), 5, 5), Opaque(2, 0, 0));
}

}  // namespace
