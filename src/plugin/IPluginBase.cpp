#include "plugin/IPluginBase.h"

#include <cassert>
#include <cstdio>
#include <cstring>

#include "graphics/IGraphics.h"
#include "plugin/Assert.h"
#include "plugin/Log.h"

namespace {

// Depth of IEditorLock scopes on this thread, for CheckAudioThreadEntry.
thread_local int tEditorDepth = 0;

}  // namespace

IPluginBase::IEditorLock::IEditorLock(IPluginBase* plug) : mLock(plug) { ++tEditorDepth; }

IPluginBase::IEditorLock::~IEditorLock() { --tEditorDepth; }

bool IPluginBase::InEditorOperation() { return tEditorDepth > 0; }

void IPluginBase::CheckAudioThreadEntry() {
  assert(!InEditorOperation() && "audio-thread entry point called inside an editor or file operation");
}

static void CopyName(char* dst, int size, const char* name) {
  std::snprintf(dst, static_cast<size_t>(size), "%s", name ? name : "");
}

IPluginBase::IPluginBase(int nParams, const char* channelIOStr, int nPresets,
                         const char* effectName, const char* productName, const char* mfrName,
                         int vendorVersion, int uniqueID, int mfrID, int latency,
                         bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, EAPI plugAPI)
    : mUniqueID(uniqueID),
      mMfrID(mfrID),
      mVersion(vendorVersion),
      mAPI(plugAPI),
      mHost(kHostUninit),
      mHostVersion(0),
      mStateChunks(plugDoesChunks),
      mIsInst(plugIsInst),
      mIsBypassed(false),
      mCurrentPresetIdx(0),
      mSampleRate(44100.0),
      mBlockSize(0),
      mLatency(latency) {
  TRACE_HERE("%s:%s", effectName ? effectName : "", CurrentTime());

  for (int i = 0; i < nParams; ++i) mParams.Add(new IParam);
  for (int i = 0; i < nPresets; ++i) mPresets.Add(new IPreset(i));

  CopyName(mEffectName, sizeof(mEffectName), effectName);
  CopyName(mProductName, sizeof(mProductName), productName);
  CopyName(mMfrName, sizeof(mMfrName), mfrName);

  ParseChannelIOStr(channelIOStr);
}

IPluginBase::~IPluginBase() {
  // The editor goes first: its controls point at the parameters.
  mGraphics.reset();
  mParams.Empty(true);
  mPresets.Empty(true);
  mInChannels.Empty(true);
  mOutChannels.Empty(true);
  mChannelIO.Empty(true);
  mInputBusLabels.Empty(true);
  mOutputBusLabels.Empty(true);
}

void IPluginBase::Reset() { IMutexLock lock(this); }

void IPluginBase::OnParamChange(int paramIdx) { IMutexLock lock(this); }

void IPluginBase::OnActivate(bool active) { IMutexLock lock(this); }

void IPluginBase::ProcessMidiMsg(IMidiMsg* msg) { SendMidiMsg(msg); }

bool IPluginBase::MidiNoteName(int noteNumber, char* noteName) {
  noteName[0] = 0;
  return false;
}

void IPluginBase::SetParameterFromGUI(int paramIdx, double normalizedValue) {
  TRACE_HERE("%d:%f", paramIdx, normalizedValue);
  IEditorLock lock(this);
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  param->SetNormalized(normalizedValue);
  InformHostOfParamChange(paramIdx, normalizedValue);
  OnParamChange(paramIdx);
}

void IPluginBase::AttachGraphics(IGraphics* graphics) {
  if (!graphics) return;
  IEditorLock lock(this);
  for (int i = 0; i < NParams(); ++i)
    graphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
  if (mGraphics.get() != graphics) mGraphics.reset(graphics);
}

void IPluginBase::SetLatency(int samples) {
  mLatency = samples;
  if (mDelay) mDelay->SetDelayTime(samples);
}

void IPluginBase::RedrawParamControls() {
  if (!mGraphics) return;
  for (int i = 0; i < NParams(); ++i) mGraphics->SetParameterFromPlug(i, GetParam(i)->Value(), false);
}

int IPluginBase::AddParamGroup(const char* name) {
  mParamGroups.Add(name);
  return mParamGroups.GetSize() - 1;
}

int IPluginBase::GetEffectVersion(bool decimal) const {
  return decimal ? GetDecimalVersion(mVersion) : mVersion;
}

void IPluginBase::GetEffectVersionStr(char* str) const {
  GetVersionStr(mVersion, str);
  std::strcat(str, "D");
}

void IPluginBase::SetHost(const char* name, int version) {
  mHost = LookUpHost(name);
  mHostVersion = version;
  char versionStr[32];
  GetVersionStr(version, versionStr);
  TRACE_HERE("host_%sknown:%s:%s", mHost == kHostUnknown ? "un" : "", name ? name : "", versionStr);
}

int IPluginBase::GetHostVersion(bool decimal) {
  GetHost();
  return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void IPluginBase::GetHostVersionStr(char* str) {
  GetHost();
  GetVersionStr(mHostVersion, str);
}

void IPluginBase::OnParamReset() {
  for (int i = 0; i < NParams(); ++i) OnParamChange(i);
}

void IPluginBase::DirtyParameters() {
  IMutexLock lock(this);
  for (int i = 0; i < NParams(); ++i) InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}

double IPluginBase::GetSamplesPerBeat() {
  const double tempo = GetTempo();
  return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}

bool IPluginBase::SendMidiMsgs(KIT_TypedBuf<IMidiMsg>* msgs) {
  bool allSent = true;
  for (int i = 0; i < msgs->GetSize(); ++i) allSent &= SendMidiMsg(msgs->Get() + i);
  return allSent;
}
