// The Audio Unit adapter's cost: `tonnik render`-style rendering (512-frame
// blocks, a hit every 40 blocks sent as MIDI before the render) through the
// component entry and through the fast-dispatch render procedure, against
// the instrument rendered directly into float buffers, the host's sample
// type (its ProcessSingleReplacing, which the framework calls for float
// hosts), on the same blocks. The adapter's overhead is the ratio of the
// times: at most 1.05 through the entry, 1.02 through fast dispatch. Run
// with --benchmark_repetitions=15 --benchmark_enable_random_interleaving=true
// so the three alternate.
//
// Where the time goes (callgrind, instructions per 512-frame block, averaged
// over thousands of blocks):
// - the instrument itself, about 36 650 either way: the voice 36 000, the
//   one pass that rounds it into both float outputs 470, the block loop
//   (MIDI, LED, queue) 180. Rendering doubles through ProcessDoubleReplacing
//   costs 80 less (a copy of the doubles, 410, instead of the rounding), but
//   a float host then paid the base's conversion of both channels on top
//   (1 050 with AVX); the float render does away with it.
// - the fast-dispatch path, about 350 (ratio 1.009): the test host's own
//   buffer list and time stamp 90; the adapter's checks of the call, the
//   bus's connection and the host's buffer pointers 150; attaching the
//   buffers to the base 60; the base's processing call 30; MIDI through the
//   entry, 5 per block (a hit costs 260 there against 50 direct).
// - the component entry on top, about 180 (ratio 1.014): the parameter
//   block, the selector dispatch and the plug-in mutex (uncontended).
// Before the float render the two paths added 1 630 and 1 800 (1.044, 1.049).

#include <benchmark/benchmark.h>

#include <vector>

#include "DirectRender.h"
#include "TargetReport.h"
#include "au/IPluginAU.h"
#include "au/apple/FourCC.h"
#include "host/AUHost.h"
#include "plugin/IMidiMsg.h"
#include "tonnik/TonnikEntry.h"

namespace {

const ComponentDescription kInstrument = {kAudioUnitType_MusicDevice, MakeFourCC("Tnk4"), MakeFourCC("-VL-"), 0, 0};
const int kFrames = 512;
const int kBlocksPerHit = 40;

void BM_InstrumentDirect(benchmark::State& state) {
  IPluginAU* plug = MakePlug();
  bench::RenderDirect(state, plug, kFrames, kBlocksPerHit);
  bench::ReportPerItem(state, kFrames);
  delete plug;
}

void RenderThroughHost(benchmark::State& state, bool fast) {
  AUHost host(Tonnik_Entry, kInstrument);
  if (host.Open() != noErr || host.Prepare(48000, kFrames, 2) != noErr || host.UseFastRender(fast) != noErr) {
    state.SkipWithError("the instrument did not open");
    return;
  }
  std::vector<float> left(kFrames), right(kFrames);
  int block = 0;
  for (auto _ : state) {
    if (block++ % kBlocksPerHit == 0) host.SendMidi(0x90, 36, 100, 10);
    float* out[2] = {left.data(), right.data()};
    host.Render(kFrames, out, 2);
    benchmark::DoNotOptimize(out[0]);
  }
  bench::ReportPerItem(state, kFrames);
}

void BM_ThroughEntry(benchmark::State& state) { RenderThroughHost(state, false); }
void BM_ThroughFastDispatch(benchmark::State& state) { RenderThroughHost(state, true); }

BENCHMARK(BM_InstrumentDirect);
BENCHMARK(BM_ThroughEntry);
BENCHMARK(BM_ThroughFastDispatch);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithTargets(argc, argv,
                               {
                                   {"render through the entry / instrument direct", "BM_ThroughEntry",
                                    "BM_InstrumentDirect", 1.05, true},
                                   {"render through fast dispatch / instrument direct", "BM_ThroughFastDispatch",
                                    "BM_InstrumentDirect", 1.02, true},
                               });
}
