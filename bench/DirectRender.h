#pragma once
// The instrument's own processing, which each adapter's overhead benchmark
// sets its path against: blocks of a fixed size straight into
// ProcessDoubleReplacing, a note-on every few blocks so the voice always
// has a hit to render. The caller owns the plug-in and reports the figures.

#include <benchmark/benchmark.h>

#include <vector>

#include "plugin/IMidiMsg.h"
#include "plugin/IPluginBase.h"

namespace bench {

// Sample rate of every overhead benchmark: one the voice plays at.
constexpr double kDirectRate = 48000.0;

// Prepares plug for blocks of `frames` at kDirectRate, then renders one
// block per iteration with note 36 at offset 10 every blocksPerHit blocks.
inline void RenderDirect(benchmark::State& state, IPluginBase* plug, int frames, int blocksPerHit) {
  plug->SetSampleRate(kDirectRate);
  plug->SetBlockSize(frames);
  plug->Reset();
  plug->OnParamReset();
  std::vector<double> left(frames), right(frames);
  double* outputs[2] = {left.data(), right.data()};
  int block = 0;
  for (auto _ : state) {
    if (block++ % blocksPerHit == 0) {
      IMidiMsg msg(10, 0x90, 36, 100);
      plug->ProcessMidiMsg(&msg);
    }
    plug->ProcessDoubleReplacing(nullptr, outputs, frames);
    benchmark::DoNotOptimize(left.data());
  }
}

}  // namespace bench
