#include "platform/ResourceImages.h"

#include <strings.h>
#include <sys/stat.h>

#include <cstring>

#include "dcx/ResourceDir.h"
#include "kit/KIT_String.h"
#include "pix/PIX_PNG.h"

bool ResourceImageBaseName(const char* name, KIT_String* base) {
  if (!name) return false;
  const char* dot = std::strrchr(name, '.');
  if (!dot || strcasecmp(dot + 1, "png") != 0) return false;
  const char* slash = std::strrchr(name, '/');
  const char* first = slash ? slash + 1 : name;
  if (first >= dot) return false;
  base->Set(first, static_cast<int>(dot - first));
  return true;
}

bool ResourceImagePath(const char* name, const char* folder, KIT_String* path) {
  KIT_String base;
  if (!folder || !ResourceImageBaseName(name, &base)) return false;
  path->Set(folder);
  path->Append("/");
  path->Append(base.Get());
  path->Append(".png");
  return true;
}

namespace {
bool IsFile(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}
}  // namespace

bool ResourceImageFile(const char* name, KIT_String* path) {
  KIT_String file;
  if (!ResourceImagePath(name, TonnikResourceDir(), &file) || !IsFile(file.Get())) return false;
  path->Set(file.Get());
  return true;
}

PIX_IBitmap* LoadImgFromResource(const char* name, KIT_String* error) {
  const char* folder = TonnikResourceDir();
  KIT_String path;
  if (!ResourceImagePath(name, folder, &path)) {
    if (error) {
      error->Set("not a PNG resource name: ");
      error->Append(name ? name : "(null)");
    }
    return nullptr;
  }
  if (!IsFile(path.Get())) {
    if (error) {
      error->Set("image ");
      error->Append(name);
      error->Append(" not found: no file ");
      error->Append(path.Get());
      error->Append(" in the resource folder ");
      error->Append(folder);
    }
    return nullptr;
  }
  PIX_IBitmap* bitmap = PIX_LoadPNG(path.Get(), nullptr);
  if (!bitmap && error) {
    error->Set("image ");
    error->Append(path.Get());
    error->Append(" is not a readable PNG: ");
    error->Append(PIX_PNGFailureReason());
  }
  return bitmap;
}
