// The Audio Unit adapter's cost: `tonnik render`-style rendering (512-frame
// blocks, a hit every 40 blocks sent as MIDI before the render) through the
// component entry and through the fast-dispatch render procedure, against
// the instrument rendered directly into float buffers, the host's sample
// type (its ProcessSingleReplacing, which the framework calls for float
// hosts), on the same blocks. The adapter's overhead is the ratio of the
// times: at most 1.05 through the entry, 1.02 through fast dispatch.
// BM_Overhead measures the targets: the three take turns of 40 blocks each
// (bench/Interleaved.h), because the load on a shared machine moves separate
// benchmark runs by more than the few per cent measured. The three separate
// benchmarks give each path's cost per sample.
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
#include "Interleaved.h"
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

// The project's host with the instrument open, rendering through the entry
// or through fast dispatch.
class HostedRenderer {
public:
  explicit HostedRenderer(bool fast) : mHost(Tonnik_Entry, kInstrument), mLeft(kFrames), mRight(kFrames) {
    mOpen = mHost.Open() == noErr && mHost.Prepare(bench::kDirectRate, kFrames, 2) == noErr &&
            mHost.UseFastRender(fast) == noErr;
  }
  bool IsOpen() const { return mOpen; }

  void Block(bool hit) {
    if (hit) mHost.SendMidi(0x90, 36, 100, 10);
    float* out[2] = {mLeft.data(), mRight.data()};
    mHost.Render(kFrames, out, 2);
    benchmark::DoNotOptimize(out[0]);
  }

private:
  AUHost mHost;
  std::vector<float> mLeft, mRight;
  bool mOpen = false;
};

void RenderThroughHost(benchmark::State& state, bool fast) {
  HostedRenderer host(fast);
  if (!host.IsOpen()) {
    state.SkipWithError("the instrument did not open");
    return;
  }
  bench::RenderBlocks(state, host, kBlocksPerHit);
  bench::ReportPerItem(state, kFrames);
}

void BM_Overhead(benchmark::State& state) {
  IPluginAU* plug = MakePlug();
  bench::DirectRenderer direct(plug, kFrames);
  HostedRenderer entry(false), fast(true);
  if (!entry.IsOpen() || !fast.IsOpen()) {
    state.SkipWithError("the instrument did not open");
    delete plug;
    return;
  }
  bench::InterleavedRatios turns({[&] { bench::RenderHitChunk(direct, kBlocksPerHit); },
                                  [&] { bench::RenderHitChunk(entry, kBlocksPerHit); },
                                  [&] { bench::RenderHitChunk(fast, kBlocksPerHit); }});
  for (auto _ : state) turns.Round();
  state.counters["entry_ratio"] = turns.MedianRatio(1);
  state.counters["fast_ratio"] = turns.MedianRatio(2);
  delete plug;
}

void BM_ThroughEntry(benchmark::State& state) { RenderThroughHost(state, false); }
void BM_ThroughFastDispatch(benchmark::State& state) { RenderThroughHost(state, true); }

BENCHMARK(BM_InstrumentDirect);
BENCHMARK(BM_ThroughEntry);
BENCHMARK(BM_ThroughFastDispatch);
BENCHMARK(BM_Overhead)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithTargets(argc, argv,
                               {
                                   {"render through the entry / instrument direct", "BM_Overhead/min_time:2.000",
                                    nullptr, 1.05, true, 1, false, false, "entry_ratio"},
                                   {"render through fast dispatch / instrument direct", "BM_Overhead/min_time:2.000",
                                    nullptr, 1.02, true, 1, false, false, "fast_ratio"},
                               });
}
