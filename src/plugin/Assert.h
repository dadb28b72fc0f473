#pragma once
// Internal consistency checks that stop the program, in every build type.
// A failure prints the checked expression and its source position to stderr
// and aborts. Any thread.

[[noreturn]] void AssertFailed(const char* expression, const char* file, int line);

#define TONNIK_ASSERT(expression) \
  ((expression) ? static_cast<void>(0) : AssertFailed(#expression, __FILE__, __LINE__))
