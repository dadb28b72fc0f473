#include "platform/ScreenPNG.h"

#include "kit/KIT_String.h"
#include "pix/PIX_PNGWrite.h"

namespace {

void SetError(KIT_String* error, const char* what, const char* path) {
  if (!error) return;
  error->Set(what);
  error->Append(path);
}

// What a screen shows is opaque; libpng's filters and level keep shots small.
const PIX_PNGEncoding kScreenEncoding = {false, kPIX_PNGDefaultLevel, true};

}  // namespace

bool WriteBitmapPNG(PIX_IBitmap* bitmap, const char* path, KIT_String* error) {
  switch (PIX_WritePNG(bitmap, kScreenEncoding, path)) {
    case PIX_PNGWriteResult::kWritten:
      return true;
    case PIX_PNGWriteResult::kNoPixels:
      SetError(error, "nothing to write to ", path ? path : "(null)");
      return false;
    case PIX_PNGWriteResult::kNoMemory:
      SetError(error, "out of memory writing ", path);
      return false;
    case PIX_PNGWriteResult::kCannotCreate:
      if (path)
        SetError(error, "cannot create ", path);
      else
        SetError(error, "no file name given", "");
      return false;
    case PIX_PNGWriteResult::kFailed:
      break;
  }
  SetError(error, "failed writing ", path);
  return false;
}
