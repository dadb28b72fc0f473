#include "vst3/VST3TestHost.h"

#include <cstring>

vst3::tresult MemoryStream::read(void* buffer, vst3::int32 n, vst3::int32* got) {
  const size_t left = mBytes.size() - mPos;
  const size_t take = n < 0 ? 0 : ((size_t)n < left ? (size_t)n : left);
  if (take) std::memcpy(buffer, mBytes.data() + mPos, take);
  mPos += take;
  if (got) *got = (vst3::int32)take;
  return vst3::kResultOk;
}

vst3::tresult MemoryStream::write(void* buffer, vst3::int32 n, vst3::int32* written) {
  if (n < 0) return vst3::kInvalidArgument;
  if (mPos + n > mBytes.size()) mBytes.resize(mPos + n);
  std::memcpy(mBytes.data() + mPos, buffer, n);
  mPos += n;
  if (written) *written = n;
  return vst3::kResultOk;
}

vst3::tresult ValueQueue::getPoint(vst3::int32 i, vst3::int32& offset, vst3::ParamValue& value) {
  if (i < 0 || i >= getPointCount()) return vst3::kInvalidArgument;
  offset = mPoints[i].first;
  value = mPoints[i].second;
  return vst3::kResultOk;
}

vst3::tresult ValueQueue::addPoint(vst3::int32 offset, vst3::ParamValue value, vst3::int32& index) {
  index = getPointCount();
  mPoints.emplace_back(offset, value);
  return vst3::kResultOk;
}

void ParamChanges::Add(vst3::ParamID id, int offset, double value) {
  vst3::int32 index = 0;
  addParameterData(id, index)->addPoint(offset, value, index);
}

ValueQueue* ParamChanges::Find(vst3::ParamID id) {
  for (ValueQueue& q : mQueues)
    if (q.mID == id) return &q;
  return nullptr;
}

vst3::IParamValueQueue* ParamChanges::getParameterData(vst3::int32 i) {
  return i >= 0 && i < getParameterCount() ? &mQueues[i] : nullptr;
}

vst3::IParamValueQueue* ParamChanges::addParameterData(const vst3::ParamID& id, vst3::int32& index) {
  for (size_t i = 0; i < mQueues.size(); ++i)
    if (mQueues[i].mID == id) {
      index = (vst3::int32)i;
      return &mQueues[i];
    }
  index = getParameterCount();
  mQueues.emplace_back();
  mQueues.back().mID = id;
  return &mQueues.back();
}

void EventList::AddNoteOn(int offset, int pitch, float velocity) {
  vst3::Event e = {};
  e.sampleOffset = offset;
  e.type = vst3::Event::kNoteOnEvent;
  e.noteOn = vst3::NoteOnEvent{0, (vst3::int16)pitch, 0.0f, velocity, 0, -1};
  mEvents.push_back(e);
}

vst3::tresult EventList::getEvent(vst3::int32 i, vst3::Event& e) {
  if (i < 0 || i >= getEventCount()) return vst3::kInvalidArgument;
  e = mEvents[i];
  return vst3::kResultOk;
}

vst3::tresult EventList::addEvent(vst3::Event& e) {
  mEvents.push_back(e);
  return vst3::kResultOk;
}

HostedInstance::HostedInstance(vst3::IPluginFactory* factory, double rate, int maxBlock, bool doubles)
    : mDoubles(doubles) {
  void* obj = nullptr;
  if (factory->createInstance(TonnikClassID().bytes, vst3::iid::kIComponent.bytes, &obj) != vst3::kResultOk) return;
  mComponent = static_cast<vst3::IComponent*>(obj);
  if (mComponent->initialize(nullptr) != vst3::kResultOk) return;
  mComponent->queryInterface(vst3::iid::kIAudioProcessor.bytes, &obj);
  mProcessor = static_cast<vst3::IAudioProcessor*>(obj);
  vst3::SpeakerArrangement stereo = vst3::kArrStereo;
  mProcessor->setBusArrangements(nullptr, 0, &stereo, 1);
  mComponent->activateBus(vst3::kAudio, vst3::kOutput, 0, 1);
  mComponent->activateBus(vst3::kEvent, vst3::kInput, 0, 1);
  vst3::ProcessSetup setup = {vst3::kRealtime, doubles ? vst3::kSample64 : vst3::kSample32, maxBlock, rate};
  if (mProcessor->setupProcessing(setup) != vst3::kResultOk) return;
  mComponent->setActive(1);
  mProcessor->setProcessing(1);
  mComponent->queryInterface(vst3::iid::kIEditController.bytes, &obj);
  mController = static_cast<vst3::IEditController*>(obj);
}

HostedInstance::~HostedInstance() {
  if (mController) {
    mProcessor->setProcessing(0);
    mComponent->setActive(0);
    mController->release();
  }
  if (mProcessor) mProcessor->release();
  if (mComponent) {
    mComponent->terminate();
    mComponent->release();
  }
}

vst3::tresult HostedInstance::Process(int n, ParamChanges* in, EventList* events, ParamChanges* out) {
  float* channels[2];
  double* channels64[2];
  for (int c = 0; c < 2; ++c) {
    mOut[c].assign(n > 0 ? n : 0, 0.0f);
    mOut64[c].assign(n > 0 ? n : 0, 0.0);
    channels[c] = mOut[c].data();
    channels64[c] = mOut64[c].data();
  }
  vst3::AudioBusBuffers bus = {};
  bus.numChannels = 2;
  if (mDoubles)
    bus.channelBuffers64 = channels64;
  else
    bus.channelBuffers32 = channels;
  vst3::ProcessData data = {vst3::kRealtime, mDoubles ? vst3::kSample64 : vst3::kSample32, n, 0, 1, nullptr, &bus,
                            in, out, events, nullptr, nullptr};
  return mProcessor->process(data);
}

vst3::UID TonnikClassID() {
  // "Tnk4", "-VL-", "VST3" and the first two words XORed.
  return vst3::MakeUID(0x546E6B34, 0x2D564C2D, 0x56535433, 0x546E6B34 ^ 0x2D564C2D);
}
