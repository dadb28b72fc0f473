#pragma once
// Checks of the generated images against what the editor expects. Each
// prints what is wrong to stderr and returns false on a mismatch.

#include <vector>

#include "Images.h"
#include "Layout.h"
#include "pix/PIX_Bitmap.h"

// The bitmap has the image's width, height and frame count at the output
// scale (Layer.h).
bool CheckImageSize(ImageId id, PIX_IBitmap* bitmap);
// The PNG at `path` loads back with the same size and pixels as `bitmap`.
bool CheckWrittenFile(ImageId id, PIX_IBitmap* bitmap, const char* path);
// Every control lies inside the editor, no two overlap (except the trigger
// LED, which must lie inside the trigger), and each large knob with a ring
// is centred on the ring's pivot pixel. The first form checks the layout's
// own tables.
bool CheckPlacements();
bool CheckPlacements(const Placement* placements, int count, const RingPlace* rings, int ringCount);
// No printed label reaches into the box of a mark of a knob's ring (a dot
// of its scale, or the groove of its velocity ring; KnobMarks), and every
// label but the knob's own name keeps `clearance` pixels clear of those
// boxes. The first form checks the layout's own knobs.
bool CheckLabelsClearOfKnobs(const std::vector<PrintedLabel>& labels, int clearance);
bool CheckLabelsClearOfKnobs(const std::vector<PrintedLabel>& labels, int clearance, const Placement* placements,
                             int count);
