// tonnik-standalone's command line and the place of its state.

#include <gtest/gtest.h>

#include <cstdlib>

#include "StandaloneOptions.h"

namespace {

bool Parse(std::initializer_list<const char*> args, StandaloneOptions* options, std::string* error) {
  std::vector<const char*> argv = {"tonnik-standalone"};
  argv.insert(argv.end(), args.begin(), args.end());
  return ParseStandaloneOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(StandaloneOptions, StateGoesUnderTheConfigFolder) {
  setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
  EXPECT_EQ(DefaultStatePath(), "/tmp/cfg/tonnik/state.aupreset");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", "/home/drummer", 1);
  EXPECT_EQ(DefaultStatePath(), "/home/drummer/.config/tonnik/state.aupreset");
  unsetenv("HOME");
  EXPECT_EQ(DefaultStatePath(), "");
  StandaloneOptions options;
  std::string error;
  EXPECT_FALSE(Parse({}, &options, &error));
  EXPECT_NE(error.find("--state"), std::string::npos);
}

TEST(StandaloneOptions, EveryOptionAndTheBadOnes) {
  StandaloneOptions options;
  std::string error;
  EXPECT_EQ(options.scale, 0.0);  // the desktop's, unless given
  ASSERT_TRUE(Parse({"--state", "/tmp/s.aupreset", "--connect", "--name", "kick", "--no-audio", "--scale", "1.5"},
                    &options, &error));
  EXPECT_EQ(options.scale, 1.5);
  EXPECT_EQ(options.statePath, "/tmp/s.aupreset");
  EXPECT_TRUE(options.connect);
  EXPECT_TRUE(options.noAudio);
  EXPECT_EQ(options.clientName, "kick");
  StandaloneOptions other;
  EXPECT_FALSE(Parse({"--state"}, &other, &error));
  EXPECT_EQ(error, "missing value after --state");
  EXPECT_FALSE(Parse({"--name", ""}, &other, &error));
  EXPECT_FALSE(Parse({"--loud"}, &other, &error));
  EXPECT_EQ(error, "unknown option --loud");
  for (const char* bad : {"0.9", "2.5", "two", "1.5x", ""}) {
    EXPECT_FALSE(Parse({"--scale", bad}, &other, &error)) << bad;
    EXPECT_EQ(error, "--scale wants a number from 1 to 2");
  }
  EXPECT_FALSE(Parse({"--scale"}, &other, &error));
}

TEST(StandaloneOptions, TheTitleNamesAStateFileOtherThanTheDefault) {
  setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
  EXPECT_EQ(WindowTitle(DefaultStatePath()), "TONNIK-PRO");
  EXPECT_EQ(WindowTitle("/home/drummer/kits/deep kick.aupreset"), "TONNIK-PRO - deep kick.aupreset");
  EXPECT_EQ(WindowTitle("here.aupreset"), "TONNIK-PRO - here.aupreset");
  unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
