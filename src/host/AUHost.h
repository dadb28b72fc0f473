#pragma once
// A small Audio Unit host. It knows a component only through its entry
// function and description, and drives it the way a real host does, in the
// same order: open, property queries, sample rate, stream format, maximum
// frames, host callbacks, initialize, MIDI events with sample offsets before
// each render, render (through the entry or the fast-dispatch procedure),
// parameter sets and scheduled parameters, listening to parameter events and
// property changes, saving and restoring the ClassInfo dictionary, factory
// presets, uninitialize, close.
//
//   AUHost host(Product_Entry, description);
//   host.Open();
//   host.Prepare(48000, 512, 2);          // rate, stream format, frames, callbacks, initialize
//   host.SendMidi(0x90, 36, 100, 17);
//   host.Render(512, outs, 2);
//
// Every operation answers the unit's OSStatus (or the stand-ins' errors);
// nothing throws. Ownership: the host owns its component instance, closes it
// on destruction, and releases every CF object the unit hands it except the
// ClassInfo dictionary returned by GetClassInfo (the caller releases it).
//
// Threads: one thread drives the host (the main thread, or the render
// thread for Render and SendMidi once prepared). Render does not allocate.
// Events from listeners may arrive on any thread; TakeEvents is thread-safe.

#include <mutex>
#include <string>
#include <vector>

#include "au/apple/AudioUnit.h"

// Musical time and transport as this host reports them through the host
// callbacks; set with AUHost::SetTransport.
struct AUHostTransport {
  double tempo = 120.0;
  double beat = 0.0;
  bool playing = false;
  bool cycling = false;
  double cycleStartBeat = 0.0;
  double cycleEndBeat = 0.0;
  float timeSigNumerator = 4.0f;
  UInt32 timeSigDenominator = 4;
  double measureDownBeat = 0.0;
};

// What the unit says about one parameter.
struct AUHostParamInfo {
  AudioUnitParameterID id = 0;
  std::string name;
  std::string unitName;
  AudioUnitParameterUnit unit = 0;
  float minValue = 0.0f;
  float maxValue = 0.0f;
  float defaultValue = 0.0f;
  AudioUnitParameterOptions flags = 0;
  UInt32 clumpID = 0;
};

// One notification the host received.
struct AUHostEvent {
  enum EKind { kParamBegin, kParamValue, kParamEnd, kProperty };
  EKind kind;
  UInt32 id;  // parameter or property ID
  AudioUnitScope scope;
  float value;  // parameter events: the value read back
};

// A factory preset as listed by the unit.
struct AUHostPreset {
  SInt32 number;
  std::string name;
};

class AUHost {
public:
  AUHost(ComponentRoutineUPP entry, const ComponentDescription& description);
  ~AUHost();
  AUHost(const AUHost&) = delete;
  AUHost& operator=(const AUHost&) = delete;

  // ---- Lifecycle ----

  OSStatus Open();
  // Stops listening, uninitialises if needed and closes; safe to repeat.
  OSStatus Close();
  OSStatus Initialize();
  OSStatus Uninitialize();
  OSStatus Reset();
  // SetSampleRate, SetStreamFormat, SetMaxFrames, InstallHostCallbacks and
  // Initialize, stopping at the first failure.
  OSStatus Prepare(double sampleRate, UInt32 maxFrames, int nOutChannels);
  AudioUnit Unit() const { return mUnit; }
  bool IsOpen() const { return mUnit != nullptr; }

  // ---- Configuration ----

  OSStatus SetSampleRate(double sampleRate);
  // Float, non-interleaved linear PCM with nChannels on output bus 0.
  OSStatus SetStreamFormat(int nChannels);
  // Units refuse this while initialised (kAudioUnitErr_Initialized): call
  // Uninitialize first.
  OSStatus SetMaxFrames(UInt32 frames);
  // Hands the unit the beat-and-tempo, musical-time and transport callbacks.
  OSStatus InstallHostCallbacks();
  // Takes effect on the next callback the unit makes.
  void SetTransport(const AUHostTransport& transport);
  // Tells the unit who hosts it (AUHostIdentifier).
  OSStatus SetHostIdentifier(const char* name, int major, int minor, int fix);

  // ---- Queries ----

  OSStatus GetVersion(SInt32* version);
  OSStatus CanDo(SInt16 selector, bool* answer);
  OSStatus GetSampleRate(double* sampleRate);
  OSStatus GetMaxFrames(UInt32* frames);
  OSStatus GetElementCount(AudioUnitScope scope, UInt32* count);
  OSStatus GetSupportedChannels(std::vector<AUChannelInfo>* pairs);
  OSStatus GetLatencySeconds(double* seconds);
  OSStatus GetTailSeconds(double* seconds);
  OSStatus GetOutputName(UInt32 bus, std::string* name);
  OSStatus GetParameterList(std::vector<AudioUnitParameterID>* ids);
  OSStatus GetParameterInfo(AudioUnitParameterID id, AUHostParamInfo* info);
  // The unit's display text for a value (its current value when value is null).
  OSStatus GetParameterDisplay(AudioUnitParameterID id, const float* value, std::string* text);
  OSStatus GetParameterValueFromText(AudioUnitParameterID id, const char* text, float* value);
  OSStatus GetParameterValueStrings(AudioUnitParameterID id, std::vector<std::string>* texts);
  OSStatus GetParameterClumpName(UInt32 clumpID, std::string* name);

  // ---- Parameters ----

  OSStatus GetParameter(AudioUnitParameterID id, float* value);
  OSStatus SetParameter(AudioUnitParameterID id, float value, UInt32 offsetFrames = 0);
  // An immediate event for the next render.
  OSStatus ScheduleParameter(AudioUnitParameterID id, float value, UInt32 offsetFrames);
  // A ramped event (units may ignore ramps).
  OSStatus ScheduleRamp(AudioUnitParameterID id, float startValue, float endValue, SInt32 startOffset,
                        UInt32 durationFrames);
  // Uses the fast-dispatch parameter procedures instead of the entry.
  void UseFastParameterProcs(bool fast);

  // ---- MIDI and rendering ----

  // For the next render; offset is the sample offset in that block.
  OSStatus SendMidi(UInt8 status, UInt8 data1, UInt8 data2, UInt32 offset);
  // Renders frames into nChannels caller buffers (null pointers let the
  // unit supply its own memory, which stays readable until the next render
  // and is handed back in out) and advances the sample time.
  OSStatus Render(UInt32 frames, float** out, int nChannels);
  // Renders through the fast-dispatch render procedure instead of the entry.
  OSStatus UseFastRender(bool fast);
  double GetSampleTime() const { return mSampleTime; }

  // ---- Listening ----

  // Parameter begin/value/end events of every parameter, and changes of the
  // given properties.
  OSStatus StartListening(const std::vector<AudioUnitPropertyID>& properties);
  OSStatus StopListening();
  // Events received since the last call, oldest first.
  std::vector<AUHostEvent> TakeEvents();

  // ---- State and presets ----

  // The caller owns *dict and releases it.
  OSStatus GetClassInfo(CFPropertyListRef* dict);
  OSStatus SetClassInfo(CFPropertyListRef dict);
  OSStatus GetFactoryPresets(std::vector<AUHostPreset>* presets);
  OSStatus SelectPreset(SInt32 number);
  OSStatus GetCurrentPreset(AUHostPreset* preset);

  static const int kMaxChannels = 8;

private:
  static OSStatus BeatAndTempo(void* user, Float64* beat, Float64* tempo);
  static OSStatus MusicalTimeLocation(void* user, UInt32* deltaToNextBeat, Float32* numerator, UInt32* denominator,
                                      Float64* measureDownBeat);
  static OSStatus TransportState(void* user, Boolean* playing, Boolean* changed, Float64* samplePos, Boolean* cycling,
                                 Float64* cycleStart, Float64* cycleEnd);
  static void OnParameterEvent(void* user, void* object, const AudioUnitEvent* event, UInt64 hostTime,
                               AudioUnitParameterValue value);
  static void OnPropertyChange(void* user, AudioUnit unit, AudioUnitPropertyID id, AudioUnitScope scope,
                               AudioUnitElement element);
  void AddEvent(const AUHostEvent& event);
  // Reads a CFString property value and releases it.
  OSStatus GetStringProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element,
                             std::string* text);

  Component mComponent = nullptr;
  AudioUnit mUnit = nullptr;
  bool mInitialized = false;
  double mSampleTime = 0.0;
  bool mTransportChanged = false;
  AUHostTransport mTransport;
  std::mutex mTransportMutex;
  AudioUnitRenderProc mFastRender = nullptr;
  void* mFastRenderObject = nullptr;
  AudioUnitGetParameterProc mFastGetParam = nullptr;
  AudioUnitSetParameterProc mFastSetParam = nullptr;
  bool mUseFastParams = false;
  // A buffer list with room for kMaxChannels buffers.
  struct {
    AudioBufferList list;
    AudioBuffer more[kMaxChannels - 1];
  } mBuffers;
  AUEventListenerRef mListener = nullptr;
  std::vector<AudioUnitPropertyID> mListenedProperties;
  std::mutex mEventsMutex;
  std::vector<AUHostEvent> mEvents;
};
