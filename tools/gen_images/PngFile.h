#pragma once
// Writing a bitmap as an 8-bit RGBA PNG (RGB when every pixel is opaque),
// encoded for cheap decoding, with libpng. Main thread.

#include "pix/PIX_Bitmap.h"

// False (and no file left behind) when the file cannot be written.
bool WritePng(PIX_IBitmap* bitmap, const char* path);
