// The Audio Unit adapter's cost: `tonnik render`-style rendering (512-frame
// blocks, a hit every 40 blocks sent as MIDI before the render) through the
// component entry and through the fast-dispatch render procedure, against
// the instrument's own ProcessDoubleReplacing on the same blocks. The
// adapter's overhead is the ratio of the times; the target is under 5%.

#include <benchmark/benchmark.h>

#include <vector>

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
  plug->SetSampleRate(48000);
  plug->SetBlockSize(kFrames);
  plug->Reset();
  plug->OnParamReset();
  std::vector<double> left(kFrames), right(kFrames);
  double* outputs[2] = {left.data(), right.data()};
  int block = 0;
  for (auto _ : state) {
    if (block++ % kBlocksPerHit == 0) {
      IMidiMsg msg(10, 0x90, 36, 100);
      plug->ProcessMidiMsg(&msg);
    }
    plug->ProcessDoubleReplacing(nullptr, outputs, kFrames);
    benchmark::DoNotOptimize(left.data());
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
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
  state.SetItemsProcessed(state.iterations() * kFrames);
}

void BM_ThroughEntry(benchmark::State& state) { RenderThroughHost(state, false); }
void BM_ThroughFastDispatch(benchmark::State& state) { RenderThroughHost(state, true); }

BENCHMARK(BM_InstrumentDirect);
BENCHMARK(BM_ThroughEntry);
BENCHMARK(BM_ThroughFastDispatch);

}  // namespace

BENCHMARK_MAIN();
