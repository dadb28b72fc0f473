#pragma once
// Host-independent base of every plug-in. Owns the parameters, the preset
// slots, the channel configuration with its per-channel buffers, the plug-in
// mutex and the attached editor. A host adapter derives from it and supplies
// the pure virtual operations; the instrument derives from the adapter and
// overrides the processing and notification hooks.
//
// Threads and the plug-in mutex. This is the one statement of the contract;
// the adapters' and the instrument's headers only add what is theirs.
// - Main thread: construction, configuration, the editor, parameters from
//   the editor, presets, state, program and bank files, host identification.
// - Audio thread: rendering (Attach*, ProcessBuffers*, PassThroughBuffers,
//   ZeroScratchBuffers and the plug-in's ProcessDoubleReplacing or
//   ProcessSingleReplacing) and MIDI
//   (ProcessMidiMsg, ProcessSysEx). None of these allocates or takes the
//   mutex itself; whether the audio thread holds it depends on the way in:
//   * through the Audio Unit component entry, every selector but open and
//     close runs under the mutex, render and MIDI events included, so such
//     a render waits while another thread holds it;
//   * through the Audio Unit fast-dispatch render procedure and through
//     LV2's run(), rendering runs without it, and parameter changes made
//     under the mutex on other threads land between two blocks or during one.
//   A MIDI controller learned for a parameter moves it under the mutex
//   (OnParamChange) on the thread that delivers the message. What the
//   audio thread shows in the editor (a plug-in's LED, say) goes through
//   the editor's relays, which only store atomics and never lock
//   (IGraphics.h); what other threads hand the audio thread (parameter
//   values, a reset, a trigger press) is posted as atomics it takes at the
//   start of its next block.
// - Any thread, under the mutex: host parameter changes (the adapters' get
//   and set procedures, OnParamChange), Reset, OnActivate, state and
//   parameter (un)serialisation, the preset operations.
// The mutex is recursive; IMutexLock holds it for a scope. The editor and
// the program and bank file operations hold it with IEditorLock, only around
// work in memory (never around a dialog or disk I/O), so that a render
// through the entry waits no longer than that work. IEditorLock also marks
// its thread: debug builds stop the program when an audio-thread entry point
// (ProcessBuffers*, PassThroughBuffers, the adapters' MIDI delivery, LV2's
// run()) is called on a thread inside an editor or file operation, since
// that render would run under a lock meant for the editor.

#include <cmath>
#include <memory>

#include "kit/KIT_Mutex.h"
#include "kit/KIT_PtrList.h"
#include "kit/KIT_String.h"
#include "kit/KIT_TypedBuf.h"
#include "plugin/Hosts.h"
#include "plugin/IParam.h"
#include "plugin/IPluginStructs.h"
#include "plugin/NChanDelayLine.h"

class IGraphics;

class IPluginBase {
public:
  // A legal pair of input and output channel counts.
  struct ChannelIO {
    int mIn;
    int mOut;
  };

  // One input channel. mSrc and mFSrc point at this channel's slots in the
  // double and the float input arrays; an unconnected channel's slots point
  // at its zeroed scratch buffers.
  struct InChannel {
    bool mConnected = false;
    double** mSrc = nullptr;
    float** mFSrc = nullptr;
    KIT_TypedBuf<double> mScratchBuf;
    KIT_TypedBuf<float> mFScratchBuf;
    KIT_String mLabel;
  };

  // One output channel, with its slots in the double and the float output
  // arrays. An unconnected channel writes into its scratch buffers; once a
  // float host buffer is attached, the float slot (mFDest) holds it.
  struct OutChannel {
    bool mConnected = false;
    double** mDest = nullptr;
    float** mFDest = nullptr;
    KIT_TypedBuf<double> mScratchBuf;
    KIT_TypedBuf<float> mFScratchBuf;
    KIT_String mLabel;
  };

  // Holds the plug-in mutex for a scope; a null plug-in makes it do nothing.
  class IMutexLock {
  public:
    explicit IMutexLock(IPluginBase* plug) : mMutex(plug ? &plug->mMutex : nullptr) {
      if (mMutex) mMutex->Enter();
    }
    ~IMutexLock() {
      if (mMutex) mMutex->Leave();
    }
    IMutexLock(const IMutexLock&) = delete;
    IMutexLock& operator=(const IMutexLock&) = delete;

  private:
    KIT_Mutex* mMutex;
  };

  // Holds the plug-in mutex for an editor or program/bank file operation and
  // marks the thread as inside one until the scope ends (nests).
  class IEditorLock {
  public:
    explicit IEditorLock(IPluginBase* plug);
    ~IEditorLock();
    IEditorLock(const IEditorLock&) = delete;
    IEditorLock& operator=(const IEditorLock&) = delete;

  private:
    IMutexLock mLock;
  };

  // True while the calling thread is inside an editor or file operation of
  // any plug-in (an IEditorLock scope).
  static bool InEditorOperation();
  // Called first by every audio-thread entry point. Debug builds stop the
  // program when the calling thread is inside an editor or file operation;
  // release builds do nothing.
  static void CheckAudioThreadEntry();

  // channelIOStr lists legal "in-out" pairs separated by single spaces, for
  // example "0-1 0-2"; a malformed string stops the program (it is fixed at
  // build time). The MIDI flag is accepted but not stored.
  IPluginBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
              const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
              int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
              EAPI plugAPI);
  // Deletes the editor first, then everything else the base owns.
  virtual ~IPluginBase();

  IPluginBase(const IPluginBase&) = delete;
  IPluginBase& operator=(const IPluginBase&) = delete;

  // ---- Hooks (virtual, in slot order) ----

  // Takes and releases the mutex.
  virtual void Reset();
  // Takes and releases the mutex.
  virtual void OnParamChange(int paramIdx);
  // Base: copies inputs to outputs and zeroes the outputs without an input.
  virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
  // The same on floats. Rendering for a float host calls it in place of
  // ProcessDoubleReplacing once the plug-in has called EnableSingleReplacing().
  virtual void ProcessSingleReplacing(float** inputs, float** outputs, int nFrames);
  virtual void OnGUIOpen() {}
  virtual void OnGUIClose() {}
  virtual void OnIdle() {}
  // Takes and releases the mutex.
  virtual void OnActivate(bool active);
  // Base: forwards to SendMidiMsg.
  virtual void ProcessMidiMsg(IMidiMsg* msg);
  virtual void ProcessSysEx(ISysEx* msg) {}
  // Base: writes "" and returns false.
  virtual bool MidiNoteName(int noteNumber, char* noteName);
  // State as an opaque chunk. Base: the parameter block (SerializeParams).
  virtual bool SerializeState(ByteChunk* chunk);
  // Returns the position after the state, or -1 when the chunk is short.
  virtual int UnserializeState(ByteChunk* chunk, int startPos);
  // Compares the parameters with doubles stored from startPos (counted in
  // doubles) of state; the caller guarantees that many bytes.
  virtual bool CompareState(const unsigned char* state, int startPos);
  virtual void OnWindowResize() {}
  virtual bool HostRequestingAboutBox() { return false; }
  virtual void OnHostIdentified() {}
  // Whether the plug-in plays at a sample rate; the adapters refuse any
  // other where their format lets a plug-in refuse. Base: every finite
  // positive rate. Any thread.
  virtual bool PlaysSampleRate(double sampleRate) const { return std::isfinite(sampleRate) && sampleRate > 0.0; }
  virtual void PopupHostContextMenuForParam(int paramIdx, int x, int y) {}
  // Called by editor controls (main thread): sets the parameter from a
  // normalized value, informs the host of that value and notifies the
  // plug-in, all under the mutex. Ignores an unknown index.
  virtual void SetParameterFromGUI(int paramIdx, double normalizedValue);
  virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfParamChange(int paramIdx, double normalizedValue) = 0;
  virtual void EndInformHostOfParamChange(int paramIdx) = 0;
  virtual void InformHostOfProgramChange() = 0;
  virtual bool IsRenderingOffline() { return false; }
  virtual double GetSamplePos() = 0;
  virtual double GetTempo() = 0;
  virtual void GetTimeSig(int* numerator, int* denominator) = 0;
  virtual void GetTime(ITimeInfo* timeInfo) = 0;
  virtual EHost GetHost() { return mHost; }
  virtual EAPI GetAPI() { return mAPI; }
  virtual void ResizeGraphics(int w, int h) = 0;
  virtual void HostSpecificInit() {}
  // Takes ownership of the editor and pushes every parameter's value into
  // it; its bitmaps wait until it first draws. A null editor is ignored.
  virtual void AttachGraphics(IGraphics* graphics);
  virtual void SetLatency(int samples);
  virtual bool SendMidiMsg(IMidiMsg* msg) = 0;
  virtual bool SendSysEx(ISysEx* msg) { return false; }
  // Pushes every parameter's real value into the editor, if there is one.
  virtual void RedrawParamControls();
  virtual void DirtyPTCompareState() {}
  virtual void PresetsChangedByHost() {}
  // Sizes the scratch buffers for blocks of up to blockSize samples
  // (main thread; allocates).
  virtual void SetBlockSize(int blockSize);

  // ---- Identity and accessors ----

  // Null outside 0 .. NParams() - 1.
  IParam* GetParam(int idx) { return mParams.Get(idx); }
  int NParams() const { return mParams.GetSize(); }
  int NPresets() const { return mPresets.GetSize(); }
  IGraphics* GetGUI() { return mGraphics.get(); }
  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMfrName() const { return mMfrName; }
  int GetUniqueID() const { return mUniqueID; }
  int GetMfrID() const { return mMfrID; }
  bool DoesStateChunks() const { return mStateChunks; }
  bool IsInst() const { return mIsInst; }
  bool IsBypassed() const { return mIsBypassed; }
  void SetBypassed(bool bypassed) { mIsBypassed = bypassed; }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  double GetSampleRate() const { return mSampleRate; }
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  KIT_Mutex* GetMutex() { return &mMutex; }

  // A plug-in whose ProcessSingleReplacing writes exactly the floats its
  // ProcessDoubleReplacing samples round to calls this in its constructor.
  // ProcessBuffers(float) then renders through ProcessSingleReplacing straight
  // into the host's buffers, so the samples are not written as doubles to
  // scratch first and converted afterwards. Accumulating and pass-through
  // processing keep the double path.
  void EnableSingleReplacing() { mSingleReplacing = true; }
  bool DoesSingleReplacing() const { return mSingleReplacing; }

  // Group names the host adapter collects for the parameters.
  int NParamGroups() const { return mParamGroups.GetSize(); }
  // Null outside the list.
  const char* GetParamGroupName(int idx) const { return mParamGroups.Get(idx); }
  // Stores the pointer (not a copy); returns its index.
  int AddParamGroup(const char* name);

  // ---- Versions ----

  // Decimal (major * 10000 + minor * 100 + patch) or packed.
  int GetEffectVersion(bool decimal) const;
  // "v%d.%d.%d" and the build marker "D"; str must hold 24 characters.
  void GetEffectVersionStr(char* str) const;

  // ---- Host identification ----

  void SetHost(const char* name, int version);
  // Identifies the host first (through GetHost), then returns its version.
  int GetHostVersion(bool decimal);
  // "v%d.%d.%d" of the host version; str must hold 20 characters.
  void GetHostVersionStr(char* str);

  // ---- Channel configuration (main thread) ----

  int NInChannels() const { return mInChannels.GetSize(); }
  int NOutChannels() const { return mOutChannels.GetSize(); }
  // False outside the channel list.
  bool IsInChannelConnected(int chIdx) const;
  bool IsOutChannelConnected(int chIdx) const;
  int NChannelIO() const { return mChannelIO.GetSize(); }
  // Pair idx of the channel I/O list; false outside it.
  bool GetChannelIO(int idx, int* nIn, int* nOut) const;
  // True when some legal pair matches; a negative count matches any.
  bool LegalIO(int nIn, int nOut) const;
  void LimitToStereoIO();
  void SetInputChannelConnections(int idx, int n, bool connected);
  void SetOutputChannelConnections(int idx, int n, bool connected);
  // Labels of single channels; ignored outside the channel list.
  void SetInputLabel(int idx, const char* label);
  void SetOutputLabel(int idx, const char* label);
  // Bus labels: inputs accept index 0 or 1, outputs any index >= 0.
  void SetInputBusLabel(int idx, const char* label);
  void SetOutputBusLabel(int idx, const char* label);
  // Null when no label is set at idx.
  const char* GetInputBusLabel(int idx) const;
  const char* GetOutputBusLabel(int idx) const;

  // ---- Buffers and processing (audio thread) ----
  // Blocks longer than the block size are cut to it whenever a channel
  // would run through its scratch buffer. Float inputs are converted into the
  // double scratch when attached (the double paths read them there) and
  // also handed to ProcessSingleReplacing as they are.

  void AttachInputBuffers(int idx, int n, double** ppData, int nFrames);
  void AttachInputBuffers(int idx, int n, float** ppData, int nFrames);
  void AttachOutputBuffers(int idx, int n, double** ppData);
  void AttachOutputBuffers(int idx, int n, float** ppData);
  // The first argument only selects the sample type.
  void ProcessBuffers(double sampleType, int nFrames);
  void ProcessBuffers(float sampleType, int nFrames);
  void ProcessBuffersAccumulating(float sampleType, int nFrames);
  void PassThroughBuffers(double sampleType, int nFrames);
  void PassThroughBuffers(float sampleType, int nFrames);
  void ZeroScratchBuffers();

  // ---- Parameters and editor ----

  // OnParamChange for every parameter, in index order.
  void OnParamReset();
  // Informs the host of every parameter's value, under the mutex.
  void DirtyParameters();
  // Sample rate * 60 / tempo, or 0 without a tempo.
  double GetSamplesPerBeat();
  // Sends every message; true only if all sends succeeded.
  bool SendMidiMsgs(KIT_TypedBuf<IMidiMsg>* msgs);

  // ---- State and presets (main thread, under the mutex) ----

  // One double per parameter, in index order.
  bool SerializeParams(ByteChunk* chunk);
  // Returns the position after the block, or -1 when the chunk is short or
  // holds a non-finite value (that parameter falls back to 0.0 clamped).
  int UnserializeParams(ByteChunk* chunk, int startPos);
  // Bytes of one value in the parameter block.
  static constexpr int kParamValueBytes = (int)sizeof(double);
  // True when bytes are exactly stateSize long and end with a parameter
  // block holding a finite, in-range value for every parameter (what comes
  // before the block is the plug-in's own): how the host adapters check a
  // saved state whole before anything changes. Any thread.
  bool EndsWithValidParamBlock(const void* bytes, size_t size, int stateSize);

  // Fill the next uninitialised slot (nothing happens when there is none).
  // MakePreset takes one value per parameter: int for bool, int and enum
  // parameters, double for the others.
  void MakePreset(const char* name, ...);
  // Pairs of (int parameter index, value typed as in MakePreset); the
  // others keep their current values.
  void MakePresetFromNamedParams(const char* name, int nParamsNamed, ...);
  void MakePresetFromChunk(const char* name, ByteChunk* chunk);
  // blob is base64 text of a state of size bytes.
  void MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk);
  // Captures the current state into the next nPresets free slots, named
  // name (or "Empty" when name is null).
  void MakeDefaultPreset(const char* name = nullptr, int nPresets = 1);
  // Fills every free slot with the current state, named "Empty".
  void EnsureDefaultPreset();

  // Applies slot idx (or, for a never-filled slot, names it "user preset N"
  // and captures the current state). False when out of range or the state
  // does not fit.
  bool RestorePreset(int idx);
  // Restores the first slot with exactly this name.
  bool RestorePreset(const char* name);
  // "" outside the list.
  const char* GetPresetName(int idx);
  // Captures the current state into the current slot, optionally renaming it.
  void ModifyCurrentPreset(const char* name = nullptr);
  // Deletes the slots that were never filled, keeping the order of the rest.
  void PruneUninitializedPresets();
  bool SerializePresets(ByteChunk* chunk);
  int UnserializePresets(ByteChunk* chunk, int startPos);

  // Developer aids: append source text that recreates the current values.
  // paramEnumNames holds one name per parameter. False when the file cannot
  // be written (or, for the blob, the state is too large for its text).
  bool DumpPresetSrcCode(const char* filename, const char** paramEnumNames);
  bool DumpPresetBlob(const char* filename);

  // ---- Program and bank files (main thread; need the editor's file dialog) ----

  bool SaveProgramAsFXP(const char* defaultFileName = "");
  bool SaveBankAsFXB(const char* defaultFileName = "");
  bool LoadProgramFromFXP();
  bool LoadBankFromFXB();

private:
  void ParseChannelIOStr(const char* channelIOStr);
  // Points every unconnected channel at its scratch buffer.
  void RouteUnconnectedToScratch();
  // nFrames, or the block size when the block is longer and a scratch
  // buffer would be read or written past its end.
  int FramesThatFit(int nFrames) const;
  // The length of the shortest scratch buffer (one may have failed to grow).
  int ShortestScratch() const;
  void ConvertOutputsToFloat(int nFrames, bool accumulate);
  IPreset* GetNextUninitializedPreset();
  void MakeDefaultUserPresetName(char* name);
  // Fills the next free slot with the parameter values in values.
  void MakePresetFromValues(const char* name, const double* values);

  // Program and bank file images. The four with a whole file take the
  // editor lock; reading and writing the file itself happens outside it.
  void MakeProgramFile(ByteChunk* file, const char* name, const double* values);
  bool MakeProgramFileFromCurrent(ByteChunk* file);
  bool MakeBankFileFromCurrent(ByteChunk* file);
  bool LoadProgramFile(ByteChunk* file);
  bool LoadBankFile(ByteChunk* file);
  // Asks the editor for a file; false without an editor or when cancelled.
  bool AskForPath(KIT_String* path, bool save, const char* defaultName, const char* ext);
  // Asks for a file, then writes the image make builds into it, or loads
  // it with load.
  bool SaveFileAs(const char* defaultName, const char* ext, bool (IPluginBase::*make)(ByteChunk*));
  bool LoadFileFrom(const char* ext, bool (IPluginBase::*load)(ByteChunk*));

  // The framework's lists of owned records (channel I/O pairs, parameters,
  // presets, channels, bus labels) are emptied with deletion by the
  // destructor; the group names are borrowed.
  KIT_PtrList<ChannelIO> mChannelIO;
  KIT_Mutex mMutex;
  char mEffectName[128];
  char mProductName[128];
  char mMfrName[128];
  int mUniqueID;
  int mMfrID;
  int mVersion;
  EAPI mAPI;
  EHost mHost;
  int mHostVersion;
  bool mStateChunks;
  bool mIsInst;
  bool mIsBypassed;
  int mCurrentPresetIdx;
  double mSampleRate;
  int mBlockSize;
  // Every scratch buffer holds at least this many samples (set with the
  // block size): blocks no longer than that skip the per-channel check.
  int mScratchFrames = 0;
  bool mSingleReplacing = false;
  int mLatency;
  KIT_String mPreviousPath;
  std::unique_ptr<NChanDelayLine> mDelay;
  KIT_PtrList<const char> mParamGroups;
  std::unique_ptr<IGraphics> mGraphics;
  KIT_PtrList<IParam> mParams;
  KIT_PtrList<IPreset> mPresets;
  KIT_TypedBuf<double*> mInData;
  KIT_TypedBuf<double*> mOutData;
  KIT_TypedBuf<float*> mInFloatData;
  KIT_TypedBuf<float*> mOutFloatData;
  KIT_PtrList<InChannel> mInChannels;
  KIT_PtrList<OutChannel> mOutChannels;
  KIT_PtrList<KIT_String> mInputBusLabels;
  KIT_PtrList<KIT_String> mOutputBusLabels;
};
