#include "tonnik/Tonnik.h"

#include "au/apple/FourCC.h"
#include "graphics/IGraphics.h"

namespace {

const int kVendorVersion = 0x00010101;  // 1.1.1
const int kMidiQueueSize = 1024;
const double kVoiceStartRate = 48000;

}  // namespace

Tonnik::Tonnik(IPluginInstanceInfo instanceInfo)
    : TonnikBase(instanceInfo, kNumParams, "0-1 0-2", 1, "TONNIK-PRO", "", "Velmora Rirevovizod",
                 kVendorVersion, static_cast<int>(MakeFourCC("Tnk4")),
                 static_cast<int>(MakeFourCC("-VL-")), 0, true, true, true, 0),
      mVoice(),
      mMidiQueue(kMidiQueueSize) {
  EnableSingleReplacing();
  mLearnActive = 0;
  mClearActive = 0;
  for (int i = 0; i < kNumParams; ++i) mControllerMap[i] = -1;
  mLastTouchedParam = -1;

  InitParams();
  for (int i = 0; i < kNumParams; ++i) mVoiceValues[i].store(GetParam(i)->Value());
  mVoiceRate.store(kVoiceStartRate);
  BuildEditor();

  SetVoiceStartState(kVoiceStartRate);

  mLEDState.store(0);
  mSamplesSinceHit.store(0);

  CreatePresets();

  if (GetGUI()) GetGUI()->SetControlFromPlug(mLEDIndex, 1.0);

  mVoice.glide.mode = Glide::kBothWays;
}

void Tonnik::SetVoiceStartState(double sampleRate) {
  mVoice.setTone(0.5);
  mVoice.setTune(0.5);
  mVoice.setLevel(0.5);
  mVoice.setDecay(0.5);
  mVoice.setAccent(0.5);
  mVoice.setMidiTuneFlag(0);
  mVoice.setMidiAccentFlag(0);
  mVoice.setMidiNote(0);
  mVoice.setMidiVelocity(0.0);
  mVoice.setSampleRate(sampleRate);
  mVoice.setLongDecayFlag(0);
}

// The voice and the queue are members and go in reverse order (queue first);
// the editor belongs to the base.
Tonnik::~Tonnik() = default;

// Shape and display texts follow each parameter's initialisation, as its row gives them.
void Tonnik::InitParams() {
  for (int i = 0; i < kNumParams; ++i) {
    const TonnikParamRow& row = kTonnikParams[i];
    IParam* param = GetParam(i);
    switch (row.kind) {
      case TonnikParamRow::kDouble:
        param->InitDouble(row.name, row.defaultValue, row.min, row.max, row.step, row.label);
        break;
      case TonnikParamRow::kInt:
        param->InitInt(row.name, static_cast<int>(row.defaultValue), static_cast<int>(row.min),
                       static_cast<int>(row.max), row.label);
        break;
      case TonnikParamRow::kBool:
        param->InitBool(row.name, row.defaultValue != 0, row.label);
        break;
    }
    if (row.shape != 1) param->SetShape(row.shape);
    for (int t = 0; t < TonnikParamRow::kMaxDisplayTexts && row.displayTexts[t]; ++t)
      param->SetDisplayText(static_cast<int>(row.min) + t, row.displayTexts[t]);
  }
}

// One value per parameter in index order: int for bool and int parameters,
// double for double ones. The values the factory preset leaves open are the
// defaults.
void Tonnik::CreatePresets() {
  MakePreset("Init",
             0.5,   // Tone
             0,     // Tune
             0,     // Fine
             0.5,   // Decay
             0.5,   // Accent
             0,     // MIDI Tune
             0,     // Long Decay
             0,     // MIDI Learn
             0,     // MIDI Clear
             0.5,   // Comp
             0.0,   // Drive
             0.0,   // Glide
             0,     // Glide Mode
             0.0,   // DynDecay
             0.0,   // DynComp
             0.0,   // DynDrive
             0.0,   // DynTone
             0.0,   // DynLevel
             0);    // DriveEnv
}

int Tonnik::GetController(int paramIdx) const {
  if (paramIdx < 0 || paramIdx >= kNumParams) return -1;
  return mControllerMap[paramIdx];
}
