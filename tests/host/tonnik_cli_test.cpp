#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "HostRenderer.h"
#include "Instrument.h"
#include "InstrumentOptions.h"
#include "Pattern.h"
#include "PatternPlayer.h"
#include "RenderOptions.h"
#include "VoiceRenderer.h"
#include "kick/Krummel.h"
#include "tonnik/TonnikParams.h"

namespace {

using Param = TonnikParamIndices;

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
                     "--level", "0.7", "--comp", "0.5", "--drive", "0.1", "--glide", "0.3", "--glide-mode", "down",
                     "--dyn-decay", "-1", "--dyn-comp", "0.2", "--dyn-drive", "0.3", "--dyn-tone", "0.4",
                     "--dyn-level", "0.5", "--drive-env", "on", "--long-decay", "yes", "--midi-tune=1",
                     "--set", "MIDI Learn=off", "--preset", "kick.aupreset"},
                    o, error))
      << error;
  EXPECT_EQ(o.outputPath, "x.wav");
  EXPECT_EQ(o.sampleRate, 96000);
  EXPECT_EQ(o.note, 40);
  EXPECT_EQ(o.velocity, 64);
  EXPECT_EQ(o.blockSize, 128);
  EXPECT_EQ(o.instrument.presetPath, "kick.aupreset");
  const struct {
    const char* option;
    const char* name;
    const char* value;
  } want[] = {{"--tone", "Tone", "0.25"},           {"--tune", "Tune", "-12"},
              {"--fine", "Fine", "100"},            {"--decay", "Decay", "1"},
              {"--accent", "Accent", "0.75"},       {"--level", "Accent", "0.7"},
              {"--comp", "Comp", "0.5"},            {"--drive", "Drive", "0.1"},
              {"--glide", "Glide", "0.3"},          {"--glide-mode", "Glide Mode", "down"},
              {"--dyn-decay", "DynDecay", "-1"},    {"--dyn-comp", "DynComp", "0.2"},
              {"--dyn-drive", "DynDrive", "0.3"},   {"--dyn-tone", "DynTone", "0.4"},
              {"--dyn-level", "DynLevel", "0.5"},   {"--drive-env", "DriveEnv", "on"},
              {"--long-decay", "Long Decay", "yes"}, {"--midi-tune", "MIDI Tune", "1"},
              {"--set MIDI Learn", "MIDI Learn", "off"}};
  ASSERT_EQ(o.instrument.settings.size(), sizeof want / sizeof want[0]);
  for (size_t i = 0; i < o.instrument.settings.size(); ++i) {
    EXPECT_EQ(o.instrument.settings[i].option, want[i].option);
    EXPECT_EQ(o.instrument.settings[i].name, want[i].name);
    EXPECT_EQ(o.instrument.settings[i].value, want[i].value);
  }
}

TEST(RenderOptions, Defaults) {
  RenderOptions o;
  std::string error;
  ASSERT_TRUE(parse({}, o, error));
  EXPECT_EQ(o.outputPath, "out/demo.wav");
  EXPECT_EQ(o.sampleRate, 48000);
  EXPECT_EQ(o.blockSize, 512);
  EXPECT_TRUE(o.instrument.settings.empty());
  EXPECT_TRUE(o.instrument.presetPath.empty());
}

TEST(RenderOptions, MalformedOptionsAreRejectedWithTheOptionNamed) {
  struct Case {
    std::vector<const char*> args;
    const char* mentions;
  };
  const Case cases[] = {
      {{"--rate", "44000"}, "--rate"},     {{"--note", "128"}, "--note"},       {{"--velocity", "0"}, "--velocity"},
      {{"--block", "0"}, "--block"},       {{"--block", "9000"}, "--block"},    {{"--decay"}, "--decay"},
      {{"-o"}, "-o"},                      {{"--output="}, "--output"},         {{"--bogus", "1"}, "--bogus"},
      {{"stray"}, "stray"},                {{"--set", "Decay"}, "--set"},       {{"--set", "=1"}, "--set"},
      {{"--preset="}, "--preset"},         {{"-x"}, "-x"},
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

// Settings reach the instrument's parameters by name, through its host.
TEST(InstrumentOptions, SettingsSetTheNamedParametersAndBadOnesAreNamed) {
  AUHost host(InstrumentEntry(), InstrumentDescription());
  ASSERT_EQ(noErr, host.Open());
  const struct {
    const char* name;
    const char* value;
    AudioUnitParameterID id;
    float expected;
  } good[] = {{"Tone", "0.25", Param::kTone, 0.25f},          {"tune", "-12", Param::kTune, -12},
              {"FINE", "100", Param::kFine, 100},             {"Glide Mode", "down", Param::kGlideMode, 2},
              {"glide-mode", "Up/Down", Param::kGlideMode, 0}, {"MIDI Tune", "on", Param::kMidiTune, 1},
              {"Long Decay", "yes", Param::kLongDecay, 1},    {"DriveEnv", "1", Param::kDriveEnv, 1},
              {"DynLevel", "-0.5", Param::kDynLevel, -0.5f},  {"Glide", "0.3", Param::kGlide, 0.3f}};
  for (const auto& g : good) {
    InstrumentOptions options;
    options.settings.push_back({std::string("--set ") + g.name, g.name, g.value});
    bool usage = false;
    std::string error;
    ASSERT_TRUE(applyInstrumentOptions(&host, options, usage, error)) << g.name << ": " << error;
    float value = NAN;
    ASSERT_EQ(noErr, host.GetParameter(g.id, &value));
    EXPECT_FLOAT_EQ(g.expected, value) << g.name;
  }

  const struct {
    const char* name;
    const char* value;
  } bad[] = {{"Tone", "1.5"},   {"Tone", "abc"},        {"Tone", "nan"},  {"Tune", "0.5"},   {"Tune", "13"},
             {"Fine", "-101"},  {"Glide Mode", "sideways"}, {"DriveEnv", "maybe"}, {"DynLevel", "-1.01"},
             {"Tone", "1e999"}, {"Nope", "1"},          {"MIDI Tune", "2"}};
  for (const auto& b : bad) {
    float before = NAN, after = NAN;
    InstrumentOptions options;
    options.settings.push_back({std::string("--opt-") + b.name, b.name, b.value});
    bool usage = false;
    std::string error;
    host.GetParameter(Param::kTone, &before);
    EXPECT_FALSE(applyInstrumentOptions(&host, options, usage, error)) << b.name << "=" << b.value;
    EXPECT_TRUE(usage) << b.name;
    EXPECT_NE(error.find(std::string("--opt-") + b.name), std::string::npos) << error;
    host.GetParameter(Param::kTone, &after);
    EXPECT_EQ(before, after);
  }
}

TEST(DefaultPattern, VariedVelocitiesRetriggerAndLongDecay) {
  const Pattern p = defaultPattern(33, 100);
  std::vector<int> velocities;
  bool longDecay = false, retrigger = false;
  double previousHit = -1;
  for (const PatternEvent& e : p.events) {
    if (e.kind == PatternEvent::SetParam && e.param == Param::kLongDecay && e.value == 1) longDecay = true;
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
  VoiceRenderer r;
  StereoBuffer out;
  const char* error = nullptr;
  EXPECT_TRUE(playPattern(p, r, rate, block, out, &error));
  return out;
}

StereoBuffer playThroughHost(const Pattern& p, double rate, int block) {
  AUHost host(InstrumentEntry(), InstrumentDescription());
  EXPECT_EQ(noErr, host.Open());
  HostRenderer r(&host);
  StereoBuffer out;
  const char* error = nullptr;
  EXPECT_TRUE(playPattern(p, r, rate, block, out, &error));
  EXPECT_EQ(noErr, r.firstError());
  return out;
}

// Hits land on their exact sample whatever the block size, and match a voice driven directly.
// (Parameter changes apply at the start of their block, as from a host.)
TEST(PatternPlayer, HitsOnTheirExactSampleAtAnyBlockSize) {
  Pattern p;
  p.events = {{0.0101, PatternEvent::NoteOn, 33, 90, 0, 0},
              {0.05, PatternEvent::NoteOn, 40, 127, 0, 0},
              {0.05, PatternEvent::SetParam, 0, 0, Param::kDecay, 0.9}};
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
  const char* error = nullptr;
  EXPECT_FALSE(playPattern(defaultPattern(33, 100), r, 7999, 512, out, &error));
  ASSERT_NE(error, nullptr);
  EXPECT_TRUE(out.left.empty());
}

// The instrument loaded through its entry and played as MIDI renders what
// the bare voice renders, at every rate and whatever the host's block size.
TEST(HostRenderer, InstrumentThroughItsEntryMatchesTheBareVoice) {
  Pattern p = defaultPattern(33, 100);
  p.tailSeconds = 0.5;
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    const StereoBuffer reference = play(p, rate, 64);
    for (int block : {1000, 512, 37}) {
      const StereoBuffer out = playThroughHost(p, rate, block);
      ASSERT_EQ(reference.left.size(), out.left.size());
      size_t differ = 0;
      double worst = 0;
      for (size_t i = 0; i < out.left.size(); ++i) {
        const double d = std::fabs(out.left[i] - reference.left[i]);
        worst = std::max(worst, d);
        if (d > 1e-6) ++differ;
      }
      EXPECT_EQ(0u, differ) << rate << " Hz, block " << block << ", worst " << worst;
      EXPECT_EQ(out.left, out.right);
    }
  }
}

int runTonnik(const std::string& args) {
  const std::string command = "./tonnik " + args + " >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string readFile(const std::string& path) {
  std::string text;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fclose(f);
  return text;
}

void writeFile(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f);
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

TEST(TonnikCommand, ExitCodes) {
  EXPECT_EQ(runTonnik("help"), 0);
  for (const char* option : {"--help", "-h", "--version"}) EXPECT_EQ(runTonnik(option), 0) << option;
  EXPECT_EQ(runTonnik("--helpme"), 2);
  EXPECT_EQ(runTonnik(""), 2);
  EXPECT_EQ(runTonnik("frobnicate"), 2);
  EXPECT_EQ(runTonnik("render --tone 7"), 2);
  EXPECT_EQ(runTonnik("render --set Nope=1"), 2);
  EXPECT_EQ(runTonnik("render --rate 88200"), 2);
  EXPECT_EQ(runTonnik("info"), 0);
  EXPECT_EQ(runTonnik("info extra"), 2);
  EXPECT_EQ(runTonnik("save-preset"), 2);
  const std::string path = testing::TempDir() + "tonnik_command_test.wav";
  EXPECT_EQ(runTonnik("render --rate 44100 --block 100 -o " + path), 0);
  EXPECT_EQ(std::remove(path.c_str()), 0);
}

// What a Unix tool prints for its help and version options, on stdout alone.
TEST(TonnikCommand, HelpAndVersionOptionsPrintOnStandardOutput) {
  const auto stdoutOf = [](const std::string& args) {
    std::string text;
    FILE* p = popen(("./tonnik " + args + " 2>/dev/null").c_str(), "r");
    char buffer[4096];
    for (size_t n; p && (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) text.append(buffer, n);
    if (p) pclose(p);
    return text;
  };
  for (const char* option : {"--help", "-h"}) {
    const std::string usage = stdoutOf(option);
    EXPECT_EQ(usage.rfind("Usage: tonnik <command>", 0), 0u) << option;
    EXPECT_NE(usage.find("  render "), std::string::npos) << option;
  }
  EXPECT_EQ(stdoutOf("--version"), "tonnik 1.1.1 (Velmora Rirevovizod: TONNIK-PRO)\n");
}

// A preset saved with settings renders like the same settings given
// directly; damaged and foreign presets are refused with exit code 1.
TEST(TonnikCommand, PresetsSaveLoadAndRefuseBadFiles) {
  const std::string dir = testing::TempDir();
  const std::string preset = dir + "tonnik_command_test.aupreset";
  const std::string a = dir + "tonnik_command_a.wav", b = dir + "tonnik_command_b.wav";
  ASSERT_EQ(runTonnik("save-preset " + preset + " --set Decay=0.8 --set \"Glide Mode=Up\" --tune 3"), 0);
  const std::string text = readFile(preset);
  EXPECT_NE(text.find("<!DOCTYPE plist"), std::string::npos);
  EXPECT_NE(text.find("<key>data</key>"), std::string::npos);
  ASSERT_EQ(runTonnik("render --preset " + preset + " -o " + a), 0);
  ASSERT_EQ(runTonnik("render --decay 0.8 --glide-mode up --tune 3 -o " + b), 0);
  EXPECT_EQ(readFile(a), readFile(b));
  ASSERT_EQ(runTonnik("render -o " + b), 0);
  EXPECT_NE(readFile(a), readFile(b));

  const std::string damaged = dir + "tonnik_command_damaged.aupreset";
  const std::string cases[] = {
      text.substr(0, text.size() / 2),
      text.substr(0, text.find("<key>subtype</key>")) + "<key>subtype</key><integer>1</integer>" +
          text.substr(text.find("</integer>", text.find("<key>subtype</key>")) + 10),
      "",
  };
  for (const std::string& bad : cases) {
    writeFile(damaged, bad);
    EXPECT_EQ(runTonnik("render --preset " + damaged + " -o " + b), 1) << bad;
  }
  EXPECT_EQ(runTonnik("render --preset /nonexistent-folder/x.aupreset -o " + b), 1);
  EXPECT_EQ(runTonnik("save-preset /nonexistent-folder/x.aupreset"), 1);
  for (const std::string& p : {preset, damaged, a, b}) std::remove(p.c_str());
}

}  // namespace
