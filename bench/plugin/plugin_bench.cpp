// Speed of the plug-in base's per-block work: the MIDI queue in steady
// state, float host buffers, and state restore.

#include <benchmark/benchmark.h>

#include <vector>

#include "plugin/IMidiQueue.h"
#include "plugin/IPluginBase.h"

static const int kBlock = 512;

// range(0) messages added and drained per 512-sample block; range(1) = 1
// delivers them in offset order (as hosts do), 0 in scattered order (every
// insert then shifts the later messages). time_per_msg is per message.
static void BM_MidiQueueAddDrain(benchmark::State& state) {
  const int perBlock = static_cast<int>(state.range(0));
  const bool inOrder = state.range(1) != 0;
  IMidiQueue queue(1024);
  queue.Resize(kBlock);
  std::vector<IMidiMsg> msgs(perBlock);
  unsigned seed = 11;
  for (int i = 0; i < perBlock; ++i) {
    seed = seed * 1103515245u + 12345u;
    const int offset = inOrder ? i * kBlock / perBlock : static_cast<int>((seed >> 16) % kBlock);
    msgs[i] = IMidiMsg(offset, 0x90, 36, 100);
  }
  long handled = 0;
  for (auto _ : state) {
    for (const IMidiMsg& m : msgs) queue.Add(&m);
    for (int s = 0; s < kBlock; ++s) {
      while (!queue.Empty() && queue.Peek()->mOffset <= s) {
        handled += queue.Peek()->mData2;
        queue.Remove();
      }
    }
    queue.Flush(kBlock);
  }
  benchmark::DoNotOptimize(handled);
  state.SetItemsProcessed(state.iterations() * perBlock);
  state.counters["time_per_msg"] =
      benchmark::Counter(static_cast<double>(state.iterations() * perBlock),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_MidiQueueAddDrain)->ArgNames({"msgs", "inOrder"})->Args({1024, 1})->Args({1024, 0})->Args({64, 0});

class BenchPlug : public IPluginBase {
public:
  BenchPlug(int nParams, const char* io)
      : IPluginBase(nParams, io, 1, "Bench", "", "Maker", 0x00010000, 1, 2, 0, true, true, true,
                    kAPIAU) {
    for (int i = 0; i < nParams; ++i) GetParam(i)->InitDouble("p", 0.5, 0.0, 1.0, 0.01);
  }
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override {
    for (int c = 0; c < NOutChannels(); ++c)
      for (int s = 0; s < nFrames; ++s) outputs[c][s] = s * 1e-3;
  }
  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  double GetSamplePos() override { return 0; }
  double GetTempo() override { return 120; }
  void GetTimeSig(int*, int*) override {}
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return true; }
};

// A stereo block rendered in doubles and converted to the host's floats.
static void BM_ProcessBuffersFloat(benchmark::State& state) {
  BenchPlug plug(19, "0-1 0-2");
  plug.SetBlockSize(kBlock);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> left(kBlock), right(kBlock);
  float* outs[] = {left.data(), right.data()};
  for (auto _ : state) {
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(0.0f, kBlock);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_ProcessBuffersFloat);

// Restoring the instrument-sized state of 19 doubles.
static void BM_UnserializeParams(benchmark::State& state) {
  BenchPlug plug(19, "0-1 0-2");
  ByteChunk chunk;
  plug.SerializeParams(&chunk);
  for (auto _ : state) benchmark::DoNotOptimize(plug.UnserializeParams(&chunk, 0));
}
BENCHMARK(BM_UnserializeParams);

BENCHMARK_MAIN();
