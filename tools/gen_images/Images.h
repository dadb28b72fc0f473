#pragma once
// One function per editor image. Each draws the whole image (every frame,
// stacked vertically) into `out`, which it resizes to the image's size, and
// returns false when drawing failed (for example no font for the printing).
// `out` must have a drawing context for images with text (PIX_SysBitmap).

#include <string>
#include <vector>

#include "Layout.h"
#include "Text.h"
#include "pix/PIX_Bitmap.h"

// A line printed on the panel, its shadow included.
struct PrintedLabel {
  std::string text;
  TextBox box;
};

bool DrawBackground(PIX_IBitmap* out);
// The same, and every line printed on it.
bool DrawBackground(PIX_IBitmap* out, std::vector<PrintedLabel>* labels);
// A round mark of the ring around a knob's seat, in editor pixels: a dot of
// its scale, or the whole groove its velocity ring glows in.
struct KnobMark {
  float x, y, radius;
  bool major;  // a scale's end or middle, drawn larger and brighter
};
// The marks around a knob; none for a control that is not a knob.
std::vector<KnobMark> KnobMarks(const Placement& knob);
bool DrawKnob(PIX_IBitmap* out);
bool DrawKnobSmall(PIX_IBitmap* out);
bool DrawToggle(PIX_IBitmap* out);
bool DrawLearn(PIX_IBitmap* out);
bool DrawClear(PIX_IBitmap* out);
bool DrawDriveEnv(PIX_IBitmap* out);
bool DrawGlideMode(PIX_IBitmap* out);
bool DrawTrigger(PIX_IBitmap* out);
bool DrawTriggerLed(PIX_IBitmap* out);
bool DrawRingPositive(PIX_IBitmap* out);
bool DrawRingNegative(PIX_IBitmap* out);

// The standalone program's desktop icon, size x size pixels with alpha.
bool DrawIcon(PIX_IBitmap* out, int size);

typedef bool (*DrawImageFn)(PIX_IBitmap* out);

// The drawing function of each image.
DrawImageFn DrawFunctionOf(ImageId id);
