// Buses, stream formats, connections, rendering and the transport queries.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "au/TestPlug.h"

namespace {

AudioTimeStamp SampleTime(double t) {
  AudioTimeStamp ts;
  std::memset(&ts, 0, sizeof ts);
  ts.mSampleTime = t;
  ts.mFlags = kAudioTimeStampSampleTimeValid;
  return ts;
}

// A host-side buffer list with n non-interleaved channel buffers.
struct HostBuffers {
  HostBuffers(int nChannels, int nFrames, bool withData)
      : storage(sizeof(AudioBufferList) + sizeof(AudioBuffer) * (nChannels > 0 ? nChannels - 1 : 0)),
        samples((size_t)nChannels * nFrames, -9.0f) {
    list()->mNumberBuffers = (UInt32)nChannels;
    for (int c = 0; c < nChannels; ++c) {
      list()->mBuffers[c].mNumberChannels = 1;
      list()->mBuffers[c].mDataByteSize = (UInt32)(nFrames * sizeof(float));
      list()->mBuffers[c].mData = withData ? &samples[(size_t)c * nFrames] : nullptr;
    }
  }
  AudioBufferList* list() { return reinterpret_cast<AudioBufferList*>(storage.data()); }
  float* channel(int c) { return static_cast<float*>(list()->mBuffers[c].mData); }

  std::vector<unsigned char> storage;
  std::vector<float> samples;
};

OSStatus Render(AudioUnit unit, double sampleTime, int nFrames, AudioBufferList* list, UInt32 bus = 0) {
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp ts = SampleTime(sampleTime);
  return AudioUnitRender(unit, &flags, &ts, bus, (UInt32)nFrames, list);
}

TEST(AURender, InstrumentRendersBothChannelsOnEveryValidCall) {
  TestUnit u;
  ASSERT_EQ(noErr, AudioUnitInitialize(u.unit));
  HostBuffers out(2, 64, true);
  ASSERT_EQ(noErr, Render(u.unit, 0, 64, out.list()));
  EXPECT_EQ(1, u.Plug()->mProcessCalls);
  EXPECT_FLOAT_EQ(0.5f, out.channel(0)[0]);
  EXPECT_FLOAT_EQ(1.0f, out.channel(1)[63]);
  ASSERT_EQ(noErr, Render(u.unit, 64, 64, out.list()));
  EXPECT_EQ(2, u.Plug()->mProcessCalls);
}

TEST(AURender, FramesUpToTheBlockSizeOnly) {
  TestUnit u;
  const UInt32 block = 128;
  ASSERT_EQ(noErr, AudioUnitSetProperty(u.unit, kAudioUnitProperty_MaximumFramesPerSlice, 0, 0, &block, 4));
  HostBuffers out(2, 129, true);
  EXPECT_EQ(noErr, Render(u.unit, 0, 128, out.list()));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, Render(u.unit, 128, 129, out.list()));
  EXPECT_EQ(1, u.Plug()->mProcessCalls);
  // No valid sample time, or a bus that does not exist: refused as well.
  AudioUnitRenderActionFlags flags = 0;
  AudioTimeStamp ts = SampleTime(0);
  ts.mFlags = kAudioTimeStampHostTimeValid;
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, AudioUnitRender(u.unit, &flags, &ts, 0, 16, out.list()));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, Render(u.unit, 0, 16, out.list(), 1));
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, AudioUnitRender(u.unit, &flags, nullptr, 0, 16, out.list()));
  EXPECT_EQ(1, u.Plug()->mProcessCalls);
}

TEST(AURender, BufferListsThatCannotHoldTheBlockAreRefused) {
  TestUnit u;
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, Render(u.unit, 0, 32, nullptr));
  HostBuffers three(3, 32, true);  // the bus has two channels
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, Render(u.unit, 0, 32, three.list()));
  HostBuffers shortOne(2, 32, true);
  shortOne.list()->mBuffers[1].mDataByteSize = 31 * sizeof(float);
  EXPECT_EQ(kAudioUnitErr_InvalidPropertyValue, Render(u.unit, 0, 32, shortOne.list()));
  EXPECT_EQ(-9.0f, shortOne.samples[32]);
  EXPECT_EQ(0, u.Plug()->mProcessCalls);
  HostBuffers good(2, 32, true);
  EXPECT_EQ(noErr, Render(u.unit, 0, 32, good.list()));
  EXPECT_EQ(1, u.Plug()->mProcessCalls);
}

TEST(AURender, NullDataPointersRenderIntoScratchAndAreHandedBack) {
  TestUnit u;
  HostBuffers out(2, 48, false);
  ASSERT_EQ(noErr, Render(u.unit, 0, 48, out.list()));
  ASSERT_NE(nullptr, out.channel(0));
  ASSERT_NE(nullptr, out.channel(1));
  EXPECT_NE(out.channel(0), out.channel(1));
  EXPECT_EQ(48u * sizeof(float), out.list()->mBuffers[1].mDataByteSize);
  for (int s = 0; s < 48; ++s) {
    EXPECT_FLOAT_EQ(0.5f, out.channel(0)[s]);
    EXPECT_FLOAT_EQ(1.0f, out.channel(1)[s]);
  }
}

TEST(AURender, OneHostBufferConnectsOneChannel) {
  TestUnit u;
  HostBuffers out(1, 16, true);
  ASSERT_EQ(noErr, Render(u.unit, 0, 16, out.list()));
  EXPECT_TRUE(u.Plug()->IsOutChannelConnected(0));
  EXPECT_FALSE(u.Plug()->IsOutChannelConnected(1));
  EXPECT_FLOAT_EQ(0.5f, out.channel(0)[15]);
}

struct NotifyLog {
  std::vector<AudioUnitRenderActionFlags> flags;
  std::vector<float> firstSample;
};

OSStatus LogNotify(void* refCon, AudioUnitRenderActionFlags* flags, const AudioTimeStamp*, UInt32, UInt32,
                   AudioBufferList* data) {
  NotifyLog* log = static_cast<NotifyLog*>(refCon);
  log->flags.push_back(*flags);
  log->firstSample.push_back(static_cast<float*>(data->mBuffers[0].mData)[0]);
  return noErr;
}

TEST(AURender, RenderNotificationsComeBeforeAndAfter) {
  TestUnit u;
  NotifyLog log;
  ASSERT_EQ(noErr, AudioUnitAddRenderNotify(u.unit, LogNotify, &log));
  HostBuffers out(2, 8, true);
  ASSERT_EQ(noErr, Render(u.unit, 0, 8, out.list()));
  ASSERT_EQ(2u, log.flags.size());
  EXPECT_EQ((UInt32)kAudioUnitRenderAction_PreRender, log.flags[0]);
  EXPECT_EQ(-9.0f, log.firstSample[0]);  // not rendered yet
  EXPECT_EQ((UInt32)kAudioUnitRenderAction_PostRender, log.flags[1]);
  EXPECT_FLOAT_EQ(0.5f, log.firstSample[1]);
  ASSERT_EQ(noErr, AudioUnitRemoveRenderNotify(u.unit, LogNotify, &log));
  ASSERT_EQ(noErr, Render(u.unit, 8, 8, out.list()));
  EXPECT_EQ(2u, log.flags.size());
  EXPECT_EQ(paramErr, AudioUnitAddRenderNotify(u.unit, nullptr, &log));
}

OSStatus CountNotify(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32,
                     AudioBufferList*) {
  static_cast<std::atomic<int>*>(refCon)->fetch_add(1);
  return noErr;
}

TEST(AURender, RenderNotificationsMayComeAndGoWhileTheRenderThreadRuns) {
  TestUnit u;
  AudioUnitRenderProc render = nullptr;
  UInt32 size = sizeof render;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_FastDispatch, 0, kAudioUnitRenderSelect, &render,
                                        &size));
  void* storage = u.Plug();
  std::atomic<int> calls{0};
  std::atomic<bool> done{false};
  std::thread renderer([&] {
    HostBuffers out(2, 64, true);
    for (int i = 0; i < 2000; ++i) {
      AudioUnitRenderActionFlags flags = 0;
      AudioTimeStamp ts = SampleTime(64.0 * i);
      EXPECT_EQ(noErr, render(storage, &flags, &ts, 0, 64, out.list()));
    }
    done = true;
  });
  while (!done) {
    AudioUnitAddRenderNotify(u.unit, CountNotify, &calls);
    AudioUnitRemoveRenderNotify(u.unit, CountNotify, &calls);
  }
  renderer.join();
  for (int i = 0; i < IPluginAU::kMaxRenderNotify; ++i)
    EXPECT_EQ(noErr, AudioUnitAddRenderNotify(u.unit, CountNotify, &calls));
  EXPECT_EQ(memFullErr, AudioUnitAddRenderNotify(u.unit, CountNotify, &calls));
}

TEST(AUStreamFormat, ZeroChannelsAreRejectedAndLeaveTheHostCountAtZero) {
  TestUnit u;
  AudioStreamBasicDescription asbd;
  UInt32 size = sizeof asbd;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_StreamFormat, 2, 0, &asbd, &size));
  asbd.mChannelsPerFrame = 0;
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, AudioUnitSetProperty(u.unit, kAudioUnitProperty_StreamFormat, 2, 0, &asbd, 40));
  EXPECT_EQ(0, u.Plug()->GetBusHostChannels(kAudioUnitScope_Output, 0));
}

TEST(AUStreamFormat, NegotiationAcceptsLegalLinearPCMOnly) {
  TestUnit u;
  AudioStreamBasicDescription asbd;
  UInt32 size = sizeof asbd;
  ASSERT_EQ(noErr, AudioUnitGetProperty(u.unit, kAudioUnitProperty_StreamFormat, 2, 0, &asbd, &size));
  struct Case {
    UInt32 channels;
    AudioFormatID format;
    AudioFormatFlags flags;
    OSStatus expected;
    int hostCount;
  };
  const Case cases[] = {
      {1, kAudioFormatLinearPCM, 41, noErr, 1},
      {2, kAudioFormatLinearPCM, 41, noErr, 2},
      {3, kAudioFormatLinearPCM, 41, kAudioUnitErr_InvalidProperty, 0},
      {2, 0x61616320, 41, kAudioUnitErr_InvalidProperty, 0},  // 'aac '
      {2, kAudioFormatLinearPCM, kAudioFormatFlagIsSignedInteger, kAudioUnitErr_InvalidProperty, 0},
  };
  for (const Case& c : cases) {
    asbd.mChannelsPerFrame = c.channels;
    asbd.mFormatID = c.format;
    asbd.mFormatFlags = c.flags;
    EXPECT_EQ(c.expected, AudioUnitSetProperty(u.unit, kAudioUnitProperty_StreamFormat, 2, 0, &asbd, 40)) << c.channels;
    EXPECT_EQ(c.hostCount, u.Plug()->GetBusHostChannels(kAudioUnitScope_Output, 0));
  }
  asbd.mChannelsPerFrame = 2;
  asbd.mFormatID = kAudioFormatLinearPCM;
  asbd.mFormatFlags = 41;
  asbd.mSampleRate = 96000.0;
  ASSERT_EQ(noErr, AudioUnitSetProperty(u.unit, kAudioUnitProperty_StreamFormat, 2, 0, &asbd, 40));
  EXPECT_EQ(96000.0, u.Plug()->GetSampleRate());
  asbd.mSampleRate = INFINITY;  // the format is taken, the rate is not
  ASSERT_EQ(noErr, AudioUnitSetProperty(u.unit, kAudioUnitProperty_StreamFormat, 2, 0, &asbd, 40));
  EXPECT_EQ(96000.0, u.Plug()->GetSampleRate());
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, AudioUnitSetProperty(u.unit, kAudioUnitProperty_StreamFormat, 1, 0, &asbd, 40));
  EXPECT_EQ(noErr, AudioUnitInitialize(u.unit));
}

// An effect with one stereo input bus, fed by a render callback.
struct EffectUnit {
  EffectUnit() {
    gTestPlugConfig = TestPlugConfig{"1-1 2-2", false};
    OpenAComponent(TestComponent(), &unit);
    gTestPlugConfig = TestPlugConfig{};
  }
  ~EffectUnit() { CloseComponent(unit); }
  TestPlug* Plug() const { return static_cast<TestPlug*>(reinterpret_cast<IPluginAU*>(GetComponentInstanceStorage(unit))); }
  AudioUnit unit = nullptr;
};

struct InputSource {
  int pulls = 0;
  float value = 0.25f;
  OSStatus result = noErr;
};

OSStatus FeedInput(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32 nFrames,
                   AudioBufferList* data) {
  InputSource* source = static_cast<InputSource*>(refCon);
  ++source->pulls;
  for (UInt32 b = 0; b < data->mNumberBuffers; ++b)
    for (UInt32 s = 0; s < nFrames; ++s) static_cast<float*>(data->mBuffers[b].mData)[s] = source->value * (b + 1);
  return source->result;
}

TEST(AUConnections, TwoRendersWithOneSampleTimePullInputsOnce) {
  EffectUnit u;
  ASSERT_NE(nullptr, u.unit);
  EXPECT_EQ(1, u.Plug()->NInBuses());
  InputSource source;
  AURenderCallbackStruct callback = {FeedInput, &source};
  ASSERT_EQ(noErr, AudioUnitSetProperty(u.unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                                        &callback, sizeof callback));
  EXPECT_EQ(2, u.Plug()->GetBusHostChannels(kAudioUnitScope_Input, 0));  // assumed from the plug-in
  HostBuffers out(2, 32, true);
  ASSERT_EQ(noErr, Render(u.unit, 100, 32, out.list()));
  ASSERT_EQ(noErr, Render(u.unit, 100, 32, out.list()));
  EXPECT_EQ(1, source.pulls);
  EXPECT_FLOAT_EQ(0.5f + 0.25f, out.channel(0)[0]);
  EXPECT_FLOAT_EQ(1.0f + 0.5f, out.channel(1)[31]);
  ASSERT_EQ(noErr, Render(u.unit, 132, 32, out.list()));
  EXPECT_EQ(2, source.pulls);

  // A failing pull is answered unchanged and nothing is processed.
  source.result = -1234;
  const int calls = u.Plug()->mProcessCalls;
  EXPECT_EQ(-1234, Render(u.unit, 164, 32, out.list()));
  EXPECT_EQ(calls, u.Plug()->mProcessCalls);

  AURenderCallbackStruct none = {nullptr, nullptr};
  ASSERT_EQ(noErr, AudioUnitSetProperty(u.unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0, &none,
                                        sizeof none));
  EXPECT_FALSE(u.Plug()->IsInChannelConnected(0));
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, AudioUnitSetProperty(u.unit, kAudioUnitProperty_SetRenderCallback,
                                                                kAudioUnitScope_Input, 1, &callback, sizeof callback));
}

OSStatus FeedBrokenBuffers(void* refCon, AudioUnitRenderActionFlags*, const AudioTimeStamp*, UInt32, UInt32 nFrames,
                           AudioBufferList* data) {
  ++static_cast<InputSource*>(refCon)->pulls;
  data->mBuffers[0].mData = nullptr;
  data->mBuffers[1].mDataByteSize = nFrames;  // a quarter of what the block needs
  return noErr;
}

TEST(AUConnections, InputBuffersLeftUnsetOrShortAreReadAsSilence) {
  EffectUnit u;
  InputSource source;
  AURenderCallbackStruct callback = {FeedBrokenBuffers, &source};
  ASSERT_EQ(noErr, AudioUnitSetProperty(u.unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                                        &callback, sizeof callback));
  HostBuffers out(2, 32, true);
  ASSERT_EQ(noErr, Render(u.unit, 0, 32, out.list()));
  EXPECT_EQ(1, source.pulls);
  EXPECT_FLOAT_EQ(0.5f, out.channel(0)[31]);
  EXPECT_FLOAT_EQ(1.0f, out.channel(1)[31]);
}

TEST(AUConnections, UpstreamUnitsAreRenderedThroughTheirFastProcedure) {
  EffectUnit upstream;
  EffectUnit downstream;
  InputSource source;
  AURenderCallbackStruct callback = {FeedInput, &source};
  ASSERT_EQ(noErr, AudioUnitSetProperty(upstream.unit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, 0,
                                        &callback, sizeof callback));
  AudioUnitConnection connection = {upstream.unit, 0, 0};
  ASSERT_EQ(noErr, AudioUnitSetProperty(downstream.unit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0,
                                        &connection, sizeof connection));
  EXPECT_EQ(2, downstream.Plug()->GetBusHostChannels(kAudioUnitScope_Input, 0));
  HostBuffers out(2, 16, true);
  ASSERT_EQ(noErr, Render(downstream.unit, 0, 16, out.list()));
  EXPECT_EQ(1, source.pulls);
  EXPECT_EQ(1, upstream.Plug()->mProcessCalls);
  // upstream: 0.5 + 0.25; downstream adds its own 0.5.
  EXPECT_FLOAT_EQ(1.25f, out.channel(0)[0]);

  AudioUnitConnection badDest = {upstream.unit, 0, 3};
  EXPECT_EQ(kAudioUnitErr_InvalidProperty, AudioUnitSetProperty(downstream.unit, kAudioUnitProperty_MakeConnection,
                                                                kAudioUnitScope_Input, 0, &badDest, sizeof badDest));
  AudioUnitConnection disconnect = {nullptr, 0, 0};
  ASSERT_EQ(noErr, AudioUnitSetProperty(downstream.unit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0,
                                        &disconnect, sizeof disconnect));
  EXPECT_FALSE(downstream.Plug()->IsInChannelConnected(0));
}

struct Transport {
  Float64 beat = 0, tempo = 0, samplePos = 0, downBeat = 0, cycleStart = 0, cycleEnd = 0;
  Float32 numerator = 0;
  UInt32 denominator = 0;
  Boolean playing = false, cycling = false;
};

OSStatus BeatAndTempo(void* user, Float64* beat, Float64* tempo) {
  const Transport* t = static_cast<Transport*>(user);
  if (beat) *beat = t->beat;
  if (tempo) *tempo = t->tempo;
  return noErr;
}

OSStatus MusicalTime(void* user, UInt32* delta, Float32* num, UInt32* den, Float64* downBeat) {
  const Transport* t = static_cast<Transport*>(user);
  *delta = 0;
  *num = t->numerator;
  *den = t->denominator;
  *downBeat = t->downBeat;
  return noErr;
}

OSStatus TransportState(void* user, Boolean* playing, Boolean* changed, Float64* samplePos, Boolean* cycling,
                        Float64* cycleStart, Float64* cycleEnd) {
  const Transport* t = static_cast<Transport*>(user);
  *playing = t->playing;
  *changed = false;
  *samplePos = t->samplePos;
  *cycling = t->cycling;
  *cycleStart = t->cycleStart;
  *cycleEnd = t->cycleEnd;
  return noErr;
}

TEST(AUTransport, QueriesWithoutCallbacksKeepTheirDefaults) {
  TestUnit u;
  EXPECT_EQ(120.0, u.Plug()->GetTempo());
  EXPECT_EQ(0.0, u.Plug()->GetSamplePos());
  int num = 3, den = 8;
  u.Plug()->GetTimeSig(&num, &den);
  EXPECT_EQ(3, num);
  EXPECT_EQ(8, den);
  ITimeInfo info;
  u.Plug()->GetTime(&info);
  EXPECT_EQ(120.0, info.mTempo);
  EXPECT_EQ(-1.0, info.mSamplePos);
}

TEST(AUTransport, QueriesReadTheHostCallbacks) {
  TestUnit u;
  Transport t;
  t.tempo = 96.0;
  t.beat = 8.5;
  t.samplePos = 1000.6;
  t.numerator = 7.9f;
  t.denominator = 8;
  t.downBeat = 6.0;
  t.playing = true;
  t.cycleStart = 4.0;
  t.cycleEnd = 0.0;
  HostCallbackInfo callbacks = {&t, BeatAndTempo, MusicalTime, TransportState};
  ASSERT_EQ(noErr, AudioUnitSetProperty(u.unit, kAudioUnitProperty_HostCallbacks, 0, 0, &callbacks, sizeof callbacks));
  EXPECT_EQ(96.0, u.Plug()->GetTempo());
  t.tempo = 0.0;  // not above 0: the last tempo stays
  EXPECT_EQ(96.0, u.Plug()->GetTempo());
  EXPECT_EQ(1001.0, u.Plug()->GetSamplePos());
  int num = 0, den = 0;
  u.Plug()->GetTimeSig(&num, &den);
  EXPECT_EQ(7, num);
  EXPECT_EQ(8, den);
  t.tempo = 140.0;
  ITimeInfo info;
  u.Plug()->GetTime(&info);
  EXPECT_EQ(140.0, info.mTempo);
  EXPECT_EQ(8.5, info.mPPQPos);
  EXPECT_EQ(1000.6, info.mSamplePos);
  EXPECT_EQ(4.0, info.mCycleStart);
  EXPECT_EQ(-1.0, info.mCycleEnd);
  EXPECT_TRUE(info.mTransportIsRunning);
  EXPECT_FALSE(info.mTransportLoopEnabled);
  EXPECT_EQ(7, info.mNumerator);
  EXPECT_EQ(6.0, info.mLastBar);
}

}  // namespace
