#include "InstalledResources.h"

#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "dcx/ResourceDir.h"
#include "kit/KIT_String.h"
#include "platform/PlatformPaths.h"

namespace {
// From the folder of the installed program to its images.
const char* const kInstalledImages = "/../share/tonnik/img";
}  // namespace

void UseInstalledResources() {
  const char* env = std::getenv("TONNIK_RESOURCE_DIR");
  if (env && *env) return;
  KIT_String program;
  ProgramFolder(&program);
  if (program.IsEmpty()) return;
  const std::string images = std::string(program.Get()) + kInstalledImages;
  struct stat st;
  if (stat(images.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) SetTonnikResourceDir(images.c_str());
}
