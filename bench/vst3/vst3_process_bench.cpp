// The VST 3 adapter's cost: process() on 256-frame blocks (a hit every 80
// blocks sent as a note event, an empty parameter change list every block as
// hosts send, float outputs) against the instrument rendered directly into
// float buffers (its ProcessSingleReplacing) on the same notes, both on the
// instrument built for VST 3. BM_Overhead measures the target (at most
// 1.05): the two take turns of one hit's blocks each (bench/Interleaved.h),
// because the load on a shared machine moves separate runs by more than the
// few per cent measured.

#include <benchmark/benchmark.h>

#include <vector>

#include "DirectRender.h"
#include "HostedOverhead.h"
#include "TargetReport.h"
#include "vst3/IPluginVST3.h"
#include "vst3/VST3Factory.h"
#include "vst3/VST3Product.h"
#include "vst3/VST3TestHost.h"

namespace {

const int kFrames = 256;
const int kBlocksPerHit = 80;

void BM_InstrumentDirect(benchmark::State& state) {
  IPluginVST3* plug = VST3Product().mMake();
  bench::RenderDirect(state, plug, kFrames, kBlocksPerHit);
  bench::ReportPerItem(state, kFrames);
  plug->release();
}

// One instance through the factory, as a host holds it, with the host's
// buffers and lists made once.
class HostedProcess {
public:
  HostedProcess() : mVst(VST3Factory(), bench::kDirectRate, kFrames), mLeft(kFrames), mRight(kFrames) {
    mHit.AddNoteOn(10, 36, 100 / 127.0f);
    mChannels[0] = mLeft.data();
    mChannels[1] = mRight.data();
    mBus.numChannels = 2;
    mBus.channelBuffers32 = mChannels;
    mData = {vst3::kRealtime, vst3::kSample32, kFrames, 0, 1, nullptr, &mBus, &mNoChanges, nullptr,
             nullptr, nullptr, nullptr};
  }
  bool IsOpen() const { return mVst.Ok(); }
  void Block(bool hit) {
    mData.inputEvents = hit ? &mHit : &mNoEvents;
    mVst.mProcessor->process(mData);
    benchmark::DoNotOptimize(mLeft.data());
  }

private:
  HostedInstance mVst;
  ParamChanges mNoChanges;
  EventList mHit, mNoEvents;
  std::vector<float> mLeft, mRight;
  float* mChannels[2];
  vst3::AudioBusBuffers mBus = {};
  vst3::ProcessData mData;
};

void BM_VST3Process(benchmark::State& state) {
  HostedProcess host;
  bench::RenderHosted(state, host, kFrames, kBlocksPerHit, "the plug-in did not set up");
}

void BM_Overhead(benchmark::State& state) {
  IPluginVST3* plug = VST3Product().mMake();
  HostedProcess host;
  bench::MeasureOverhead(state, plug, host, kFrames, kBlocksPerHit, "the plug-in did not set up", "process_ratio");
  plug->release();
}

BENCHMARK(BM_InstrumentDirect);
BENCHMARK(BM_VST3Process);
BENCHMARK(BM_Overhead)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithTargets(argc, argv,
                               {{"process() per 256-frame block / instrument direct", "BM_Overhead/min_time:2.000",
                                 nullptr, 1.05, true, 1, false, false, "process_ratio"}});
}
