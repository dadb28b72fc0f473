#include "platform/ScreenPNG.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "kit/KIT_String.h"
#include "kit/KIT_TypedBuf.h"
#include "pix/PIX_Bitmap.h"

namespace {

void SetError(KIT_String* error, const char* what, const char* path) {
  if (!error) return;
  error->Set(what);
  error->Append(path);
}

// Row y of the bitmap as it appears on screen, whichever way it is stored.
const unsigned* BitmapRow(PIX_IBitmap* bitmap, int y) {
  const int row = bitmap->isFlipped() ? bitmap->getHeight() - 1 - y : y;
  return bitmap->getBits() + static_cast<long>(row) * bitmap->getRowSpan();
}

// Fills rgb with the row's red, green and blue bytes.
void RowToRGB(const unsigned* src, int width, unsigned char* rgb) {
  for (int x = 0; x < width; ++x) {
    const unsigned p = src[x];
    rgb[3 * x] = static_cast<unsigned char>(p >> 8);
    rgb[3 * x + 1] = static_cast<unsigned char>(p >> 16);
    rgb[3 * x + 2] = static_cast<unsigned char>(p >> 24);
  }
}

// libpng reports errors by longjmp; nothing with a destructor lives between
// setjmp and the calls that may jump.
bool WriteRows(FILE* file, PIX_IBitmap* bitmap, unsigned char* rgb) {
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
  const int w = bitmap->getWidth();
  const int h = bitmap->getHeight();
  png_init_io(png, file);
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) {
    RowToRGB(BitmapRow(bitmap, y), w, rgb);
    png_write_row(png, rgb);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WriteBitmapPNG(PIX_IBitmap* bitmap, const char* path, KIT_String* error) {
  if (!bitmap || !bitmap->getBits() || bitmap->getWidth() <= 0 || bitmap->getHeight() <= 0) {
    SetError(error, "nothing to write to ", path ? path : "(null)");
    return false;
  }
  if (!path) {
    SetError(error, "no file name given", "");
    return false;
  }
  KIT_TypedBuf<unsigned char> rgb;
  if (!rgb.Resize(3 * bitmap->getWidth())) {
    SetError(error, "out of memory writing ", path);
    return false;
  }
  FILE* file = std::fopen(path, "wb");
  if (!file) {
    SetError(error, "cannot create ", path);
    return false;
  }
  const bool written = WriteRows(file, bitmap, rgb.Get());
  const bool closed = std::fclose(file) == 0;
  if (written && closed) return true;
  std::remove(path);
  SetError(error, "failed writing ", path);
  return false;
}
