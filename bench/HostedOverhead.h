#pragma once
// The two benchmarks every plug-in format's overhead program runs on its
// host path (anything with Block(bool hit) and IsOpen(), as DirectRender.h
// describes): the path alone, cost per frame, and the path against the
// instrument rendered directly, one hit's blocks at a time in turns.
// Header only; the caller owns the plug-in and the host path.

#include <benchmark/benchmark.h>

#include "DirectRender.h"
#include "Interleaved.h"
#include "TargetReport.h"

namespace bench {

// A loop of one block per iteration through the host path, reported per
// frame; skipped, saying `notOpen`, when the path did not open.
template <class Hosted>
void RenderHosted(benchmark::State& state, Hosted& hosted, int frames, int blocksPerHit, const char* notOpen) {
  if (!hosted.IsOpen()) {
    state.SkipWithError(notOpen);
    return;
  }
  RenderBlocks(state, hosted, blocksPerHit);
  ReportPerItem(state, frames);
}

// The host path's time over the instrument's own (plug, rendered directly
// at `frames` per block), as the counter `ratio`; skipped, saying `notOpen`,
// when the path did not open.
template <class Hosted>
void MeasureOverhead(benchmark::State& state, IPluginBase* plug, Hosted& hosted, int frames, int blocksPerHit,
                     const char* notOpen, const char* ratio) {
  DirectRenderer direct(plug, frames);
  if (!hosted.IsOpen()) {
    state.SkipWithError(notOpen);
    return;
  }
  InterleavedRatios turns({[&] { RenderHitChunk(direct, blocksPerHit); },
                           [&] { RenderHitChunk(hosted, blocksPerHit); }});
  for (auto _ : state) turns.Round();
  state.counters[ratio] = turns.MedianRatio(1);
}

}  // namespace bench
