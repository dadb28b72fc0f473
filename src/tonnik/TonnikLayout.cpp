#include "tonnik/TonnikLayout.h"

#include "graphics/IBitmapControls.h"
#include "graphics/IGraphics.h"
#include "graphics/IKnobControls.h"
#include "graphics/ITextControls.h"
#include "tonnik/IContactControlTrigger.h"
#include "tonnik/INonClickable.h"
#include "tonnik/PotiCircle.h"

namespace {

// A knob or switch of the panel: top-left corner and parameter.
struct Place {
  int x;
  int y;
  int param;
};

const double kKnobGearing = 4.0;
const int kKnobFrames = 60;

// Ring rectangles in the order the instrument keeps them (ERing).
const IRECT kRingRects[Tonnik::kNumRings] = {
    IRECT(48, 266, 99, 317),   // Decay
    IRECT(236, 266, 287, 317), // Tone
    IRECT(48, 356, 99, 407),   // Comp
    IRECT(48, 176, 99, 227),   // Accent
    IRECT(236, 356, 287, 407), // Drive
};

const Place kLargeKnobs[] = {
    {237, 266, Tonnik::kTone},  {49, 86, Tonnik::kTune},   {49, 266, Tonnik::kDecay},
    {49, 176, Tonnik::kAccent}, {237, 86, Tonnik::kFine},  {49, 356, Tonnik::kComp},
    {237, 356, Tonnik::kDrive}, {237, 176, Tonnik::kGlide},
};

const Place kSmallKnobs[] = {
    {119, 332, Tonnik::kDynDecay}, {119, 370, Tonnik::kDynComp},  {187, 370, Tonnik::kDynDrive},
    {187, 332, Tonnik::kDynTone},  {153, 186, Tonnik::kDynLevel},
};

// The controls the value display follows, in the order they are linked.
const int kDisplayedControls[] = {
    kCtlToneKnob,       kCtlTuneKnob,       kCtlFineKnob,    kCtlAccentKnob,   kCtlDecayKnob,
    kCtlMidiTuneSwitch, kCtlLongDecaySwitch, kCtlCompKnob,    kCtlDriveKnob,    kCtlGlideKnob,
    kCtlGlideModeSwitch, kCtlDynDecayKnob,  kCtlDynCompKnob, kCtlDynDriveKnob,
    kCtlDynToneKnob,    kCtlDynLevelKnob,   kCtlDriveEnvSwitch,
};

const IColor kDisplayColor(255, 238, 158, 0);
const IRECT kDisplayRect(49, 490, 101, 628);

void AttachKnobs(IGraphics* graphics, Tonnik* plug, IBitmap* bitmap, const Place* places, int n) {
  for (int i = 0; i < n; ++i)
    graphics->AttachControl(
        new IKnobMultiControl(plug, places[i].x, places[i].y, places[i].param, bitmap, kVertical, kKnobGearing));
}

int AttachSwitch(IGraphics* graphics, Tonnik* plug, int id, const char* name, int frames, const Place& place) {
  IBitmap bitmap = graphics->LoadIBitmap(id, name, frames, false);
  return graphics->AttachControl(
      new ISwitchControl(plug, place.x, place.y, place.param, &bitmap, IChannelBlend::kBlendNone));
}

}  // namespace

TonnikLayout BuildTonnikLayout(IGraphics* graphics, Tonnik* plug, Krummel* voice,
                               std::atomic<int>* samplesSinceHit, std::atomic<int>* ledState) {
  TonnikLayout layout = {};
  graphics->AttachBackground(102, "resources/img/background.png");

  // PotiCircle::Draw loads its strips as it first needs them; the one for
  // rings without a positive span, which is what every ring of a fresh
  // instance shows, is loaded here too, so that a first editor decodes it
  // side by side with the other images.
  graphics->LoadIBitmap(PotiCircle::kNegativeRingID, PotiCircle::kNegativeRingName, 1);
  for (int i = 0; i < Tonnik::kNumRings; ++i) {
    layout.mRings[i] = new PotiCircle(plug, kRingRects[i]);
    graphics->AttachControl(layout.mRings[i]);
  }

  IBitmap knob = graphics->LoadIBitmap(101, "resources/img/knob.png", kKnobFrames, false);
  AttachKnobs(graphics, plug, &knob, kLargeKnobs, sizeof(kLargeKnobs) / sizeof(kLargeKnobs[0]));
  IBitmap knobSmall = graphics->LoadIBitmap(109, "resources/img/knobSmall.png", kKnobFrames, false);
  AttachKnobs(graphics, plug, &knobSmall, kSmallKnobs, sizeof(kSmallKnobs) / sizeof(kSmallKnobs[0]));

  AttachSwitch(graphics, plug, 108, "resources/img/glideMode.png", 3, {196, 183, Tonnik::kGlideMode});
  const int driveEnvIdx =
      AttachSwitch(graphics, plug, 113, "resources/img/driveenv.png", 2, {293, 396, Tonnik::kDriveEnv});
  // The trigger and its LED follow the DriveEnv switch directly.
  layout.mLEDIndex = driveEnvIdx + 2;

  IBitmap button = graphics->LoadIBitmap(103, "resources/img/IContactControl_x2.png", 2, false);
  graphics->AttachControl(
      new IContactControlTrigger(plug, 146, 441, -1, &button, layout.mLEDIndex, voice, samplesSinceHit, ledState));
  IBitmap led = graphics->LoadIBitmap(105, "resources/img/waveform.png", 2, false);
  graphics->AttachControl(new INonClickable(plug, 161, 455, -1, &led, IChannelBlend::kBlendNone));

  AttachSwitch(graphics, plug, 104, "resources/img/ISwitchControl_x2.png", 2, {146, 99, Tonnik::kMidiTune});
  AttachSwitch(graphics, plug, 104, "resources/img/ISwitchControl_x2.png", 2, {146, 278, Tonnik::kLongDecay});
  layout.mLearnSwitchIdx =
      AttachSwitch(graphics, plug, 106, "resources/img/learn.png", 2, {240, 467, Tonnik::kMidiLearn});
  layout.mClearSwitchIdx =
      AttachSwitch(graphics, plug, 107, "resources/img/clear.png", 2, {263, 467, Tonnik::kMidiClear});

  IText text(12, &kDisplayColor, "Verdana", IText::kStyleNormal, IText::kAlignCenter, 0,
             IText::kQualityNonAntiAliased);
  layout.mValueDisplay = new ITextControl(plug, kDisplayRect, &text, "0");
  for (int idx : kDisplayedControls) graphics->GetControl(idx)->SetValDisplayControl(layout.mValueDisplay);
  graphics->AttachControl(layout.mValueDisplay);
  return layout;
}
