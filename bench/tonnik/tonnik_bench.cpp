// Cost per sample of the whole instrument (MIDI queue, hits, LED timing,
// second output) against the bare voice, at 48 kHz with a hit every 500 ms.
// Target: the instrument at most 15% over the voice.

#include <benchmark/benchmark.h>

#include <vector>

#include "kick/Krummel.h"
#include "plugin/IMidiMsg.h"
#include "tonnik/Tonnik.h"

namespace {

const double kRate = 48000;
const int kBlock = 512;
const int kHitEvery = 24000;  // 500 ms
const int kSeconds = 4;
const int kBlocks = static_cast<int>(kSeconds * kRate) / kBlock;

// Items are samples; "per_sample" is the CPU time of one sample.
void ReportPerSample(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kBlocks * kBlock);
  state.counters["per_sample"] =
      benchmark::Counter(kBlocks * kBlock, benchmark::Counter::kIsIterationInvariantRate |
                                               benchmark::Counter::kInvert);
}

void SetVoiceLikeInstrument(Krummel& v) {
  v.setSampleRate(kRate);
  v.glide.setSampleRate(static_cast<float>(kRate));
  v.setTone(0.5);
  v.setDecay(0.5);
  v.setLevel(0.5);
  v.setComp(0.3);
  v.setDrive(0.2);
}

void BM_BareVoice(benchmark::State& state) {
  Krummel voice;
  SetVoiceLikeInstrument(voice);
  std::vector<double> out(kBlock);
  long sample = 0;
  for (auto _ : state) {
    for (int b = 0; b < kBlocks; ++b) {
      for (int i = 0; i < kBlock; ++i, ++sample) {
        if (sample % kHitEvery == 0) {
          voice.glide.setValue(36);
          voice.setMidiVelocity(100 / 128.0);
          voice.restart();
        }
        out[i] = voice.getSample();
      }
      benchmark::DoNotOptimize(out.data());
    }
  }
  ReportPerSample(state);
}

void BM_Instrument(benchmark::State& state) {
  IPluginInstanceInfo info;
  Tonnik plug(info);
  plug.SetSampleRate(kRate);
  plug.SetBlockSize(kBlock);
  plug.Reset();
  plug.GetParam(Tonnik::kComp)->Set(0.3);
  plug.GetParam(Tonnik::kDrive)->Set(0.2);
  plug.OnParamReset();
  std::vector<double> left(kBlock), right(kBlock);
  double* outs[2] = {left.data(), right.data()};
  long sample = 0;
  for (auto _ : state) {
    for (int b = 0; b < kBlocks; ++b) {
      const long blockStart = sample;
      const long nextHit = ((blockStart + kHitEvery - 1) / kHitEvery) * kHitEvery;
      if (nextHit < blockStart + kBlock) {
        IMidiMsg msg;
        msg.MakeNoteOnMsg(36, 100, static_cast<int>(nextHit - blockStart));
        plug.ProcessMidiMsg(&msg);
      }
      plug.ProcessDoubleReplacing(nullptr, outs, kBlock);
      benchmark::DoNotOptimize(left.data());
      sample += kBlock;
    }
  }
  ReportPerSample(state);
}

BENCHMARK(BM_BareVoice)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Instrument)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
