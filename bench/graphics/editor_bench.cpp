// Repaint cost of an instrument-sized editor: 28 bitmap controls on a
// 336 x 598 background, with bitmaps generated in memory.

#include <benchmark/benchmark.h>

#include "graphics/IBitmapControls.h"
#include "graphics/IGraphics.h"
#include "graphics/IKnobControls.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "plugin/IPluginBase.h"

namespace {

constexpr int kWidth = 336;
constexpr int kHeight = 598;
constexpr int kKnobs = 20;
constexpr int kSwitches = 7;
constexpr int kKnobSize = 48;
constexpr int kKnobFrames = 64;

class BenchPlug : public IPluginBase {
public:
  BenchPlug()
      : IPluginBase(kKnobs + kSwitches, "0-2", 1, "Bench", "", "Maker", 0x00010000, 0x42656E63, 0x4D6B725F, 0, true,
                    true, true, kAPIAU) {
    for (int i = 0; i < kKnobs; ++i) GetParam(i)->InitDouble("Knob", 0.5, 0.0, 1.0, 0.01);
    for (int i = 0; i < kSwitches; ++i) GetParam(kKnobs + i)->InitBool("Switch", false);
  }
  void SetParameterFromGUI(int paramIdx, double normalizedValue) override {}
  void BeginInformHostOfParamChange(int paramIdx) override {}
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override {}
  void EndInformHostOfParamChange(int paramIdx) override {}
  void InformHostOfProgramChange() override {}
  double GetSamplePos() override { return 0.0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int* numerator, int* denominator) override {}
  void GetTime(ITimeInfo* timeInfo) override {}
  void ResizeGraphics(int w, int h) override {}
  bool SendMidiMsg(IMidiMsg* msg) override { return true; }
};

// A headless platform whose screen copy costs nothing.
class BenchGraphics : public IGraphics {
public:
  explicit BenchGraphics(IPluginBase* plug) : IGraphics(plug, kWidth, kHeight, 0) {}
  bool DrawScreen(IRECT* r) override { return true; }
  void ForceEndUserEdit() override {}
  int ShowMessageBox(const char* text, const char* caption, int type) override { return 0; }
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* textRect) override { return nullptr; }
  void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str, IParam* param) override {}
  void HostPath(KIT_String* path) override {}
  void PluginPath(KIT_String* path) override {}
  void DesktopPath(KIT_String* path) override {}
  void PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir, char* extension) override {}
  bool PromptForColor(IColor* color, char* prompt) override { return false; }
  bool OpenURL(const char* url, const char* msgWindowTitle, const char* confirmMsg,
               const char* errMsgOnFailure) override {
    return false;
  }
  void* OpenWindow(void* parentView) override { return nullptr; }
  void CloseWindow() override {}
  void* GetWindow() override { return nullptr; }

  // Knob strips shade from dark to light with a translucent rim, like
  // rendered knobs; the background is a gradient.
  PIX_IBitmap* OSLoadBitmap(int id, const char* name) override {
    if (id == 1) {
      auto* bg = new PIX_MemBitmap(kWidth, kHeight, 4);
      for (int y = 0; y < kHeight; ++y) {
        const unsigned shade = 0x404040FFu + static_cast<unsigned>(y & 0x3F) * 0x01010100u;
        PIX_FillRect(bg, 0, y, kWidth, 1, shade, 1.0f, 0);
      }
      return bg;
    }
    if (id == 2) {
      auto* knob = new PIX_MemBitmap(kKnobSize, kKnobSize * kKnobFrames, 4);
      PIX_Clear(knob, 0);
      for (int f = 0; f < kKnobFrames; ++f) {
        const unsigned shade = 0x30u + 3u * static_cast<unsigned>(f);
        const unsigned body = 0xFFu | (shade << 8) | (shade << 16) | (shade << 24);
        PIX_FillRect(knob, 4, f * kKnobSize + 4, kKnobSize - 8, kKnobSize - 8, body, 1.0f, 0);
        PIX_FillRect(knob, 0, f * kKnobSize, kKnobSize, 4, 0xFFFFFF80u, 1.0f, 0);
      }
      return knob;
    }
    auto* sw = new PIX_MemBitmap(30, 40, 4);
    PIX_FillRect(sw, 0, 0, 30, 20, 0x202020FFu, 1.0f, 0);
    PIX_FillRect(sw, 0, 20, 30, 20, 0x00C0FFFFu, 1.0f, 0);
    return sw;
  }
};

struct Editor {
  BenchPlug plug;
  BenchGraphics* gui = new BenchGraphics(&plug);

  Editor() {
    gui->AttachBackground(1, "bg");
    IBitmap knob = gui->LoadIBitmap(2, "knob", kKnobFrames);
    IBitmap sw = gui->LoadIBitmap(3, "switch", 2);
    for (int i = 0; i < kKnobs; ++i)
      gui->AttachControl(new IKnobMultiControl(&plug, 12 + (i % 5) * 64, 20 + (i / 5) * 110, i, &knob));
    for (int i = 0; i < kSwitches; ++i)
      gui->AttachControl(new ISwitchControl(&plug, 20 + (i % 7) * 44, 500, kKnobs + i, &sw));
    plug.AttachGraphics(gui);
    Tick();
  }
  bool Tick() {
    IRECT r;
    if (!gui->IsDirty(&r)) return false;
    gui->Draw(&r);
    return true;
  }
};

void BM_FullRedraw(benchmark::State& state) {
  Editor editor;
  for (auto _ : state) {
    editor.gui->SetAllControlsDirty();
    benchmark::DoNotOptimize(editor.Tick());
  }
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

void BM_OneKnobMoves(benchmark::State& state) {
  Editor editor;
  double value = 0.0;
  for (auto _ : state) {
    value = value > 0.9 ? 0.0 : value + 0.013;
    editor.gui->SetParameterFromPlug(7, value, true);
    benchmark::DoNotOptimize(editor.Tick());
  }
}
BENCHMARK(BM_OneKnobMoves)->Unit(benchmark::kMicrosecond);

void BM_IdleTick(benchmark::State& state) {
  Editor editor;
  while (editor.Tick()) {
  }
  for (auto _ : state) benchmark::DoNotOptimize(editor.Tick());
}
BENCHMARK(BM_IdleTick)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
