#pragma once
// Writes small PNG images into memory with libpng, so the loader tests make
// their own inputs of every colour type.

#include <png.h>

#include <cstring>
#include <vector>

namespace pngtest {

struct Image {
  int width;
  int height;
  int colorType;               // PNG_COLOR_TYPE_*
  int depth;                   // bits per sample
  std::vector<unsigned char> rows;  // packed rows, as PNG stores them
  std::vector<png_color> palette;
  std::vector<unsigned char> transparency;  // palette alpha
  bool interlaced = false;
};

inline void AppendBytes(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}

inline void Flush(png_structp) {}

inline std::vector<unsigned char> Encode(const Image& img) {
  std::vector<unsigned char> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, AppendBytes, Flush);
  png_set_IHDR(png, info, png_uint_32(img.width), png_uint_32(img.height), img.depth, img.colorType,
               img.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!img.palette.empty()) png_set_PLTE(png, info, img.palette.data(), int(img.palette.size()));
  if (!img.transparency.empty())
    png_set_tRNS(png, info, img.transparency.data(), int(img.transparency.size()), nullptr);
  png_write_info(png, info);
  const size_t stride = img.rows.size() / size_t(img.height);
  std::vector<png_bytep> rows;
  for (int y = 0; y < img.height; ++y) rows.push_back(const_cast<png_bytep>(img.rows.data() + y * stride));
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace pngtest
