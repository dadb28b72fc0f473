#pragma once
// What the editor expects of the images: every file with its frame size and
// frame count, and where each bitmap control sits (top-left corners from the
// editor's layout table). The generator draws to these sizes and checks its
// output against them.

const int kEditorWidth = 336;
const int kEditorHeight = 598;

enum ImageId {
  kBackground,
  kKnob,
  kKnobSmall,
  kToggle,
  kLearn,
  kClear,
  kDriveEnv,
  kGlideMode,
  kTrigger,
  kTriggerLed,
  kRingPositive,
  kRingNegative,
  kImageCount
};

struct ImageSpec {
  const char* file;  // inside resources/img
  int frameWidth;
  int frameHeight;
  int frames;        // stacked vertically
};

const ImageSpec& SpecOf(ImageId id);

// The ring strips: square cells, the arc of cell k spanning
// (kRingEmptyCell - k) / kRingEmptyCell of the knob's 270 degrees.
const int kRingCell = 60;
const int kRingEmptyCell = 54;
const int kRingCells = kRingEmptyCell + 1;
const float kKnobTravelDegrees = 270.0f;

// A bitmap control: its image and top-left corner in the editor.
struct Placement {
  const char* name;
  ImageId image;
  int x;
  int y;
};

const Placement* Placements(int* count);

// Centre of the rings drawn under the large knobs, as the ring control
// computes it from its rectangle: the pixel whose centre the ring turns about.
struct RingPlace {
  const char* name;
  int left, top, right, bottom;
  int CentreX() const { return left + (right - left) / 2; }
  int CentreY() const { return top + (bottom - top) / 2; }
};

const RingPlace* RingPlaces(int* count);

// The value display's rectangle (its text is drawn at the top, centred).
const int kDisplayLeft = 49;
const int kDisplayTop = 490;
const int kDisplayRight = 101;
const int kDisplayBottom = 628;
