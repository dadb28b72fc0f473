#include "graphics/GraphicsCheck.h"

#include <cstdio>
#include <cstdlib>

void GraphicsCheck(bool ok, const char* check, const char* detail) {
  if (ok) return;
  if (detail)
    std::fprintf(stderr, "editor check failed: %s (%s)\n", check, detail);
  else
    std::fprintf(stderr, "editor check failed: %s\n", check);
  std::abort();
}
