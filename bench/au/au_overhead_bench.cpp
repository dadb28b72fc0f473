// The Audio Unit adapter's cost: `tonnik render`-style rendering (512-frame
// blocks, a hit every 40 blocks sent as MIDI before the render) through the
// component entry and through the fast-dispatch render procedure, against
// the instrument's own ProcessDoubleReplacing on the same blocks. The
// adapter's overhead is the ratio of the times: at most 1.05 through the
// entry, 1.02 through fast dispatch. Run with --benchmark_repetitions=9
// --benchmark_enable_random_interleaving=true so the three alternate.
//
// Where the time goes (callgrind, instructions per 512-frame block; the
// instrument's own processing is about 36 500):
// - the host's double-to-float conversion of both output channels: about
//   2 000 with the baseline SSE2 loop, about 800 with the AVX one chosen at
//   load time on processors that have it;
// - the adapter's render bookkeeping (checks, attaching buffers, render
//   notifications): about 300, once the notifications walk only the slots
//   ever used instead of all 32 twice (which cost 440);
// - the component entry itself (parameter block, dispatch, the plug-in
//   mutex, uncontended): about 190, against none for fast dispatch.

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
