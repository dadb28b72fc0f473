#include "CommandLine.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include <algorithm>

namespace {

const struct {
  const char* option;
  const char* name;
} kShortOptions[] = {{"-o", "output"}, {"-q", "quiet"}};

// The long name a short option stands for, or null.
const char* longNameOf(const std::string& arg) {
  for (const auto& s : kShortOptions)
    if (arg == s.option) return s.name;
  return nullptr;
}

}  // namespace

bool forEachOption(int argc, const char* const* argv, int first, const OptionHandler& handle, bool& wantsHelp,
                   std::string& error, const std::vector<std::string>& flags) {
  wantsHelp = false;
  for (int i = first; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      wantsHelp = true;
      return true;
    }
    std::string name;
    std::string value;
    bool hasValue = false;
    const char* shortName = longNameOf(arg);
    if (shortName) {
      name = shortName;
    } else if (arg.compare(0, 2, "--") == 0 && arg.size() > 2) {
      name = arg.substr(2);
      const size_t eq = name.find('=');
      if (eq != std::string::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
        hasValue = true;
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option '" + arg + "'";
      return false;
    } else {
      if (!handle("", arg, error)) return false;
      continue;
    }
    const bool isFlag = std::find(flags.begin(), flags.end(), name) != flags.end();
    if (isFlag && hasValue) {
      error = "--" + name + " takes no value";
      return false;
    }
    if (!hasValue && !isFlag) {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    if (!handle(name, value, error)) return false;
  }
  return true;
}

bool parseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && *end == '\0' && std::isfinite(value);
}

bool parseInteger(const std::string& text, int lo, int hi, int& value) {
  double d;
  if (!parseNumber(text, d) || d != std::floor(d) || d < lo || d > hi) return false;
  value = static_cast<int>(d);
  return true;
}
