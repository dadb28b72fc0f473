// The factory: instances made concurrently are whole and distinct.

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tonnik/Tonnik.h"
#include "tonnik/TonnikEntry.h"

namespace {

TEST(TonnikMakePlug, MakesAnInstrumentWithItsBundleAndView) {
  IPluginAU* plug = MakePlug();
  ASSERT_NE(plug, nullptr);
  EXPECT_NE(dynamic_cast<Tonnik*>(plug), nullptr);
  EXPECT_STREQ(plug->GetBundleID(), "com.velmora.audiounit.tonnik");
  EXPECT_STREQ(plug->GetCocoaViewFactoryClassName(), "Tonnik_View");
  delete plug;
}

TEST(TonnikMakePlug, TwoThreadsAtOnce) {
  const int kRounds = 20;
  for (int round = 0; round < kRounds; ++round) {
    IPluginAU* made[2] = {nullptr, nullptr};
    std::thread a([&] { made[0] = MakePlug(); });
    std::thread b([&] { made[1] = MakePlug(); });
    a.join();
    b.join();
    ASSERT_NE(made[0], nullptr);
    ASSERT_NE(made[1], nullptr);
    ASSERT_NE(made[0], made[1]);
    for (IPluginAU* plug : made) {
      EXPECT_EQ(plug->NParams(), Tonnik::kNumParams);
      EXPECT_STREQ(plug->GetPresetName(0), "Init");
      delete plug;
    }
  }
}

}  // namespace
