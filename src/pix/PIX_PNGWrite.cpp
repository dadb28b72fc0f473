#include "pix/PIX_PNGWrite.h"

#include <png.h>

#include <climits>
#include <cstddef>
#include <csetjmp>
#include <cstdio>

#include "pix/PIX_Pixel.h"
#include "pix/PIX_Raster.h"

namespace {

int BytesPerPixel(bool alpha) { return alpha ? 4 : 3; }

// One row from the library's pixels into PNG's R, G, B(, A) byte order.
void ToPNGOrder(const unsigned* row, int width, bool alpha, unsigned char* out) {
  for (int x = 0; x < width; ++x) {
    const unsigned p = row[x];
    *out++ = static_cast<unsigned char>(PIX_Red(p));
    *out++ = static_cast<unsigned char>(PIX_Green(p));
    *out++ = static_cast<unsigned char>(PIX_Blue(p));
    if (alpha) *out++ = static_cast<unsigned char>(PIX_Alpha(p));
  }
}

// libpng reports errors by longjmp; nothing with a destructor lives between
// setjmp and the calls that may jump.
bool Encode(FILE* file, const unsigned char* bytes, int width, int height, const PIX_PNGEncoding& encoding) {
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
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
               encoding.alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!encoding.filterRows) png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  if (encoding.level != kPIX_PNGDefaultLevel) png_set_compression_level(png, encoding.level);
  png_write_info(png, info);
  const std::size_t rowBytes = std::size_t(width) * std::size_t(BytesPerPixel(encoding.alpha));
  for (int y = 0; y < height; ++y) png_write_row(png, bytes + std::size_t(y) * rowBytes);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool PIX_ToPNGBytes(PIX_IBitmap* bitmap, bool alpha, KIT_TypedBuf<unsigned char>* bytes) {
  PIX_Rows rows;
  if (!PIX_GetRows(bitmap, &rows)) return false;
  const std::size_t rowBytes = std::size_t(rows.width) * std::size_t(BytesPerPixel(alpha));
  const std::size_t size = rowBytes * std::size_t(rows.height);
  if (size > std::size_t(INT_MAX) || !bytes->Resize(int(size))) return false;
  for (int y = 0; y < rows.height; ++y) ToPNGOrder(rows.Row(y), rows.width, alpha, bytes->Get() + y * rowBytes);
  return true;
}

PIX_PNGWriteResult PIX_WritePNGBytes(const unsigned char* bytes, int width, int height,
                                     const PIX_PNGEncoding& encoding, const char* path) {
  if (!bytes || width <= 0 || height <= 0) return PIX_PNGWriteResult::kNoPixels;
  if (!path) return PIX_PNGWriteResult::kCannotCreate;
  FILE* file = std::fopen(path, "wb");
  if (!file) return PIX_PNGWriteResult::kCannotCreate;
  const bool written = Encode(file, bytes, width, height, encoding);
  const bool closed = std::fclose(file) == 0;
  if (written && closed) return PIX_PNGWriteResult::kWritten;
  std::remove(path);
  return PIX_PNGWriteResult::kFailed;
}

PIX_PNGWriteResult PIX_WritePNG(PIX_IBitmap* bitmap, const PIX_PNGEncoding& encoding, const char* path) {
  PIX_Rows rows;
  if (!PIX_GetRows(bitmap, &rows)) return PIX_PNGWriteResult::kNoPixels;
  KIT_TypedBuf<unsigned char> bytes;
  if (!PIX_ToPNGBytes(bitmap, encoding.alpha, &bytes)) return PIX_PNGWriteResult::kNoMemory;
  return PIX_WritePNGBytes(bytes.Get(), rows.width, rows.height, encoding, path);
}
