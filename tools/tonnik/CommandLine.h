#pragma once
// Splitting a command's arguments into options, and reading numbers from
// them. Pure functions; any thread.

#include <functional>
#include <string>
#include <vector>

// Called for each option with its name (without dashes; "-o" is "output")
// and value, and for each positional argument with an empty name. Returns
// false with a message in error to stop.
typedef std::function<bool(const std::string& name, const std::string& value, std::string& error)> OptionHandler;

// Walks argv[first..argc-1]: "--name value", "--name=value", "-o value" and
// positional arguments; the names in flags ("no-dither", and "quiet" for -q)
// take no value and reach the handler with an empty one. "-h" or "--help" sets
// wantsHelp and stops (true). False with a message for an option without its
// value or the handler's failure.
bool forEachOption(int argc, const char* const* argv, int first, const OptionHandler& handle, bool& wantsHelp,
                   std::string& error, const std::vector<std::string>& flags = {});

// The whole text as a finite number.
bool parseNumber(const std::string& text, double& value);
// The whole text as a whole number in lo..hi.
bool parseInteger(const std::string& text, int lo, int hi, int& value);
