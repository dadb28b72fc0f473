#include "tonnik/TonnikParams.h"

#include "kick/Krummel.h"

namespace {

using R = TonnikParamRow;
using I = TonnikParamIndices;

// Double parameters move in steps of a ten-thousandth of the unit: finer than
// a knob's pixel, coarse enough for the host's value text.
const double kFineStep = 0.0001;
// Glide time in steps of 10 ms.
const double kGlideStep = 0.01;
// Drive's knob spends more of its travel on low drive, where the sound changes most.
const double kDriveShape = 1.5;

}  // namespace

// Each row: name, kind, default, min, max, step, shape, label, display texts;
// then role, voice setter, ring, ring angle, controller steps.
const TonnikParamRow kTonnikParams[I::kNumParams] = {
    {"Tone", R::kDouble, 0.5, 0, 1, kFineStep, 1, "", {},
     R::kSound, [](Krummel& v, double x) { v.setTone(x); }, I::kToneRing, R::kCentre, R::kContinuous},
    {"Tune", R::kInt, 0, -12, 12, 1, 1, "", {},  // semitones
     R::kSound, [](Krummel& v, double x) { v.setTune(x); }, I::kNoRing, R::kCentre, R::kContinuous},
    {"Fine", R::kInt, 0, -100, 100, 1, 1, "", {},  // cents; the voice takes semitones
     R::kSound, [](Krummel& v, double x) { v.setFine(x / 100); }, I::kNoRing, R::kCentre, R::kContinuous},
    {"Decay", R::kDouble, 0.5, 0, 1, kFineStep, 1, "", {},
     R::kSound, [](Krummel& v, double x) { v.setDecay(x); }, I::kDecayRing, R::kCentre, R::kContinuous},
    {"Accent", R::kDouble, 0.5, 0, 1, kFineStep, 1, "", {},  // the voice's output level
     R::kSound, [](Krummel& v, double x) { v.setLevel(x); }, I::kAccentRing, R::kCentre, R::kContinuous},
    {"MIDI Tune", R::kBool, 0, 0, 1, 1, 1, "", {},
     R::kSound, [](Krummel& v, double x) { v.setMidiTuneFlag(static_cast<int>(x)); }, I::kNoRing, R::kCentre,
     R::kOnOff},
    {"Long Decay", R::kBool, 0, 0, 1, 1, 1, "", {},
     R::kSound, [](Krummel& v, double x) { v.setLongDecayFlag(static_cast<int>(x)); }, I::kNoRing, R::kCentre,
     R::kOnOff},
    {"MIDI Learn", R::kBool, 0, 0, 1, 1, 1, "", {},
     R::kLearnSwitch, nullptr, I::kNoRing, R::kCentre, R::kOnOff},
    {"MIDI Clear", R::kBool, 0, 0, 1, 1, 1, "", {},
     R::kClearSwitch, nullptr, I::kNoRing, R::kCentre, R::kOnOff},
    {"Comp", R::kDouble, 0, 0, 1, kFineStep, 1, "", {},
     R::kSound, [](Krummel& v, double x) { v.setComp(x); }, I::kCompRing, R::kCentre, R::kContinuous},
    {"Drive", R::kDouble, 0, 0, 1, kFineStep, kDriveShape, "", {},
     R::kSound, [](Krummel& v, double x) { v.setDrive(x); }, I::kDriveRing, R::kCentre, R::kContinuous},
    {"Glide", R::kDouble, 0, 0, 1, kGlideStep, 1, "s", {},
     R::kSound, [](Krummel& v, double x) { v.glide.setGlideTime(static_cast<float>(x)); }, I::kNoRing, R::kCentre,
     R::kContinuous},
    {"Glide Mode", R::kInt, 0, 0, 2, 1, 1, "", {"Up/Down", "Up", "Down"},
     R::kSound, [](Krummel& v, double x) { v.glide.mode = static_cast<int>(x); }, I::kNoRing, R::kCentre,
     R::kThreeWay},
    {"DynDecay", R::kDouble, 0, -1, 1, kFineStep, 1, "", {},
     R::kSound, [](Krummel& v, double x) { v.dynDecay = x; }, I::kDecayRing, R::kSpan, R::kContinuous},
    {"DynComp", R::kDouble, 0, -1, 1, kFineStep, 1, "", {},
     R::kSound, [](Krummel& v, double x) { v.dynComp = x; }, I::kCompRing, R::kSpan, R::kContinuous},
    {"DynDrive", R::kDouble, 0, -1, 1, kFineStep, 1, "", {},
     R::kSound, [](Krummel& v, double x) { v.dynDrive = x; }, I::kDriveRing, R::kSpan, R::kContinuous},
    {"DynTone", R::kDouble, 0, -1, 1, kFineStep, 1, "", {},
     R::kSound, [](Krummel& v, double x) { v.dynTone = x; }, I::kToneRing, R::kSpan, R::kContinuous},
    {"DynLevel", R::kDouble, 0, -1, 1, kFineStep, 1, "", {},
     R::kSound, [](Krummel& v, double x) { v.dynLevel = x; }, I::kAccentRing, R::kSpan, R::kContinuous},
    {"DriveEnv", R::kBool, 0, 0, 1, 1, 1, "", {},
     R::kSound, [](Krummel& v, double x) { v.driveEnv = (x != 0); }, I::kNoRing, R::kCentre, R::kOnOff},
};
