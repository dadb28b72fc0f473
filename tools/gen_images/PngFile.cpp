#include "PngFile.h"

#include <zlib.h>

#include <cstdio>

#include "kit/KIT_TypedBuf.h"
#include "pix/PIX_PNGWrite.h"
#include "pix/PIX_Raster.h"

namespace {

// zlib's best compression: the images are written once and read at every
// editor start, so only the reading cost counts.
const int kDeflateLevel = 9;
// zlib's level that writes stored blocks: the bytes as they are, no search.
const int kStoredLevel = 0;

bool IsOpaque(const PIX_Rows& rows) {
  for (int y = 0; y < rows.height; ++y)
    for (int x = 0; x < rows.width; ++x)
      if ((rows.Row(y)[x] & 0xFF) != 0xFF) return false;
  return true;
}

// Deflate where it packs the image at least minRatio times smaller, stored
// blocks elsewhere.
int CompressionLevelFor(const unsigned char* bytes, size_t size, double minRatio) {
  KIT_TypedBuf<unsigned char> packed;
  uLongf packedSize = compressBound(uLong(size));
  if (!packed.Resize(int(packedSize)) ||
      compress2(packed.Get(), &packedSize, bytes, uLong(size), kDeflateLevel) != Z_OK)
    return kDeflateLevel;
  return double(size) >= minRatio * double(packedSize) ? kDeflateLevel : kStoredLevel;
}

}  // namespace

bool WritePng(PIX_IBitmap* bitmap, const char* path, PngPacking packing) {
  PIX_Rows rows;
  if (!PIX_GetRows(bitmap, &rows)) return false;
  // An opaque image needs no alpha channel: the loader puts alpha 255 in
  // front of every pixel, and a quarter fewer bytes are read.
  const bool alpha = !IsOpaque(rows);
  KIT_TypedBuf<unsigned char> bytes;
  if (!PIX_ToPNGBytes(bitmap, alpha, &bytes)) return false;
  // No row filter: undoing Paeth, Average, Sub or Up costs the reader (a
  // libpng without SIMD filter code) more than inflating unfiltered rows
  // does, and zlib packs these images' unfiltered rows tighter than filtered
  // ones anyway (all deflated, the editor's images decode in 35 M
  // instructions instead of 80 M, and take 255 KB instead of 332 KB).
  const double minRatio = packing == PngPacking::kForStartUp ? kMinDeflateRatio : kMinDeflateRatio2x;
  const int level = CompressionLevelFor(bytes.Get(), size_t(bytes.GetSize()), minRatio);
  const PIX_PNGEncoding encoding = {alpha, level, false};
  return PIX_WritePNGBytes(bytes.Get(), rows.width, rows.height, encoding, path) == PIX_PNGWriteResult::kWritten;
}
