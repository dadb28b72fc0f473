// Port symbols from parameter names: what hosts save sessions under, so
// they must be valid LV2 symbols and stay the same for the same name.

#include <gtest/gtest.h>

#include "lv2/LV2PortSymbol.h"

TEST(LV2PortSymbol, NamesBecomeValidSymbols) {
  const char* const cases[][2] = {
      {"MIDI Tune", "midi_tune"}, {"DynDecay", "dyndecay"},  {"Glide Mode", "glide_mode"},
      {"Up/Down  x", "up_down_x"}, {"3 Band", "_3_band"},     {"", "_"},
      {" lead", "_lead"},          {"trail -", "trail_"},      {"Gain (dB)", "gain_db_"},
  };
  for (const auto& c : cases) {
    char symbol[32];
    ASSERT_TRUE(LV2PortSymbol(c[0], symbol, sizeof symbol)) << c[0];
    EXPECT_STREQ(symbol, c[1]) << c[0];
  }
}

TEST(LV2PortSymbol, TooSmallABufferIsRefused) {
  char symbol[5];
  EXPECT_FALSE(LV2PortSymbol("Long Decay", symbol, sizeof symbol));
  EXPECT_TRUE(LV2PortSymbol("Tone", symbol, sizeof symbol));
  EXPECT_STREQ(symbol, "tone");
  EXPECT_FALSE(LV2PortSymbol("Tone", nullptr, 8));
}
