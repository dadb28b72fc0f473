// tonnik validate: the conformance run, phase by phase.

#include <cstdio>
#include <string>

#include "Commands.h"
#include "Instrument.h"
#include "host/Validator.h"

int runValidate(int argc, const char* const* argv) {
  if (argc > 2) {
    if (std::string(argv[2]) == "--help" || std::string(argv[2]) == "-h") {
      std::printf("Usage: tonnik validate\nRuns the conformance checks on the instrument through its entry.\n");
      return 0;
    }
    std::fprintf(stderr, "tonnik validate: unexpected argument '%s'\n", argv[2]);
    return kExitUsage;
  }
  std::printf("validating %s through its Audio Unit entry\n", InstrumentName());
  Validator validator(InstrumentEntry(), InstrumentDescription(), InstrumentPlaysAt);
  int passed = 0, total = 0;
  const bool allPassed = validator.RunAll([&](const ValidatorResult& result) {
    ++total;
    passed += result.passed ? 1 : 0;
    if (result.passed)
      std::printf("PASS  %s\n", result.phase.c_str());
    else
      std::printf("FAIL  %s: %s\n", result.phase.c_str(), result.reason.c_str());
    std::fflush(stdout);
  });
  std::printf("%d of %d phases passed\n", passed, total);
  return allPassed ? 0 : kExitFailure;
}
