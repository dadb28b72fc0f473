#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Pattern.h"
#include "PatternPlayer.h"
#include "RenderOptions.h"
#include "VoiceRenderer.h"
#include "WavWriter.h"
#include "kick/Krummel.h"

namespace {

bool parse(std::vector<const char*> args, RenderOptions& o, std::string& error) {
  args.insert(args.begin(), {"tonnik", "render"});
  bool help = false;
  return parseRenderOptions(static_cast<int>(args.size()), args.data(), 2, o, help, error);
}

TEST(RenderOptions, EveryOptionReachesItsSetting) {
  RenderOptions o;
  std::string error;
  ASSERT_TRUE(parse({"-o", "x.wav", "--rate", "96000", "--note", "40", "--velocity=64", "--block", "128",
                     "--tone", "0.25", "--tune", "-12", "--fine", "100", "--decay", "1", "--accent", "0.75",
                     "--comp", "0.5", "--drive", "0.1", "--glide", "0.3", "--glide-mode", "down", "--dyn-decay",
                     "-1", "--dyn-comp", "0.2", "--dyn-drive", "0.3", "--dyn-tone", "0.4", "--dyn-level", "0.5",
                     "--drive-env", "on", "--long-decay", "yes", "--midi-tune=1"},
                    o, error))
      << error;
  EXPECT_EQ(o.outputPath, "x.wav");
  EXPECT_EQ(o.sampleRate, 96000);
  EXPECT_EQ(o.note, 40);
  EXPECT_EQ(o.velocity, 64);
  EXPECT_EQ(o.blockSize, 128);
  const double want[kNumParams] = {0.25, -12, 100, 1, 0.75, 1, 1, 0, 0, 0.5, 0.1, 0.3, 2, -1, 0.2, 0.3, 0.4, 0.5, 1};
  for (int i = 0; i < kNumParams; ++i) EXPECT_EQ(o.params[i], want[i]) << kParams[i].name;
}

TEST(RenderOptions, DefaultsAreTheInstrumentDefaults) {
  RenderOptions o;
  std::string error;
  ASSERT_TRUE(parse({}, o, error));
  EXPECT_EQ(o.outputPath, "out/demo.wav");
  EXPECT_EQ(o.sampleRate, 48000);
  for (int i = 0; i < kNumParams; ++i) EXPECT_EQ(o.params[i], kParams[i].defaultValue);
}

TEST(RenderOptions, BadValuesAreRejectedWithTheOptionNamed) {
  struct Case {
    std::vector<const char*> args;
    const char* mentions;
  };
  const Case cases[] = {
      {{"--tone", "1.5"}, "--tone"},       {{"--tone", "abc"}, "--tone"},       {{"--tone", "nan"}, "--tone"},
      {{"--tune", "0.5"}, "--tune"},       {{"--tune", "13"}, "--tune"},        {{"--fine", "-101"}, "--fine"},
      {{"--rate", "44000"}, "--rate"},     {{"--note", "128"}, "--note"},       {{"--velocity", "0"}, "--velocity"},
      {{"--block", "0"}, "--block"},       {{"--glide-mode", "sideways"}, "--glide-mode"},
      {{"--drive-env", "maybe"}, "--drive-env"}, {{"--dyn-level", "-1.01"}, "--dyn-level"},
      {{"--decay"}, "--decay"},            {{"-o"}, "-o"},                      {{"--output="}, "--output"},
      {{"--bogus", "1"}, "--bogus"},       {{"stray"}, "stray"},                {{"--tone", "1e999"}, "--tone"},
  };
  for (const Case& c : cases) {
    RenderOptions o;
    std::string error;
    EXPECT_FALSE(parse(c.args, o, error)) << c.mentions;
    EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
  }
}

TEST(RenderOptions, HelpStopsParsing) {
  RenderOptions o;
  bool help = false;
  std::string error;
  const char* args[] = {"tonnik", "render", "--tone", "0.2", "--help", "--bogus"};
  EXPECT_TRUE(parseRenderOptions(6, args, 2, o, help, error));
  EXPECT_TRUE(help);
}

TEST(DefaultPattern, VariedVelocitiesRetriggerAndLongDecay) {
  const Pattern p = defaultPattern(33, 100);
  std::vector<int> velocities;
  bool longDecay = false, retrigger = false;
  double previousHit = -1;
  for (const PatternEvent& e : p.events) {
    if (e.kind == PatternEvent::SetParam && e.param == kParamLongDecay && e.value == 1) longDecay = true;
    if (e.kind != PatternEvent::NoteOn) continue;
    EXPECT_GE(e.velocity, 1);
    EXPECT_LE(e.velocity, 127);
    velocities.push_back(e.velocity);
    if (previousHit >= 0 && e.seconds - previousHit < 0.3) retrigger = true;  // the ring lasts longer
    previousHit = e.seconds;
  }
  EXPECT_GE(velocities.size(), 5u);
  EXPECT_GT(*std::max_element(velocities.begin(), velocities.end()),
            *std::min_element(velocities.begin(), velocities.end()));
  EXPECT_TRUE(retrigger);
  EXPECT_TRUE(longDecay);
  EXPECT_GT(p.lengthSeconds(), p.events.back().seconds + 1);
}

StereoBuffer play(const Pattern& p, double rate, int block) {
  RenderOptions o;
  VoiceRenderer r;
  StereoBuffer out;
  const char* error = nullptr;
  EXPECT_TRUE(playPattern(p, r, rate, block, o.params, kNumParams, out, &error));
  return out;
}

// Hits land on their exact sample whatever the block size, and match a voice driven directly.
// (Parameter changes apply at the start of their block, as from a host.)
TEST(PatternPlayer, HitsOnTheirExactSampleAtAnyBlockSize) {
  Pattern p;
  p.events = {{0.0101, PatternEvent::NoteOn, 33, 90, 0, 0},
              {0.05, PatternEvent::NoteOn, 40, 127, 0, 0},
              {0.05, PatternEvent::SetParam, 0, 0, kParamDecay, 0.9}};
  p.tailSeconds = 0.2;
  const StereoBuffer reference = play(p, 48000, 1);
  for (int block : {7, 64, 512, 1000}) {  // the two hits in different blocks
    const StereoBuffer out = play(p, 48000, block);
    size_t same = 0;
    while (same < out.left.size() && out.left[same] == reference.left[same]) ++same;
    EXPECT_EQ(same, reference.left.size()) << block;
    EXPECT_EQ(out.right, out.left) << block;
  }
  Krummel k;
  k.setTone(0.5);
  k.setLevel(0.5);
  k.setDecay(0.5);
  k.setSampleRate(48000);
  k.glide.setSampleRate(48000);
  std::vector<double> direct(reference.left.size());
  for (size_t i = 0; i < direct.size(); ++i) {
    if (i == 485) {
      k.glide.setValue(33);
      k.setMidiVelocity(90 / 128.0);
      k.restart();
    }
    if (i == 2400) {
      k.setDecay(0.9);  // the change comes before the hit at the same time
      k.glide.setValue(40);
      k.setMidiVelocity(127 / 128.0);
      k.restart();
    }
    direct[i] = k.getSample();
  }
  size_t firstDifference = 0;
  while (firstDifference < direct.size() && direct[firstDifference] == reference.left[firstDifference]) ++firstDifference;
  EXPECT_EQ(firstDifference, direct.size());
  EXPECT_EQ(reference.left, direct);
}

TEST(PatternPlayer, RefusesRatesTheVoiceCannotPlay) {
  VoiceRenderer r;
  StereoBuffer out;
  RenderOptions o;
  const char* error = nullptr;
  EXPECT_FALSE(playPattern(defaultPattern(33, 100), r, 22050, 512, o.params, kNumParams, out, &error));
  ASSERT_NE(error, nullptr);
  EXPECT_TRUE(out.left.empty());
}

TEST(WavWriter, WritesTwentyFourBitStereoAndReportsBadPaths) {
  StereoBuffer audio;
  for (int i = 0; i < 1000; ++i) {
    audio.left.push_back(std::sin(i * 0.05) * 0.9);
    audio.right.push_back(i == 10 ? 1.5 : -0.25);  // 1.5 clips instead of wrapping
  }
  const std::string path = testing::TempDir() + "tonnik_writer_test.wav";
  std::string error;
  ASSERT_TRUE(writeWav24(path, audio, 48000, error)) << error;
  SF_INFO info = {};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(info.samplerate, 48000);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.frames, 1000);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
  std::vector<double> back(2000);
  ASSERT_EQ(sf_readf_double(f, back.data(), 1000), 1000);
  sf_close(f);
  std::remove(path.c_str());
  for (int i = 0; i < 1000; ++i) {
    EXPECT_NEAR(back[2 * i], audio.left[i], 1.0 / (1 << 23));
    EXPECT_NEAR(back[2 * i + 1], i == 10 ? 1.0 : -0.25, 1.0 / (1 << 23));
  }

  EXPECT_FALSE(writeWav24("/nonexistent-folder/x.wav", audio, 48000, error));
  EXPECT_NE(error.find("/nonexistent-folder/x.wav"), std::string::npos);
  StereoBuffer uneven = audio;
  uneven.right.pop_back();
  EXPECT_FALSE(writeWav24(path, uneven, 48000, error));
}

int runTonnik(const std::string& args) {
  const std::string command = "./tonnik " + args + " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(TonnikCommand, ExitCodes) {
  EXPECT_EQ(runTonnik("help"), 0);
  EXPECT_EQ(runTonnik(""), 2);
  EXPECT_EQ(runTonnik("frobnicate"), 2);
  EXPECT_EQ(runTonnik("render --tone 7"), 2);
  EXPECT_EQ(runTonnik("render --rate 88200"), 2);
  const std::string path = testing::TempDir() + "tonnik_command_test.wav";
  EXPECT_EQ(runTonnik("render --rate 44100 -o " + path), 0);
  EXPECT_EQ(std::remove(path.c_str()), 0);
}

}  // namespace
