// The CLAP module as a host sees it: the file loaded with dlopen for its
// entry, factory and descriptor; then instances through the same entry
// linked in, so the plug-in behind the record can be reached as the
// editor reaches it. Notes and parameters at their frames, flush, the
// editor's news, state, activation and reset.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <thread>

#include "clap/CLAPEntry.h"
#include "clap/CLAPTestHost.h"
#include "clap/IPluginCLAP.h"
#include "tonnik/Tonnik.h"

extern "C" const clap_plugin_entry_t clap_entry;

namespace {

const uint32_t kBlock = 512;
const double kRate = 48000.0;

std::vector<float> Slice(const std::vector<float>& v, size_t from, size_t n) {
  return std::vector<float>(v.begin() + from, v.begin() + from + n);
}

class CLAPHost : public ::testing::Test {
protected:
  const clap_plugin_t* Active() {
    const clap_plugin_t* p = mHost.Create();
    if (p && !p->activate(p, kRate, 1, kBlock)) return nullptr;
    if (p) p->start_processing(p);
    return p;
  }
  double Value(const clap_plugin_t* p, clap_id id) {
    double v = NAN;
    mHost.Extension<clap_plugin_params_t>(p, CLAP_EXT_PARAMS)->get_value(p, id, &v);
    return v;
  }
  // The first block of a note at `at`, sent in each dialect.
  std::vector<float> Hit(uint32_t at, bool midi, double velocity) {
    const clap_plugin_t* p = Active();
    CLAPEventList events;
    events.Param(0, Tonnik::kDynLevel, 1.0);  // so that velocity is heard
    if (midi)
      events.Midi(at, 0x90, 36, (uint8_t)velocity);
    else
      events.Note(at, 36, velocity);
    mHost.Process(p, kBlock, events);
    return mHost.Left();
  }
  CLAPTestHost mHost{&clap_entry};
  CLAPEventList mNone;
};

TEST(CLAPModule, TheFileOffersOneInstrumentThroughItsFactory) {
  CLAPModuleFile file(TONNIK_CLAP_MODULE);
  const clap_plugin_entry_t* entry = file.Entry();
  ASSERT_TRUE(entry && entry->init(TONNIK_CLAP_MODULE));
  EXPECT_EQ(entry->get_factory("clap.no-such-factory"), nullptr);
  auto factory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
  ASSERT_EQ(factory->get_plugin_count(factory), 1u);
  const clap_plugin_descriptor_t* d = factory->get_plugin_descriptor(factory, 0);
  EXPECT_STREQ(d->id, "org.velmora-rirevovizod.tonnik-pro");
  EXPECT_STREQ(d->name, "TONNIK-PRO");
  EXPECT_STREQ(d->vendor, "Velmora Rirevovizod");
  EXPECT_STREQ(d->version, "1.1.1");
  std::string features;
  for (const char* const* f = d->features; *f; ++f) features += std::string(*f) + ";";
  EXPECT_EQ(features, "instrument;synthesizer;drum;mono;");
  CLAPTestHost host(entry);
  const clap_plugin_t* p = host.Create();
  ASSERT_NE(p, nullptr);
  auto audio = host.Extension<clap_plugin_audio_ports_t>(p, CLAP_EXT_AUDIO_PORTS);
  auto notes = host.Extension<clap_plugin_note_ports_t>(p, CLAP_EXT_NOTE_PORTS);
  EXPECT_EQ(audio->count(p, true) + notes->count(p, false), 0u);
  clap_audio_port_info_t out;
  clap_note_port_info_t in;
  ASSERT_TRUE(audio->get(p, 0, false, &out) && notes->get(p, 0, true, &in));
  EXPECT_EQ(out.channel_count, 2u);
  EXPECT_EQ(out.flags, (uint32_t)CLAP_AUDIO_PORT_IS_MAIN);
  EXPECT_EQ(in.supported_dialects, (uint32_t)(CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI));
  EXPECT_EQ(in.preferred_dialect, (uint32_t)CLAP_NOTE_DIALECT_CLAP);
  entry->deinit();
}

TEST_F(CLAPHost, ParametersAreDescribedAndTheirTextsRoundTrip) {
  const clap_plugin_t* p = mHost.Create();
  ASSERT_NE(p, nullptr);
  auto params = mHost.Extension<clap_plugin_params_t>(p, CLAP_EXT_PARAMS);
  EXPECT_EQ(p->get_extension(p, "clap.no-such-extension"), nullptr);
  EXPECT_EQ(mHost.Extension<clap_plugin_latency_t>(p, CLAP_EXT_LATENCY)->get(p), 0u);
  ASSERT_EQ(params->count(p), (uint32_t)Tonnik::kNumParams);
  clap_param_info_t info;
  EXPECT_FALSE(params->get_info(p, Tonnik::kNumParams, &info));
  for (int i : {(int)Tonnik::kTune, (int)Tonnik::kMidiTune, (int)Tonnik::kGlideMode, (int)Tonnik::kDynTone}) {
    ASSERT_TRUE(params->get_info(p, i, &info));
    EXPECT_EQ(info.id, (clap_id)i);
    const uint32_t stepped = i == Tonnik::kDynTone ? 0 : CLAP_PARAM_IS_STEPPED;
    EXPECT_EQ(info.flags, CLAP_PARAM_IS_AUTOMATABLE | stepped) << info.name;
  }
  EXPECT_STREQ(info.name, "DynTone");
  EXPECT_EQ(info.min_value, -1.0);

  char text[64];
  double v = -1;
  ASSERT_TRUE(params->value_to_text(p, Tonnik::kGlideMode, 2.0, text, sizeof text));
  EXPECT_STREQ(text, "Down");
  EXPECT_TRUE(params->text_to_value(p, Tonnik::kGlideMode, "Up", &v));
  EXPECT_EQ(v, 1.0);
  ASSERT_TRUE(params->value_to_text(p, Tonnik::kGlide, 0.25, text, sizeof text));
  EXPECT_TRUE(params->text_to_value(p, Tonnik::kGlide, text, &v)) << text;
  EXPECT_NEAR(v, 0.25, 0.01) << text;
  EXPECT_FALSE(params->text_to_value(p, Tonnik::kGlide, "fast", &v));
  EXPECT_FALSE(params->value_to_text(p, Tonnik::kNumParams, 0.0, text, sizeof text));
}

TEST_F(CLAPHost, RatesTheVoiceDoesNotPlayAreRefusedWithAReason) {
  const clap_plugin_t* p = mHost.Create();
  for (double rate : {0.0, (double)NAN, 7999.0, 384001.0}) EXPECT_FALSE(p->activate(p, rate, 1, kBlock)) << rate;
  ASSERT_EQ(mHost.mLog.size(), 4u);
  EXPECT_NE(mHost.mLog[0].find("not a sample rate it plays"), std::string::npos) << mHost.mLog[0];
  EXPECT_TRUE(p->activate(p, 8000.0, 1, kBlock));
}

TEST_F(CLAPHost, ANoteStartsTheHitOnItsFrameInBothDialects) {
  const std::vector<float> atZero = Hit(0, false, 100.0 / 127.0);
  const std::vector<float> clapNote = Hit(100, false, 100.0 / 127.0);
  const std::vector<float> midiNote = Hit(100, true, 100);
  EXPECT_EQ(midiNote, clapNote);
  EXPECT_EQ(Slice(clapNote, 0, 100), std::vector<float>(100, 0.0f));
  EXPECT_EQ(Slice(clapNote, 100, 400), Slice(atZero, 0, 400));
  EXPECT_EQ(mHost.Right(), mHost.Left());
  // Velocity v plays as round(127 v), and any v above 0 plays.
  EXPECT_EQ(Hit(0, false, 0.5), Hit(0, true, 64));
  EXPECT_NE(Hit(0, false, 0.5), Hit(0, true, 63));
  EXPECT_EQ(Hit(0, false, 0.001), Hit(0, true, 1));
  EXPECT_EQ(Hit(0, false, 0.0), std::vector<float>(kBlock, 0.0f));
}

TEST_F(CLAPHost, ParameterValuesApplyFromTheirFrameAndFlushAppliesWithoutAudio) {
  // The voice takes its tone at a hit: a value at 200 is heard in the hit
  // at 200 and not in the one at 0.
  CLAPEventList twoHits, twoHitsChanged;
  twoHits.Note(0, 36, 1.0);
  twoHits.Note(200, 36, 1.0);
  twoHitsChanged.Note(0, 36, 1.0);
  twoHitsChanged.Param(200, Tonnik::kTone, 0.0);
  twoHitsChanged.Note(200, 36, 1.0);
  mHost.Process(Active(), kBlock, twoHits);
  const std::vector<float> plain = mHost.Left();
  const clap_plugin_t* p = Active();
  mHost.Process(p, kBlock, twoHitsChanged);
  EXPECT_EQ(Slice(mHost.Left(), 0, 200), Slice(plain, 0, 200));
  EXPECT_NE(Slice(mHost.Left(), 200, 50), Slice(plain, 200, 50)) << "the value is heard";
  EXPECT_EQ(Value(p, Tonnik::kTone), 0.0);

  CLAPEventList tune;
  tune.Param(0, Tonnik::kTune, 5.0);
  tune.Param(0, Tonnik::kNumParams, 1.0);
  tune.Param(0, Tonnik::kDecay, NAN);
  const clap_plugin_t* idle = mHost.Create();
  mHost.Flush(idle, tune);
  EXPECT_EQ(Value(idle, Tonnik::kTune), 5.0);
  EXPECT_EQ(Value(idle, Tonnik::kDecay), 0.5);
}

TEST_F(CLAPHost, HostValuesWaitWhileAnotherThreadHoldsTheMutex) {
  const clap_plugin_t* p = Active();
  IPluginCLAP* plug = CLAPPluginOf(p);
  CLAPEventList tune;
  // The main thread (a state save, the editor) holds it meanwhile.
  auto processWhileHeld = [&] {
    IPluginBase::IMutexLock lock(plug);
    std::thread audio([&] { mHost.Process(p, kBlock, tune); });
    audio.join();
  };
  tune.Param(0, Tonnik::kTune, 7.0);
  processWhileHeld();
  EXPECT_EQ(Value(p, Tonnik::kTune), 0.0);
  mHost.Process(p, kBlock, mNone);
  EXPECT_EQ(Value(p, Tonnik::kTune), 7.0);
  // A state the host loads after sending a value that had to wait wins.
  const std::vector<uint8_t> saved = mHost.Save(p);
  tune.Clear();
  tune.Param(0, Tonnik::kTune, -3.0);
  processWhileHeld();
  ASSERT_TRUE(mHost.Load(p, saved));
  mHost.Process(p, kBlock, mNone);
  EXPECT_EQ(Value(p, Tonnik::kTune), 7.0);
}

TEST_F(CLAPHost, EditorEditsAndLearnedControllersReachTheHostAsGestures) {
  const clap_plugin_t* p = mHost.Create();
  IPluginCLAP* plug = CLAPPluginOf(p);
  ASSERT_NE(plug, nullptr);
  // The editor sets a clicked switch before it opens the gesture.
  plug->SetParameterFromGUI(Tonnik::kDrive, 0.5);
  plug->BeginInformHostOfParamChange(Tonnik::kDrive);
  plug->EndInformHostOfParamChange(Tonnik::kDrive);
  EXPECT_EQ(mHost.mFlushRequests, 3) << "not processing: the host is asked to flush";
  mHost.Flush(p, mNone);
  ASSERT_EQ(mHost.mSent.size(), 3u);
  EXPECT_EQ(mHost.mSent[0].mType, CLAP_EVENT_PARAM_GESTURE_BEGIN);
  EXPECT_EQ(mHost.mSent[1].mType, CLAP_EVENT_PARAM_VALUE);
  EXPECT_EQ(mHost.mSent[1].mValue, plug->GetParam(Tonnik::kDrive)->Value());
  EXPECT_EQ(mHost.mSent[2].mType, CLAP_EVENT_PARAM_GESTURE_END);
  EXPECT_EQ(mHost.mDirtyMarks, 0);

  // Learn controller 21 for Drive: the map changes unseen, Drive moves.
  ASSERT_TRUE(p->activate(p, kRate, 1, kBlock));
  p->start_processing(p);
  mHost.mSent.clear();
  CLAPEventList learn;
  learn.Param(0, Tonnik::kMidiLearn, 1.0);
  mHost.Process(p, kBlock, learn);
  plug->SetParameterFromGUI(Tonnik::kDrive, 0.25);
  CLAPEventList cc;
  cc.Midi(30, 0xB0, 21, 127);
  mHost.Process(p, kBlock, cc);
  ASSERT_EQ(mHost.mSent.size(), 3u);
  EXPECT_EQ(mHost.mSent[2].mType, CLAP_EVENT_PARAM_GESTURE_END);
  EXPECT_EQ(mHost.mSent[1].mTime, 30u);
  EXPECT_EQ(mHost.mSent[1].mValue, 1.0);
  EXPECT_EQ(mHost.mSent[1].mFlags, (uint32_t)CLAP_EVENT_DONT_RECORD);
  EXPECT_EQ(mHost.mCallbackRequests, 1);
  p->on_main_thread(p);
  EXPECT_EQ(mHost.mDirtyMarks, 1);
}

TEST_F(CLAPHost, StateRoundTripsAndDamagedStreamsChangeNothing) {
  const clap_plugin_t* a = mHost.Create();
  CLAPEventList set;
  set.Param(0, Tonnik::kGlideMode, 2.0);
  set.Param(0, Tonnik::kTone, 0.125);
  mHost.Flush(a, set);
  const std::vector<uint8_t> saved = mHost.Save(a);
  ByteChunk direct;
  CLAPPluginOf(a)->SerializeState(&direct);
  ASSERT_EQ(saved.size(), (size_t)Tonnik::kStateBytes);
  EXPECT_EQ(std::memcmp(saved.data(), direct.GetBytes(), saved.size()), 0);

  const clap_plugin_t* b = mHost.Create();
  std::vector<uint8_t> outOfRange = saved;
  const double tooBig = 9.0;
  std::memcpy(&outOfRange[Tonnik::kControllerMapBytes], &tooBig, sizeof tooBig);
  std::vector<uint8_t> longer = saved;
  longer.push_back(0);
  EXPECT_FALSE(mHost.Load(b, std::vector<uint8_t>(saved.begin(), saved.end() - 1)));
  EXPECT_FALSE(mHost.Load(b, longer));
  EXPECT_FALSE(mHost.Load(b, outOfRange));
  EXPECT_FALSE(mHost.Load(b, saved, 7, 40));
  EXPECT_EQ(mHost.mLog.size(), 4u);
  EXPECT_EQ(Value(b, Tonnik::kGlideMode), 0.0);
  EXPECT_TRUE(mHost.Load(b, saved, 3));
  EXPECT_EQ(Value(b, Tonnik::kGlideMode), 2.0);
  EXPECT_EQ(Value(b, Tonnik::kTone), 0.125);
  EXPECT_EQ(mHost.Save(b), saved);
  // Values the host sets after a restore win.
  CLAPEventList later;
  later.Param(0, Tonnik::kTone, 0.75);
  mHost.Flush(b, later);
  EXPECT_EQ(Value(b, Tonnik::kTone), 0.75);
}

TEST_F(CLAPHost, ReactivationAndResetGiveSilenceUntilTheNextNote) {
  const clap_plugin_t* p = Active();
  CLAPEventList note;
  note.Note(0, 36, 1.0);
  mHost.Process(p, kBlock, note);
  const std::vector<float> first = mHost.Left();
  p->stop_processing(p);
  p->deactivate(p);
  ASSERT_TRUE(p->activate(p, kRate, 1, kBlock));
  p->start_processing(p);
  mHost.Process(p, kBlock, mNone);
  EXPECT_EQ(mHost.Left(), std::vector<float>(kBlock, 0.0f));
  mHost.Process(p, kBlock, note);
  EXPECT_EQ(mHost.Left(), first);
  p->reset(p);
  mHost.Process(p, kBlock, mNone);
  EXPECT_EQ(mHost.Left(), std::vector<float>(kBlock, 0.0f));
}

TEST(CLAPHostServices, AnEditorNeedsTheHostsFdWatch) {
  CLAPTestHost host(&clap_entry, false);
  const clap_plugin_t* p = host.Create();
  auto gui = host.Extension<clap_plugin_gui_t>(p, CLAP_EXT_GUI);
  EXPECT_FALSE(gui->is_api_supported(p, CLAP_WINDOW_API_X11, true));
  EXPECT_FALSE(gui->create(p, CLAP_WINDOW_API_X11, false));
  ASSERT_EQ(host.mLog.size(), 1u);
  EXPECT_NE(host.mLog[0].find("posix-fd-support"), std::string::npos) << host.mLog[0];
  EXPECT_FALSE(gui->set_scale(p, 2.0));
}

}  // namespace
