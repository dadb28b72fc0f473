#include "PngFile.h"

#include <png.h>

#include <cstdio>

#include "kit/KIT_TypedBuf.h"
#include "pix/PIX_Raster.h"

namespace {

// One row in PNG byte order (red, green, blue, alpha) from the library's
// pixels (alpha in the low byte).
void ToRgba(const unsigned* row, int width, unsigned char* out) {
  for (int x = 0; x < width; ++x) {
    const unsigned p = row[x];
    out[4 * x + 0] = (unsigned char)(p >> 8);
    out[4 * x + 1] = (unsigned char)(p >> 16);
    out[4 * x + 2] = (unsigned char)(p >> 24);
    out[4 * x + 3] = (unsigned char)p;
  }
}

bool Encode(FILE* file, const PIX_Rows& rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  KIT_TypedBuf<unsigned char> line;
  if (!info || !line.Resize(rows.width * 4)) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, png_uint_32(rows.width), png_uint_32(rows.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 9);
  png_write_info(png, info);
  for (int y = 0; y < rows.height; ++y) {
    ToRgba(rows.Row(y), rows.width, line.Get());
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
