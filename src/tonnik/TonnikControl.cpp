// Parameters to the voice and the rings as their rows say (TonnikParams.h),
// and MIDI control changes to the parameters through the learnable
// controller map (MIDI Learn, MIDI Clear).

#include "graphics/IGraphics.h"
#include "tonnik/Tonnik.h"

namespace {

// Ring angles in degrees: the knob's travel, and how far velocity reaches.
double CentreAngle(double value) { return 240 * value - 120; }
double SpanAngle(double value) { return 270 * value; }

// Size of the value display text: a display text or a formatted value of a
// bounded parameter.
const int kDisplayTextLen = 64;

bool IsControllerTarget(int paramIdx) { return kTonnikParams[paramIdx].role == TonnikParamRow::kSound; }

// Controller values move switches in steps, not continuously.
double ControllerValue(TonnikParamRow::EControllerSteps steps, double v) {
  switch (steps) {
    case TonnikParamRow::kOnOff:
      return v > 0.5 ? 1 : 0;
    case TonnikParamRow::kThreeWay:
      return v > 0.6666 ? 1 : (v > 0.3333 ? 0.5 : 0);
    case TonnikParamRow::kContinuous:
      break;
  }
  return v;
}

}  // namespace

void Tonnik::OnParamChange(int paramIdx) {
  IMutexLock lock(this);
  IParam* param = GetParam(paramIdx);
  if (!param || paramIdx >= kNumParams) return;
  if (mClearActive == 1) mControllerMap[paramIdx] = -1;

  const double value = param->Value();
  const TonnikParamRow& row = kTonnikParams[paramIdx];
  switch (row.role) {
    case TonnikParamRow::kLearnSwitch:
      mLearnActive = static_cast<int>(value);
      if (mLearnActive == 1 && mClearActive == 1) {
        if (GetGUI()) GetGUI()->SetControlFromPlug(mClearSwitchIdx, 0);
        mClearActive = 0;
      }
      return;
    case TonnikParamRow::kClearSwitch:
      mClearActive = static_cast<int>(value);
      if (mLearnActive == 1 && mClearActive == 1) {
        if (GetGUI()) GetGUI()->SetControlFromPlug(mLearnSwitchIdx, 0);
        mLearnActive = 0;
      }
      return;
    case TonnikParamRow::kSound:
      break;
  }
  PostToVoice(paramIdx, value);
  if (row.ring != kNoRing) {
    if (row.ringAngle == TonnikParamRow::kCentre) SetRingCentre(row.ring, value);
    else SetRingSpan(row.ring, value);
  }
  NoteTouched(paramIdx);
}

void Tonnik::PostToVoice(int paramIdx, double value) {
  mVoiceValues[paramIdx].store(value, std::memory_order_relaxed);
  mChangedParams.fetch_or(1u << paramIdx, std::memory_order_release);
}

void Tonnik::ApplyToVoice(int paramIdx, double value) {
  if (kTonnikParams[paramIdx].toVoice) kTonnikParams[paramIdx].toVoice(mVoice, value);
}

void Tonnik::NoteTouched(int paramIdx) {
  if (mLearnActive != 0) mLastTouchedParam = paramIdx;
}

void Tonnik::SetRingCentre(ERing ring, double value) {
  mRingCentre[ring] = CentreAngle(value);
  PushRing(ring, false);
}

void Tonnik::SetRingSpan(ERing ring, double value) {
  mRingSpan[ring] = SpanAngle(value);
  PushRing(ring, true);
}

void Tonnik::ProcessMidiMsg(IMidiMsg* msg) {
  mMidiQueue.Add(msg);
  if (msg->StatusMsg() != IMidiMsg::kControlChange) return;
  // Data bytes have 7 bits; anything else is not MIDI and moves nothing.
  if (msg->mData1 > 127 || msg->mData2 > 127) return;
  ApplyControlChange(msg->mData1, msg->mData2);
}

void Tonnik::ApplyControlChange(int cc, int value) {
  IMutexLock lock(this);
  if (mClearActive != 0) {
    for (int i = 0; i < kNumParams; ++i)
      if (mControllerMap[i] == cc) mControllerMap[i] = -1;
    return;
  }
  if (mLearnActive == 1) {
    for (int i = 0; i < kNumParams; ++i)
      if (mControllerMap[i] == cc) mControllerMap[i] = -1;
    if (mLastTouchedParam >= 0 && mLastTouchedParam < kNumParams)
      mControllerMap[mLastTouchedParam] = cc;
  }

  int target = -1;
  for (int i = 0; i < kNumParams; ++i)
    if (IsControllerTarget(i) && mControllerMap[i] == cc) target = i;
  if (target < 0) return;

  const double v = ControllerValue(kTonnikParams[target].controllerSteps, value / 127.0);
  IParam* param = GetParam(target);
  char text[kDisplayTextLen];
  param->GetDisplayForHost(v, true, text, true);
  ShowValueText(text);

  param->SetNormalized(v);
  OnParamChange(target);
  if (GetGUI()) GetGUI()->SetParameterFromPlug(target, v, true);
  InformHostOfParamChange(target, v);
}
