#pragma once
// For GoogleTest programs that run against a real X server: one private
// Xvfb for the whole program (registered in main with
// AddGlobalTestEnvironment), and xdotool run as a user would, bounded in time.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/XvfbServer.h"

class XvfbEnvironment : public ::testing::Environment {
public:
  void SetUp() override { ASSERT_TRUE(mServer.Start()) << "Xvfb did not start"; }
  void TearDown() override { mServer.Stop(); }

private:
  XvfbServer mServer;
};

inline void Xdotool(const std::string& args) {
  const std::string command = "timeout 5 xdotool " + args + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}
