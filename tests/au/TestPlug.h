#pragma once
// A small plug-in deriving from the Audio Unit adapter for the adapter and
// host tests: three parameters (a double with a unit label in group "Main",
// an int with display texts in group "Main", a bool), two presets, and a
// deterministic output: channel c of every sample is Level * (c + 1) plus
// input c when there is one. It records what reaches it.

#include <vector>

#include "au/IPluginAU.h"
#include "au/apple/FourCC.h"
#include "graphics/IGraphics.h"

enum ETestParams { kTestLevel = 0, kTestMode, kTestActive, kNumTestParams };

// The next MakePlug() builds a plug-in with this channel configuration;
// "0-1 0-2" (an instrument) unless a test changes it.
struct TestPlugConfig {
  const char* channelIO = "0-1 0-2";
  bool isInstrument = true;
  bool withEditor = false;
};

// An editor without a screen: it records the windows it is asked to open.
class TestEditor : public IGraphics {
public:
  explicit TestEditor(IPluginBase* plug) : IGraphics(plug, 100, 50, 0) {}

  bool DrawScreen(IRECT* r) override { return true; }
  void ForceEndUserEdit() override {}
  int ShowMessageBox(const char* text, const char* caption, int type) override { return 0; }
  IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* textRect) override { return nullptr; }
  void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str, IParam* param) override {}
  void HostPath(KIT_String* path) override { path->Set(""); }
  void PluginPath(KIT_String* path) override { path->Set(""); }
  void DesktopPath(KIT_String* path) override { path->Set(""); }
  void PromptForFile(KIT_String* fileName, EFileAction action, KIT_String* dir, char* extension) override {
    fileName->Set("");
  }
  bool PromptForColor(IColor* color, char* prompt) override { return false; }
  bool OpenURL(const char* url, const char* title, const char* confirm, const char* error) override { return false; }
  void* OpenWindow(void* parentView) override {
    ++mOpens;
    return &mView;
  }
  void* OpenWindow(void* parentWindow, void* parentControl, short left, short top) override {
    ++mOpens;
    mParentWindow = parentWindow;
    mParentControl = parentControl;
    mLeft = left;
    mTop = top;
    return &mControl;
  }
  void CloseWindow() override { ++mCloses; }
  void* GetWindow() override { return nullptr; }
  PIX_IBitmap* OSLoadBitmap(int id, const char* name) override { return nullptr; }

  int mView = 0;
  int mControl = 0;
  int mOpens = 0;
  int mCloses = 0;
  void* mParentWindow = nullptr;
  void* mParentControl = nullptr;
  short mLeft = -1;
  short mTop = -1;
};
extern TestPlugConfig gTestPlugConfig;

class TestPlug : public IPluginAU {
public:
  explicit TestPlug(IPluginInstanceInfo info);

  void OnParamChange(int paramIdx) override;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  void ProcessMidiMsg(IMidiMsg* msg) override;
  bool SerializeState(ByteChunk* chunk) override;
  void Reset() override;

  double mLevel = 0.0;
  int mProcessCalls = 0;
  int mResets = 0;
  int mParamChanges = 0;
  bool mFailSerialize = false;
  std::vector<IMidiMsg> mMidi;
};

// The component entry, as a product exports it.
ComponentResult TestPlugEntry(ComponentParameters* params, Handle storage);
// Registers (once) the test component and returns it.
Component TestComponent();
// Its description: an instrument 'Tst1' by '-VL-'.
ComponentDescription TestComponentDescription();

// An open instance of the test component, closed on destruction.
struct TestUnit {
  TestUnit() { OpenAComponent(TestComponent(), &unit); }
  ~TestUnit() {
    if (unit) CloseComponent(unit);
  }
  TestUnit(const TestUnit&) = delete;
  TestUnit& operator=(const TestUnit&) = delete;
  TestPlug* Plug() const {
    return static_cast<TestPlug*>(reinterpret_cast<IPluginAU*>(GetComponentInstanceStorage(unit)));
  }

  AudioUnit unit = nullptr;
};
