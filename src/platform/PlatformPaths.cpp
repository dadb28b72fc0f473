#include "platform/PlatformPaths.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "kit/KIT_String.h"

void ProgramFolder(KIT_String* path) {
  char exe[4096];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
  if (n <= 0) {
    path->Set("");
    return;
  }
  exe[n] = '\0';
  char* slash = std::strrchr(exe, '/');
  if (slash) *slash = '\0';
  path->Set(exe);
}

void DesktopFolder(KIT_String* path) {
  const char* home = std::getenv("HOME");
  path->Set(home ? home : "");
  if (home) path->Append("/Desktop");
}
