// The instrument's editor in an X11 window: a whole frame (every control
// drawn and sent to the server), one knob, and an idle tick with nothing
// to draw. The editor is the instrument's own, opened the way a host opens
// it; each frame waits for the server, so the figures include the copy to
// the screen. Without DISPLAY a private Xvfb is started; without an X
// server at all the benchmarks are skipped.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "au/IPluginAU.h"
#include "au/IPluginAU_ViewFactory.h"
#include "au/apple/FourCC.h"
#include "host/AUHost.h"
#include "platform/IGraphicsX11.h"
#include "platform/XvfbServer.h"
#include "tonnik/Tonnik.h"
#include "tonnik/TonnikEntry.h"

namespace {

const double kSampleRate = 48000;
const int kBlockSize = 512;

// The instrument with its editor open top-level, for the whole program.
struct Session {
  XvfbServer server;
  AUHost host{Tonnik_Entry,
              ComponentDescription{kAudioUnitType_MusicDevice, MakeFourCC("Tnk4"), MakeFourCC("-VL-"), 0, 0}};
  IGraphicsX11* gui = nullptr;
  std::string error;

  Session() {
    if ((!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) && !server.Start()) {
      error = "no X display and no Xvfb";
      return;
    }
    UseX11Editors();
    if (host.Open() != noErr || host.Prepare(kSampleRate, kBlockSize, 2) != noErr) {
      error = "the instrument did not open";
      return;
    }
    IPluginAU* plug = reinterpret_cast<IPluginAU*>(GetComponentInstanceStorage(host.Unit()));
    gui = dynamic_cast<IGraphicsX11*>(plug->GetGUI());
    IPluginAU_ViewFactory factory("TONNIK-PRO View");
    factory.init();
    if (!gui || !factory.uiViewForAudioUnit(host.Unit(), NSSize{336, 598})) {
      error = gui ? gui->GetLastError() : "no X11 editor";
      gui = nullptr;
      return;
    }
    for (int i = 0; i < 10; ++i) gui->Idle();
    gui->Tick();
    gui->Sync();
  }
};

Session& TheSession() {
  static Session session;
  return session;
}

bool Ready(benchmark::State& state) {
  if (TheSession().gui) return true;
  state.SkipWithError(("skipped: " + TheSession().error).c_str());
  return false;
}

// Every control drawn, the whole window sent, the server done with it.
void BM_FullFrame(benchmark::State& state) {
  if (!Ready(state)) return;
  IGraphicsX11* gui = TheSession().gui;
  for (auto _ : state) {
    gui->SetAllControlsDirty();
    gui->Tick();
    gui->Sync();
  }
  state.SetLabel(gui->UsesShm() ? "MIT-SHM" : "XPutImage");
}
BENCHMARK(BM_FullFrame)->Unit(benchmark::kMillisecond);

// The Decay knob moved by the host: its ring, the knob and the value
// display repainted and sent.
void BM_OneKnob(benchmark::State& state) {
  if (!Ready(state)) return;
  IGraphicsX11* gui = TheSession().gui;
  double value = 0.2;
  for (auto _ : state) {
    value = value > 0.7 ? 0.2 : value + 0.05;
    gui->SetParameterFromPlug(Tonnik::kDecay, value, true);
    gui->Tick();
    gui->Sync();
  }
}
BENCHMARK(BM_OneKnob)->Unit(benchmark::kMicrosecond);

// A tick with nothing dirty: the dirty test finds nothing, nothing is sent.
void BM_IdleTick(benchmark::State& state) {
  if (!Ready(state)) return;
  IGraphicsX11* gui = TheSession().gui;
  gui->Tick();
  for (auto _ : state) benchmark::DoNotOptimize(gui->Tick());
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kMicrosecond);

// The same with the look at the connection for waiting events first.
void BM_IdleTickWithEvents(benchmark::State& state) {
  if (!Ready(state)) return;
  IGraphicsX11* gui = TheSession().gui;
  gui->Tick();
  for (auto _ : state) {
    gui->HandleEvents();
    benchmark::DoNotOptimize(gui->Tick());
  }
}
BENCHMARK(BM_IdleTickWithEvents)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
