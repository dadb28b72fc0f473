#pragma once
// The host side of the VST 3 interface for the tests and the benchmark: a
// memory stream, parameter changes, an event list, a component handler that
// records what it hears, and one instance driven through its interfaces in
// the order hosts use. Plain objects owned by the caller; one thread. Their
// reference counts are for form: they live on the caller's stack.

#include <deque>
#include <string>
#include <vector>

#include "vst3/VST3Interfaces.h"

// Every host object's FUnknown: answers no interface, counts nothing.
#define TEST_HOST_UNKNOWN                                                         \
  vst3::tresult queryInterface(const vst3::TUID, void** obj) override {           \
    *obj = nullptr;                                                               \
    return vst3::kNoInterface;                                                    \
  }                                                                               \
  vst3::uint32 addRef() override { return 1; }                                    \
  vst3::uint32 release() override { return 1; }

class MemoryStream : public vst3::IBStream {
public:
  TEST_HOST_UNKNOWN
  std::vector<unsigned char> mBytes;
  size_t mPos = 0;
  vst3::tresult read(void* buffer, vst3::int32 n, vst3::int32* got) override;
  vst3::tresult write(void* buffer, vst3::int32 n, vst3::int32* written) override;
  // The plug-in reads and writes its state in one go.
  vst3::tresult seek(vst3::int64, vst3::int32, vst3::int64*) override { return vst3::kNotImplemented; }
  vst3::tresult tell(vst3::int64*) override { return vst3::kNotImplemented; }
};

class ValueQueue : public vst3::IParamValueQueue {
public:
  TEST_HOST_UNKNOWN
  vst3::ParamID mID = 0;
  std::vector<std::pair<int, double>> mPoints;
  vst3::ParamID getParameterId() override { return mID; }
  vst3::int32 getPointCount() override { return (vst3::int32)mPoints.size(); }
  vst3::tresult getPoint(vst3::int32 i, vst3::int32& offset, vst3::ParamValue& value) override;
  vst3::tresult addPoint(vst3::int32 offset, vst3::ParamValue value, vst3::int32& index) override;
};

class ParamChanges : public vst3::IParameterChanges {
public:
  TEST_HOST_UNKNOWN
  // The queue of id (made on first use); points are added in order.
  void Add(vst3::ParamID id, int offset, double value);
  // The queue of id, or null.
  ValueQueue* Find(vst3::ParamID id);
  void Clear() { mQueues.clear(); }
  // Empties every queue but keeps it and its room, so that adding again
  // allocates nothing.
  void ClearPoints() {
    for (ValueQueue& q : mQueues) q.mPoints.clear();
  }
  vst3::int32 getParameterCount() override { return (vst3::int32)mQueues.size(); }
  vst3::IParamValueQueue* getParameterData(vst3::int32 i) override;
  vst3::IParamValueQueue* addParameterData(const vst3::ParamID& id, vst3::int32& index) override;

private:
  std::deque<ValueQueue> mQueues;
};

class EventList : public vst3::IEventList {
public:
  TEST_HOST_UNKNOWN
  std::vector<vst3::Event> mEvents;
  void AddNoteOn(int offset, int pitch, float velocity);
  vst3::int32 getEventCount() override { return (vst3::int32)mEvents.size(); }
  vst3::tresult getEvent(vst3::int32 i, vst3::Event& e) override;
  vst3::tresult addEvent(vst3::Event& e) override;
};

// Records "begin 3", "perform 3", "end 3", "restart 4".
class RecordingHandler : public vst3::IComponentHandler {
public:
  TEST_HOST_UNKNOWN
  std::vector<std::string> mCalls;
  vst3::tresult beginEdit(vst3::ParamID id) override { return Note("begin", id); }
  vst3::tresult performEdit(vst3::ParamID id, vst3::ParamValue) override { return Note("perform", id); }
  vst3::tresult endEdit(vst3::ParamID id) override { return Note("end", id); }
  vst3::tresult restartComponent(vst3::int32 flags) override { return Note("restart", flags); }

private:
  vst3::tresult Note(const char* call, long what) {
    mCalls.push_back(std::string(call) + " " + std::to_string(what));
    return vst3::kResultOk;
  }
};

// One instance from a factory, taken through initialize, a stereo
// arrangement, setupProcessing, setActive and setProcessing.
class HostedInstance {
public:
  HostedInstance(vst3::IPluginFactory* factory, double rate, int maxBlock, bool doubles = false);
  ~HostedInstance();
  HostedInstance(const HostedInstance&) = delete;
  HostedInstance& operator=(const HostedInstance&) = delete;

  bool Ok() const { return mController != nullptr; }
  // One block of n samples into the output buffers (which hold any n).
  vst3::tresult Process(int n, ParamChanges* in = nullptr, EventList* events = nullptr,
                        ParamChanges* out = nullptr);
  const std::vector<float>& Out(int c) const { return mOut[c]; }
  const std::vector<double>& Out64(int c) const { return mOut64[c]; }

  vst3::IComponent* mComponent = nullptr;
  vst3::IAudioProcessor* mProcessor = nullptr;
  vst3::IEditController* mController = nullptr;

private:
  bool mDoubles;
  std::vector<float> mOut[2];
  std::vector<double> mOut64[2];
};

// The class ID the instrument's factory announces.
vst3::UID TonnikClassID();
