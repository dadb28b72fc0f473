#pragma once
// The commands of the tonnik program, one file each. The table in
// tonnik.cpp lists them; each takes the whole argv (argv[1] is its name) and
// answers the exit code: 0 done, 1 failed, 2 bad usage. Main thread.

struct Command {
  const char* name;
  const char* description;
  int (*run)(int argc, const char* const* argv);
};

const int kExitFailure = 1;
const int kExitUsage = 2;

int runHelp(int argc, const char* const* argv);
int runRender(int argc, const char* const* argv);
int runExportKit(int argc, const char* const* argv);
int runInfo(int argc, const char* const* argv);
int runSavePreset(int argc, const char* const* argv);
int runValidate(int argc, const char* const* argv);
int runEditor(int argc, const char* const* argv);
