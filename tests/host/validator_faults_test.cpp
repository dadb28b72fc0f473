// The validator's checks catch the faults they are for: a small instrument
// passes each check while sound, and fails it, with a reason that names the
// fault, once that fault is switched on.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "au/IPluginAU.h"
#include "au/apple/FourCC.h"
#include "host/Validator.h"
#include "host/ValidatorSupport.h"

namespace {

enum EFault {
  kSound,
  kNotANumber,         // NaN once a note sounds
  kIgnoresOffsets,     // plays each note at the start of its block
  kSoundsAtAnyRate,    // plays at every rate
  kRestartsPerBlock,   // a note's decay restarts with each render call
  kKeepsRingingAfterReset,
  kForgetsLevelOnRestore,
  kNoNoteTooQuiet,     // never sounds
};
EFault gFault = kSound;

enum { kLevel = 0, kShape, kNumParams };

// One decaying tone per note-on, at its sample, at 44.1, 48 and 96 kHz.
class FaultyPlug : public IPluginAU {
public:
  explicit FaultyPlug(IPluginInstanceInfo info)
      : IPluginAU(info, kNumParams, "0-1 0-2", 1, "Faulty", "", "Velmora", 0x00010000, MakeFourCC("Flt1"),
                  MakeFourCC("-VL-"), 0, true, true, true) {
    GetParam(kLevel)->InitDouble("Level", 0.5, 0.0, 1.0, 0.01);
    GetParam(kShape)->InitInt("Shape", 0, 0, 2);
    GetParam(kShape)->SetDisplayText(0, "Round");
    GetParam(kShape)->SetDisplayText(1, "Square");
    GetParam(kShape)->SetDisplayText(2, "Saw");
    MakePreset("Init", 0.5, 0);
  }

  void ProcessMidiMsg(IMidiMsg* msg) override {
    if (msg->StatusMsg() == IMidiMsg::kNoteOn && msg->mData2 > 0) mNoteAt = gFault == kIgnoresOffsets ? 0 : msg->mOffset;
  }

  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override {
    const double rate = GetSampleRate();
    const bool sounds = gFault == kSoundsAtAnyRate || rate == 44100 || rate == 48000 || rate == 96000;
    if (gFault == kRestartsPerBlock && mEnvelope > 0) mEnvelope = 1.0;
    for (int i = 0; i < nFrames; ++i) {
      if (i == mNoteAt && sounds && gFault != kNoNoteTooQuiet) mEnvelope = 1.0;
      mEnvelope *= 0.999;
      const double level = GetParam(kLevel)->Value();
      outputs[0][i] = gFault == kNotANumber && mEnvelope > 0 ? NAN : level * mEnvelope;
      outputs[1][i] = outputs[0][i];
    }
    mNoteAt = -1;
  }

  void OnHostReset() override {
    if (gFault != kKeepsRingingAfterReset) mEnvelope = 0.0;
  }

  int UnserializeState(ByteChunk* chunk, int startPos) override {
    const double level = GetParam(kLevel)->Value();
    const int pos = IPluginAU::UnserializeState(chunk, startPos);
    if (gFault == kForgetsLevelOnRestore) GetParam(kLevel)->Set(level);
    return pos;
  }

private:
  double mEnvelope = 0.0;
  int mNoteAt = -1;
};

ComponentResult FaultyEntry(ComponentParameters* params, Handle storage) {
  return IPluginAU::IPluginAUEntry(params, storage);
}

const ComponentDescription kFaulty = {kAudioUnitType_MusicDevice, MakeFourCC("Flt1"), MakeFourCC("-VL-"), 0, 0};

struct Case {
  const char* name;
  EFault fault;
  std::function<bool(Validator&, std::string*)> check;
  const char* mentions;
};

const ValidatorRenderCase k48k = {48000, 512, 512, 2};
const ValidatorRenderCase k22k = {22050, 512, 512, 2};

class ValidatorFaults : public testing::TestWithParam<Case> {
protected:
  void TearDown() override { gFault = kSound; }
};

TEST_P(ValidatorFaults, SoundPassesAndTheFaultIsCaught) {
  const Case& c = GetParam();
  Validator validator(FaultyEntry, kFaulty, [](double rate) { return rate == 44100 || rate == 48000 || rate == 96000; });
  std::string reason;
  gFault = kSound;
  EXPECT_TRUE(c.check(validator, &reason)) << reason;
  gFault = c.fault;
  reason.clear();
  EXPECT_FALSE(c.check(validator, &reason));
  EXPECT_NE(std::string::npos, reason.find(c.mentions)) << reason;
}

const Case kCases[] = {
    {"NotANumber", kNotANumber, [](Validator& v, std::string* r) { return v.CheckRender(k48k, r); }, "not finite"},
    {"IgnoresOffsets", kIgnoresOffsets, [](Validator& v, std::string* r) { return v.CheckRender(k48k, r); },
     "before the note-on"},
    {"SoundsAtAnyRate", kSoundsAtAnyRate, [](Validator& v, std::string* r) { return v.CheckRender(k22k, r); },
     "should be silent"},
    {"NeverSounds", kNoNoteTooQuiet, [](Validator& v, std::string* r) { return v.CheckRender(k48k, r); },
     "sounds too little"},
    {"RestartsPerBlock", kRestartsPerBlock, [](Validator& v, std::string* r) { return v.CheckSlicing(48000, r); },
     "64-frame calls differ"},
    {"KeepsRingingAfterReset", kKeepsRingingAfterReset, [](Validator& v, std::string* r) { return v.CheckReset(r); },
     "after Reset"},
    {"ForgetsLevelOnRestore", kForgetsLevelOnRestore, [](Validator& v, std::string* r) { return v.CheckState(r); },
     "\"Level\" restored"},
};

INSTANTIATE_TEST_SUITE_P(Checks, ValidatorFaults, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(ValidatorChecks, TheSoundUnitPassesTheWholeRun) {
  Validator validator(FaultyEntry, kFaulty, [](double rate) { return rate == 44100 || rate == 48000 || rate == 96000; });
  validator.RunAll([](const ValidatorResult& r) { EXPECT_TRUE(r.passed) << r.phase << ": " << r.reason; });
}

TEST(ValidatorChecks, UnwrittenAndNonFiniteSamplesAreFound) {
  RenderedAudio audio;
  audio.channels = {{0.1f, 0.2f}, {0.1f, 0.2f}};
  std::string reason;
  EXPECT_TRUE(CheckWrittenAndFinite(audio, &reason)) << reason;
  audio.channels[1][1] = Validator::kPoison;
  EXPECT_FALSE(CheckWrittenAndFinite(audio, &reason));
  EXPECT_NE(std::string::npos, reason.find("channel 1, sample 1 was never written")) << reason;
  audio.channels[1][1] = INFINITY;
  EXPECT_FALSE(CheckWrittenAndFinite(audio, &reason));
  EXPECT_NE(std::string::npos, reason.find("not finite")) << reason;
}

TEST(ValidatorChecks, FirstDifferenceFindsTheEarliestSample) {
  RenderedAudio a, b;
  a.channels = {{0, 1, 2, 3}, {0, 1, 2, 3}};
  b = a;
  EXPECT_EQ(-1, FirstDifference(a, b));
  b.channels[1][2] = 9;
  b.channels[0][3] = 9;
  EXPECT_EQ(2, FirstDifference(a, b));
  b = a;
  b.channels[0].pop_back();
  EXPECT_EQ(3, FirstDifference(a, b));
}

}  // namespace

IPluginAU* MakePlug() {
  IPluginInstanceInfo info;
  info.mBundleID.Set("com.tonnik.test.faulty");
  info.mCocoaViewFactoryClassName.Set("Faulty_View");
  return new FaultyPlug(info);
}
