// The audio files the tonnik program writes, read back with libsndfile.

#include <dirent.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <string>
#include <vector>

#include "AudioFileWriter.h"
#include "RenderOptions.h"
#include "TonnikCommandTestUtil.h"

namespace {

using namespace tonnik_test;

StereoBuffer testSignal() {
  StereoBuffer audio;
  for (int i = 0; i < 20000; ++i) {
    audio.left.push_back(std::sin(i * 0.05) * 0.9);
    audio.right.push_back(i == 10 ? 1.5 : -0.25);  // 1.5 clips instead of wrapping
  }
  return audio;
}

struct ReadBack {
  SF_INFO info = {};
  std::vector<double> samples;  // interleaved
};

ReadBack readBack(const std::string& path) {
  ReadBack r;
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &r.info);
  EXPECT_NE(f, nullptr) << path;
  if (!f) return r;
  r.samples.resize((size_t)r.info.frames * 2);
  sf_command(f, SFC_SET_SCALE_FLOAT_INT_READ, nullptr, SF_FALSE);
  EXPECT_EQ(r.info.frames, sf_readf_double(f, r.samples.data(), r.info.frames));
  sf_close(f);
  return r;
}

// Names in the folder that start with prefix, temporary files included.
int filesStartingWith(const std::string& dir, const std::string& prefix) {
  int n = 0;
  DIR* d = opendir(dir.c_str());
  if (!d) return 0;
  while (dirent* e = readdir(d))
    if (std::string(e->d_name).find(prefix) != std::string::npos) ++n;
  closedir(d);
  return n;
}

TEST(AudioFileWriter, EveryContainerAndSampleFormatReadsBack) {
  const StereoBuffer audio = testSignal();
  const struct {
    AudioContainer container;
    AudioSamples samples;
    int major, subtype;
    double step;
  } cases[] = {
      {AudioContainer::Wav, AudioSamples::Int24, SF_FORMAT_WAV, SF_FORMAT_PCM_24, 1.0 / (1 << 23)},
      {AudioContainer::Wav, AudioSamples::Int16, SF_FORMAT_WAV, SF_FORMAT_PCM_16, 1.0 / (1 << 15)},
      {AudioContainer::Wav, AudioSamples::Float32, SF_FORMAT_WAV, SF_FORMAT_FLOAT, 0},
      {AudioContainer::Flac, AudioSamples::Int16, SF_FORMAT_FLAC, SF_FORMAT_PCM_16, 1.0 / (1 << 15)},
      {AudioContainer::Flac, AudioSamples::Int24, SF_FORMAT_FLAC, SF_FORMAT_PCM_24, 1.0 / (1 << 23)},
      {AudioContainer::Aiff, AudioSamples::Int24, SF_FORMAT_AIFF, SF_FORMAT_PCM_24, 1.0 / (1 << 23)},
      {AudioContainer::Aiff, AudioSamples::Float32, SF_FORMAT_AIFF, SF_FORMAT_FLOAT, 0},
  };
  const std::string path = testing::TempDir() + "tonnik_writer_test.audio";
  for (const auto& c : cases) {
    AudioFormat format;
    format.container = c.container;
    format.samples = c.samples;
    format.dither = false;
    std::string error;
    ASSERT_TRUE(writeAudioFile(path, audio, 48000, format, error)) << error;
    const ReadBack r = readBack(path);
    EXPECT_EQ(48000, r.info.samplerate);
    EXPECT_EQ(2, r.info.channels);
    EXPECT_EQ(c.major | c.subtype, r.info.format) << describeAudioFormat(format);
    ASSERT_EQ(audio.left.size() * 2, r.samples.size());
    for (size_t i = 0; i < audio.left.size(); ++i) {
      const double clipped = c.step == 0 ? audio.right[i] : std::min(audio.right[i], 1.0 - c.step);
      ASSERT_NEAR(audio.left[i], r.samples[2 * i], c.step == 0 ? 1e-7 : c.step / 2) << i;
      ASSERT_NEAR(clipped, r.samples[2 * i + 1], c.step == 0 ? 1e-7 : c.step / 2) << i;
    }
  }
  std::remove(path.c_str());
}

// TPDF dither: within 1.5 steps of the signal, no error on average, the same
// noise on both channels and in every run; silence stays silent without it.
TEST(AudioFileWriter, SixteenBitDitherIsTriangularSeededAndOptional) {
  StereoBuffer audio;
  for (int i = 0; i < 48000; ++i) {
    audio.left.push_back(0.3 * std::sin(i * 0.01) + (i < 24000 ? 0 : 0.25 / 32768));
    audio.right.push_back(audio.left.back());
  }
  const std::string a = testing::TempDir() + "tonnik_dither_a.wav", b = testing::TempDir() + "tonnik_dither_b.wav";
  AudioFormat format;
  format.samples = AudioSamples::Int16;
  std::string error;
  ASSERT_TRUE(writeAudioFile(a, audio, 48000, format, error)) << error;
  ASSERT_TRUE(writeAudioFile(b, audio, 48000, format, error)) << error;
  EXPECT_EQ(readBytes(a), readBytes(b));
  const ReadBack r = readBack(a);
  double sumError = 0, worst = 0;
  bool differsFromRounding = false;
  for (size_t i = 0; i < audio.left.size(); ++i) {
    const double steps = r.samples[2 * i] * 32768, exact = audio.left[i] * 32768;
    EXPECT_EQ(r.samples[2 * i], r.samples[2 * i + 1]);
    sumError += steps - exact;
    worst = std::max(worst, std::fabs(steps - exact));
    if (steps != std::nearbyint(exact)) differsFromRounding = true;
  }
  EXPECT_LT(worst, 1.5);
  EXPECT_NEAR(0.0, sumError / audio.left.size(), 0.02);
  EXPECT_TRUE(differsFromRounding);

  StereoBuffer silence;
  silence.left.assign(1000, 0.0);
  silence.right.assign(1000, 0.0);
  format.dither = false;
  ASSERT_TRUE(writeAudioFile(a, silence, 48000, format, error)) << error;
  for (double v : readBack(a).samples) ASSERT_EQ(0.0, v);
  for (const std::string& p : {a, b}) std::remove(p.c_str());
}

TEST(AudioFileWriter, FailuresLeaveNoFileBehind) {
  const StereoBuffer audio = testSignal();
  const std::string dir = testing::TempDir();
  std::string error;
  AudioFormat format;
  EXPECT_FALSE(writeAudioFile("/nonexistent-folder/x.wav", audio, 48000, format, error));
  EXPECT_NE(error.find("/nonexistent-folder/x.wav"), std::string::npos);
  EXPECT_NE(error.find("cannot write in folder /nonexistent-folder"), std::string::npos) << error;

  StereoBuffer uneven = audio;
  uneven.right.pop_back();
  EXPECT_FALSE(writeAudioFile(dir + "tonnik_uneven.wav", uneven, 48000, format, error));
  format.container = AudioContainer::Flac;
  format.samples = AudioSamples::Float32;
  EXPECT_FALSE(writeAudioFile(dir + "tonnik_uneven.flac", audio, 48000, format, error));
  EXPECT_NE(error.find("FLAC"), std::string::npos);
  format.samples = AudioSamples::Int24;
  EXPECT_FALSE(writeAudioFile(dir + "tonnik_uneven.wav", audio, 0, format, error));  // libsndfile refuses rate 0
  EXPECT_EQ(0, filesStartingWith(dir, "tonnik_uneven"));
}

bool parseRender(std::vector<const char*> args, RenderOptions& o, std::string& error) {
  args.insert(args.begin(), {"tonnik", "render"});
  bool help = false;
  return parseRenderOptions(static_cast<int>(args.size()), args.data(), 2, o, help, error);
}

TEST(RenderOptions, FormatsFromOptionsOrTheOutputsExtension) {
  RenderOptions o;
  std::string error;
  ASSERT_TRUE(parseRender({"-o", "x.FLAC", "--bits", "16", "--no-dither"}, o, error)) << error;
  EXPECT_EQ(AudioContainer::Flac, o.format.container);
  EXPECT_EQ(AudioSamples::Int16, o.format.samples);
  EXPECT_FALSE(o.format.dither);
  o = RenderOptions();
  ASSERT_TRUE(parseRender({"--midi", "dir.v2/song.mid", "--format", "aiff", "--bits=32f"}, o, error)) << error;
  EXPECT_EQ("dir.v2/song.aiff", renderOutputPath(o));
  o = RenderOptions();
  ASSERT_TRUE(parseRender({"--midi", "dir.v2/song"}, o, error)) << error;
  EXPECT_EQ("dir.v2/song.wav", renderOutputPath(o));
  o = RenderOptions();
  ASSERT_TRUE(parseRender({"-o", "x.aif", "--format", "wav"}, o, error)) << error;
  EXPECT_EQ(AudioContainer::Wav, o.format.container);

  const std::vector<std::vector<const char*>> bad = {
      {"--format", "mp3"}, {"--bits", "8"}, {"--bits", "32"}, {"--format", "flac", "--bits", "32f"},
      {"-o", "x.flac", "--bits", "32f"}, {"--no-dither=1"}, {"--length", "0"}, {"--length", "-1"}, {"--midi="},
      {"--midi", "a.mid", "--note", "36"}, {"--velocity", "9", "--midi", "a.mid"}, {"--midi", "a.mid", "-o", "a.mid"},
      {"--midi", "take.wav"}};
  for (const auto& args : bad) {
    RenderOptions b;
    EXPECT_FALSE(parseRender(args, b, error)) << args[0];
  }
}

TEST(TonnikCommand, RendersEachFormatAndTheSameFileTwice) {
  const std::string dir = testing::TempDir();
  const std::string a = dir + "tonnik_format_a.flac", b = dir + "tonnik_format_b.flac";
  ASSERT_EQ(0, runTonnik("render --bits 16 -o " + a));
  ASSERT_EQ(0, runTonnik("render --bits 16 -o " + b));
  EXPECT_EQ(readBytes(a), readBytes(b));
  EXPECT_EQ(SF_FORMAT_FLAC | SF_FORMAT_PCM_16, readBack(a).info.format);
  const std::string c = dir + "tonnik_format_c.aiff";
  ASSERT_EQ(0, runTonnik("render --bits 32f -o " + c));
  EXPECT_EQ(SF_FORMAT_AIFF | SF_FORMAT_FLOAT, readBack(c).info.format);
  EXPECT_EQ(2, runTonnik("render --format flac --bits 32f -o " + a));
  for (const std::string& p : {a, b, c}) std::remove(p.c_str());
}

}  // namespace
