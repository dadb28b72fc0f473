// Opening an instance with its editor: the instrument made by its factory,
// the editor built (images decoded, fonts made), the window opened and the
// first full frame drawn. The first instance in a process pays for the
// images and fonts; later ones share them from the caches. Targets: the
// first under 20 ms, every later one under 1 ms.
//
// What the costs are made of (callgrind instructions; getrusage):
// - First: decoding the 13 PNG images (libpng and zlib, about 90 M
//   instructions: three quarters of it), fontconfig's start-up (24 M),
//   then the same work as a later instance.
// - Later, about 2.3 M instructions (0.36 ms user time): drawing the first
//   frame (the five rotated knobs about 1.5 M, the other controls' blits
//   0.4 M), building the editor 0.25 M. The kernel time is larger (0.8 ms):
//   the two 800 KB frame buffers (the editor's drawing context and the
//   window's copy) are returned to the system when an instance closes and
//   every page faults in again for the next one.

#include <benchmark/benchmark.h>

#include "au/IPluginAU.h"
#include "platform/IGraphicsHeadless.h"

namespace {

// One instance from its factory to its first frame on the screen.
void OpenAndDraw() {
  IPluginAU* plug = MakePlug();
  IGraphicsHeadless* gui = static_cast<IGraphicsHeadless*>(plug->GetGUI());
  gui->OpenWindow(nullptr);
  benchmark::DoNotOptimize(gui->Tick());
  benchmark::ClobberMemory();
  delete plug;
}

// Runs once, first: nothing is cached yet.
void BM_FirstInstanceWithEditor(benchmark::State& state) {
  for (auto _ : state) OpenAndDraw();
}
BENCHMARK(BM_FirstInstanceWithEditor)->Iterations(1)->Unit(benchmark::kMillisecond);

// Every later instance: images and fonts come from the caches.
void BM_LaterInstanceWithEditor(benchmark::State& state) {
  for (auto _ : state) OpenAndDraw();
}
BENCHMARK(BM_LaterInstanceWithEditor)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
