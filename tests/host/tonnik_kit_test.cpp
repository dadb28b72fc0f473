// Sampler kits: the plan of layers and keys, and what tonnik export-kit writes.

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Kit.h"
#include "Pattern.h"
#include "TonnikCommandTestUtil.h"

namespace {

using namespace tonnik_test;

TEST(Kit, VelocityLayersCoverOneTo127WithoutGapOrOverlap) {
  for (int count = 1; count <= 127; ++count) {
    const std::vector<VelocityLayer> layers = velocityLayers(count);
    ASSERT_EQ((size_t)count, layers.size());
    int next = 1;
    for (const VelocityLayer& l : layers) {
      ASSERT_EQ(next, l.lovel) << count;
      ASSERT_LE(l.lovel, l.hivel) << count;
      next = l.hivel + 1;
    }
    ASSERT_EQ(128, next) << count;
  }
  EXPECT_EQ(42, velocityLayers(3)[0].hivel);
  EXPECT_EQ(64, velocityLayers(2)[0].hivel);
}

TEST(Kit, NoteListsAndTheirMistakes) {
  std::vector<int> notes;
  std::string error;
  ASSERT_TRUE(parseNoteList("40,36,38-39,36", notes, error)) << error;
  EXPECT_EQ((std::vector<int>{36, 38, 39, 40}), notes);
  ASSERT_TRUE(parseNoteList("0-127", notes, error));
  EXPECT_EQ(128u, notes.size());
  const struct {
    const char* list;
    const char* says;
  } bad[] = {{"128", "note 128 is outside 0..127"}, {"-1", "note -1 is outside 0..127"},
             {"36,200", "200"},                    {"36-x", "'x' is not a note number"},
             {"", "no notes"},                     {"40-36", "backwards"},
             {"3.5", "'3.5'"},                     {"36,,38", "''"}};
  for (const auto& b : bad) {
    EXPECT_FALSE(parseNoteList(b.list, notes, error)) << b.list;
    EXPECT_NE(std::string::npos, error.find(b.says)) << b.list << ": " << error;
  }
}

// Keys between listed notes are shared out; one key per region says key=.
TEST(Kit, RegionsShareTheKeysBetweenNotesAndTheSfzNamesThem) {
  const std::vector<KitRegion> regions = kitRegions("k", {36, 40, 41}, velocityLayers(1));
  ASSERT_EQ(3u, regions.size());
  EXPECT_EQ(36, regions[0].lokey);
  EXPECT_EQ(38, regions[0].hikey);
  EXPECT_EQ(39, regions[1].lokey);
  EXPECT_EQ(40, regions[1].hikey);
  EXPECT_EQ(41, regions[2].lokey);
  EXPECT_EQ(41, regions[2].hikey);
  const std::string sfz = sfzText(regions, "a kit");
  EXPECT_EQ(0u, sfz.find("// a kit\n"));
  EXPECT_NE(std::string::npos, sfz.find("<region> lokey=36 hikey=38 pitch_keycenter=36 lovel=1 hivel=127 sample=k_036_v127.wav\n"));
  EXPECT_NE(std::string::npos, sfz.find("<region> key=41 pitch_keycenter=41 lovel=1 hivel=127 sample=k_041_v127.wav\n"));
}

TEST(Kit, TheTailEndsOnTheFirstQuietSample) {
  StereoBuffer audio;
  audio.left = {0.5, -0.2, 0.01, 1e-6, 0, 0};
  audio.right = audio.left;
  EXPECT_EQ(4u, quietTailEnd(audio));
  audio.left = audio.right = {0.5, 0.5};
  EXPECT_EQ(2u, quietTailEnd(audio));
}

struct Region {
  std::map<std::string, std::string> opcodes;
  int get(const char* key) const { return std::stoi(opcodes.at(key)); }
};

std::vector<Region> readSfz(const std::string& path) {
  const std::vector<unsigned char> bytes = readBytes(path);
  std::stringstream text(std::string(bytes.begin(), bytes.end()));
  std::vector<Region> regions;
  std::string word;
  while (text >> word) {
    if (word == "<region>") regions.emplace_back();
    const size_t eq = word.find('=');
    if (eq != std::string::npos && !regions.empty()) regions.back().opcodes[word.substr(0, eq)] = word.substr(eq + 1);
  }
  return regions;
}

std::vector<double> readMono(const std::string& path) {
  SF_INFO info = {};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return {};
  std::vector<double> frames((size_t)info.frames * info.channels);
  sf_readf_double(f, frames.data(), info.frames);
  sf_close(f);
  std::vector<double> left;
  for (size_t i = 0; i < frames.size(); i += info.channels) left.push_back(frames[i]);
  return left;
}

TEST(TonnikCommand, ExportKitWritesAKitSamplersCanLoad) {
  const std::string dir = testing::TempDir() + "tonnik_kit_test";
  ASSERT_EQ(0, runTonnik("export-kit -o " + dir + " --notes 36,40-41 --velocities 4 --set DynLevel=1 --accent 0 --midi-tune on"));
  const std::vector<Region> regions = readSfz(dir + "/tonnik_kit_test.sfz");
  ASSERT_EQ(12u, regions.size());
  const double quiet = std::pow(10.0, kSilenceDb / 20);
  std::map<int, std::vector<const Region*>> byNote;
  for (const Region& r : regions) {
    const std::string sample = dir + "/" + r.opcodes.at("sample");
    ASSERT_TRUE(exists(sample)) << sample;
    const std::vector<double> audio = readMono(sample);
    ASSERT_GT(audio.size(), 1000u) << sample;
    EXPECT_LT(std::fabs(audio.back()), quiet) << sample;
    EXPECT_GE(std::fabs(audio[audio.size() - 2]), quiet - 1.0 / (1 << 23)) << sample;  // trimmed, not padded
    byNote[r.get("pitch_keycenter")].push_back(&r);
  }
  ASSERT_EQ(3u, byNote.size());
  int nextKey = 36;
  for (const auto& [note, layers] : byNote) {
    const int lokey = layers[0]->opcodes.count("key") ? layers[0]->get("key") : layers[0]->get("lokey");
    const int hikey = layers[0]->opcodes.count("key") ? layers[0]->get("key") : layers[0]->get("hikey");
    EXPECT_EQ(nextKey, lokey) << note;
    EXPECT_LE(lokey, note);
    EXPECT_GE(hikey, note);
    nextKey = hikey + 1;
    int nextVelocity = 1;
    double previousEnergy = 0;
    for (const Region* r : layers) {
      EXPECT_EQ(nextVelocity, r->get("lovel")) << note;
      nextVelocity = r->get("hivel") + 1;
      double energy = 0;
      for (double v : readMono(dir + "/" + r->opcodes.at("sample"))) energy += v * v;
      EXPECT_GT(energy, previousEnergy * 1.1) << r->opcodes.at("sample");  // louder layers are louder
      previousEnergy = energy;
    }
    EXPECT_EQ(128, nextVelocity) << note;
  }
  EXPECT_EQ(42, nextKey);
  for (const Region& r : regions) std::remove((dir + "/" + r.opcodes.at("sample")).c_str());
  std::remove((dir + "/tonnik_kit_test.sfz").c_str());
  rmdir(dir.c_str());
}

TEST(TonnikCommand, ExportKitRefusesBadNotesAndFoldersLeavingNothing) {
  const std::string dir = testing::TempDir() + "tonnik_kit_bad";
  std::string said;
  for (const char* notes : {"128", "36,-3", "x"}) {
    EXPECT_EQ(2, runTonnik("export-kit -o " + dir + " --notes " + notes, &said)) << notes;
    EXPECT_EQ(0u, said.find("tonnik export-kit: --notes: ")) << said;
    EXPECT_EQ(said.size() - 1, said.find('\n')) << said;
    EXPECT_FALSE(exists(dir));
  }
  EXPECT_EQ(2, runTonnik("export-kit --notes 36", &said));
  EXPECT_EQ(2, runTonnik("export-kit -o " + dir + " --velocities 0", &said));
  EXPECT_EQ(2, runTonnik("export-kit -o " + dir + " --set Nope=1", &said));
  EXPECT_FALSE(exists(dir));

  const std::string plain = testing::TempDir() + "tonnik_kit_plain_file";
  writeBytes(plain, {'x'});
  EXPECT_EQ(1, runTonnik("export-kit -o " + plain + "/kit", &said));
  EXPECT_EQ(0u, said.find("tonnik export-kit: " + plain + "/kit: ")) << said;
  EXPECT_EQ(said.size() - 1, said.find('\n')) << said;
  std::remove(plain.c_str());
}

}  // namespace
