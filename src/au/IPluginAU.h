#pragma once
// The plug-in base specialised for the Audio Unit host interface. A host
// reaches an instance only through the component entry IPluginAUEntry (and
// the fast-dispatch procedures it hands out); the entry dispatches the
// Component Manager selectors, answers property queries and assignments,
// models the buses, renders, saves and restores state through the host's
// dictionary, and lists the factory presets. The instrument derives from it.
//
// Ownership: the component entry creates the plug-in with MakePlug() on open
// and deletes it on close. The plug-in owns its buses, connection records,
// listener lists and scratch buffers.
//
// Threads: which way in holds the plug-in mutex (the entry, the fast-dispatch
// procedures) is stated once, in IPluginBase.h. Calls through the entry may
// come from any thread; the fast-dispatch render procedure is the host's
// render thread and never allocates. Everything else is main thread unless
// noted.

#include <atomic>

#include "au/AUOwnedList.h"
#include "au/apple/AudioUnit.h"
#include "kit/KIT_String.h"
#include "kit/KIT_TypedBuf.h"
#include "plugin/IPluginBase.h"

class IPluginAU : public IPluginBase {
public:
  // Input types of an input bus, in the order of their numeric values.
  enum EAUInputType { eNotConnected = 0, eDirectFastProc, eDirectNoFastProc, eRenderCallback };

  // instanceInfo carries the plug-in bundle's identifier and the Cocoa view
  // factory's class name; the other arguments are the base's, plus the
  // number of side-chain input channels.
  IPluginAU(IPluginInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
            const char* effectName, const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
            int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int nSideChainChans = 0);
  ~IPluginAU() override;

  // ---- Host interface entry points ----

  // The component entry: storage is the instance storage (the plug-in, or
  // null before open). Returns an OSStatus. Any thread (see above). The
  // product exports a ComponentRoutineProcPtr that forwards here.
  static ComponentResult IPluginAUEntry(ComponentParameters* params, void* storage);
  // The Carbon view component's entry; storage is its view record.
  static ComponentResult IPluginAUCarbonViewEntry(ComponentParameters* params, void* storage);

  // Fast-dispatch parameter procedures (plug is the instance storage); take
  // the mutex. Any thread.
  static OSStatus GetParamProc(void* plug, AudioUnitParameterID paramID, AudioUnitScope scope,
                               AudioUnitElement element, AudioUnitParameterValue* value);
  static OSStatus SetParamProc(void* plug, AudioUnitParameterID paramID, AudioUnitScope scope,
                               AudioUnitElement element, AudioUnitParameterValue value, UInt32 offsetFrames);
  // Fast-dispatch render procedure (plug is the instance storage). Render thread.
  static OSStatus RenderProc(void* plug, AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timestamp,
                             UInt32 outputBusIdx, UInt32 nFrames, AudioBufferList* bufferList);

  // Property access. MaximumFramesPerSlice is refused while initialised
  // (the render thread uses the buffers it sizes). dataSize is in/out: with data it holds the caller's
  // buffer size on entry (a smaller buffer than the property answers
  // kAudioUnitErr_InvalidPropertyValue and nothing is written); on return it
  // holds the property's size. A null data asks only for size and
  // writability. Called under the mutex by the entry.
  OSStatus GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element, UInt32* dataSize,
                       Boolean* writable, void* data);
  OSStatus SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope, AudioUnitElement element, UInt32* dataSize,
                       const void* data);
  // Fast dispatch: the procedure for a selector (14 render, 7 set parameter,
  // 6 get parameter), size 8; kAudioUnitErr_InvalidElement for others.
  OSStatus GetProc(AudioUnitElement selector, UInt32* dataSize, void* data);

  // Calls every listener registered for propID. Under the mutex.
  void InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope);

  // ---- Saved state (Part of the ClassInfo property; main thread) ----

  // Builds the host's state dictionary; the caller owns *propList.
  OSStatus GetState(CFPropertyListRef* propList);
  // Restores from a host dictionary; refuses (and changes nothing) a
  // dictionary that is not this component's or lacks an identifying key.
  OSStatus SetState(CFPropertyListRef propList);

  // ---- Overrides of the base ----

  void BeginInformHostOfParamChange(int paramIdx) override;
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  void InformHostOfProgramChange() override;
  bool IsRenderingOffline() override { return mIsOffline; }
  // Transport queries through the host callbacks; render or main thread.
  double GetSamplePos() override;
  double GetTempo() override;
  void GetTimeSig(int* numerator, int* denominator) override;
  void GetTime(ITimeInfo* timeInfo) override;
  // Identifies the host by the main bundle's identifier on first use.
  EHost GetHost() override;
  void ResizeGraphics(int w, int h) override;
  // The host's Reset selector, after Reset(): clear what rendering leaves
  // behind (ringing voices, tails), so the same input renders the same output
  // again. Main thread; the render thread may be running through fast
  // dispatch. Does nothing by default.
  virtual void OnHostReset() {}
  void HostSpecificInit() override;
  void SetLatency(int samples) override;
  // The adapter has no MIDI output.
  bool SendMidiMsg(IMidiMsg* msg) override { return false; }
  // Sizes the float scratch buffers, then the base's. A size whose buffers
  // cannot be allocated leaves the block size as it was.
  void SetBlockSize(int blockSize) override;

  // ---- Accessors (for the editor and the view factory) ----

  const char* GetBundleID() const { return mBundleID.Get(); }
  const char* GetCocoaViewFactoryClassName() const { return mCocoaViewFactoryClassName.Get(); }
  ComponentInstance GetComponentInstance() const { return mCI; }
  bool IsActive() const { return mActive; }
  int NInBuses() const { return mInBuses.GetSize(); }
  int NOutBuses() const { return mOutBuses.GetSize(); }
  // Host channel count of a bus (-1 while unset); -2 for no such bus.
  int GetBusHostChannels(AudioUnitScope scope, AudioUnitElement busIdx);

  static const int kMaxRenderNotify = 32;
  static const int kMaxBlockSize = 1 << 20;

private:
  // One input or output bus.
  struct BusChannels {
    bool mConnected;
    int mNHostChannels;
    int mNPlugChannels;
    int mPlugChannelStartIdx;
  };

  // Where an input bus gets its audio.
  struct InputBusConnection {
    void* mUpstreamObj;
    AudioUnit mUpstreamUnit;
    int mUpstreamBusIdx;
    AudioUnitRenderProc mUpstreamRenderProc;
    AURenderCallbackStruct mUpstreamRenderCallback;
    EAUInputType mInputType;
  };

  // One render-notify registration; an empty slot has a null procedure.
  // Slots are atomics so the render thread can walk them while the host
  // adds or removes one.
  struct RenderNotifySlot {
    std::atomic<AURenderCallback> mProc{nullptr};
    std::atomic<void*> mRefCon{nullptr};
  };

  struct PropertyListener {
    AudioUnitPropertyID mPropID;
    AudioUnitPropertyListenerProc mListenerProc;
    void* mProcArgs;
  };

  // The property and selector tables beside their code reach the members
  // their rows call through these.
  friend struct AUPropertyRows;
  friend struct AUSelectorRows;

  // Entry dispatch of the selectors that run under the mutex.
  ComponentResult Dispatch(ComponentParameters* params);
  ComponentResult ScheduleParameters(const AudioUnitParameterEvent* events, UInt32 nEvents);
  ComponentResult MidiEvent(UInt32 status, UInt32 data1, UInt32 data2, UInt32 offset);

  // GetProperty rows that need more than a line.
  OSStatus GetParameterInfo(AudioUnitElement paramIdx, AudioUnitParameterInfo* info);
  OSStatus GetParameterValueStrings(AudioUnitElement paramIdx, void* data);
  OSStatus GetFactoryPresets(void* data);
  OSStatus GetCocoaUI(void* data);
  OSStatus GetParameterStringFromValue(AudioUnitParameterStringFromValue* sfv);
  OSStatus GetParameterIDName(AudioUnitParameterNameInfo* nameInfo);
  OSStatus GetParameterClumpName(AudioUnitParameterNameInfo* nameInfo);
  OSStatus GetParameterValueFromString(AudioUnitParameterValueFromString* vfs);
  OSStatus SetHostIdentifier(const AUHostIdentifier* hostID);
  // 1-based clump ID of a group name, appending it on first sight.
  UInt32 ClumpIDForGroup(const char* group);

  // Buses and connections.
  BusChannels* GetBus(AudioUnitScope scope, AudioUnitElement busIdx);
  void MakeDefaultASBD(AudioStreamBasicDescription* asbd, int nChannels, bool interleaved);
  bool CheckLegalIO();
  bool CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels);
  void AssessInputConnections();
  void ClearConnections();
  // Writes the layout tag for an output bus's channel count; 0 when the
  // scope and element name none.
  int GetChannelLayoutTags(AudioUnitScope scope, AudioUnitElement element, AudioChannelLayoutTag* tag);
  OSStatus SetStreamFormat(AudioUnitScope scope, AudioUnitElement element, const AudioStreamBasicDescription* asbd);
  OSStatus MakeConnection(const AudioUnitConnection* connection);
  OSStatus SetRenderCallback(AudioUnitElement element, const AURenderCallbackStruct* callback);
  OSStatus AddRenderNotify(AURenderCallback proc, void* refCon);
  OSStatus RemoveRenderNotify(AURenderCallback proc);
  // Calls every registered render-notify procedure with flag.
  void NotifyRender(AudioUnitRenderActionFlags flag, const AudioTimeStamp* timestamp, UInt32 busIdx, UInt32 nFrames,
                    AudioBufferList* bufferList);
  // The calls themselves, for the slots below end.
  void CallRenderNotify(int end, AudioUnitRenderActionFlags flag, const AudioTimeStamp* timestamp, UInt32 busIdx,
                        UInt32 nFrames, AudioBufferList* bufferList);
  OSStatus PullInputs(const AudioTimeStamp* timestamp, UInt32 nFrames);
  OSStatus Render(const AudioTimeStamp* timestamp, UInt32 outputBusIdx, UInt32 nFrames, AudioBufferList* bufferList);
  bool ResizeScratch(int blockSize);

  KIT_String mBundleID;
  KIT_String mCocoaViewFactoryClassName;
  ComponentInstance mCI = nullptr;
  bool mActive = false;
  bool mIsOffline = false;
  double mRenderTimestamp = -1.0;
  double mTempo = 120.0;
  HostCallbackInfo mHostCallbacks = {};
  KIT_TypedBuf<float> mInScratchBuf;
  KIT_TypedBuf<float> mOutScratchBuf;
  RenderNotifySlot mRenderNotify[kMaxRenderNotify];
  // One past the highest slot ever filled, so that a render walks only those (nearly always
  // none) rather than all kMaxRenderNotify twice per call.
  std::atomic<int> mRenderNotifyEnd{0};
  AUOwnedList<BusChannels> mInBuses;
  AUOwnedList<BusChannels> mOutBuses;
  AUOwnedList<InputBusConnection> mInBusConnections;
  AUOwnedList<PropertyListener> mPropertyListeners;
  // The buffer list the render thread pulls inputs into, sized once for
  // every input channel.
  KIT_HeapBuf mInputBufferList;
  // The host's output buffers of the bus being rendered, as the base
  // attaches them; sized once for every output channel.
  KIT_TypedBuf<float*> mOutBufferPtrs;
  char mParamValueString[32] = {};
};

// The factory the product supplies: makes one plug-in instance.
IPluginAU* MakePlug();
