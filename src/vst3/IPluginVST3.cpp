// Construction, the reference count, the component's buses and the
// processor's setup and activation.

#include "vst3/IPluginVST3.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "graphics/IGraphics.h"
#include "platform/IGraphicsX11.h"
#include "vst3/VST3PlugView.h"
#include "vst3/VST3Strings.h"

namespace {
const char* const kOutputBusName = "Output";
const char* const kEventBusName = "MIDI In";
}  // namespace

IPluginVST3::~IPluginVST3() {
  if (mHandler) mHandler->release();
}

// ---- FUnknown ----

vst3::tresult IPluginVST3::queryInterface(const vst3::TUID iid, void** obj) {
  vst3::IComponent* component = this;
  const vst3::Offered offered[] = {
      {&vst3::iid::kFUnknown, component},
      {&vst3::iid::kIPluginBase, component},
      {&vst3::iid::kIComponent, component},
      {&vst3::iid::kIAudioProcessor, static_cast<vst3::IAudioProcessor*>(this)},
      {&vst3::iid::kIEditController, static_cast<vst3::IEditController*>(this)},
      {&vst3::iid::kIMidiMapping, static_cast<vst3::IMidiMapping*>(this)},
  };
  return vst3::QueryOffered(iid, obj, offered, (int)(sizeof offered / sizeof offered[0]));
}

vst3::uint32 IPluginVST3::addRef() { return mRefCount.Add(); }

vst3::uint32 IPluginVST3::release() {
  const vst3::uint32 left = mRefCount.Drop();
  if (left == 0) delete this;
  return left;
}

// ---- IPluginBase ----

vst3::tresult IPluginVST3::initialize(vst3::FUnknown* context) {
  const int nParams = NParams();
  if (!mHeldValues.Resize(nParams) || !mValuesBeforeControlChange.Resize(nParams) ||
      !mFloatPiece.Resize(NOutChannels()) || !mDoublePiece.Resize(NOutChannels()))
    return vst3::kOutOfMemory;
  for (int i = 0; i < nParams; ++i) mHeldValues.Get()[i] = NAN;
  SetSampleRate(kDefaultSampleRate);
  SetBlockSize(kDefaultBlockSize);
  if (GetBlockSize() != kDefaultBlockSize) return vst3::kOutOfMemory;
  SetOutputChannelConnections(0, NOutChannels(), true);
  PruneUninitializedPresets();
  Reset();
  MeasureStateSize();
  return vst3::kResultOk;
}

vst3::tresult IPluginVST3::terminate() {
  setComponentHandler(nullptr);
  return vst3::kResultOk;
}

// ---- IComponent ----

vst3::tresult IPluginVST3::getControllerClassId(vst3::TUID classId) { return vst3::kResultFalse; }

vst3::tresult IPluginVST3::setIoMode(vst3::IoMode mode) { return vst3::kResultOk; }

vst3::int32 IPluginVST3::getBusCount(vst3::MediaType type, vst3::BusDirection dir) {
  if (type == vst3::kAudio && dir == vst3::kOutput) return 1;
  if (type == vst3::kEvent && dir == vst3::kInput) return 1;
  return 0;
}

vst3::tresult IPluginVST3::getBusInfo(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                      vst3::BusInfo& bus) {
  if (index != 0 || getBusCount(type, dir) == 0) return vst3::kInvalidArgument;
  std::memset(&bus, 0, sizeof bus);
  bus.mediaType = type;
  bus.direction = dir;
  bus.channelCount = type == vst3::kAudio ? mOutputChannels : kMidiChannels;
  CopyToUTF16(bus.name, 128, type == vst3::kAudio ? kOutputBusName : kEventBusName);
  bus.busType = vst3::kMain;
  bus.flags = vst3::BusInfo::kDefaultActive;
  return vst3::kResultOk;
}

vst3::tresult IPluginVST3::getRoutingInfo(vst3::RoutingInfo& inInfo, vst3::RoutingInfo& outInfo) {
  if (inInfo.mediaType != vst3::kEvent || inInfo.busIndex != 0) return vst3::kResultFalse;
  outInfo.mediaType = vst3::kAudio;
  outInfo.busIndex = 0;
  outInfo.channel = -1;
  return vst3::kResultOk;
}

vst3::tresult IPluginVST3::activateBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                       vst3::TBool state) {
  return index == 0 && getBusCount(type, dir) > 0 ? vst3::kResultOk : vst3::kInvalidArgument;
}

vst3::tresult IPluginVST3::setActive(vst3::TBool state) {
  IMutexLock lock(this);
  if (state) {
    Reset();
    OnHostReset();
  }
  OnActivate(state != 0);
  mActive = state != 0;
  return vst3::kResultOk;
}

// ---- IAudioProcessor ----

vst3::tresult IPluginVST3::setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                              vst3::SpeakerArrangement* outputs, vst3::int32 numOuts) {
  if (numIns != 0 || numOuts != 1 || !outputs) return vst3::kResultFalse;
  if (outputs[0] == vst3::kArrStereo && LegalIO(0, 2))
    mOutputChannels = 2;
  else if (outputs[0] == vst3::kArrMono && LegalIO(0, 1))
    mOutputChannels = 1;
  else
    return vst3::kResultFalse;
  return vst3::kResultTrue;
}

vst3::tresult IPluginVST3::getBusArrangement(vst3::BusDirection dir, vst3::int32 index,
                                             vst3::SpeakerArrangement& arr) {
  if (dir != vst3::kOutput || index != 0) return vst3::kInvalidArgument;
  arr = mOutputChannels == 1 ? vst3::kArrMono : vst3::kArrStereo;
  return vst3::kResultOk;
}

vst3::tresult IPluginVST3::canProcessSampleSize(vst3::int32 symbolicSampleSize) {
  return symbolicSampleSize == vst3::kSample32 || symbolicSampleSize == vst3::kSample64 ? vst3::kResultTrue
                                                                                         : vst3::kResultFalse;
}

vst3::uint32 IPluginVST3::getLatencySamples() { return (vst3::uint32)GetLatency(); }

vst3::tresult IPluginVST3::setupProcessing(vst3::ProcessSetup& setup) {
  const double rate = setup.sampleRate;
  if (!PlaysSampleRate(rate)) {
    std::fprintf(stderr, "%s: %g Hz is not a sample rate it plays; not set up\n", GetEffectName(), rate);
    return vst3::kResultFalse;
  }
  if (canProcessSampleSize(setup.symbolicSampleSize) != vst3::kResultTrue) return vst3::kResultFalse;
  int blockSize = setup.maxSamplesPerBlock > 0 ? setup.maxSamplesPerBlock : kDefaultBlockSize;
  if (blockSize > kLargestBlockSize) blockSize = kLargestBlockSize;
  IMutexLock lock(this);
  SetSampleRate(rate);
  SetBlockSize(blockSize);
  if (GetBlockSize() != blockSize) {
    std::fprintf(stderr, "%s: out of memory for blocks of %d samples\n", GetEffectName(), blockSize);
    return vst3::kOutOfMemory;
  }
  mDoublePrecision = setup.symbolicSampleSize == vst3::kSample64;
  Reset();
  return vst3::kResultOk;
}

vst3::tresult IPluginVST3::setProcessing(vst3::TBool state) { return vst3::kResultOk; }

vst3::uint32 IPluginVST3::getTailSamples() { return 0; }

void IPluginVST3::SetBlockSize(int blockSize) {
  if (blockSize < 0) return;
  const int nOut = NOutChannels();
  if (!mFloatScratch.Resize(nOut * blockSize) || !mDoubleScratch.Resize(nOut * blockSize)) {
    mFloatScratch.Resize(nOut * GetBlockSize());
    mDoubleScratch.Resize(nOut * GetBlockSize());
    return;
  }
  ::IPluginBase::SetBlockSize(blockSize);
}

// ---- The editor ----

vst3::IPlugView* IPluginVST3::createView(vst3::FIDString name) {
  if (!name || std::strcmp(name, vst3::kEditorViewType) != 0) return nullptr;
  IGraphicsX11* gui = dynamic_cast<IGraphicsX11*>(GetGUI());
  if (!gui || mHasView || gui->WindowIsOpen()) return nullptr;
  VST3PlugView* view = new (std::nothrow) VST3PlugView(this, gui);
  mHasView = view != nullptr;
  return view;
}
