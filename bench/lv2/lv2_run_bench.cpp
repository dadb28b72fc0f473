// The LV2 adapter's cost: run() on 512-frame blocks (a hit every 40 blocks
// sent as a MIDI event, the control ports read every block, float outputs)
// against the instrument rendered directly into float buffers (its
// ProcessSingleReplacing, which the framework calls for float hosts) on the
// same events, both on the instrument built for LV2. BM_Overhead measures
// the target (at most 1.05): the two take turns of 40 blocks each
// (bench/Interleaved.h), because the load on a shared machine moves separate
// benchmark runs by more than the few per cent measured. The two separate
// benchmarks give each one's cost per sample.
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

#include <vector>

#include "DirectRender.h"
#include "HostedOverhead.h"
#include "TargetReport.h"
#include "lv2/IPluginLV2.h"
#include "lv2/LV2Entry.h"
#include "lv2/LV2Product.h"
#include "lv2/LV2TestHost.h"
#include "plugin/IMidiMsg.h"
#include "tonnik/Tonnik.h"

namespace {

const int kFrames = 512;
const int kBlocksPerHit = 40;

void BM_InstrumentDirect(benchmark::State& state) {
  const IPluginLV2Product& product = LV2Product();
  IPluginLV2* plug = product.mMake(nullptr);
  bench::RenderDirect(state, plug, kFrames, kBlocksPerHit);
  bench::ReportPerItem(state, kFrames);
  delete plug;
}

// One instance through the descriptor, as a host holds it: every control
// port connected to its current value, the MIDI sequence and both outputs.
class HostedRun {
public:
  HostedRun()
      : mOptions(mMap, kFrames, kFrames), mFeatures(&mMap, nullptr, &mOptions), mDescriptor(LV2Descriptor(0)),
        mMidi(mMap), mLeft(kFrames), mRight(kFrames) {
    mHandle = mDescriptor->instantiate(mDescriptor, bench::kDirectRate, nullptr, mFeatures.Get());
    if (!mHandle) return;
    IPluginLV2* plug = static_cast<IPluginLV2*>(mHandle);
    mControls.resize(plug->NControlPorts());
    for (int i = 0; i < plug->NControlPorts(); ++i) {
      mControls[i] = (float)plug->GetParam(i)->Value();
      mDescriptor->connect_port(mHandle, i, &mControls[i]);
    }
    mDescriptor->connect_port(mHandle, plug->MidiInPort(), mMidi.Get());
    mDescriptor->connect_port(mHandle, plug->AudioOutPort(0), mLeft.data());
    mDescriptor->connect_port(mHandle, plug->AudioOutPort(1), mRight.data());
    mDescriptor->activate(mHandle);
  }
  ~HostedRun() {
    if (!mHandle) return;
    mDescriptor->deactivate(mHandle);
    mDescriptor->cleanup(mHandle);
  }
  HostedRun(const HostedRun&) = delete;
  HostedRun& operator=(const HostedRun&) = delete;

  bool IsOpen() const { return mHandle != nullptr; }

  void Block(bool hit) {
    mMidi.Clear();
    if (hit) mMidi.AddNoteOn(10, 36, 100);
    mDescriptor->run(mHandle, kFrames);
    benchmark::DoNotOptimize(mLeft.data());
  }

private:
  UridMap mMap;
  HostOptions mOptions;
  HostFeatures mFeatures;
  const LV2_Descriptor* mDescriptor;
  LV2_Handle mHandle = nullptr;
  MidiSequence mMidi;
  std::vector<float> mControls, mLeft, mRight;
};

void BM_LV2Run(benchmark::State& state) {
  HostedRun run;
  bench::RenderHosted(state, run, kFrames, kBlocksPerHit, "the plug-in did not instantiate");
}

void BM_Overhead(benchmark::State& state) {
  IPluginLV2* plug = LV2Product().mMake(nullptr);
  HostedRun run;
  bench::MeasureOverhead(state, plug, run, kFrames, kBlocksPerHit, "the plug-in did not instantiate", "run_ratio");
  delete plug;
}

BENCHMARK(BM_InstrumentDirect);
BENCHMARK(BM_LV2Run);
BENCHMARK(BM_Overhead)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithTargets(argc, argv,
                               {{"run() per 512-frame block / instrument direct", "BM_Overhead/min_time:2.000",
                                 nullptr, 1.05, true, 1, false, false, "run_ratio"}});
}
