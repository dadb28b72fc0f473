// The host library driving the test plug-in the way a real host does.

#include <gtest/gtest.h>

#include <vector>

#include "au/TestPlug.h"
#include "au/apple/StandIn.h"
#include "host/AUHost.h"

namespace {

TestPlug* PlugOf(AUHost& host) {
  return static_cast<TestPlug*>(reinterpret_cast<IPluginAU*>(GetComponentInstanceStorage(host.Unit())));
}

struct Stereo {
  explicit Stereo(int frames) : left((size_t)frames, 0.0f), right((size_t)frames, 0.0f) {}
  float** ptrs() {
    p[0] = left.data();
    p[1] = right.data();
    return p;
  }
  std::vector<float> left, right;
  float* p[2];
};

TEST(AUHost, OpensPreparesRendersAndCloses) {
  const long live = StandIn_LiveCFObjectCount();
  {
    AUHost host(TestPlugEntry, TestComponentDescription());
    ASSERT_EQ(noErr, host.Open());
    ASSERT_EQ(noErr, host.Prepare(48000.0, 256, 2));
    double rate = 0;
    EXPECT_EQ(noErr, host.GetSampleRate(&rate));
    EXPECT_EQ(48000.0, rate);
    UInt32 frames = 0;
    EXPECT_EQ(noErr, host.GetMaxFrames(&frames));
    EXPECT_EQ(256u, frames);
    EXPECT_TRUE(PlugOf(host)->IsActive());

    Stereo out(256);
    ASSERT_EQ(noErr, host.SendMidi(0x90, 36, 100, 17));
    ASSERT_EQ(noErr, host.Render(256, out.ptrs(), 2));
    EXPECT_EQ(256.0, host.GetSampleTime());
    ASSERT_EQ(1u, PlugOf(host)->mMidi.size());
    EXPECT_EQ(17, PlugOf(host)->mMidi[0].mOffset);
    EXPECT_FLOAT_EQ(0.5f, out.left[255]);
    EXPECT_FLOAT_EQ(1.0f, out.right[0]);
    EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, host.Render(257, out.ptrs(), 2));

    ASSERT_EQ(noErr, host.UseFastRender(true));
    ASSERT_EQ(noErr, host.Render(128, out.ptrs(), 2));
    EXPECT_EQ(2, PlugOf(host)->mProcessCalls);

    // Null pointers: the unit renders into its own memory and hands it back.
    float* none[2] = {nullptr, nullptr};
    ASSERT_EQ(noErr, host.Render(64, none, 2));
    ASSERT_NE(nullptr, none[0]);
    EXPECT_FLOAT_EQ(1.0f, none[1][63]);
    EXPECT_EQ(noErr, host.Close());
    EXPECT_FALSE(host.IsOpen());
  }
  EXPECT_EQ(live, StandIn_LiveCFObjectCount());
}

TEST(AUHost, QueriesDescribeTheUnit) {
  AUHost host(TestPlugEntry, TestComponentDescription());
  ASSERT_EQ(noErr, host.Open());
  SInt32 version = 0;
  EXPECT_EQ(noErr, host.GetVersion(&version));
  EXPECT_EQ(0x00010203, version);
  bool canRender = false;
  EXPECT_EQ(noErr, host.CanDo(kAudioUnitRenderSelect, &canRender));
  EXPECT_TRUE(canRender);
  std::vector<AUChannelInfo> channels;
  ASSERT_EQ(noErr, host.GetSupportedChannels(&channels));
  ASSERT_EQ(2u, channels.size());
  EXPECT_EQ(2, channels[1].outChannels);
  std::vector<AudioUnitParameterID> ids;
  ASSERT_EQ(noErr, host.GetParameterList(&ids));
  ASSERT_EQ(3u, ids.size());
  AUHostParamInfo info;
  ASSERT_EQ(noErr, host.GetParameterInfo(kTestLevel, &info));
  EXPECT_EQ("Level", info.name);
  EXPECT_EQ("s", info.unitName);
  EXPECT_EQ(1u, info.clumpID);
  std::string clump;
  EXPECT_EQ(noErr, host.GetParameterClumpName(info.clumpID, &clump));
  EXPECT_EQ("Main", clump);
  std::vector<std::string> texts;
  ASSERT_EQ(noErr, host.GetParameterValueStrings(kTestMode, &texts));
  EXPECT_EQ((std::vector<std::string>{"Soft", "Mid", "Hard"}), texts);
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, host.GetParameterValueStrings(kTestLevel, &texts));
  std::string display;
  const float two = 2.0f;
  EXPECT_EQ(noErr, host.GetParameterDisplay(kTestMode, &two, &display));
  EXPECT_EQ("Hard", display);
  float value = -1.0f;
  EXPECT_EQ(noErr, host.GetParameterValueFromText(kTestMode, "Mid", &value));
  EXPECT_EQ(1.0f, value);
  std::string name;
  EXPECT_EQ(noErr, host.GetOutputName(0, &name));
  EXPECT_EQ("output 1", name);
  double latency = -1;
  EXPECT_EQ(noErr, host.GetLatencySeconds(&latency));
  EXPECT_EQ(0.0, latency);
  UInt32 count = 0;
  EXPECT_EQ(noErr, host.GetElementCount(kAudioUnitScope_Output, &count));
  EXPECT_EQ(1u, count);
}

TEST(AUHost, ParametersThroughEntryFastProcsAndSchedules) {
  AUHost host(TestPlugEntry, TestComponentDescription());
  ASSERT_EQ(noErr, host.Open());
  EXPECT_EQ(noErr, host.SetParameter(kTestLevel, 0.25f));
  float v = 0;
  EXPECT_EQ(noErr, host.GetParameter(kTestLevel, &v));
  EXPECT_FLOAT_EQ(0.25f, v);
  host.UseFastParameterProcs(true);
  EXPECT_EQ(noErr, host.SetParameter(kTestMode, 2.0f));
  EXPECT_EQ(noErr, host.GetParameter(kTestMode, &v));
  EXPECT_EQ(2.0f, v);
  EXPECT_EQ(kAudioUnitErr_InvalidParameter, host.SetParameter(50, 1.0f));
  EXPECT_EQ(noErr, host.ScheduleRamp(kTestLevel, 0.0f, 1.0f, 0, 64));
  EXPECT_EQ(noErr, host.ScheduleParameter(kTestMode, 1.0f, 10));
  EXPECT_EQ(noErr, host.GetParameter(kTestLevel, &v));
  EXPECT_FLOAT_EQ(0.25f, v);
  EXPECT_EQ(noErr, host.GetParameter(kTestMode, &v));
  EXPECT_EQ(1.0f, v);
}

TEST(AUHost, HearsParameterEventsAndPropertyChanges) {
  AUHost host(TestPlugEntry, TestComponentDescription());
  ASSERT_EQ(noErr, host.Open());
  ASSERT_EQ(noErr, host.StartListening({kAudioUnitProperty_PresentPreset, kAudioUnitProperty_SampleRate}));
  TestPlug* plug = PlugOf(host);
  plug->BeginInformHostOfParamChange(kTestLevel);
  plug->SetParameterFromGUI(kTestLevel, 0.4);
  plug->EndInformHostOfParamChange(kTestLevel);
  plug->InformHostOfProgramChange();
  ASSERT_EQ(noErr, host.SetSampleRate(96000));
  std::vector<AUHostEvent> events = host.TakeEvents();
  ASSERT_EQ(5u, events.size());
  EXPECT_EQ(AUHostEvent::kParamBegin, events[0].kind);
  EXPECT_EQ(AUHostEvent::kParamValue, events[1].kind);
  EXPECT_FLOAT_EQ(0.4f, events[1].value);
  EXPECT_EQ(AUHostEvent::kParamEnd, events[2].kind);
  EXPECT_EQ(AUHostEvent::kProperty, events[3].kind);
  EXPECT_EQ((UInt32)kAudioUnitProperty_PresentPreset, events[3].id);
  EXPECT_EQ((UInt32)kAudioUnitProperty_SampleRate, events[4].id);
  EXPECT_TRUE(host.TakeEvents().empty());
  ASSERT_EQ(noErr, host.StopListening());
  plug->InformHostOfProgramChange();
  EXPECT_TRUE(host.TakeEvents().empty());
}

TEST(AUHost, TransportValuesReachThePlugIn) {
  AUHost host(TestPlugEntry, TestComponentDescription());
  ASSERT_EQ(noErr, host.Open());
  ASSERT_EQ(noErr, host.Prepare(44100.0, 128, 2));
  AUHostTransport transport;
  transport.tempo = 174.0;
  transport.beat = 12.0;
  transport.playing = true;
  transport.timeSigNumerator = 3.0f;
  transport.timeSigDenominator = 4;
  host.SetTransport(transport);
  Stereo out(128);
  ASSERT_EQ(noErr, host.Render(128, out.ptrs(), 2));
  TestPlug* plug = PlugOf(host);
  EXPECT_EQ(174.0, plug->GetTempo());
  EXPECT_EQ(128.0, plug->GetSamplePos());
  int num = 0, den = 0;
  plug->GetTimeSig(&num, &den);
  EXPECT_EQ(3, num);
  ITimeInfo info;
  plug->GetTime(&info);
  EXPECT_TRUE(info.mTransportIsRunning);
  EXPECT_EQ(12.0, info.mPPQPos);
}

TEST(AUHost, ClassInfoAndPresetsRoundTrip) {
  const long live = StandIn_LiveCFObjectCount();
  {
    AUHost host(TestPlugEntry, TestComponentDescription());
    ASSERT_EQ(noErr, host.Open());
    std::vector<AUHostPreset> presets;
    ASSERT_EQ(noErr, host.GetFactoryPresets(&presets));
    ASSERT_EQ(2u, presets.size());
    EXPECT_EQ("Bright", presets[1].name);
    ASSERT_EQ(noErr, host.SelectPreset(1));
    AUHostPreset current;
    ASSERT_EQ(noErr, host.GetCurrentPreset(&current));
    EXPECT_EQ(1, current.number);
    EXPECT_EQ("Bright", current.name);
    EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, host.SelectPreset(9));

    host.SetParameter(kTestLevel, 0.33f);
    CFPropertyListRef saved = nullptr;
    ASSERT_EQ(noErr, host.GetClassInfo(&saved));
    host.SetParameter(kTestLevel, 0.9f);

    // A second instance takes the saved state.
    AUHost other(TestPlugEntry, TestComponentDescription());
    ASSERT_EQ(noErr, other.Open());
    ASSERT_EQ(noErr, other.SetClassInfo(saved));
    float v = 0;
    other.GetParameter(kTestLevel, &v);
    EXPECT_FLOAT_EQ(0.33f, v);
    ASSERT_EQ(noErr, other.GetCurrentPreset(&current));
    EXPECT_EQ(1, current.number);
    CFRelease(saved);
    EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, other.SetClassInfo(nullptr));
  }
  EXPECT_EQ(live, StandIn_LiveCFObjectCount());
}

TEST(AUHost, CallsOnAClosedHostFailCleanly) {
  AUHost host(TestPlugEntry, TestComponentDescription());
  Stereo out(16);
  EXPECT_EQ(badComponentInstance, host.Render(16, out.ptrs(), 2));
  float v = 0;
  EXPECT_EQ(badComponentInstance, host.GetParameter(0, &v));
  EXPECT_EQ(paramErr, host.Render(16, nullptr, 2));
  EXPECT_EQ(noErr, host.Close());
}

}  // namespace
