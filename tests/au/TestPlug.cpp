#include "au/TestPlug.h"

TestPlugConfig gTestPlugConfig;

TestPlug::TestPlug(IPluginInstanceInfo info)
    : IPluginAU(info, kNumTestParams, gTestPlugConfig.channelIO, 2, "TestPlug", "", "Velmora", 0x00010203,
                MakeFourCC("Tst1"), MakeFourCC("-VL-"), 0, true, true, gTestPlugConfig.isInstrument) {
  GetParam(kTestLevel)->InitDouble("Level", 0.5, 0.0, 1.0, 0.01, "s", "Main");
  GetParam(kTestMode)->InitInt("Mode", 0, 0, 2, "", "Main");
  GetParam(kTestMode)->SetDisplayText(0, "Soft");
  GetParam(kTestMode)->SetDisplayText(1, "Mid");
  GetParam(kTestMode)->SetDisplayText(2, "Hard");
  GetParam(kTestActive)->InitBool("Active", true);
  if (gTestPlugConfig.withEditor) AttachGraphics(new TestEditor(this));
  MakePreset("Init", 0.25, 1, 1);
  MakePreset("Bright", 0.75, 2, 0);
  OnParamReset();
}

void TestPlug::OnParamChange(int paramIdx) {
  IMutexLock lock(this);
  ++mParamChanges;
  if (paramIdx == kTestLevel) mLevel = GetParam(kTestLevel)->Value();
}

void TestPlug::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  ++mProcessCalls;
  for (int c = 0; c < NOutChannels(); ++c)
    for (int s = 0; s < nFrames; ++s)
      outputs[c][s] = mLevel * (c + 1) + (c < NInChannels() ? inputs[c][s] : 0.0);
}

void TestPlug::ProcessMidiMsg(IMidiMsg* msg) { mMidi.push_back(*msg); }

bool TestPlug::SerializeState(ByteChunk* chunk) { return !mFailSerialize && IPluginAU::SerializeState(chunk); }

void TestPlug::Reset() {
  IMutexLock lock(this);
  ++mResets;
}

IPluginAU* MakePlug() {
  IPluginInstanceInfo info;
  info.mBundleID.Set("com.tonnik.test.plug");
  info.mCocoaViewFactoryClassName.Set("TestPlug_View");
  return new TestPlug(info);
}

ComponentResult TestPlugEntry(ComponentParameters* params, Handle storage) {
  return IPluginAU::IPluginAUEntry(params, storage);
}

ComponentDescription TestComponentDescription() {
  return ComponentDescription{kAudioUnitType_MusicDevice, MakeFourCC("Tst1"), MakeFourCC("-VL-"), 0, 0};
}

Component TestComponent() {
  static Component component = [] {
    ComponentDescription cd = TestComponentDescription();
    return RegisterComponent(&cd, TestPlugEntry, 0, nullptr, nullptr, nullptr);
  }();
  return component;
}
