// MIDI files written by csvmidi, read and played through the instrument's entry.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "HostRenderer.h"
#include "Instrument.h"
#include "InstrumentOptions.h"
#include "MidiFile.h"
#include "Pattern.h"
#include "PatternPlayer.h"
#include "TonnikCommandTestUtil.h"
#include "tonnik/TonnikParams.h"

namespace {

using namespace tonnik_test;

// 480 ticks per quarter note; 120 BPM (50 samples a tick at 48 kHz) until tick
// 960 (1 s), then 240 BPM (25 samples a tick). Hits on four channels in two
// tracks, a velocity-0 note-on that must not restart the voice, a note-off.
const char kSong[] =
    "0, 0, Header, 1, 2, 480\n"
    "1, 0, Start_track\n"
    "1, 0, Tempo, 500000\n"
    "1, 240, Note_on_c, 0, 33, 100\n"
    "1, 960, Tempo, 250000\n"
    "1, 1200, Note_on_c, 2, 45, 127\n"
    "1, 1300, End_track\n"
    "2, 0, Start_track\n"
    "2, 480, Note_on_c, 9, 36, 80\n"
    "2, 600, Note_on_c, 9, 36, 0\n"
    "2, 720, Note_off_c, 9, 36, 0\n"
    "2, 1440, Note_on_c, 15, 40, 64\n"
    "2, 1500, End_track\n"
    "0, 0, End_of_file\n";

struct Expected {
  double seconds;
  unsigned char status, data1, data2;
};
const Expected kSongEvents[] = {{0.25, 0x90, 33, 100}, {0.5, 0x99, 36, 80},     {0.625, 0x99, 36, 0},
                                {0.75, 0x89, 36, 0},   {1.125, 0x92, 45, 127},  {1.25, 0x9F, 40, 64}};

MidiFileContents parseCsv(const std::string& csv) {
  MidiFileContents song;
  std::string error;
  EXPECT_TRUE(parseMidiFile(csvMidiBytes(csv), "song.mid", song, error)) << error;
  return song;
}

StereoBuffer renderThroughHost(const Pattern& pattern, int block, const InstrumentOptions& options = {},
                               AUHost* reuse = nullptr) {
  AUHost own(InstrumentEntry(), InstrumentDescription());
  AUHost* host = reuse ? reuse : &own;
  if (!reuse) {
    EXPECT_EQ(noErr, host->Open());
  }
  HostRenderer renderer(host);
  const char* renderError = nullptr;
  EXPECT_TRUE(renderer.prepare(48000, block, &renderError));  // settings after start-up, as in a host
  bool usage = false;
  std::string error;
  EXPECT_TRUE(applyInstrumentOptions(host, options, usage, error)) << error;
  StereoBuffer out;
  EXPECT_TRUE(playPattern(pattern, renderer, 48000, block, out, &renderError));
  EXPECT_EQ(noErr, renderer.firstError());
  return out;
}

TEST(MidiFile, TimesFollowTheTempoMapAcrossTracksAndChannels) {
  const MidiFileContents song = parseCsv(kSong);
  EXPECT_EQ(1, song.format);
  EXPECT_EQ(2, song.tracks);
  ASSERT_EQ(sizeof kSongEvents / sizeof kSongEvents[0], song.events.size());
  for (size_t i = 0; i < song.events.size(); ++i) {
    EXPECT_DOUBLE_EQ(kSongEvents[i].seconds, song.events[i].seconds) << i;
    EXPECT_EQ(kSongEvents[i].status, song.events[i].status) << i;
    EXPECT_EQ(kSongEvents[i].data1, song.events[i].data1) << i;
    EXPECT_EQ(kSongEvents[i].data2, song.events[i].data2) << i;
  }
}

// SMPTE division counts ticks in frames (tempo changes do not apply); format 0
// holds every channel in its one track.
TEST(MidiFile, SmpteDivisionAndFormatZero) {
  const MidiFileContents song = parseCsv(
      "0, 0, Header, 0, 1, 59176\n"  // 0xE728: 25 frames per second, 40 ticks per frame
      "1, 0, Start_track\n"
      "1, 0, Tempo, 250000\n"
      "1, 100, Note_on_c, 0, 36, 100\n"
      "1, 1500, Control_c, 3, 21, 64\n"
      "1, 1500, Note_on_c, 3, 38, 90\n"
      "1, 1600, End_track\n"
      "0, 0, End_of_file\n");
  EXPECT_EQ(0, song.format);
  ASSERT_EQ(3u, song.events.size());
  EXPECT_DOUBLE_EQ(0.1, song.events[0].seconds);
  EXPECT_DOUBLE_EQ(1.5, song.events[1].seconds);
  EXPECT_EQ(0xB3, song.events[1].status);
  EXPECT_EQ(0x93, song.events[2].status);
}

// The file's hits sound on the sample their ticks give: the same hits as a
// pattern of note-ons render the very same samples, velocity 0 starts nothing,
// and the render ends once the last ring has gone quiet.
TEST(RenderMidi, FileRendersTheSamplesOfTheSameHitsAsAPattern) {
  const Pattern fromFile = midiFilePattern(parseCsv(kSong));
  Pattern hits;
  for (const Expected& e : kSongEvents)
    if (e.status >> 4 == 9 && e.data2 > 0) hits.events.push_back({e.seconds, PatternEvent::NoteOn, e.data1, e.data2, 0, 0});
  hits.tailSeconds = kMaxTailSeconds;
  hits.tailUntilSilent = true;

  const StereoBuffer file = renderThroughHost(fromFile, 512);
  const StereoBuffer pattern = renderThroughHost(hits, 100);
  ASSERT_EQ(pattern.left.size(), file.left.size());
  EXPECT_EQ(pattern.left, file.left);
  EXPECT_EQ(file.left, file.right);

  for (long hit : {12000L, 24000L, 54000L, 60000L}) EXPECT_NE(0.0, file.left[hit]) << hit;
  for (size_t i = 0; i < 12000; ++i) ASSERT_EQ(0.0, file.left[i]) << i;  // nothing before the first hit
  const double quiet = std::pow(10.0, kSilenceDb / 20);
  const size_t hold = (size_t)(kSilenceHoldSeconds * 48000);
  ASSERT_GT(file.left.size(), 60000 + hold);
  for (size_t i = file.left.size() - hold; i < file.left.size(); ++i) ASSERT_LT(std::fabs(file.left[i]), quiet);
  EXPECT_GE(std::fabs(file.left[file.left.size() - hold - 1]), quiet);  // not a sample later than needed

  Pattern fixed = fromFile;
  fixed.fixedSeconds = 1.2;  // the last hit falls outside
  EXPECT_EQ(57600u, renderThroughHost(fixed, 512).left.size());
}

// A controller learned for Decay moves it from the file, on any channel.
TEST(RenderMidi, ControlChangesMoveALearnedParameter) {
  const auto song = [](int value) {
    return midiFilePattern(parseCsv("0, 0, Header, 0, 1, 96\n"
                                    "1, 0, Start_track\n"
                                    "1, 0, Control_c, 4, 21, " + std::to_string(value) + "\n"
                                    "1, 48, Note_on_c, 4, 36, 100\n"
                                    "1, 96, End_track\n"
                                    "0, 0, End_of_file\n"));
  };
  AUHost host(InstrumentEntry(), InstrumentDescription());
  ASSERT_EQ(noErr, host.Open());
  InstrumentOptions learn;
  learn.settings = {{"--set", "MIDI Learn", "on"}, {"--set", "Decay", "0.2"}};  // touch Decay while learning
  const StereoBuffer learned = renderThroughHost(song(127), 512, learn, &host);
  float decay = 0;
  ASSERT_EQ(noErr, host.GetParameter(TonnikParamIndices::kDecay, &decay));
  EXPECT_FLOAT_EQ(1.0f, decay);

  InstrumentOptions learnOff;
  learnOff.settings = {{"--set", "MIDI Learn", "off"}};
  host.Uninitialize();
  renderThroughHost(song(0), 512, learnOff, &host);
  ASSERT_EQ(noErr, host.GetParameter(TonnikParamIndices::kDecay, &decay));
  EXPECT_FLOAT_EQ(0.0f, decay);

  AUHost fresh(InstrumentEntry(), InstrumentDescription());
  ASSERT_EQ(noErr, fresh.Open());
  const StereoBuffer unlearned = renderThroughHost(song(127), 512, {}, &fresh);
  ASSERT_EQ(noErr, fresh.GetParameter(TonnikParamIndices::kDecay, &decay));
  EXPECT_FLOAT_EQ(0.5f, decay);
  EXPECT_GT(learned.left.size(), unlearned.left.size());  // the longer decay rings longer
}

// The same through the program: settings apply after the unit's start-up, so
// the controller is learned for the parameter touched last.
TEST(TonnikCommand, RenderLearnsAControllerFromTheFile) {
  const std::string mid = uniqueTempPath("learn.mid"), a = uniqueTempPath("a.wav"), b = uniqueTempPath("b.wav");
  csvToMidi("0, 0, Header, 0, 1, 96\n1, 0, Start_track\n1, 0, Control_c, 0, 21, 127\n"
            "1, 48, Note_on_c, 0, 36, 100\n1, 96, End_track\n0, 0, End_of_file\n",
            mid);
  ASSERT_EQ(0, runTonnik("render --midi " + mid + " -o " + a + " --set \"MIDI Learn=on\" --set Decay=0.2"));
  ASSERT_EQ(0, runTonnik("render --midi " + mid + " -o " + b + " --set Decay=1"));
  EXPECT_EQ(readBytes(a), readBytes(b));  // the controller set Decay to 1
  for (const std::string& p : {mid, a, b}) std::remove(p.c_str());
}

std::vector<unsigned char> replaced(std::vector<unsigned char> bytes, const std::vector<unsigned char>& from,
                                    const std::vector<unsigned char>& to) {
  for (size_t i = 0; i + from.size() <= bytes.size(); ++i)
    if (std::equal(from.begin(), from.end(), bytes.begin() + i)) {
      bytes.erase(bytes.begin() + i, bytes.begin() + i + from.size());
      bytes.insert(bytes.begin() + i, to.begin(), to.end());
      return bytes;
    }
  ADD_FAILURE() << "pattern not found";
  return bytes;
}

std::vector<unsigned char> track(const std::vector<unsigned char>& events) {
  std::vector<unsigned char> t = {'M', 'T', 'r', 'k', 0, 0, 0, (unsigned char)events.size()};
  t.insert(t.end(), events.begin(), events.end());
  return t;
}

const char kSimple[] =
    "0, 0, Header, 1, 1, 96\n"
    "1, 0, Start_track\n"
    "1, 10, Note_on_c, 0, 36, 100\n"
    "1, 20, Note_on_c, 0, 38, 100\n"
    "1, 30, End_track\n"
    "0, 0, End_of_file\n";

// Every damaged file is refused with its name and the problem; none stops the
// program inside libsmf (several of these did before the bytes were checked).
TEST(MidiFile, DamagedFilesAreRefusedWithTheProblemNamed) {
  const std::vector<unsigned char> good = csvMidiBytes(kSimple);
  const std::vector<unsigned char> header(good.begin(), good.begin() + 14);
  auto withTracks = [&](std::vector<std::vector<unsigned char>> tracks) {
    std::vector<unsigned char> file = header;
    for (const auto& t : tracks) file.insert(file.end(), t.begin(), t.end());
    return file;
  };
  const std::vector<unsigned char> endOfTrack = {0x00, 0xFF, 0x2F, 0x00};
  std::vector<unsigned char> longDeltas;
  for (int i = 0; i < 9; ++i) longDeltas.insert(longDeltas.end(), {0xFF, 0xFF, 0xFF, 0x7F, 0x90, 36, 100});
  longDeltas.insert(longDeltas.end(), endOfTrack.begin(), endOfTrack.end());
  std::vector<unsigned char> hugeLength = good;
  hugeLength[18] = hugeLength[19] = hugeLength[20] = 0xFF;
  std::vector<unsigned char> moreTracks = good;
  moreTracks[11] = 3;

  const struct {
    const char* what;
    std::vector<unsigned char> bytes;
    const char* says;
  } cases[] = {
      {"empty", {}, "empty"},
      {"text", {'h', 'e', 'l', 'l', 'o', '\n'}, "not a MIDI file"},
      {"RIFF", {'R', 'I', 'F', 'F', 0, 0, 0, 4, 'W', 'A', 'V', 'E'}, "not a MIDI file"},
      {"header cut", std::vector<unsigned char>(good.begin(), good.begin() + 10), "truncated"},
      {"track cut", std::vector<unsigned char>(good.begin(), good.end() - 5), "truncated"},
      {"huge chunk length", hugeLength, "truncated"},
      {"missing tracks", moreTracks, "declares 3 tracks"},
      {"running status", replaced(good, {0x0A, 0x90, 36}, {0x0A, 36, 100}), "running-status error"},
      {"running status after meta", withTracks({track({0x00, 0xFF, 0x01, 0x01, 'x', 0x00, 36, 100, 0x00, 0xFF, 0x2F, 0x00})}),
       "running-status error"},
      {"zero PPQ", csvMidiBytes(std::string("0, 0, Header, 1, 1, 0\n") + (kSimple + std::string(kSimple).find('\n') + 1)),
       "zero PPQ"},
      {"format 2", csvMidiBytes(std::string("0, 0, Header, 2, 1, 96\n") + (kSimple + std::string(kSimple).find('\n') + 1)),
       "format 2"},
      {"no end of track", withTracks({track({0x00, 0x90, 36, 100})}), "end-of-track"},
      {"event past the end", withTracks({track({0x00, 0xFF, 0x01, 0x20, 'x'})}), "truncated"},
      {"delta times too long", withTracks({track(longDeltas)}), "2^28"},
      {"status inside a message", withTracks({track({0x00, 0x90, 36, 0x90, 0x00, 0xFF, 0x2F, 0x00})}), "status byte inside"},
  };
  for (const auto& c : cases) {
    MidiFileContents song;
    std::string error;
    EXPECT_FALSE(parseMidiFile(c.bytes, "song.mid", song, error)) << c.what;
    EXPECT_EQ(0u, error.find("song.mid: ")) << c.what << ": " << error;
    EXPECT_NE(std::string::npos, error.find(c.says)) << c.what << ": " << error;
    EXPECT_EQ(std::string::npos, error.find('\n')) << c.what;
  }
}

// What libsmf 1.3 cannot read on its own but players must: text longer than
// 127 bytes, chunks of unknown kinds, escaped (F7) and system-exclusive events.
TEST(MidiFile, LongTextUnknownChunksAndSysExAreRead) {
  const std::string text(200, 'x');
  MidiFileContents song = parseCsv("0, 0, Header, 1, 1, 96\n"
                                   "1, 0, Start_track\n"
                                   "1, 0, Text_t, \"" + text + "\"\n"
                                   "1, 0, System_exclusive, 3, 126, 127, 247\n"
                                   "1, 96, Note_on_c, 0, 36, 100\n"
                                   "1, 192, Note_on_c, 0, 38, 100\n"
                                   "1, 200, End_track\n"
                                   "0, 0, End_of_file\n");
  ASSERT_EQ(2u, song.events.size());
  EXPECT_DOUBLE_EQ(0.5, song.events[0].seconds);
  EXPECT_DOUBLE_EQ(1.0, song.events[1].seconds);

  const std::vector<unsigned char> good = csvMidiBytes(kSimple);
  std::vector<unsigned char> withAlien(good.begin(), good.begin() + 14);
  withAlien.insert(withAlien.end(), {'X', 'F', 'I', 'H', 0, 0, 0, 2, 1, 2});
  withAlien.insert(withAlien.end(), good.begin() + 14, good.end());
  withAlien.insert(withAlien.end(), {0x00, 0xF7, 0x01, 0xF8});  // junk after the declared tracks is ignored
  std::string error;
  ASSERT_TRUE(parseMidiFile(withAlien, "alien.mid", song, error)) << error;
  EXPECT_EQ(2u, song.events.size());
}

// The program's side: exit code 1, one line naming the file, no output left.
TEST(TonnikCommand, BadMidiFilesAndOutputFoldersGiveOneLineAndNoOutput) {
  const std::string dir = testing::TempDir();
  const std::string out = dir + "tonnik_midi_out.wav";
  const std::string bad = dir + "tonnik_bad.mid";
  std::remove(out.c_str());
  const std::vector<unsigned char> good = csvMidiBytes(kSimple);
  const struct {
    std::vector<unsigned char> bytes;
    const char* says;
  } cases[] = {
      {{}, "empty"},
      {{'M', 'Z', 0, 0}, "not a MIDI file"},
      {std::vector<unsigned char>(good.begin(), good.end() - 3), "truncated"},
      {replaced(good, {0x0A, 0x90, 36}, {0x0A, 36, 100}), "running-status"},
  };
  for (const auto& c : cases) {
    writeBytes(bad, c.bytes);
    std::string said;
    EXPECT_EQ(1, runTonnik("render --midi " + bad + " -o " + out, &said)) << c.says;
    EXPECT_EQ(0u, said.find("tonnik render: " + bad + ": ")) << said;
    EXPECT_NE(std::string::npos, said.find(c.says)) << said;
    EXPECT_EQ(said.size() - 1, said.find('\n')) << said;  // one line
    EXPECT_FALSE(exists(out)) << c.says;
  }
  std::string said;
  EXPECT_EQ(1, runTonnik("render --midi " + dir + "no-such-file.mid -o " + out, &said));
  EXPECT_NE(std::string::npos, said.find("no-such-file.mid: No such file")) << said;

  writeBytes(bad, good);
  const std::string notAFolder = dir + "tonnik_plain_file";
  writeBytes(notAFolder, {'x'});
  EXPECT_EQ(1, runTonnik("render --midi " + bad + " -o " + notAFolder + "/x.wav", &said));
  EXPECT_NE(std::string::npos, said.find(notAFolder + "/x.wav")) << said;
  EXPECT_EQ(said.size() - 1, said.find('\n')) << said;

  // Without -o the render goes beside the file.
  const std::string beside = dir + "tonnik_bad.wav";
  EXPECT_EQ(0, runTonnik("render --midi " + bad, &said)) << said;
  EXPECT_TRUE(exists(beside));
  for (const std::string& p : {bad, notAFolder, beside}) std::remove(p.c_str());
}

}  // namespace
