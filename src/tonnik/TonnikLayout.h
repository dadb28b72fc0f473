#pragma once
// The instrument's editor: a fixed 336 x 598 panel of bitmap knobs,
// switches, the trigger button with its LED, five velocity rings and a
// value display, attached in a fixed order that fixes the control indices
// the instrument uses. Main thread, while the instrument is constructed.

#include "tonnik/Tonnik.h"

class IGraphics;
class ITextControl;
class Krummel;
class PotiCircle;

inline constexpr int kTonnikEditorWidth = 336;
inline constexpr int kTonnikEditorHeight = 598;

// Control indices of the layout, in attach order.
enum ETonnikControl {
  kCtlBackground = 0,
  kCtlFirstRing = 1,  // five rings: Decay, Tone, Comp, Accent, Drive
  kCtlToneKnob = 6,
  kCtlTuneKnob,
  kCtlDecayKnob,
  kCtlAccentKnob,
  kCtlFineKnob,
  kCtlCompKnob,
  kCtlDriveKnob,
  kCtlGlideKnob,
  kCtlDynDecayKnob,
  kCtlDynCompKnob,
  kCtlDynDriveKnob,
  kCtlDynToneKnob,
  kCtlDynLevelKnob,
  kCtlGlideModeSwitch,
  kCtlDriveEnvSwitch,
  kCtlTrigger,
  kCtlLED,
  kCtlMidiTuneSwitch,
  kCtlLongDecaySwitch,
  kCtlLearnSwitch,
  kCtlClearSwitch,
  kCtlValueDisplay,
  kNumTonnikControls
};

// What the instrument keeps of its editor; the controls belong to the editor.
struct TonnikLayout {
  PotiCircle* mRings[Tonnik::kNumRings];
  int mLEDIndex;
  int mLearnSwitchIdx;
  int mClearSwitchIdx;
  ITextControl* mValueDisplay;
};

// Attaches the background and the 27 controls to graphics and links the
// value display; the caller then hands graphics to the plug-in
// (AttachGraphics). The trigger gets the voice and the two counters it is
// documented to carry.
TonnikLayout BuildTonnikLayout(IGraphics* graphics, Tonnik* plug, Krummel* voice,
                               std::atomic<int>* samplesSinceHit, std::atomic<int>* ledState);
