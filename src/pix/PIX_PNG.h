#pragma once
// PNG images decoded into raster bitmaps (alpha, red, green, blue bytes,
// straight alpha; images without transparency get alpha 255).
//
// Every loader returns the bitmap or null. Without `dest` a new
// PIX_MemBitmap (rows aligned to 4 pixels) is made and the caller owns it;
// with `dest` that bitmap is resized to the image and returned, and may have
// been resized even when decoding then fails. A broken, truncated or
// non-PNG input, or one whose pixels would take more than 64 MiB, gives null
// and leaves nothing allocated. Nothing is printed: PIX_PNGFailureReason()
// tells why the last load on the calling thread gave null. Any thread, one
// bitmap per thread.

#include "pix/PIX_Bitmap.h"

PIX_IBitmap* PIX_LoadPNG(const char* filename, PIX_IBitmap* dest);
PIX_IBitmap* PIX_LoadPNGFromMemory(const void* data, int length, PIX_IBitmap* dest);
// Loads `name` from the resource folder (TonnikResourceDir()); names longer
// than 400 characters give null.
PIX_IBitmap* PIX_LoadPNGFromNamedResource(const char* name, PIX_IBitmap* dest);
// There are no module resources on this platform: always null.
PIX_IBitmap* PIX_LoadPNGFromResource(void* module, int resourceId, PIX_IBitmap* dest);

// One line on why the calling thread's last load gave null ("" after a load
// that succeeded or before any load). Valid until that thread's next load.
const char* PIX_PNGFailureReason();

// An image loader in the process-wide list of loaders. Loaders register
// themselves when the program is loaded and live until it is unloaded.
class PIX_ImageLoader {
public:
  PIX_ImageLoader();
  virtual ~PIX_ImageLoader() {}
  PIX_ImageLoader(const PIX_ImageLoader&) = delete;
  PIX_ImageLoader& operator=(const PIX_ImageLoader&) = delete;

  // Loads a file; with checkExtension, files of other types give null.
  virtual PIX_IBitmap* loadfunc(const char* filename, bool checkExtension, PIX_IBitmap* dest) = 0;
  // Pairs of description and pattern, each NUL-terminated, ending with an
  // empty string.
  virtual const char* get_extlist() = 0;

  PIX_ImageLoader* next;
};

// Head of the loader list (the most recently registered loader first).
extern PIX_ImageLoader* PIX_ImageLoader_list;

class PIX_PNGLoader : public PIX_ImageLoader {
public:
  // Accepts only names whose extension is ".png" in any letter case when asked to check.
  PIX_IBitmap* loadfunc(const char* filename, bool checkExtension, PIX_IBitmap* dest) override;
  const char* get_extlist() override;
};

extern PIX_PNGLoader PIX_pngldr;
