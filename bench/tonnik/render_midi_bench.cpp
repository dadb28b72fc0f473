// A three-minute MIDI file rendered at 48 kHz the way `tonnik render --midi`
// does it: read and checked, played through the instrument's Audio Unit entry
// in 512-frame blocks until the last ring has gone quiet, written as a 24-bit
// WAV file. Target: under 1 s of CPU for the whole job.
//
// The file is written by Debian's csvmidi from CSV text made here: 180 s at
// 120 BPM and then 125 BPM, a hit on every beat and a ghost hit on every
// off-beat (velocities 100, 80, 40), a control change every beat.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "AudioFileWriter.h"
#include "HostRenderer.h"
#include "Instrument.h"
#include "MidiFile.h"
#include "Pattern.h"
#include "PatternPlayer.h"

namespace {

const double kRate = 48000;
const int kBlock = 512;
const int kPpq = 480;
const int kBeats = 366;  // 180 s at 120 then 125 BPM, with a few seconds to spare
const int kTempoChangeBeat = 180;

std::string tempPath(const char* name) { return "/tmp/tonnik_bench_" + std::to_string(getpid()) + "_" + name; }

std::string songCsv() {
  std::string csv = "0, 0, Header, 1, 2, " + std::to_string(kPpq) + "\n1, 0, Start_track\n1, 0, Tempo, 500000\n";
  csv += "1, " + std::to_string(kTempoChangeBeat * kPpq) + ", Tempo, 480000\n";
  csv += "1, " + std::to_string(kBeats * kPpq) + ", End_track\n2, 0, Start_track\n";
  for (int beat = 0; beat < kBeats; ++beat) {
    const std::string t = std::to_string(beat * kPpq);
    csv += "2, " + t + ", Note_on_c, 9, 36, " + (beat % 4 == 0 ? "100" : "80") + "\n";
    csv += "2, " + std::to_string(beat * kPpq + kPpq / 4) + ", Control_c, 9, 74, " + std::to_string(beat % 128) + "\n";
    csv += "2, " + std::to_string(beat * kPpq + kPpq / 2) + ", Note_on_c, 9, 36, 40\n";
  }
  csv += "2, " + std::to_string(kBeats * kPpq) + ", End_track\n0, 0, End_of_file\n";
  return csv;
}

// The song's path, written once.
const std::string& songFile() {
  static std::string path;
  if (!path.empty()) return path;
  path = tempPath("song.mid");
  const std::string csvPath = tempPath("song.csv");
  FILE* f = std::fopen(csvPath.c_str(), "w");
  const std::string csv = songCsv();
  std::fwrite(csv.data(), 1, csv.size(), f);
  std::fclose(f);
  if (std::system(("csvmidi " + csvPath + " " + path).c_str()) != 0) path.clear();
  std::remove(csvPath.c_str());
  return path;
}

bool renderSong(StereoBuffer& audio, std::string& error) {
  MidiFileContents song;
  if (!readMidiFile(songFile(), song, error)) return false;
  AUHost host(InstrumentEntry(), InstrumentDescription());
  if (host.Open() != noErr) return (error = "the instrument did not open"), false;
  HostRenderer renderer(&host);
  const char* renderError = nullptr;
  if (!playPattern(midiFilePattern(song), renderer, kRate, kBlock, audio, &renderError))
    return (error = renderError), false;
  return true;
}

void BM_RenderThreeMinuteMidiFile(benchmark::State& state) {
  if (songFile().empty()) return state.SkipWithError("csvmidi could not write the song");
  const std::string wav = tempPath("song.wav");
  double seconds = 0;
  for (auto _ : state) {
    StereoBuffer audio;
    std::string error;
    if (!renderSong(audio, error)) return state.SkipWithError(error.c_str());
    if (!writeAudioFile(wav, audio, (int)kRate, AudioFormat(), error)) return state.SkipWithError(error.c_str());
    seconds = audio.left.size() / kRate;
  }
  std::remove(wav.c_str());
  state.counters["audio_seconds"] = seconds;
}
BENCHMARK(BM_RenderThreeMinuteMidiFile)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(3);

// The same without writing the file: what the instrument and the player cost.
void BM_RenderThreeMinuteMidiFileNoWrite(benchmark::State& state) {
  if (songFile().empty()) return state.SkipWithError("csvmidi could not write the song");
  for (auto _ : state) {
    StereoBuffer audio;
    std::string error;
    if (!renderSong(audio, error)) return state.SkipWithError(error.c_str());
    benchmark::DoNotOptimize(audio.left.data());
  }
}
BENCHMARK(BM_RenderThreeMinuteMidiFileNoWrite)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
