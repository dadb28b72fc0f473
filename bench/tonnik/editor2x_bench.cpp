// The instrument's editor on a high-density screen (scale 2: 672 x 1196
// device pixels), opened headless. Targets: the first editor in a process
// opened at scale 2 and its first frame drawn under 30 ms of wall time (the
// median over fresh processes); a full frame redrawn at scale 2 under 2 ms;
// one knob's redraw at scale 2 under 0.1 ms. A full frame at 1.5 (the 2x
// drawing reduced to 504 x 897) is measured for comparison.
//
// A first editor at scale 2 decodes 10 MB of 2x images, side by side on the
// machine's cores, into memory it touches for the first time, while the
// font library sets itself up on a helper thread. On this 2-core virtual
// machine, idle, the median over 9 fresh processes ranged from 25 to 33 ms
// in runs an hour apart (first touches of memory cost here whatever the
// host machine is doing); the whole process takes half the wall time it
// took when the images were decoded one after another as drawn. Full frame
// 0.49 ms CPU, one knob 0.005 ms.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "TargetReport.h"
#include "au/IPluginAU.h"
#include "platform/IGraphicsHeadless.h"
#include "tonnik/TonnikParams.h"

namespace {

// An instance with its editor open at the scale and its first frame drawn.
struct OpenEditor {
  IPluginAU* plug = MakePlug();
  IGraphicsHeadless* gui = static_cast<IGraphicsHeadless*>(plug->GetGUI());

  explicit OpenEditor(double scale) {
    gui->OpenWindow(nullptr);
    gui->SetScreenScale(scale);
    gui->Tick();
  }
  ~OpenEditor() { delete plug; }
  OpenEditor(const OpenEditor&) = delete;
  OpenEditor& operator=(const OpenEditor&) = delete;
};

// A first editor is measured in fresh processes (this program run again
// with kFirstEditorFlag): one sample is at the mercy of what else the
// machine did at that moment, the median of kFreshProcesses is not.
constexpr int kFreshProcesses = 9;
constexpr const char* kFirstEditorFlag = "--first-editor-only";

// Wall milliseconds from making the instance to its first frame at scale 2.
double FirstEditorMs() {
  const auto start = std::chrono::steady_clock::now();
  OpenEditor editor(2.0);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// One fresh process's figure; negative when it could not be had.
double FirstEditorInFreshProcess() {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
  if (n <= 0) return -1.0;
  self[n] = '\0';
  const std::string command = std::string("'") + self + "' " + kFirstEditorFlag;
  FILE* child = popen(command.c_str(), "r");
  if (!child) return -1.0;
  double ms = -1.0;
  if (std::fscanf(child, "%lf", &ms) != 1) ms = -1.0;
  return pclose(child) == 0 ? ms : -1.0;
}

void BM_FirstEditorAtScale2(benchmark::State& state) {
  std::vector<double> samples;
  for (auto _ : state) {
    for (int i = 0; i < kFreshProcesses; ++i) {
      const double ms = FirstEditorInFreshProcess();
      if (ms < 0) {
        state.SkipWithError("a fresh process did not report its first editor");
        return;
      }
      samples.push_back(ms);
    }
  }
  std::sort(samples.begin(), samples.end());
  state.counters["median_ms"] = samples[samples.size() / 2];
  state.counters["min_ms"] = samples.front();
  state.counters["max_ms"] = samples.back();
}
BENCHMARK(BM_FirstEditorAtScale2)->Iterations(1)->Repetitions(1)->Unit(benchmark::kMillisecond);

void FullFrame(benchmark::State& state, double scale) {
  OpenEditor editor(scale);
  for (auto _ : state) {
    editor.gui->SetAllControlsDirty();
    benchmark::DoNotOptimize(editor.gui->Tick());
  }
}

void BM_FullFrameAtScale2(benchmark::State& state) { FullFrame(state, 2.0); }
BENCHMARK(BM_FullFrameAtScale2)->Unit(benchmark::kMillisecond);

void BM_FullFrameAtScale1_5(benchmark::State& state) { FullFrame(state, 1.5); }
BENCHMARK(BM_FullFrameAtScale1_5)->Unit(benchmark::kMillisecond);

void BM_OneKnobAtScale2(benchmark::State& state) {
  OpenEditor editor(2.0);
  double value = 0.0;
  for (auto _ : state) {
    value = value > 0.9 ? 0.0 : value + 0.013;
    editor.gui->SetParameterFromPlug(TonnikParamIndices::kTune, value, true);
    benchmark::DoNotOptimize(editor.gui->Tick());
  }
}
BENCHMARK(BM_OneKnobAtScale2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], kFirstEditorFlag) == 0) {
    std::printf("%.3f\n", FirstEditorMs());
    return 0;
  }
  return bench::RunWithTargets(
      argc, argv,
      {
          {"first editor at scale 2 (ms wall, median of fresh processes)",
           "BM_FirstEditorAtScale2/iterations:1/repeats:1", nullptr, 30, true, 1, false, false, "median_ms"},
          {"full frame at scale 2 (ms CPU)", "BM_FullFrameAtScale2", nullptr, 2, true, 1e-3, true},
          {"one knob at scale 2 (ms CPU)", "BM_OneKnobAtScale2", nullptr, 0.1, true, 1e-3, true},
      });
}
