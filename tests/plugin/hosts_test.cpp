#include <gtest/gtest.h>

#include "TestPlug.h"
#include "plugin/Hosts.h"

TEST(Hosts, LookUpByKeyInOrder) {
  const struct {
    const char* name;
    EHost host;
  } cases[] = {
      {"com.apple.logic10", kHostLogic},
      {"com.apple.LOGIC.pro", kHostLogic},
      {"com.ableton.live", kHostAbletonLive},
      {"live logic digital standalone", kHostAbletonLive},
      {"Steinberg Nuendo Cubase", kHostCubase},
      {"com.cockos.reaper", kHostReaper},
      {"com.motu.DigitalPerformer", kHostDigitalPerformer},
      {"com.presonus.studioone", kHostStudioOne},
      {"Celemony Melodyne", kHostMelodyneStudio},
      {"org.ardour", kHostArdour},
      {"com.avid.ProTools", kHostProTools},
      {"my standalone app", kHostStandalone},
      {"com.apple.garageband", kHostGarageBand},
      {"Cakewalk SONAR", kHostSonar},
      {"", kHostUnknown},
      {"something else", kHostUnknown},
      {nullptr, kHostUnknown},
  };
  for (const auto& c : cases) EXPECT_EQ(LookUpHost(c.name), c.host) << (c.name ? c.name : "null");
}

TEST(Hosts, DisplayNames) {
  const struct {
    int host;
    const char* name;
  } cases[] = {{0, "Unknown"},     {1, "Reaper"},      {9, "Live"},       {10, "Unknown"},
               {12, "Unknown"},    {13, "VSTScanner"}, {19, "Unknown"},   {21, "Logic"},
               {27, "VST3PluginTestHost"}, {28, "Ardour"}, {29, "Unknown"}, {-1, "Unknown"}};
  for (const auto& c : cases) {
    char out[32];
    GetHostNameStr(static_cast<EHost>(c.host), out);
    EXPECT_STREQ(out, c.name) << c.host;
  }
}

TEST(Hosts, PluginRecordsHostAndVersion) {
  TestPlug plug;
  EXPECT_EQ(plug.GetHost(), kHostUninit);
  plug.SetHost("com.apple.logic10", (2 << 16) | (1 << 8) | 3);
  EXPECT_EQ(plug.GetHost(), kHostLogic);
  EXPECT_EQ(plug.GetHostVersion(true), 20103);
  EXPECT_EQ(plug.GetHostVersion(false), 0x00020103);
  char str[32];
  plug.GetHostVersionStr(str);
  EXPECT_STREQ(str, "v2.1.3");
  plug.SetHost("", 0);
  EXPECT_EQ(plug.GetHost(), kHostUnknown);
}
