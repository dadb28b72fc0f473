#pragma once
// Raster bitmaps written as 8-bit PNG files through libpng: the editor's
// screen shots and plots, and the generated editor images. Any thread, one
// file per call.

#include "kit/KIT_TypedBuf.h"
#include "pix/PIX_Bitmap.h"

// libpng's own compression level (zlib's default).
const int kPIX_PNGDefaultLevel = -1;

// How the rows are encoded.
struct PIX_PNGEncoding {
  // RGBA with straight alpha; false writes RGB and drops the alpha byte.
  bool alpha;
  // zlib's level, 0 (stored blocks) to 9, or kPIX_PNGDefaultLevel.
  int level;
  // True lets libpng choose each row's filter (smaller files); false leaves
  // rows unfiltered, which a reader undoes for nothing.
  bool filterRows;
};

enum class PIX_PNGWriteResult { kWritten, kNoPixels, kNoMemory, kCannotCreate, kFailed };

// The bitmap's rows top to bottom in PNG byte order (red, green, blue, then
// alpha when `alpha`), one after another without padding. False, with bytes
// unspecified, for a null or empty bitmap or when memory runs out.
bool PIX_ToPNGBytes(PIX_IBitmap* bitmap, bool alpha, KIT_TypedBuf<unsigned char>* bytes);

// Writes width x height pixels of PNG-ordered bytes (as PIX_ToPNGBytes
// makes them for encoding.alpha) to path. Anything but kWritten leaves no
// file behind.
PIX_PNGWriteResult PIX_WritePNGBytes(const unsigned char* bytes, int width, int height,
                                     const PIX_PNGEncoding& encoding, const char* path);

// Both steps in one call.
PIX_PNGWriteResult PIX_WritePNG(PIX_IBitmap* bitmap, const PIX_PNGEncoding& encoding, const char* path);
