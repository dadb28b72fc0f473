#include "Layout.h"

namespace {

// Large knob frames are 49 x 51 so the knob's centre (24.5, 25.5) lands on
// the centre of the ring's pivot pixel: knob at (49, 266), ring pivot (73, 291).
const ImageSpec kSpecs[kImageCount] = {
    {"background.png", kEditorWidth, kEditorHeight, 1},
    {"knob.png", 49, 51, 60},
    {"knobSmall.png", 30, 30, 60},
    {"ISwitchControl_x2.png", 42, 24, 2},
    {"learn.png", 22, 16, 2},
    {"clear.png", 22, 16, 2},
    {"driveenv.png", 34, 22, 2},
    {"glideMode.png", 40, 36, 3},
    {"IContactControl_x2.png", 42, 40, 2},
    {"waveform.png", 12, 12, 2},
    {"bitmap1.png", kRingCell, kRingCell * kRingCells, 1},
    {"ringRot.png", kRingCell, kRingCell * kRingCells, 1},
};

const Placement kPlacements[] = {
    {"Tone", kKnob, 237, 266},         {"Tune", kKnob, 49, 86},
    {"Decay", kKnob, 49, 266},         {"Accent", kKnob, 49, 176},
    {"Fine", kKnob, 237, 86},          {"Comp", kKnob, 49, 356},
    {"Drive", kKnob, 237, 356},        {"Glide", kKnob, 237, 176},
    {"DynDecay", kKnobSmall, 119, 332}, {"DynComp", kKnobSmall, 119, 370},
    {"DynDrive", kKnobSmall, 187, 370}, {"DynTone", kKnobSmall, 187, 332},
    {"DynLevel", kKnobSmall, 153, 186}, {"Glide Mode", kGlideMode, 196, 183},
    {"DriveEnv", kDriveEnv, 293, 396},  {"Trigger", kTrigger, 146, 441},
    {"LED", kTriggerLed, 161, 455},     {"MIDI Tune", kToggle, 146, 99},
    {"Long Decay", kToggle, 146, 278},  {"MIDI Learn", kLearn, 240, 467},
    {"MIDI Clear", kClear, 263, 467},
};

const RingPlace kRings[] = {
    {"Decay", 48, 266, 99, 317},  {"Tone", 236, 266, 287, 317}, {"Comp", 48, 356, 99, 407},
    {"Accent", 48, 176, 99, 227}, {"Drive", 236, 356, 287, 407},
};

}  // namespace

const ImageSpec& SpecOf(ImageId id) { return kSpecs[id]; }

const Placement* Placements(int* count) {
  *count = int(sizeof(kPlacements) / sizeof(kPlacements[0]));
  return kPlacements;
}

const RingPlace* RingPlaces(int* count) {
  *count = int(sizeof(kRings) / sizeof(kRings[0]));
  return kRings;
}
