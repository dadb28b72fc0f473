#include "PngFile.h"

#include <png.h>

#include <cstdio>

#include "kit/KIT_TypedBuf.h"
#include "pix/PIX_Raster.h"

namespace {

// zlib's best compression: the images are written once and read at every
// editor start, so only the reading cost counts.
const int kCompressionLevel = 9;

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

bool Encode(FILE* file, const PIX_Rows& rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  // An opaque image needs no alpha channel: the loader puts alpha 255 in
  // front of every pixel, and a quarter fewer bytes are inflated.
  const bool alpha = !IsOpaque(rows);
  const int bytesPerPixel = alpha ? 4 : 3;
  KIT_TypedBuf<unsigned char> line;
  if (!info || !line.Resize(rows.width * bytesPerPixel)) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(rows.width), png_uint_32(rows.height), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  // No row filter: undoing Paeth, Average, Sub or Up costs the reader (a
  // libpng without SIMD filter code) more than inflating unfiltered rows
  // does, and zlib packs these images' unfiltered rows tighter than filtered
  // ones anyway (the loader's instructions for the editor's images drop from
  // 80 M to 35 M; the files from 332 KB to 255 KB).
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_compression_level(png, kCompressionLevel);
  png_write_info(png, info);
  for (int y = 0; y < rows.height; ++y) {
    ToPngOrder(rows.Row(y), rows.width, alpha, line.Get());
    png_write_row(png, line.Get());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
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
