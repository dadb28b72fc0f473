// The bundle as a host loads it: dlopen, the module's entry points, the
// factory, then instances driven through their interfaces only.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "vst3/VST3TestHost.h"

namespace {

const int kBlock = 512;
const double kRate = 48000.0;
const vst3::ParamID kDecay = 3, kMidiLearn = 7, kDrive = 10, kGlideMode = 12;
const vst3::ParamID kFirstController = 0x10000;

class VST3Host : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    sModule = dlopen(TONNIK_VST3_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(sModule, nullptr) << dlerror();
    auto entry = (bool (*)(void*))dlsym(sModule, "ModuleEntry");
    auto get = (vst3::IPluginFactory * (*)()) dlsym(sModule, "GetPluginFactory");
    ASSERT_TRUE(entry && get && dlsym(sModule, "ModuleExit"));
    ASSERT_TRUE(entry(sModule));
    sFactory = get();
  }
  static void TearDownTestSuite() {
    auto exit = (bool (*)())dlsym(sModule, "ModuleExit");
    EXPECT_TRUE(exit());
    sFactory->release();
  }
  static void* sModule;
  static vst3::IPluginFactory* sFactory;
};
void* VST3Host::sModule = nullptr;
vst3::IPluginFactory* VST3Host::sFactory = nullptr;

std::string Text(const vst3::char16* s) { return std::string(s, s + std::char_traits<char16_t>::length(s)); }

TEST_F(VST3Host, FactoryDescribesOneDrumInstrument) {
  vst3::PFactoryInfo factory;
  ASSERT_EQ(sFactory->getFactoryInfo(&factory), vst3::kResultOk);
  EXPECT_STREQ(factory.vendor, "Velmora Rirevovizod");
  ASSERT_EQ(sFactory->countClasses(), 1);
  void* f3 = nullptr;
  ASSERT_EQ(sFactory->queryInterface(vst3::iid::kIPluginFactory3.bytes, &f3), vst3::kResultOk);
  vst3::PClassInfoW info;
  ASSERT_EQ(static_cast<vst3::IPluginFactory3*>(f3)->getClassInfoUnicode(0, &info), vst3::kResultOk);
  EXPECT_EQ(0, std::memcmp(info.cid, TonnikClassID().bytes, 16));
  EXPECT_STREQ(info.category, "Audio Module Class");
  EXPECT_STREQ(info.subCategories, "Instrument|Drum");
  EXPECT_EQ(Text(info.name), "TONNIK-PRO");
  EXPECT_EQ(Text(info.version), "1.1.1");
  EXPECT_EQ(info.classFlags, 0u);  // not distributable
  void* obj = nullptr;
  EXPECT_NE(sFactory->createInstance(vst3::iid::kIComponent.bytes, vst3::iid::kIComponent.bytes, &obj),
            vst3::kResultOk);
  EXPECT_EQ(obj, nullptr);
}

TEST_F(VST3Host, OffersOneStereoOrMonoOutputAndRefusesRatesItCannotPlay) {
  HostedInstance vst(sFactory, kRate, kBlock);
  ASSERT_TRUE(vst.Ok());
  EXPECT_EQ(vst.mComponent->getBusCount(vst3::kAudio, vst3::kInput), 0);
  EXPECT_EQ(vst.mComponent->getBusCount(vst3::kEvent, vst3::kInput), 1);
  vst3::BusInfo bus;
  ASSERT_EQ(vst.mComponent->getBusInfo(vst3::kAudio, vst3::kOutput, 0, bus), vst3::kResultOk);
  EXPECT_EQ(bus.channelCount, 2);
  vst3::SpeakerArrangement mono = vst3::kArrMono, five = 0x3F, in = vst3::kArrStereo;
  EXPECT_EQ(vst.mProcessor->setBusArrangements(nullptr, 0, &five, 1), vst3::kResultFalse);
  EXPECT_EQ(vst.mProcessor->setBusArrangements(&in, 1, &mono, 1), vst3::kResultFalse);
  EXPECT_EQ(vst.mProcessor->setBusArrangements(nullptr, 0, &mono, 1), vst3::kResultTrue);
  vst.mComponent->getBusInfo(vst3::kAudio, vst3::kOutput, 0, bus);
  EXPECT_EQ(bus.channelCount, 1);
  for (double rate : {0.0, 7999.0, 384001.0, (double)NAN, (double)INFINITY}) {
    vst3::ProcessSetup setup = {vst3::kRealtime, vst3::kSample32, kBlock, rate};
    EXPECT_EQ(vst.mProcessor->setupProcessing(setup), vst3::kResultFalse) << rate;
  }
  vst3::ProcessSetup lowest = {vst3::kRealtime, vst3::kSample64, kBlock, 8000.0};
  EXPECT_EQ(vst.mProcessor->setupProcessing(lowest), vst3::kResultOk);
}

TEST_F(VST3Host, ParametersDescribeThemselvesAndConvertThroughTheirTexts) {
  HostedInstance vst(sFactory, kRate, kBlock);
  ASSERT_TRUE(vst.Ok());
  vst3::IEditController* c = vst.mController;
  ASSERT_EQ(c->getParameterCount(), 19 + 16 * 128);
  vst3::ParameterInfo info;
  ASSERT_EQ(c->getParameterInfo(kGlideMode, info), vst3::kResultOk);
  EXPECT_EQ(Text(info.title), "Glide Mode");
  EXPECT_EQ(info.stepCount, 2);
  EXPECT_EQ(info.flags, vst3::ParameterInfo::kCanAutomate | vst3::ParameterInfo::kIsList);
  vst3::String128 text;
  c->getParamStringByValue(kGlideMode, 1.0, text);
  EXPECT_EQ(Text(text), "Down");
  vst3::char16 up[] = u"Up";
  double v = -1;
  ASSERT_EQ(c->getParamValueByString(kGlideMode, up, v), vst3::kResultOk);
  EXPECT_DOUBLE_EQ(v, 0.5);
  vst3::char16 nonsense[] = u"sideways";
  EXPECT_EQ(c->getParamValueByString(kGlideMode, nonsense, v), vst3::kResultFalse);
  c->getParameterInfo(kMidiLearn, info);
  EXPECT_EQ(info.stepCount, 1);
  c->getParamStringByValue(kMidiLearn, 1.0, text);
  EXPECT_EQ(Text(text), "on");
  EXPECT_EQ(c->normalizedParamToPlain(1, 0.74), 6.0);  // Tune: whole semitones of -12..12
  ASSERT_EQ(c->getParameterInfo(19 + 5 * 128 + 7, info), vst3::kResultOk);
  EXPECT_EQ(info.flags, vst3::ParameterInfo::kIsHidden);
  void* obj = &info;
  EXPECT_EQ(c->queryInterface(vst3::iid::kIPlugView.bytes, &obj), vst3::kNoInterface);  // the view's, not its
  EXPECT_EQ(obj, nullptr);
  EXPECT_EQ(c->queryInterface(vst3::iid::kIMidiMapping.bytes, nullptr), vst3::kInvalidArgument);
  ASSERT_EQ(c->queryInterface(vst3::iid::kIMidiMapping.bytes, &obj), vst3::kResultOk);
  vst3::ParamID id = 0;
  ASSERT_EQ(static_cast<vst3::IMidiMapping*>(obj)->getMidiControllerAssignment(0, 5, 7, id), vst3::kResultTrue);
  EXPECT_EQ(id, info.id);
  EXPECT_EQ(static_cast<vst3::IMidiMapping*>(obj)->getMidiControllerAssignment(0, 16, 7, id), vst3::kResultFalse);
  static_cast<vst3::IMidiMapping*>(obj)->release();
}

// The first sample at which left is not silent, or -1.
int FirstSound(const std::vector<float>& left) {
  for (size_t i = 0; i < left.size(); ++i)
    if (left[i] != 0.0f) return (int)i;
  return -1;
}

TEST_F(VST3Host, NotesStartOnTheirSampleAndParameterChangesLandOnTheirs) {
  HostedInstance plain(sFactory, kRate, kBlock), changed(sFactory, kRate, kBlock);
  ASSERT_TRUE(plain.Ok() && changed.Ok());
  EventList notes;
  notes.AddNoteOn(20, 128, 1.0f);    // no such note: ignored
  notes.AddNoteOn(137, 36, 0.001f);  // the softest velocity still plays
  ParamChanges drive;
  drive.Add(kDrive, 300, 0.9);
  plain.Process(kBlock, nullptr, &notes);
  changed.Process(kBlock, &drive, &notes);
  EXPECT_EQ(FirstSound(plain.Out(0)), 137);
  EXPECT_EQ(plain.Out(0), plain.Out(1));
  int firstDifference = -1;
  for (int i = 0; i < kBlock && firstDifference < 0; ++i)
    if (plain.Out(0)[i] != changed.Out(0)[i]) firstDifference = i;
  EXPECT_EQ(firstDifference, 300);
  // Activation resets the voice: the ringing hit ends.
  changed.mComponent->setActive(0);
  changed.mComponent->setActive(1);
  changed.Process(kBlock);
  EXPECT_EQ(FirstSound(changed.Out(0)), -1);
}

TEST_F(VST3Host, DoublePrecisionRendersTheSameHits) {
  HostedInstance floats(sFactory, kRate, kBlock), doubles(sFactory, kRate, kBlock, true);
  ASSERT_TRUE(floats.Ok() && doubles.Ok());
  EventList notes;
  notes.AddNoteOn(40, 45, 0.8f);
  floats.Process(kBlock, nullptr, &notes);
  doubles.Process(kBlock, nullptr, &notes);
  for (int i = 0; i < kBlock; ++i) ASSERT_EQ(floats.Out(0)[i], (float)doubles.Out64(0)[i]) << i;
}

TEST_F(VST3Host, LearnedControllersMoveParametersOnTheirSampleAndTellTheHost) {
  HostedInstance vst(sFactory, kRate, kBlock);
  ASSERT_TRUE(vst.Ok());
  ParamChanges in, out;
  in.Add(kMidiLearn, 0, 1.0);
  vst.Process(0, &in);  // zero samples only apply the parameters
  EXPECT_EQ(vst.mController->getParamNormalized(kMidiLearn), 1.0);
  in.Clear();
  in.Add(kDrive, 0, 0.2);
  vst.Process(kBlock, &in);
  in.Clear();
  in.Add(kFirstController + 21, 0, 10 / 127.0);  // channel 1, controller 21: learned for Drive
  in.Add(kMidiLearn, 1, 0.0);
  vst.Process(kBlock, &in);
  in.Clear();
  in.Add(kFirstController + 21, 77, 1.0);
  vst.Process(kBlock, &in, nullptr, &out);
  EXPECT_EQ(vst.mController->getParamNormalized(kDrive), 1.0);
  ValueQueue* drive = out.Find(kDrive);
  ASSERT_NE(drive, nullptr);
  ASSERT_EQ(drive->mPoints.size(), 1u);
  EXPECT_EQ(drive->mPoints[0], std::make_pair(77, 1.0));
  EXPECT_EQ(out.Find(kDecay), nullptr);
}

TEST_F(VST3Host, StateTravelsWholeAndDamagedStatesChangeNothing) {
  HostedInstance from(sFactory, kRate, kBlock), to(sFactory, kRate, kBlock);
  ASSERT_TRUE(from.Ok() && to.Ok());
  from.mController->setParamNormalized(kDecay, 0.25);
  from.mController->setParamNormalized(kGlideMode, 1.0);
  MemoryStream saved;
  ASSERT_EQ(from.mComponent->getState(&saved), vst3::kResultOk);
  EXPECT_EQ(saved.mBytes.size(), 19u * 4 + 19 * 8);
  std::vector<MemoryStream> damaged(3, saved);
  damaged[0].mBytes.pop_back();
  damaged[1].mBytes.push_back(0);
  const double nan = NAN;
  std::memcpy(damaged[2].mBytes.data() + 19 * 4 + kDecay * 8, &nan, sizeof nan);
  for (MemoryStream& bad : damaged) {
    bad.mPos = 0;
    EXPECT_EQ(to.mComponent->setState(&bad), vst3::kResultFalse);
    EXPECT_EQ(to.mController->getParamNormalized(kDecay), 0.5);
  }
  saved.mPos = 0;
  ASSERT_EQ(to.mComponent->setState(&saved), vst3::kResultOk);
  EXPECT_EQ(to.mController->getParamNormalized(kDecay), 0.25);
  EXPECT_EQ(to.mController->getParamNormalized(kGlideMode), 1.0);
}

}  // namespace
