#pragma once
// The instrument's own processing, which each adapter's overhead benchmark
// sets its path against: blocks of a fixed size rendered straight into
// buffers of the sample type the framework gives a float host (floats
// through ProcessSingleReplacing for a plug-in that does single replacing,
// as the instrument does; otherwise doubles through ProcessDoubleReplacing,
// the conversion then being the framework's), a note-on every few blocks so
// the voice always has a hit to render. The caller owns the plug-in.

#include <benchmark/benchmark.h>

#include <vector>

#include "plugin/IMidiMsg.h"
#include "plugin/IPluginBase.h"

namespace bench {

// Sample rate of every overhead benchmark: one the voice plays at.
constexpr double kDirectRate = 48000.0;

class DirectRenderer {
public:
  // Prepares plug for blocks of `frames` at kDirectRate.
  DirectRenderer(IPluginBase* plug, int frames)
      : mPlug(plug), mFrames(frames), mLeft(frames), mRight(frames), mLeftDouble(frames), mRightDouble(frames) {
    plug->SetSampleRate(kDirectRate);
    plug->SetBlockSize(frames);
    plug->Reset();
    plug->OnParamReset();
  }

  // One block; with `hit`, note 36 at offset 10 first.
  void Block(bool hit) {
    if (hit) {
      IMidiMsg msg(10, 0x90, 36, 100);
      mPlug->ProcessMidiMsg(&msg);
    }
    if (mPlug->DoesSingleReplacing()) {
      float* outputs[2] = {mLeft.data(), mRight.data()};
      mPlug->ProcessSingleReplacing(nullptr, outputs, mFrames);
    } else {
      double* outputs[2] = {mLeftDouble.data(), mRightDouble.data()};
      mPlug->ProcessDoubleReplacing(nullptr, outputs, mFrames);
    }
    benchmark::DoNotOptimize(mLeft.data());
    benchmark::DoNotOptimize(mLeftDouble.data());
  }

private:
  IPluginBase* mPlug;
  int mFrames;
  std::vector<float> mLeft, mRight;
  std::vector<double> mLeftDouble, mRightDouble;
};

// The two ways every overhead benchmark drives a renderer, the instrument's
// own (DirectRenderer) or a host path's: anything with Block(bool hit).

// A benchmark loop of one block per iteration, a hit every blocksPerHit blocks.
template <class Renderer>
void RenderBlocks(benchmark::State& state, Renderer& renderer, int blocksPerHit) {
  int block = 0;
  for (auto _ : state) renderer.Block(block++ % blocksPerHit == 0);
}

// One hit and the blocks that follow it up to the next: a turn of
// InterleavedRatios (Interleaved.h).
template <class Renderer>
void RenderHitChunk(Renderer& renderer, int blocksPerHit) {
  for (int block = 0; block < blocksPerHit; ++block) renderer.Block(block == 0);
}

// RenderBlocks on the instrument itself.
inline void RenderDirect(benchmark::State& state, IPluginBase* plug, int frames, int blocksPerHit) {
  DirectRenderer direct(plug, frames);
  RenderBlocks(state, direct, blocksPerHit);
}

}  // namespace bench
