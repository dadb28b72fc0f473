#pragma once
// Writing a bitmap as an 8-bit RGBA PNG (RGB when every pixel is opaque),
// encoded for cheap decoding rather than small files, with libpng. Main
// thread.

#include "pix/PIX_Bitmap.h"

// An image is deflated when that packs it at least this many times smaller,
// and stored uncompressed otherwise. Below it the reader spends more
// inflating than it would checking the CRC of the same rows stored and
// copying them: libpng inflates row by row, and rows under 258 bytes never
// reach zlib's fast path. Measured with callgrind on the editor's images:
// the knob strip (7 to 1) decodes in 6.7 M instructions stored against
// 11.9 M deflated, the glide switch (30 to 1) in 0.24 M against 0.23 M, the
// ring strips (60 to 1) in 8.3 M against 6.7 M.
const double kMinDeflateRatio = 20.0;

// The same rule for images read only on high-density screens, which are four
// times the size: deflated unless that packs them less than this many times
// smaller. Stored, all of them would add some 12 MB to the repository; the
// large knob strip alone (5 to 1) decodes in 3.6 ms stored against 9.1 ms
// deflated, the longest image of a first editor at scale 2, for 1.9 MB.
const double kMinDeflateRatio2x = 6.0;

// How a file is packed: for the editor's start-up (kMinDeflateRatio) or
// for high-density screens (kMinDeflateRatio2x).
enum class PngPacking { kForStartUp, kForHighDensity };

// False (and no file left behind) when the file cannot be written.
bool WritePng(PIX_IBitmap* bitmap, const char* path, PngPacking packing = PngPacking::kForStartUp);
