#include "pix/PIX_PNG.h"

#include <png.h>

#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "dcx/ResourceDir.h"
#include "pix/PIX_Raster.h"

namespace {

// Images whose pixels would take more than this are refused before anything is allocated.
const long long kMaxImageBytes = 64LL << 20;

// Room for a reason with libpng's own message appended.
const int kReasonBytes = 256;
// Why the thread's last load failed; each thread loads its own bitmaps.
thread_local char tFailureReason[kReasonBytes] = "";

// Returns false so that a failing step can answer with the reason it records.
bool Fail(const char* reason, const char* detail = nullptr) {
  if (detail)
    std::snprintf(tFailureReason, sizeof tFailureReason, "%s: %s", reason, detail);
  else
    std::snprintf(tFailureReason, sizeof tFailureReason, "%s", reason);
  return false;
}

// The loaders answer null with a recorded reason.
PIX_IBitmap* FailNull(const char* reason) {
  Fail(reason);
  return nullptr;
}

// Where the memory reader takes its next bytes.
struct MemoryCursor {
  const unsigned char* next;
  size_t left;
};

// What decoding has allocated so far, for the error path. Volatile because
// libpng errors return through longjmp.
struct DecodeState {
  PIX_IBitmap* volatile created;
  png_bytep* volatile rows;
};

void SilentError(png_structp png, png_const_charp message) {
  Fail("not a PNG image or a damaged one", message);
  png_longjmp(png, 1);
}

void SilentWarning(png_structp, png_const_charp) {}

// A read past the end of the data is an error: a truncated image must not
// decode as if padded with zeros.
void staticPngReadFunc(png_structp png, png_bytep out, png_size_t count) {
  MemoryCursor* cursor = static_cast<MemoryCursor*>(png_get_io_ptr(png));
  std::memset(out, 0, count);
  const size_t take = count < cursor->left ? count : cursor->left;
  std::memcpy(out, cursor->next, take);
  cursor->next += take;
  cursor->left -= take;
  if (take < count) png_error(png, "read past the end of the data");
}

// Requests the conversions that deliver every pixel as alpha, red, green, blue.
void RequestArgb(png_structp png, png_infop info) {
  png_uint_32 width, height;
  int depth, colorType, interlace;
  png_get_IHDR(png, info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(png);
    colorType |= PNG_COLOR_MASK_ALPHA;
  }
  if (depth == 16) png_set_strip_16(png);
  if (depth < 8) png_set_packing(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
  if (colorType & PNG_COLOR_MASK_ALPHA)
    png_set_swap_alpha(png);
  else
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
}

// Decodes after the read structures are set up; false on any failure, with
// whatever was allocated recorded in `state`.
bool Decode(png_structp png, png_infop info, PIX_IBitmap* dest, DecodeState* state, PIX_IBitmap** result) {
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (width == 0 || height == 0) return Fail("the image is empty");
  if (static_cast<long long>(width) * height * 4 > kMaxImageBytes) return Fail("the image is larger than 64 MiB");
  RequestArgb(png, info);
  if (png_get_rowbytes(png, info) != size_t(width) * 4) return Fail("the image's pixel format is not supported");

  PIX_IBitmap* bitmap = dest;
  if (!bitmap) {
    bitmap = new (std::nothrow) PIX_MemBitmap(int(width), int(height), 4);
    state->created = bitmap;
    if (!bitmap) return Fail("out of memory");
  } else {
    bitmap->resize(int(width), int(height));
  }
  PIX_Rows rows;
  if (!PIX_GetRows(bitmap, &rows) || rows.width != int(width) || rows.height != int(height))
    return Fail("no bitmap of the image's size could be had");

  png_bytep* table = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  state->rows = table;
  if (!table) return Fail("out of memory");
  for (png_uint_32 y = 0; y < height; ++y) table[y] = reinterpret_cast<png_bytep>(rows.Row(int(y)));
  png_read_image(png, table);
  *result = bitmap;
  return true;
}

// Creates the decoder, lets `attach` connect its input and decodes.
template <class Attach>
PIX_IBitmap* DecodeWith(Attach attach, PIX_IBitmap* dest) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
  if (!png) return FailNull("out of memory");
  // zlib's Adler-32 over the inflated rows costs an eighth of decoding the
  // editor's images; every chunk's CRC, still checked, already catches a
  // damaged byte in the compressed data.
  png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return FailNull("out of memory");
  }
  DecodeState state = {nullptr, nullptr};
  PIX_IBitmap* volatile result = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    result = nullptr;
  } else {
    attach(png);
    PIX_IBitmap* decoded = nullptr;
    if (Decode(png, info, dest, &state, &decoded)) result = decoded;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  std::free(state.rows);
  // Owned only now: a longjmp must not skip a destructor.
  std::unique_ptr<PIX_IBitmap> created(state.created);
  if (!result) return nullptr;
  created.release();
  tFailureReason[0] = '\0';
  return result;
}

}  // namespace

PIX_IBitmap* PIX_LoadPNG(const char* filename, PIX_IBitmap* dest) {
  if (!filename) return FailNull("no file name");
  FILE* file = std::fopen(filename, "rb");
  if (!file) return FailNull("the file could not be opened");
  PIX_IBitmap* bitmap = DecodeWith([file](png_structp png) { png_init_io(png, file); }, dest);
  std::fclose(file);
  return bitmap;
}

PIX_IBitmap* PIX_LoadPNGFromMemory(const void* data, int length, PIX_IBitmap* dest) {
  if (!data || length < 8) return FailNull("no data or too little for a PNG image");
  if (png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) return FailNull("not a PNG image");
  MemoryCursor cursor = {static_cast<const unsigned char*>(data), size_t(length)};
  return DecodeWith([&cursor](png_structp png) { png_set_read_fn(png, &cursor, staticPngReadFunc); }, dest);
}

PIX_IBitmap* PIX_LoadPNGFromNamedResource(const char* name, PIX_IBitmap* dest) {
  if (!name || std::strlen(name) > 400) return FailNull("no resource name or one over 400 characters");
  const char* dir = TonnikResourceDir();
  if (!dir || std::strlen(dir) > 1536) return FailNull("no resource folder or one over 1536 characters");
  char path[1536 + 1 + 400 + 1];
  std::snprintf(path, sizeof(path), "%s/%s", dir, name);
  return PIX_LoadPNG(path, dest);
}

PIX_IBitmap* PIX_LoadPNGFromResource(void* module, int resourceId, PIX_IBitmap* dest) {
  return FailNull("there are no module resources on this platform");
}

const char* PIX_PNGFailureReason() { return tFailureReason; }

PIX_ImageLoader* PIX_ImageLoader_list = nullptr;

PIX_ImageLoader::PIX_ImageLoader() : next(PIX_ImageLoader_list) { PIX_ImageLoader_list = this; }

PIX_IBitmap* PIX_PNGLoader::loadfunc(const char* filename, bool checkExtension, PIX_IBitmap* dest) {
  if (!filename) return FailNull("no file name");
  if (checkExtension) {
    const char* dot = std::strrchr(filename, '.');
    bool isPng = dot && !std::strchr(dot, '/') && !std::strchr(dot, '\\') && std::strlen(dot) == 4;
    const char upper[] = ".PNG";
    for (int i = 1; isPng && i < 4; ++i) isPng = std::toupper(static_cast<unsigned char>(dot[i])) == upper[i];
    if (!isPng) return FailNull("the file name does not end in .png");
  }
  return PIX_LoadPNG(filename, dest);
}

const char* PIX_PNGLoader::get_extlist() { return "PNG files (*.PNG)\0*.PNG\0"; }

PIX_PNGLoader PIX_pngldr;
