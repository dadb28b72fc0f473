// The conformance run on the instrument, phase by phase; the render phase
// over a table of rate x block x channels.

#include <gtest/gtest.h>

#include "au/apple/FourCC.h"
#include "host/Validator.h"
#include "kick/Krummel.h"
#include "tonnik/TonnikEntry.h"

namespace {

const ComponentDescription kInstrument = {kAudioUnitType_MusicDevice, MakeFourCC("Tnk4"), MakeFourCC("-VL-"), 0, 0};

Validator MakeValidator() { return Validator(Tonnik_Entry, kInstrument, Krummel::isSupportedRate); }

TEST(Conformance, OpenAndClose) {
  std::string reason;
  EXPECT_TRUE(MakeValidator().CheckOpenClose(&reason)) << reason;
}

TEST(Conformance, InstrumentShape) {
  std::string reason;
  EXPECT_TRUE(MakeValidator().CheckShape(&reason)) << reason;
}

TEST(Conformance, EveryAdvertisedPropertyAtItsSize) {
  std::string reason;
  EXPECT_TRUE(MakeValidator().CheckProperties(&reason)) << reason;
}

TEST(Conformance, Parameters) {
  std::string reason;
  EXPECT_TRUE(MakeValidator().CheckParameters(&reason)) << reason;
}

TEST(Conformance, ParameterChangesInRender) {
  std::string reason;
  EXPECT_TRUE(MakeValidator().CheckParameterChangesInRender(&reason)) << reason;
}

class ConformanceRender : public testing::TestWithParam<ValidatorRenderCase> {};

TEST_P(ConformanceRender, WrittenFiniteTimedAndSilentWhereItMustBe) {
  std::string reason;
  EXPECT_TRUE(MakeValidator().CheckRender(GetParam(), &reason)) << reason;
}

// The full run's cases, and more of rate x block x channels.
std::vector<ValidatorRenderCase> RenderTable() {
  std::vector<ValidatorRenderCase> cases = Validator::RenderCases();
  for (double rate : {11025.0, 44100.0, 48000.0, 88200.0, 96000.0})
    for (UInt32 frames : {1u, 10u, 11u, 333u, 1024u})
      for (int channels : {1, 2}) cases.push_back(ValidatorRenderCase{rate, frames, frames, channels});
  cases.push_back(ValidatorRenderCase{48000, 4096, 100, 2});
  return cases;
}

std::string CaseName(const testing::TestParamInfo<ValidatorRenderCase>& info) {
  const ValidatorRenderCase& c = info.param;
  return std::to_string((int)c.sampleRate) + "Hz_" + std::to_string(c.frames) + "of" + std::to_string(c.maxFrames) +
         "_" + std::to_string(c.nChannels) + "ch_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(RateBlockChannels, ConformanceRender, testing::ValuesIn(RenderTable()), CaseName);

TEST(Conformance, SlicedRendersEqualWholeOnes) {
  std::string reason;
  for (double rate : {44100.0, 48000.0, 96000.0}) EXPECT_TRUE(MakeValidator().CheckSlicing(rate, &reason)) << rate << ": " << reason;
}

TEST(Conformance, TooManyFramesRefused) {
  std::string reason;
  EXPECT_TRUE(MakeValidator().CheckTooManyFrames(&reason)) << reason;
}

TEST(Conformance, ResetThenTheSameInputGivesTheSameOutput) {
  std::string reason;
  EXPECT_TRUE(MakeValidator().CheckReset(&reason)) << reason;
}

TEST(Conformance, SavedStateRoundTrip) {
  std::string reason;
  EXPECT_TRUE(MakeValidator().CheckState(&reason)) << reason;
}

TEST(Conformance, FactoryPresets) {
  std::string reason;
  EXPECT_TRUE(MakeValidator().CheckFactoryPresets(&reason)) << reason;
}

TEST(Conformance, FullRunReportsEveryPhase) {
  std::vector<ValidatorResult> results;
  MakeValidator().RunAll([&](const ValidatorResult& r) { results.push_back(r); });
  EXPECT_EQ(5 + Validator::RenderCases().size() + 5, results.size());
  for (const ValidatorResult& r : results) EXPECT_EQ(r.passed, r.reason.empty()) << r.phase;
}

}  // namespace
