#pragma once
// One function per editor image. Each draws the whole image (every frame,
// stacked vertically) into `out`, which it resizes to the image's size, and
// returns false when drawing failed (for example no font for the printing).
// `out` must have a drawing context for images with text (PIX_SysBitmap).

#include "Layout.h"
#include "pix/PIX_Bitmap.h"

bool DrawBackground(PIX_IBitmap* out);
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

typedef bool (*DrawImageFn)(PIX_IBitmap* out);

// The drawing function of each image.
DrawImageFn DrawFunctionOf(ImageId id);
