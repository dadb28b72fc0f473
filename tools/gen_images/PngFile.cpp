#include "PngFile.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>

#include "kit/KIT_TypedBuf.h"
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

// One row in PNG byte order (red, green, blue, then alpha when `alpha`) from
// the library's pixels (alpha in the low byte).
void ToPngOrder(const unsigned* row, int width, bool alpha, unsigned char* out) {
  for (int x = 0; x < width; ++x) {
    const unsigned p = row[x];
    *out++ = (unsigned char)(p >> 8);
    *out++ = (unsigned char)(p >> 16);
    *out++ = (unsigned char)(p >> 24);
    if (alpha) *out++ = (unsigned char)p;
  }
}

// Deflate where it packs the image well enough to pay for inflating it,
// stored blocks elsewhere.
int CompressionLevelFor(const unsigned char* bytes, size_t size) {
  KIT_TypedBuf<unsigned char> packed;
  uLongf packedSize = compressBound(uLong(size));
  if (!packed.Resize(int(packedSize)) ||
      compress2(packed.Get(), &packedSize, bytes, uLong(size), kDeflateLevel) != Z_OK)
    return kDeflateLevel;
  return double(size) >= kMinDeflateRatio * double(packedSize) ? kDeflateLevel : kStoredLevel;
}

// Rows in PNG byte order, `rowBytes` apart, written through libpng.
struct PngImage {
  int width;
  int height;
  bool alpha;
  int rowBytes;
  const unsigned char* bytes;
};

bool WriteRows(FILE* file, const PngImage& image, int level) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
               image.alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  // No row filter: undoing Paeth, Average, Sub or Up costs the reader (a
  // libpng without SIMD filter code) more than inflating unfiltered rows
  // does, and zlib packs these images' unfiltered rows tighter than filtered
  // ones anyway (all deflated, the editor's images decode in 35 M
  // instructions instead of 80 M, and take 255 KB instead of 332 KB).
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, level);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) png_write_row(png, image.bytes + y * image.rowBytes);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool Encode(FILE* file, const PIX_Rows& rows) {
  // An opaque image needs no alpha channel: the loader puts alpha 255 in
  // front of every pixel, and a quarter fewer bytes are read.
  const bool alpha = !IsOpaque(rows);
  const int rowBytes = rows.width * (alpha ? 4 : 3);
  KIT_TypedBuf<unsigned char> bytes;
  if (!bytes.Resize(rowBytes * rows.height)) return false;
  for (int y = 0; y < rows.height; ++y) ToPngOrder(rows.Row(y), rows.width, alpha, bytes.Get() + y * rowBytes);
  const PngImage image = {rows.width, rows.height, alpha, rowBytes, bytes.Get()};
  return WriteRows(file, image, CompressionLevelFor(bytes.Get(), size_t(rowBytes) * size_t(rows.height)));
}

}  // namespace

bool WritePng(PIX_IBitmap* bitmap, const char* path) {
  PIX_Rows rows;
  if (!PIX_GetRows(bitmap, &rows)) return false;
  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  const bool ok = Encode(file, rows);
  const bool closed = std::fclose(file) == 0;
  if (ok && closed) return true;
  std::remove(path);
  return false;
}
