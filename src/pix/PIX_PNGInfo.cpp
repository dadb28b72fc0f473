#include "pix/PIX_PNGInfo.h"

#include <cstdio>
#include <cstring>

namespace {
// The eight signature bytes every PNG file starts with.
constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Signature, chunk length (4), chunk type (4), width (4), height (4): the
// header chunk always comes first.
constexpr int kHeaderBytes = 24;
constexpr int kLengthAt = 8;
constexpr int kTypeAt = 12;
constexpr int kWidthAt = 16;
constexpr int kHeightAt = 20;
// The header chunk's data is always 13 bytes.
constexpr unsigned kHeaderChunkLength = 13;
// Largest dimension the format allows (2^31 - 1).
constexpr unsigned kMaxDimension = 0x7FFFFFFFu;

unsigned BigEndian32(const unsigned char* p) {
  return (unsigned(p[0]) << 24) | (unsigned(p[1]) << 16) | (unsigned(p[2]) << 8) | unsigned(p[3]);
}
}  // namespace

bool PIX_ReadPNGSize(const char* filename, int* w, int* h, const char** reason) {
  const char* why = nullptr;
  unsigned char header[kHeaderBytes];
  std::FILE* file = filename ? std::fopen(filename, "rb") : nullptr;
  if (!file) {
    why = "the file could not be opened";
  } else {
    const bool read = std::fread(header, 1, sizeof(header), file) == sizeof(header);
    std::fclose(file);
    if (!read)
      why = "too short for a PNG header";
    else if (std::memcmp(header, kSignature, sizeof(kSignature)) != 0)
      why = "not a PNG image";
    else if (BigEndian32(header + kLengthAt) != kHeaderChunkLength || std::memcmp(header + kTypeAt, "IHDR", 4) != 0)
      why = "a damaged PNG header";
  }
  const unsigned width = why ? 0 : BigEndian32(header + kWidthAt);
  const unsigned height = why ? 0 : BigEndian32(header + kHeightAt);
  if (!why && (width == 0 || height == 0 || width > kMaxDimension || height > kMaxDimension))
    why = "a width or height the format does not allow";
  if (why) {
    if (reason) *reason = why;
    return false;
  }
  *w = static_cast<int>(width);
  *h = static_cast<int>(height);
  return true;
}
