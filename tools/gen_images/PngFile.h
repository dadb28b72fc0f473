#pragma once
// Writing a bitmap as a 32-bit RGBA PNG with libpng. Main thread.

#include "pix/PIX_Bitmap.h"

// False (and no file left behind) when the file cannot be written.
bool WritePng(PIX_IBitmap* bitmap, const char* path);
