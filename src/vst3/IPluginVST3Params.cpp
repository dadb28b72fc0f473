// The edit controller's parameters, their texts, the MIDI controller map and
// the component handler.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "graphics/IGraphics.h"
#include "vst3/IPluginVST3.h"
#include "vst3/VST3Strings.h"

namespace {

const vst3::int32 kString128 = 128;
// "MIDI CC 16|127" and its terminator, with room to spare.
const int kControllerTitleLen = 32;
const double kControllerSteps = 127.0;  // control-change values are 0..127

// A plain value on the parameter's own grid: its kinds other than double
// take whole steps.
double PlainOf(const IParam* param, double normalized) {
  double lo = 0.0, hi = 0.0;
  param->GetBounds(&lo, &hi);
  double plain = FromNormalizedParam(normalized < 0.0 ? 0.0 : (normalized > 1.0 ? 1.0 : normalized), lo, hi,
                                     param->GetShape());
  if (param->Type() != IParam::kKindDouble && param->GetStep() > 0.0)
    plain = lo + std::round((plain - lo) / param->GetStep()) * param->GetStep();
  return plain < lo ? lo : (plain > hi ? hi : plain);
}

}  // namespace

vst3::tresult IPluginVST3::setComponentState(vst3::IBStream* state) { return vst3::kResultOk; }

vst3::int32 IPluginVST3::getParameterCount() { return NParams() + kControllerParams; }

vst3::tresult IPluginVST3::getParameterInfo(vst3::int32 paramIndex, vst3::ParameterInfo& info) {
  if (paramIndex < 0 || paramIndex >= getParameterCount()) return vst3::kInvalidArgument;
  std::memset(&info, 0, sizeof info);
  if (paramIndex >= NParams()) {
    const int cc = paramIndex - NParams();
    info.id = kControllerParamBase + (vst3::ParamID)cc;
    char title[kControllerTitleLen];
    std::snprintf(title, sizeof title, "MIDI CC %d|%d", cc / kControllers + 1, cc % kControllers);
    CopyToUTF16(info.title, kString128, title);
    CopyToUTF16(info.shortTitle, kString128, title);
    info.stepCount = (vst3::int32)kControllerSteps;
    info.flags = vst3::ParameterInfo::kIsHidden;
    return vst3::kResultOk;
  }
  const IParam* param = GetParam(paramIndex);
  info.id = (vst3::ParamID)paramIndex;
  CopyToUTF16(info.title, kString128, param->GetNameForHost());
  CopyToUTF16(info.shortTitle, kString128, param->GetNameForHost());
  CopyToUTF16(info.units, kString128, param->GetLabelForHost());
  double lo = 0.0, hi = 0.0;
  param->GetBounds(&lo, &hi);
  if (param->Type() != IParam::kKindDouble && param->GetStep() > 0.0)
    info.stepCount = (vst3::int32)std::lround((hi - lo) / param->GetStep());
  info.defaultNormalizedValue = param->GetNormalized(param->GetDefault());
  info.flags = (param->GetCanAutomate() ? vst3::ParameterInfo::kCanAutomate : 0) |
               (param->GetNDisplayTexts() > 0 ? vst3::ParameterInfo::kIsList : 0);
  return vst3::kResultOk;
}

vst3::tresult IPluginVST3::getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                                 vst3::String128 string) {
  if (!string) return vst3::kInvalidArgument;
  char text[IParam::kTextLen];
  if (IsControllerParam(id)) {
    std::snprintf(text, sizeof text, "%d", (int)std::lround(valueNormalized * kControllerSteps));
  } else if (IsPluginParam(id)) {
    const IParam* param = GetParam((int)id);
    param->GetDisplayForHost(PlainOf(param, valueNormalized), false, text);
  } else {
    return vst3::kInvalidArgument;
  }
  CopyToUTF16(string, kString128, text);
  return vst3::kResultOk;
}

vst3::tresult IPluginVST3::getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                                 vst3::ParamValue& valueNormalized) {
  if (!string || !IsPluginParam(id)) return vst3::kInvalidArgument;
  const IParam* param = GetParam((int)id);
  char text[IParam::kTextLen];
  CopyFromUTF16(text, sizeof text, string);
  int listed = 0;
  if (param->MapDisplayText(text, &listed)) {
    valueNormalized = param->GetNormalized(listed);
    return vst3::kResultOk;
  }
  char* end = nullptr;
  const double shown = std::strtod(text, &end);
  if (end == text || !std::isfinite(shown)) return vst3::kResultFalse;
  valueNormalized = param->GetNormalized(param->DisplayIsNegated() ? -shown : shown);
  return vst3::kResultOk;
}

vst3::ParamValue IPluginVST3::normalizedParamToPlain(vst3::ParamID id, vst3::ParamValue valueNormalized) {
  if (IsControllerParam(id)) return std::round(valueNormalized * kControllerSteps);
  return IsPluginParam(id) ? PlainOf(GetParam((int)id), valueNormalized) : valueNormalized;
}

vst3::ParamValue IPluginVST3::plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue) {
  if (IsControllerParam(id)) return plainValue / kControllerSteps;
  return IsPluginParam(id) ? GetParam((int)id)->GetNormalized(plainValue) : plainValue;
}

vst3::ParamValue IPluginVST3::getParamNormalized(vst3::ParamID id) {
  return IsPluginParam(id) ? GetParam((int)id)->GetNormalized() : 0.0;
}

vst3::tresult IPluginVST3::setParamNormalized(vst3::ParamID id, vst3::ParamValue value) {
  if (IsControllerParam(id)) return vst3::kResultOk;
  if (!IsPluginParam(id) || !std::isfinite(value)) return vst3::kInvalidArgument;
  IMutexLock lock(this);
  ApplyHostValue((int)id, value);
  return vst3::kResultOk;
}

void IPluginVST3::ApplyHostValue(int paramIdx, double normalizedValue) {
  IParam* param = GetParam(paramIdx);
  const double before = param->Value();
  param->SetNormalized(normalizedValue);
  // Hosts send automation every block whether it moved or not; the voice
  // hears only values that changed, as from the other formats' hosts.
  if (param->Value() == before) return;
  if (IGraphics* gui = GetGUI()) gui->SetParameterFromPlug(paramIdx, param->Value(), false);
  OnParamChange(paramIdx);
}

vst3::tresult IPluginVST3::setComponentHandler(vst3::IComponentHandler* handler) {
  if (handler == mHandler) return vst3::kResultOk;
  if (handler) handler->addRef();
  if (mHandler) mHandler->release();
  mHandler = handler;
  return vst3::kResultOk;
}

vst3::tresult IPluginVST3::getMidiControllerAssignment(vst3::int32 busIndex, vst3::int16 channel,
                                                       vst3::CtrlNumber midiControllerNumber, vst3::ParamID& id) {
  if (busIndex != 0 || channel < 0 || channel >= kMidiChannels || midiControllerNumber < 0 ||
      midiControllerNumber >= kControllers)
    return vst3::kResultFalse;
  id = kControllerParamBase + (vst3::ParamID)(channel * kControllers + midiControllerNumber);
  return vst3::kResultTrue;
}

IMidiMsg IPluginVST3::ControlChangeFor(vst3::ParamID id, double value, int offset) {
  const int index = (int)(id - kControllerParamBase);
  const double clamped = value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
  return IMidiMsg(offset, (uint8_t)(IMidiMsg::kControlChange << 4 | index / kControllers),
                  (uint8_t)(index % kControllers), (uint8_t)std::lround(clamped * kControllerSteps));
}

// ---- The editor's edits, to the host ----

void IPluginVST3::BeginInformHostOfParamChange(int paramIdx) {
  if (mHandler) mHandler->beginEdit((vst3::ParamID)paramIdx);
}

void IPluginVST3::InformHostOfParamChange(int paramIdx, double normalizedValue) {
  if (mHandler) mHandler->performEdit((vst3::ParamID)paramIdx, normalizedValue);
}

void IPluginVST3::EndInformHostOfParamChange(int paramIdx) {
  if (mHandler) mHandler->endEdit((vst3::ParamID)paramIdx);
}
