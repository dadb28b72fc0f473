#pragma once
// A small plug-in deriving from the Audio Unit adapter for the adapter and
// host tests: three parameters (a double with a unit label in group "Main",
// an int with display texts in group "Main", a bool), two presets, and a
// deterministic output: channel c of every sample is Level * (c + 1) plus
// input c when there is one. It records what reaches it.

#include <vector>

#include "au/IPluginAU.h"
#include "au/apple/FourCC.h"

enum ETestParams { kTestLevel = 0, kTestMode, kTestActive, kNumTestParams };

// The next MakePlug() builds a plug-in with this channel configuration;
// "0-1 0-2" (an instrument) unless a test changes it.
struct TestPlugConfig {
  const char* channelIO = "0-1 0-2";
  bool isInstrument = true;
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
