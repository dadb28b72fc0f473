#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <vector>

#include "TestPlug.h"
#include "plugin/NChanDelayLine.h"

TEST(ChannelIO, ParsesPairsAndChecksLegality) {
  TestPlug plug(1, "0-1 0-2");
  EXPECT_EQ(plug.NChannelIO(), 2);
  EXPECT_EQ(plug.NInChannels(), 0);
  EXPECT_EQ(plug.NOutChannels(), 2);
  int in = -5, out = -5;
  EXPECT_TRUE(plug.GetChannelIO(1, &in, &out));
  EXPECT_EQ(in, 0);
  EXPECT_EQ(out, 2);
  EXPECT_FALSE(plug.GetChannelIO(2, &in, &out));

  const struct {
    int in, out;
    bool legal;
  } cases[] = {{0, 2, true}, {0, 1, true}, {-1, 1, true}, {-1, -1, true},
               {1, 2, false}, {0, 3, false}, {0, -1, true}, {2, -1, false}};
  for (const auto& c : cases) EXPECT_EQ(plug.LegalIO(c.in, c.out), c.legal) << c.in << "-" << c.out;

  TestPlug stereo(1, "2-2");
  EXPECT_EQ(stereo.NInChannels(), 2);
  EXPECT_EQ(stereo.NOutChannels(), 2);
  TestPlug many(1, "1-1 4-2 2-6");
  EXPECT_EQ(many.NInChannels(), 4);
  EXPECT_EQ(many.NOutChannels(), 6);
  TestPlug none(1, nullptr);
  EXPECT_EQ(none.NChannelIO(), 0);
  EXPECT_EQ(none.NOutChannels(), 0);
}

TEST(ChannelIODeathTest, MalformedStringStops) {
  const char* bad[] = {"22", "0-1 x-2", "", "0-1 "};
  for (const char* s : bad) EXPECT_DEATH(TestPlug(1, s), "channelIOStrValid") << s;
}

TEST(ChannelIO, ConnectionsAndLimits) {
  TestPlug plug(1, "4-4");
  EXPECT_FALSE(plug.IsInChannelConnected(0));
  plug.SetInputChannelConnections(0, 3, true);
  plug.SetOutputChannelConnections(1, 100, true);
  EXPECT_TRUE(plug.IsInChannelConnected(2));
  EXPECT_FALSE(plug.IsInChannelConnected(3));
  EXPECT_FALSE(plug.IsOutChannelConnected(0));
  EXPECT_TRUE(plug.IsOutChannelConnected(3));
  EXPECT_FALSE(plug.IsOutChannelConnected(4));
  EXPECT_FALSE(plug.IsInChannelConnected(-1));
  plug.LimitToStereoIO();
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_TRUE(plug.IsOutChannelConnected(2));
}

TEST(ChannelIO, BusLabels) {
  TestPlug plug;
  plug.SetInputBusLabel(2, "nope");
  plug.SetInputBusLabel(1, "side");
  EXPECT_EQ(plug.GetInputBusLabel(0), nullptr);
  EXPECT_STREQ(plug.GetInputBusLabel(1), "side");
  plug.SetInputBusLabel(1, "sidechain");
  EXPECT_STREQ(plug.GetInputBusLabel(1), "sidechain");
  EXPECT_EQ(plug.GetInputBusLabel(2), nullptr);
  plug.SetOutputBusLabel(3, "aux");
  plug.SetOutputBusLabel(-1, "bad");
  EXPECT_STREQ(plug.GetOutputBusLabel(3), "aux");
  plug.SetInputLabel(7, "ignored");
  plug.SetOutputLabel(0, "left");
}

// Fills every output with a ramp so the tests can tell where it went.
class RampPlug : public TestPlug {
public:
  using TestPlug::TestPlug;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override {
    mFrames = nFrames;
    for (int c = 0; c < NOutChannels(); ++c)
      for (int s = 0; s < nFrames; ++s) outputs[c][s] = (c + 1) * 0.25 + s * 0.001;
  }
  int mFrames = -1;
};

TEST(Buffers, UnconnectedChannelsUseScratch) {
  TestPlug plug(1, "2-2");
  plug.SetBlockSize(8);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetInputChannelConnections(1, 1, false);
  plug.SetOutputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(1, 1, false);
  plug.ZeroScratchBuffers();
  std::vector<double> in0(8, 0.5), out0(8, -1.0), hostOut1(8, -1.0);
  double* ins[] = {in0.data()};
  double* outs[] = {out0.data(), hostOut1.data()};
  plug.AttachInputBuffers(0, 2, ins, 8);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0, 8);
  for (int s = 0; s < 8; ++s) {
    EXPECT_EQ(out0[s], 0.5);
    EXPECT_EQ(hostOut1[s], -1.0);  // the unconnected output wrote to scratch
  }
}

TEST(Buffers, UnconnectedInputReadsZeros) {
  TestPlug plug(1, "2-2");
  plug.SetBlockSize(4);
  plug.SetOutputChannelConnections(0, 2, true);
  plug.ZeroScratchBuffers();
  std::vector<double> out0(4, 9.0), out1(4, 9.0);
  double* outs[] = {out0.data(), out1.data()};
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0, 4);
  for (int s = 0; s < 4; ++s) {
    EXPECT_EQ(out0[s], 0.0);
    EXPECT_EQ(out1[s], 0.0);
  }
}

TEST(Buffers, OneConnectedOutputTakesTheFirstPointer) {
  RampPlug plug(1, "0-2");
  plug.SetBlockSize(4);
  plug.SetOutputChannelConnections(1, 1, true);
  std::vector<double> host(4, 0.0);
  double* outs[] = {host.data(), nullptr};
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0, 4);
  EXPECT_DOUBLE_EQ(host[0], 0.5);  // channel 1's ramp
}

TEST(Buffers, FloatConversionAndAccumulation) {
  RampPlug plug(1, "1-2");
  plug.SetBlockSize(16);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<float> in(16, 0.125f), out0(16, 1.0f), out1(16, 1.0f);
  float* ins[] = {in.data()};
  float* outs[] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 1, ins, 16);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 16);
  for (int s = 0; s < 16; ++s) {
    EXPECT_EQ(out0[s], static_cast<float>(0.25 + s * 0.001));
    EXPECT_EQ(out1[s], static_cast<float>(0.5 + s * 0.001));
  }
  plug.ProcessBuffersAccumulating(0.0f, 16);
  for (int s = 0; s < 16; ++s)
    EXPECT_EQ(out0[s], static_cast<float>(0.25 + s * 0.001) + static_cast<float>(0.25 + s * 0.001));
}

// Every length, so that the vector steps and the tail after them are all covered.
TEST(Buffers, FloatConversionOfEveryLength) {
  RampPlug plug(1, "0-1");
  plug.SetBlockSize(40);
  plug.SetOutputChannelConnections(0, 1, true);
  for (int n = 0; n <= 40; ++n) {
    std::vector<float> out(41, -7.0f);
    float* outs[] = {out.data()};
    plug.AttachOutputBuffers(0, 1, outs);
    plug.ProcessBuffers(0.0f, n);
    for (int s = 0; s < n; ++s) ASSERT_EQ(out[s], static_cast<float>(0.25 + s * 0.001)) << n << ": " << s;
    EXPECT_EQ(out[n], -7.0f) << n;
  }
}

TEST(Buffers, FloatInputsConvertIntoScratch) {
  TestPlug plug(1, "1-1");
  plug.SetBlockSize(32);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, true);
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
  std::vector<float> in(32), out(32, 0.0f);
  for (float& v : in) v = dist(rng);
  float* ins[] = {in.data()};
  float* outs[] = {out.data()};
  plug.AttachInputBuffers(0, 1, ins, 32);
  plug.AttachOutputBuffers(0, 1, outs);
  plug.PassThroughBuffers(0.0f, 32);
  EXPECT_EQ(in, out);
}

TEST(Buffers, BlocksLongerThanScratchAreCut) {
  RampPlug plug(1, "1-1");
  plug.SetBlockSize(8);
  plug.SetOutputChannelConnections(0, 1, true);
  std::vector<float> out(64, 7.0f);
  float* outs[] = {out.data()};
  plug.AttachOutputBuffers(0, 1, outs);
  plug.ProcessBuffers(0.0f, 64);
  EXPECT_EQ(plug.mFrames, 8);
  EXPECT_EQ(out[8], 7.0f);

  // Nothing set up at all: no frames are run through missing scratch.
  RampPlug fresh(1, "0-2");
  fresh.ProcessBuffers(0.0, 512);
  EXPECT_EQ(fresh.mFrames, 0);
}

// Renders floats itself: output c gets its ramp, plus input 0 where there is one.
class SinglePlug : public RampPlug {
public:
  explicit SinglePlug(const char* io) : RampPlug(1, io) { EnableSingleReplacing(); }
  void ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) override {
    mFrames = nFrames;
    mInputs = inputs;
    for (int c = 0; c < NOutChannels(); ++c)
      for (int s = 0; s < nFrames; ++s)
        outputs[c][s] = static_cast<float>((c + 1) * 0.25 + s * 0.001) + (NInChannels() > 0 ? inputs[0][s] : 0.0f);
  }
  float** mInputs = nullptr;
};

TEST(Buffers, SingleReplacingWritesStraightIntoTheHostBuffers) {
  SinglePlug plug("1-2");
  plug.SetBlockSize(8);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(1, 1, false);
  std::vector<float> in(8, 0.5f), out0(8, 9.0f), out1(8, 9.0f);
  float* ins[] = {in.data()};
  float* outs[] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 1, ins, 8);
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0f, 8);
  EXPECT_EQ(plug.mFrames, 8);
  EXPECT_EQ(plug.mInputs[0], in.data());  // the host's own buffer
  for (int s = 0; s < 8; ++s) {
    EXPECT_EQ(out0[s], static_cast<float>(0.25 + s * 0.001) + 0.5f);
    EXPECT_EQ(out1[s], 9.0f);  // unconnected: written to float scratch
  }
  // Accumulating stays on the double path: the ramp of ProcessDoubleReplacing.
  plug.ProcessBuffersAccumulating(0.0f, 8);
  for (int s = 0; s < 8; ++s)
    EXPECT_EQ(out0[s], static_cast<float>(0.25 + s * 0.001) + 0.5f + static_cast<float>(0.25 + s * 0.001));
}

TEST(Buffers, SingleReplacingGetsZerosForUnconnectedInputs) {
  SinglePlug plug("1-1");
  plug.SetBlockSize(4);
  plug.SetOutputChannelConnections(0, 1, true);
  plug.ZeroScratchBuffers();
  std::vector<float> out(4, 9.0f);
  float* outs[] = {out.data()};
  plug.AttachOutputBuffers(0, 1, outs);
  plug.ProcessBuffers(0.0f, 4);
  for (int s = 0; s < 4; ++s) EXPECT_EQ(out[s], static_cast<float>(0.25 + s * 0.001));
  // Bypassed, the base's pass-through copies the (silent) input on doubles.
  plug.PassThroughBuffers(0.0f, 4);
  EXPECT_EQ(out, std::vector<float>(4, 0.0f));
}

// The block is cut to the scratch length only when some channel runs through
// scratch, whichever sample type; a block size grown later makes room.
TEST(Buffers, SingleReplacingBlocksLongerThanScratchAreCut) {
  SinglePlug plug("0-2");
  plug.SetBlockSize(8);
  plug.SetOutputChannelConnections(0, 1, true);
  std::vector<float> out(64, 7.0f);
  float* outs[] = {out.data()};
  plug.AttachOutputBuffers(0, 1, outs);
  plug.ProcessBuffers(0.0f, 64);
  EXPECT_EQ(plug.mFrames, 8);
  EXPECT_EQ(out[8], 7.0f);
  plug.SetBlockSize(64);
  plug.ProcessBuffers(0.0f, 64);
  EXPECT_EQ(plug.mFrames, 64);
  EXPECT_EQ(out[63], static_cast<float>(0.25 + 63 * 0.001));
}

TEST(Buffers, SetBlockSizeIgnoresNegativeSizes) {
  TestPlug plug(1, "0-1");
  plug.SetBlockSize(16);
  plug.SetBlockSize(16);
  EXPECT_EQ(plug.GetBlockSize(), 16);
  plug.SetBlockSize(-3);
  EXPECT_EQ(plug.GetBlockSize(), 16);
}

TEST(Buffers, BasePassThroughCopiesAndZeroes) {
  const struct {
    const char* io;
    int nIn, nOut;
  } cases[] = {{"1-2", 1, 2}, {"2-1", 2, 1}, {"2-2", 2, 2}};
  for (const auto& c : cases) {
    TestPlug plug(1, c.io);
    std::vector<std::vector<double>> in(c.nIn, std::vector<double>(4)), out(c.nOut, std::vector<double>(4, 9.0));
    std::vector<double*> ins, outs;
    for (int j = 0; j < c.nIn; ++j) {
      for (int s = 0; s < 4; ++s) in[j][s] = j + 1 + s * 0.5;
      ins.push_back(in[j].data());
    }
    for (auto& o : out) outs.push_back(o.data());
    plug.ProcessDoubleReplacing(ins.data(), outs.data(), 4);
    for (int j = 0; j < c.nOut; ++j)
      for (int s = 0; s < 4; ++s) EXPECT_EQ(out[j][s], j < c.nIn ? in[j][s] : 0.0) << c.io;
  }
}

TEST(DelayLine, DelaysEachChannel) {
  const int kDelay = 5, kFrames = 37;
  NChanDelayLine line(2, 2);
  line.SetDelayTime(kDelay);
  std::vector<double> in0(kFrames), in1(kFrames), out0(kFrames), out1(kFrames);
  for (int s = 0; s < kFrames; ++s) {
    in0[s] = s + 1;
    in1[s] = -(s + 1);
  }
  double* ins[] = {in0.data(), in1.data()};
  double* outs[] = {out0.data(), out1.data()};
  // Two uneven blocks must give the same stream as one.
  line.ProcessBlock(ins, outs, 11);
  double* ins2[] = {in0.data() + 11, in1.data() + 11};
  double* outs2[] = {out0.data() + 11, out1.data() + 11};
  line.ProcessBlock(ins2, outs2, kFrames - 11);
  for (int s = 0; s < kFrames; ++s) {
    EXPECT_EQ(out0[s], s < kDelay ? 0.0 : in0[s - kDelay]);
    EXPECT_EQ(out1[s], s < kDelay ? 0.0 : in1[s - kDelay]);
  }
  // In place works too, and a zero delay copies.
  NChanDelayLine none(1, 1);
  none.SetDelayTime(0);
  std::vector<double> a = {1, 2, 3}, b(3);
  double* ia[] = {a.data()};
  double* ob[] = {b.data()};
  none.ProcessBlock(ia, ob, 3);
  EXPECT_EQ(a, b);
}

TEST(IPluginBase, IdentityVersionsAndTiming) {
  TestPlug plug;
  EXPECT_EQ(plug.GetEffectVersion(true), 10203);
  EXPECT_EQ(plug.GetEffectVersion(false), 0x00010203);
  char str[32];
  plug.GetEffectVersionStr(str);
  EXPECT_STREQ(str, "v1.2.3D");
  GetVersionStr(65793, str);
  EXPECT_STREQ(str, "v1.1.1");
  EXPECT_EQ(GetDecimalVersion(65793), 10101);
  EXPECT_EQ(plug.GetSampleRate(), 44100.0);
  EXPECT_DOUBLE_EQ(plug.GetSamplesPerBeat(), 22050.0);
  plug.mTempo = 0.0;
  EXPECT_EQ(plug.GetSamplesPerBeat(), 0.0);
  EXPECT_STREQ(plug.GetEffectName(), "Test");
  EXPECT_STREQ(GetAPIString(plug.GetAPI()), "AU");
  EXPECT_STREQ(GetAPIString(static_cast<EAPI>(9)), "");
  EXPECT_STREQ(GetArchString(), "x64");
  EXPECT_EQ(plug.GetParam(3), nullptr);
  EXPECT_EQ(plug.GetParam(-1), nullptr);
  char name[8] = "x";
  EXPECT_FALSE(plug.MidiNoteName(60, name));
  EXPECT_STREQ(name, "");
}

TEST(IPluginBase, ParameterFromEditorInformsHostUnrounded) {
  TestPlug plug(2);
  plug.GetParam(0)->InitInt("Tune", 0, -12, 12);
  plug.SetParameterFromGUI(0, 0.52);
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.0);
  ASSERT_EQ(plug.mHostValues.size(), 1u);
  EXPECT_EQ(plug.mHostValues[0].mNormalized, 0.52);
  EXPECT_EQ(plug.mParamChanges, std::vector<int>{0});
  plug.SetParameterFromGUI(9, 0.5);  // unknown index: nothing happens
  EXPECT_EQ(plug.mHostValues.size(), 1u);

  plug.OnParamReset();
  EXPECT_EQ(plug.mParamChanges, (std::vector<int>{0, 0, 1}));
  plug.DirtyParameters();
  EXPECT_EQ(plug.mHostValues.size(), 3u);
}

TEST(IPluginBase, MidiForwardingAndSendAll) {
  TestPlug plug;
  IMidiMsg m(0, 0x90, 60, 100);
  plug.ProcessMidiMsg(&m);
  ASSERT_EQ(plug.mSentMidi.size(), 1u);
  KIT_TypedBuf<IMidiMsg> msgs;
  msgs.Add(IMidiMsg(0, 0x90, 1, 1));
  msgs.Add(IMidiMsg(0, 0x00, 1, 1));  // refused by the test plug
  msgs.Add(IMidiMsg(0, 0x80, 1, 1));
  EXPECT_FALSE(plug.SendMidiMsgs(&msgs));
  EXPECT_EQ(plug.mSentMidi.size(), 4u);  // the failure did not stop the loop
}

TEST(IPluginBase, AttachGraphicsTakesOwnership) {
  TestPlug plug;
  plug.AttachGraphics(nullptr);
  EXPECT_EQ(plug.GetGUI(), nullptr);
  TestGraphics* gui = new TestGraphics(&plug);
  EXPECT_EQ(gui->FPS(), 25);
  plug.AttachGraphics(gui);
  EXPECT_EQ(plug.GetGUI(), gui);
  plug.RedrawParamControls();
}

TEST(IPluginBase, MutexIsRecursive) {
  TestPlug plug;
  IPluginBase::IMutexLock outer(&plug);
  {
    IPluginBase::IMutexLock inner(&plug);
    plug.Reset();
    plug.OnActivate(true);
  }
  IPluginBase::IMutexLock none(nullptr);
}

// Sees, from inside the editor's parameter path, whether its thread is marked.
class MarkSeeingPlug : public TestPlug {
public:
  void OnParamChange(int paramIdx) override { mMarkedInChange = InEditorOperation(); }
  bool mMarkedInChange = false;
};

TEST(EditorLock, MarksOnlyItsOwnThreadAndNests) {
  MarkSeeingPlug plug;
  EXPECT_FALSE(IPluginBase::InEditorOperation());
  {
    IPluginBase::IEditorLock outer(&plug);
    {
      IPluginBase::IEditorLock inner(&plug);
      EXPECT_TRUE(IPluginBase::InEditorOperation());
    }
    EXPECT_TRUE(IPluginBase::InEditorOperation());
    bool markedElsewhere = true;
    std::thread([&] { markedElsewhere = IPluginBase::InEditorOperation(); }).join();
    EXPECT_FALSE(markedElsewhere);
  }
  EXPECT_FALSE(IPluginBase::InEditorOperation());

  plug.SetParameterFromGUI(0, 0.5);
  EXPECT_TRUE(plug.mMarkedInChange);
  // A host's parameter path holds the plain mutex and is not an editor operation.
  {
    IPluginBase::IMutexLock host(&plug);
    plug.OnParamChange(0);
  }
  EXPECT_FALSE(plug.mMarkedInChange);
}

// Rendering on another thread while the editor holds its lock, and rendering
// under the plain mutex as the component entry does, are what hosts do.
TEST(EditorLock, AudioEntryPointsRunBesideAnEditorOperation) {
  TestPlug plug(1, "0-2");
  plug.SetBlockSize(4);
  plug.SetOutputChannelConnections(0, 2, true);
  std::vector<double> left(4, 1.0), right(4, 1.0);
  double* outs[] = {left.data(), right.data()};
  plug.AttachOutputBuffers(0, 2, outs);
  {
    IPluginBase::IEditorLock editor(&plug);
    std::thread([&] { plug.ProcessBuffers(0.0, 4); }).join();
  }
  EXPECT_EQ(left, std::vector<double>(4, 0.0));
  IPluginBase::IMutexLock entry(&plug);
  plug.PassThroughBuffers(0.0, 4);
}

TEST(EditorLockDeathTest, AudioEntryPointInsideAnEditorOperationStops) {
#ifdef NDEBUG
  GTEST_SKIP() << "the check is compiled out of release builds";
#else
  TestPlug plug(1, "0-2");
  plug.SetBlockSize(4);
  EXPECT_DEATH(
      {
        IPluginBase::IEditorLock editor(&plug);
        plug.ProcessBuffers(0.0f, 4);
      },
      "inside an editor or file operation");
  EXPECT_DEATH(
      {
        IPluginBase::IEditorLock editor(&plug);
        plug.PassThroughBuffers(0.0, 4);
      },
      "inside an editor or file operation");
#endif
}
