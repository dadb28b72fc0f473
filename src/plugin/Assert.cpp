#include "plugin/Assert.h"

#include <cstdio>
#include <cstdlib>

void AssertFailed(const char* expression, const char* file, int line) {
  std::fprintf(stderr, "Assertion failed: %s (%s:%d)\n", expression, file, line);
  std::fflush(stderr);
  std::abort();
}
