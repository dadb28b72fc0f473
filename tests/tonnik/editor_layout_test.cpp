// The instrument's editor as a user meets it: the control list, knobs and
// switches moving parameters and the value display, the trigger and its
// LED, host changes moving knobs, and what the screen shows.

#include <gtest/gtest.h>

#include "EditorRig.h"
#include "au/IPluginAU.h"
#include "dcx/ResourceDir.h"
#include "graphics/IBitmapControls.h"
#include "graphics/IGraphicsCaches.h"
#include "graphics/IKnobControls.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_PNG.h"
#include "tonnik/IContactControlTrigger.h"
#include "tonnik/INonClickable.h"
#include "tonnik/PotiCircle.h"

namespace {

// An image of the editor, loaded on its own for reference.
PIX_IBitmap* LoadImage(const char* file) {
  const std::string path = std::string(TonnikResourceDir()) + "/" + file;
  return PIX_LoadPNG(path.c_str(), nullptr);
}

// What the screen should show at (x, y): the background with the given
// frames of images drawn over it in order, as the editor blends them.
struct Layer {
  const char* file;
  int frames;
  int frame;  // 1-based
  int x, y;
};
std::string Expected(int x, int y, int w, int h, std::initializer_list<Layer> layers) {
  PIX_IBitmap* background = LoadImage("background.png");
  PIX_MemBitmap out(w, h, 4);
  PIX_Blit(&out, background, 0, 0, x, y, w, h, 1.0f, PIX_MODE_COPY);
  delete background;
  for (const Layer& l : layers) {
    PIX_IBitmap* image = LoadImage(l.file);
    const int frameH = image->getHeight() / l.frames;
    const int srcY = static_cast<int>(0.5 + double(image->getHeight()) * (l.frame - 1) / l.frames);
    PIX_Blit(&out, image, l.x - x, l.y - y, 0, srcY, image->getWidth(), frameH, 1.0f,
             PIX_MODE_SOURCE_ALPHA | PIX_MODE_COPY);
    delete image;
  }
  return EditorRig::Area(&out, 0, 0, w, h);
}

int KnobFrame(double normalized) { return 1 + static_cast<int>(0.5 + normalized * 59); }

TEST(TonnikEditor, ControlListHasItsPlaces) {
  EditorRig rig;
  IGraphicsHeadless* gui = rig.Gui();
  ASSERT_NE(gui, nullptr);
  EXPECT_EQ(gui->Width(), 336);
  EXPECT_EQ(gui->Height(), 598);
  EXPECT_EQ(gui->FPS(), 25);
  ASSERT_EQ(gui->GetNControls(), 28);

  struct Row {
    int idx;
    int param;
    int left, top;
  } rows[] = {
      {6, Tonnik::kTone, 237, 266},        {7, Tonnik::kTune, 49, 86},         {8, Tonnik::kDecay, 49, 266},
      {9, Tonnik::kAccent, 49, 176},       {10, Tonnik::kFine, 237, 86},       {11, Tonnik::kComp, 49, 356},
      {12, Tonnik::kDrive, 237, 356},      {13, Tonnik::kGlide, 237, 176},     {14, Tonnik::kDynDecay, 119, 332},
      {15, Tonnik::kDynComp, 119, 370},    {16, Tonnik::kDynDrive, 187, 370},  {17, Tonnik::kDynTone, 187, 332},
      {18, Tonnik::kDynLevel, 153, 186},   {19, Tonnik::kGlideMode, 196, 183}, {20, Tonnik::kDriveEnv, 293, 396},
      {21, -1, 146, 441},                  {22, -1, 161, 455},                 {23, Tonnik::kMidiTune, 146, 99},
      {24, Tonnik::kLongDecay, 146, 278},  {25, Tonnik::kMidiLearn, 240, 467}, {26, Tonnik::kMidiClear, 263, 467},
  };
  for (const Row& r : rows) {
    IControl* c = rig.Control(r.idx);
    EXPECT_EQ(c->ParamIdx(), r.param) << r.idx;
    EXPECT_EQ(c->GetRECT()->L, r.left) << r.idx;
    EXPECT_EQ(c->GetRECT()->T, r.top) << r.idx;
  }
  for (int i = 6; i <= 18; ++i) EXPECT_NE(dynamic_cast<IKnobMultiControl*>(rig.Control(i)), nullptr) << i;
  for (int i = 1; i <= 5; ++i) EXPECT_NE(dynamic_cast<PotiCircle*>(rig.Control(i)), nullptr) << i;
  EXPECT_EQ(*rig.Control(1)->GetRECT(), IRECT(48, 266, 99, 317));
  EXPECT_EQ(*rig.Control(5)->GetRECT(), IRECT(236, 356, 287, 407));
  auto* trigger = dynamic_cast<IContactControlTrigger*>(rig.Control(21));
  ASSERT_NE(trigger, nullptr);
  EXPECT_EQ(trigger->GetLEDIndex(), 22);
  EXPECT_NE(dynamic_cast<INonClickable*>(rig.Control(22)), nullptr);
  ASSERT_NE(rig.Display(), nullptr);
  EXPECT_EQ(*rig.Display()->GetRECT(), IRECT(49, 490, 101, 628));
  EXPECT_EQ(rig.DisplayText(), "0");
  const IText* style = rig.Display()->GetText();
  EXPECT_EQ(style->mSize, 12);
  EXPECT_EQ(style->mColor, IColor(255, 238, 158, 0));
  EXPECT_STREQ(style->mFont, "Verdana");
  EXPECT_EQ(style->mQuality, IText::kQualityNonAntiAliased);
}

TEST(TonnikEditor, LearnAndClearSwitchesAreTheOnesTheInstrumentTurnsOff) {
  EditorRig rig;
  rig.Click(245, 472);  // MIDI Learn on
  EXPECT_TRUE(rig.Plug().IsLearnActive());
  EXPECT_DOUBLE_EQ(rig.Control(25)->GetValue(), 1.0);
  rig.Click(268, 472);  // MIDI Clear on turns the learn switch off
  EXPECT_TRUE(rig.Plug().IsClearActive());
  EXPECT_FALSE(rig.Plug().IsLearnActive());
  EXPECT_DOUBLE_EQ(rig.Control(25)->GetValue(), 0.0);
  rig.Click(245, 472);  // and learn turns clear off
  EXPECT_DOUBLE_EQ(rig.Control(26)->GetValue(), 0.0);
  EXPECT_FALSE(rig.Plug().IsClearActive());
}

TEST(TonnikEditor, GlideModeSwitchCyclesAndShowsItsFrames) {
  EditorRig rig;
  const char* texts[] = {"Up", "Down", "Up/Down"};
  const int values[] = {1, 2, 0};
  for (int i = 0; i < 3; ++i) {
    rig.Click(210, 195);
    EXPECT_EQ(rig.Plug().GetParam(Tonnik::kGlideMode)->Int(), values[i]);
    EXPECT_EQ(rig.DisplayText(), std::string(texts[i]) + " ");
    ASSERT_TRUE(rig.Tick());
    EXPECT_EQ(rig.ScreenArea(IRECT(196, 183, 236, 219)),
              Expected(196, 183, 40, 36, {{"glideMode.png", 3, values[i] + 1, 196, 183}}))
        << i;
  }
}

TEST(TonnikEditor, MovingAKnobWritesValueAndLabel) {
  EditorRig rig;
  rig.Drag(260, 200, 0, -51);  // Glide: up by one knob height = +0.25
  const IParam* glide = rig.Plug().GetParam(Tonnik::kGlide);
  EXPECT_NEAR(glide->Value(), 0.25, 1e-9);
  char text[64];
  glide->GetDisplayForHost(text);
  EXPECT_EQ(rig.DisplayText(), std::string(text) + " s");

  rig.Wheel(70, 290, 10);  // Decay: ten wheel steps of 0.01
  EXPECT_NEAR(rig.Plug().GetParam(Tonnik::kDecay)->Value(), 0.6, 1e-9);
  rig.Plug().GetParam(Tonnik::kDecay)->GetDisplayForHost(text);
  EXPECT_EQ(rig.DisplayText(), std::string(text) + " ");

  const std::string before = rig.DisplayText();
  rig.Click(245, 472);
  rig.Click(245, 472);
  rig.Click(268, 472);
  EXPECT_EQ(rig.DisplayText(), before);  // learn and clear leave it alone
}

TEST(TonnikEditor, HostParameterChangeMovesTheKnobThatShowsIt) {
  EditorRig rig;
  ASSERT_EQ(IPluginAU::SetParamProc(&rig.Plug(), Tonnik::kDecay, kAudioUnitScope_Global, 0, 0.8f, 0), noErr);
  const double n = rig.Plug().GetParam(Tonnik::kDecay)->GetNormalized();
  EXPECT_NEAR(rig.Control(kCtlDecayKnob)->GetValue(), n, 1e-9);
  EXPECT_EQ(rig.DisplayText(), "0");  // only user changes write the display
  ASSERT_TRUE(rig.Tick());
  EXPECT_EQ(rig.ScreenArea(IRECT(49, 266, 98, 317)),
            Expected(49, 266, 49, 51, {{"knob.png", 60, KnobFrame(n), 49, 266}}));
  // The ring under the knob follows the centre angle.
  auto* ring = dynamic_cast<PotiCircle*>(rig.Control(1));
  EXPECT_NEAR(ring->GetCentreAngle(), 240 * 0.8 - 120, 1e-4);
}

TEST(TonnikEditor, DynParameterSetsTheRingSpanAndRedrawsIt) {
  EditorRig rig;
  rig.Tick();
  rig.SetParam(Tonnik::kDynTone, -0.5);
  auto* ring = dynamic_cast<PotiCircle*>(rig.Control(2));
  EXPECT_NEAR(ring->GetSpan(), -135, 1e-9);
  EXPECT_TRUE(ring->IsDirty());
  rig.SetParam(Tonnik::kTone, 1.0);
  EXPECT_NEAR(ring->GetCentreAngle(), 120, 1e-9);
}

TEST(TonnikEditor, TriggerPlaysNote33WithTheLastVelocityLikeAMidiHit) {
  EditorRig withButton;
  TonnikRig withMidi;
  for (TonnikRig* rig : {static_cast<TonnikRig*>(&withButton), &withMidi}) {
    rig->NoteOn(40, 100, 0);
    for (int b = 0; b < 4; ++b) rig->Render(512);
  }
  withButton.Click(150, 475);  // the button, away from the LED
  withMidi.NoteOn(33, 100, 0);
  withButton.Render(512);
  withMidi.Render(512);
  EXPECT_EQ(withButton.Left(), withMidi.Left());
  EXPECT_EQ(withButton.Plug().GetVoice().glide.target, 33);
  EXPECT_DOUBLE_EQ(withButton.Plug().GetVoice().midiVelocity, 100 / 128.0);
  EXPECT_EQ(withButton.Plug().GetSamplesSinceHit(), 512);
  EXPECT_DOUBLE_EQ(withButton.Control(22)->GetValue(), 0.0);  // lit
  EXPECT_DOUBLE_EQ(withButton.Control(21)->GetValue(), 0.0);  // the button shows frame 1
}

TEST(TonnikEditor, TriggerBeforeAnyNotePlaysWithVelocityZero) {
  EditorRig rig;
  rig.Click(150, 475);
  rig.Render(256);
  EXPECT_EQ(rig.Plug().GetVoice().glide.target, 33);
  EXPECT_DOUBLE_EQ(rig.Plug().GetVoice().midiVelocity, 0.0);
  EXPECT_EQ(rig.Plug().GetSamplesSinceHit(), 256);
}

TEST(TonnikEditor, LEDLightsWithTheHitAndGoesDarkAfter10000Samples) {
  EditorRig rig;
  rig.Render(512);
  EXPECT_DOUBLE_EQ(rig.Control(22)->GetValue(), 1.0);
  rig.Click(150, 475);
  for (int b = 0; b < 19; ++b) rig.Render(512);  // 9728 samples
  EXPECT_DOUBLE_EQ(rig.Control(22)->GetValue(), 0.0);
  ASSERT_TRUE(rig.Tick());
  const std::string lit = rig.ScreenArea(IRECT(161, 455, 173, 467));
  EXPECT_EQ(lit, Expected(161, 455, 12, 12,
                          {{"IContactControl_x2.png", 2, 1, 146, 441}, {"waveform.png", 2, 1, 161, 455}}));
  rig.Render(512);  // 10240 > 10000
  EXPECT_DOUBLE_EQ(rig.Control(22)->GetValue(), 1.0);
  EXPECT_EQ(rig.Plug().GetLEDState(), 1);
  ASSERT_TRUE(rig.Tick());
  EXPECT_EQ(rig.ScreenArea(IRECT(161, 455, 173, 467)),
            Expected(161, 455, 12, 12,
                     {{"IContactControl_x2.png", 2, 1, 146, 441}, {"waveform.png", 2, 2, 161, 455}}));
}

// The LED sits on the button's centre: every gesture there is the button's,
// exactly as on its rim, and only a hit changes the LED.
TEST(TonnikEditor, GesturesOnTheLEDReachTheTriggerUnderIt) {
  struct Outcome {
    int samplesSinceHit;
    double led, button;
    bool operator==(const Outcome& o) const { return samplesSinceHit == o.samplesSinceHit && led == o.led && button == o.button; }
  };
  const auto play = [](int x, int y, int gesture) {
    EditorRig rig;
    for (int b = 0; b < 3; ++b) rig.Render(512);
    auto* view = rig.Gui()->GetView();
    if (gesture == 0) rig.Click(x, y);
    if (gesture == 1) rig.Drag(x, y, 3, 3);
    if (gesture == 2) rig.Wheel(x, y, 2);
    if (gesture == 3) {
      view->MouseDown(rig.At(x, y), ViewModifiers(), 1);
      view->MouseUp(rig.At(x, y), ViewModifiers());
      rig.Render(100);
      view->MouseDown(rig.At(x, y), ViewModifiers(), 2);
      view->MouseUp(rig.At(x, y), ViewModifiers());
    }
    rig.Render(512);
    return Outcome{rig.Plug().GetSamplesSinceHit(), rig.Control(22)->GetValue(), rig.Control(21)->GetValue()};
  };
  const int ledX = 167, ledY = 461, rimX = 150, rimY = 475;
  for (int gesture = 0; gesture < 4; ++gesture) {
    SCOPED_TRACE(gesture);
    EXPECT_TRUE(play(ledX, ledY, gesture) == play(rimX, rimY, gesture));
  }
  const Outcome clicked = play(ledX, ledY, 0);
  EXPECT_EQ(clicked.samplesSinceHit, 512);
  EXPECT_EQ(clicked.led, 0.0);
  EXPECT_EQ(play(ledX, ledY, 3).samplesSinceHit, 512);
}

TEST(TonnikEditor, DoubleClickOnTheTriggerHitsTwice) {
  EditorRig rig;
  rig.Render(512);
  rig.Gui()->GetView()->MouseDown(rig.At(150, 475), ViewModifiers(), 1);
  rig.Gui()->GetView()->MouseUp(rig.At(150, 475), ViewModifiers());
  rig.Gui()->GetView()->MouseDown(rig.At(150, 475), ViewModifiers(), 2);
  rig.Gui()->GetView()->MouseUp(rig.At(150, 475), ViewModifiers());
  rig.Render(100);
  EXPECT_EQ(rig.Plug().GetSamplesSinceHit(), 100);
}

TEST(TonnikEditor, DrawingLeavesNoBitmapBehind) {
  EditorRig rig;
  rig.SetParam(Tonnik::kDynDecay, 0.5);
  rig.SetParam(Tonnik::kDynTone, -1.0);
  rig.Tick();
  const int cached = BitmapStorage::Instance().Size();
  for (int i = 0; i < 5; ++i) {
    rig.Gui()->SetAllControlsDirty();
    ASSERT_TRUE(rig.Tick());
  }
  EXPECT_EQ(BitmapStorage::Instance().Size(), cached);
}

TEST(TonnikEditor, SecondInstanceSharesTheImages) {
  EditorRig first;
  const int cached = BitmapStorage::Instance().Size();
  EditorRig second;
  EXPECT_EQ(BitmapStorage::Instance().Size(), cached);
}

}  // namespace
