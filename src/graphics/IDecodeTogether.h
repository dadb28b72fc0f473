#pragma once
// Decoding an editor's images side by side before its first frame at a
// drawing scale. A first editor spends most of its opening decoding PNG
// images (13 MB of pixels at scale 2, in strips libpng inflates row by row);
// each image decodes on its own, so the machine's cores share them: the
// calling thread and up to kMaxDecodeHelpers helper threads each take the
// next image nobody has taken, until none is left.
//
// Threads: the editor's main thread, which draws nothing meanwhile; every
// helper has ended when the call returns. The images must be distinct, and
// nothing else may touch them during the call. When no helper thread can be
// had, the caller decodes them all itself.

#include "graphics/IScaledImage.h"

// Helper threads at most, beside the caller: more cores than this give a
// first editor little, as reading the files and the pages' first touch
// start to dominate.
constexpr int kMaxDecodeHelpers = 3;

// Asks each image for its pixels at `scale` (IScaledImage::AtScale), which
// decodes those not decoded yet.
void DecodeTogether(IScaledImage* const* images, int count, int scale);
