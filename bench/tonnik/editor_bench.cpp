// Opening an instance with its editor: the instrument made by its factory,
// the editor built (images decoded, fonts made), the window opened and the
// first full frame drawn. The first instance in a process pays for the
// images and fonts; later ones share them from the caches.

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
