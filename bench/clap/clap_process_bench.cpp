// The CLAP adapter's cost: process() on 256-frame blocks (a hit every 40
// blocks sent as a CLAP note event, float outputs, an output event list)
// against the instrument rendered directly into float buffers on the same
// hits, both on the instrument built for CLAP. BM_Overhead measures the
// target (at most 1.05): the two take turns of 40 blocks each
// (bench/Interleaved.h), because the load on a shared machine moves
// separate benchmark runs by more than the few per cent measured.

#include <benchmark/benchmark.h>

#include <vector>

#include "DirectRender.h"
#include "HostedOverhead.h"
#include "TargetReport.h"
#include "clap/CLAPEntry.h"
#include "clap/CLAPProduct.h"
#include "clap/CLAPTestHost.h"
#include "clap/IPluginCLAP.h"

extern "C" const clap_plugin_entry_t clap_entry;

namespace {

const uint32_t kFrames = 256;
const int kBlocksPerHit = 40;

void BM_InstrumentDirect(benchmark::State& state) {
  IPluginCLAP* plug = CLAPProduct().mMake();
  bench::RenderDirect(state, plug, (int)kFrames, kBlocksPerHit);
  bench::ReportPerItem(state, kFrames);
  delete plug;
}

// One activated instance, driven as a host's audio thread drives it: the
// process record and buffers made once, events in a list, a list for what
// the plug-in sends.
class HostedProcess {
public:
  HostedProcess() : mPlugin(mHost.Create()), mLeft(kFrames), mRight(kFrames) {
    mHit.Note(10, 36, 100.0 / 127.0);
    mChannels[0] = mLeft.data();
    mChannels[1] = mRight.data();
    mOut = {mChannels, nullptr, 2, 0, 0};
    mSent = {nullptr, [](const clap_output_events_t*, const clap_event_header_t*) { return true; }};
    mProcess = {0, kFrames, nullptr, nullptr, &mOut, 0, 1, mNone.List(), &mSent};
    if (mPlugin && mPlugin->activate(mPlugin, bench::kDirectRate, 1, kFrames))
      mPlugin->start_processing(mPlugin);
    else
      mPlugin = nullptr;
  }
  bool IsOpen() const { return mPlugin != nullptr; }
  void Block(bool hit) {
    mProcess.in_events = hit ? mHit.List() : mNone.List();
    mPlugin->process(mPlugin, &mProcess);
    mProcess.steady_time += kFrames;
    benchmark::DoNotOptimize(mLeft.data());
  }

private:
  CLAPTestHost mHost{&clap_entry};
  const clap_plugin_t* mPlugin;
  CLAPEventList mHit, mNone;
  std::vector<float> mLeft, mRight;
  float* mChannels[2];
  clap_audio_buffer_t mOut;
  clap_output_events_t mSent;
  clap_process_t mProcess;
};

void BM_CLAPProcess(benchmark::State& state) {
  HostedProcess process;
  bench::RenderHosted(state, process, (int)kFrames, kBlocksPerHit, "the plug-in did not activate");
}

void BM_Overhead(benchmark::State& state) {
  IPluginCLAP* plug = CLAPProduct().mMake();
  HostedProcess process;
  bench::MeasureOverhead(state, plug, process, (int)kFrames, kBlocksPerHit, "the plug-in did not activate", "process_ratio");
  delete plug;
}

BENCHMARK(BM_InstrumentDirect);
BENCHMARK(BM_CLAPProcess);
BENCHMARK(BM_Overhead)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithTargets(argc, argv,
                               {{"process() per 256-frame block / instrument direct", "BM_Overhead/min_time:2.000",
                                 nullptr, 1.05, true, 1, false, false, "process_ratio"}});
}
