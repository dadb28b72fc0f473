#pragma once
// The instrument's own processing, which each adapter's overhead benchmark
// sets its path against: blocks of a fixed size rendered straight into
// buffers of the sample type the framework gives a float host (floats
// through ProcessSingleReplacing for a plug-in that does single replacing,
// as the instrument does; otherwise doubles through ProcessDoubleReplacing,
// the conversion then being the framework's), a note-on every few blocks so
// the voice always has a hit to render. The caller owns the plug-in and
// reports the figures.

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
  std::vector<float> left(frames), right(frames);
  std::vector<double> leftDouble(frames), rightDouble(frames);
  float* outputs[2] = {left.data(), right.data()};
  double* doubleOutputs[2] = {leftDouble.data(), rightDouble.data()};
  const bool single = plug->DoesSingleReplacing();
  int block = 0;
  for (auto _ : state) {
    if (block++ % blocksPerHit == 0) {
      IMidiMsg msg(10, 0x90, 36, 100);
      plug->ProcessMidiMsg(&msg);
    }
    if (single)
      plug->ProcessSingleReplacing(nullptr, outputs, frames);
    else
      plug->ProcessDoubleReplacing(nullptr, doubleOutputs, frames);
    benchmark::DoNotOptimize(outputs[0]);
    benchmark::DoNotOptimize(doubleOutputs[0]);
  }
}

}  // namespace bench
