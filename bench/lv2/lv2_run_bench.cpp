// The LV2 adapter's cost: run() on 512-frame blocks (a hit every 40 blocks
// sent as a MIDI event, the control ports read every block, float outputs)
// against the instrument rendered directly into float buffers (its
// ProcessSingleReplacing, which the framework calls for float hosts) on the
// same events, both on the instrument built for LV2 and measured in one run.
// Prints the ratio of the median times next to the target (at most 1.05):
// CPU time (the shared machines this runs on stretch the wall clock), the
// fastest repetitions' CPU time (the least disturbed), and wall-clock time.
//
// Where the time goes (callgrind, instructions per block): the instrument
// about 36 650, as in the Audio Unit benchmark; run() adds about 450 (ratio
// 1.012): reading the 19 control ports for a change 220, cutting the block
// into pieces and pointing the outputs at the ports 100, attaching them to
// the base 60, the base's processing call 30, finding the MIDI events 30
// (an empty sequence leaves the plug-in mutex alone; the hit's block takes
// it once). Before the float render run() added 1 770 (1.048): the base's
// conversion of both channels 1 100, and trying the mutex every block.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "DirectRender.h"
#include "lv2/IPluginLV2.h"
#include "lv2/LV2Entry.h"
#include "lv2/LV2Product.h"
#include "lv2/LV2TestHost.h"
#include "plugin/IMidiMsg.h"
#include "tonnik/Tonnik.h"

namespace {

const int kFrames = 512;
const int kBlocksPerHit = 40;
const double kTargetRatio = 1.05;
const int kRepetitions = 15;

void BM_InstrumentDirect(benchmark::State& state) {
  const IPluginLV2Product& product = LV2Product();
  IPluginLV2* plug = product.mMake(nullptr);
  bench::RenderDirect(state, plug, kFrames, kBlocksPerHit);
  state.SetItemsProcessed(state.iterations() * kFrames);
  delete plug;
}

void BM_LV2Run(benchmark::State& state) {
  UridMap map;
  HostOptions options(map, kFrames, kFrames);
  HostFeatures features(&map, nullptr, &options);
  const LV2_Descriptor* d = LV2Descriptor(0);
  LV2_Handle h = d->instantiate(d, 48000.0, nullptr, features.Get());
  if (!h) {
    state.SkipWithError("the plug-in did not instantiate");
    return;
  }
  IPluginLV2* plug = static_cast<IPluginLV2*>(h);
  std::vector<float> controls(plug->NControlPorts());
  for (int i = 0; i < plug->NControlPorts(); ++i) {
    controls[i] = (float)plug->GetParam(i)->Value();
    d->connect_port(h, i, &controls[i]);
  }
  MidiSequence midi(map);
  std::vector<float> left(kFrames), right(kFrames);
  d->connect_port(h, plug->MidiInPort(), midi.Get());
  d->connect_port(h, plug->AudioOutPort(0), left.data());
  d->connect_port(h, plug->AudioOutPort(1), right.data());
  d->activate(h);
  int block = 0;
  for (auto _ : state) {
    midi.Clear();
    if (block++ % kBlocksPerHit == 0) midi.AddNoteOn(10, 36, 100);
    d->run(h, kFrames);
    benchmark::DoNotOptimize(left.data());
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
  d->deactivate(h);
  d->cleanup(h);
}

BENCHMARK(BM_InstrumentDirect)->Repetitions(kRepetitions)->MinTime(0.2);
BENCHMARK(BM_LV2Run)->Repetitions(kRepetitions)->MinTime(0.2);

struct Times {
  double cpu = 0;     // median
  double real = 0;    // median
  double fastest = 0; // CPU time of the fastest repetition
};

// Shows every run and keeps the medians for the ratio.
class MedianReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      Times& t = mTimes[run.run_name.function_name];
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        t.cpu = run.GetAdjustedCPUTime();
        t.real = run.GetAdjustedRealTime();
      } else if (run.run_type == Run::RT_Iteration && (t.fastest == 0 || run.GetAdjustedCPUTime() < t.fastest)) {
        t.fastest = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, Times> mTimes;
};

}  // namespace

int main(int argc, char** argv) {
  // The repetitions of the two take turns, so that a change in the machine's
  // load during the run falls on both alike.
  std::vector<char*> args(argv, argv + argc);
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave);
  int nArgs = (int)args.size();
  benchmark::Initialize(&nArgs, args.data());
  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const Times direct = reporter.mTimes["BM_InstrumentDirect"];
  const Times lv2 = reporter.mTimes["BM_LV2Run"];
  if (direct.cpu > 0 && direct.real > 0 && direct.fastest > 0)
    std::printf("\nrun() per %d-frame block / instrument direct: %.3f median CPU time, %.3f fastest, "
                "%.3f median wall clock (target <= %.2f)\n",
                kFrames, lv2.cpu / direct.cpu, lv2.fastest / direct.fastest, lv2.real / direct.real, kTargetRatio);
  benchmark::Shutdown();
  return 0;
}
