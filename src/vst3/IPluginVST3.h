#pragma once
// The plug-in base specialised for the VST 3 host interface. One object is
// the component, the audio processor and the edit controller of a single
// component instrument (not distributable), and maps MIDI controllers to
// parameters. The product's factory (VST3Factory.h) creates it; the
// instrument derives from it.
//
// Buses: no audio input, one main audio output of two channels (or one,
// when the host asks for mono), one event input of 16 channels.
//
// Parameters: ParamID i is the plug-in's parameter i, its normalized value
// the parameter's own. Behind them come hidden parameters that stand for
// the MIDI controllers: kControllerParamBase + 128 * channel + controller,
// whose values reach the plug-in as the control changes they stand for
// (IMidiMapping gives the host that map). A parameter that a learned
// controller moved goes back to the host through the block's output
// parameter changes; an edit in the editor goes through the host's
// component handler (begin, perform, end).
//
// Rendering: process() orders the block's parameter points and note events
// by sample offset and renders the block in pieces cut where parameters
// change, so that each change and each controller lands on its sample and
// each note on its offset in its piece. Pieces are at most the block size
// the host announced. A block of zero samples only applies its parameters.
// Parameter changes need the plug-in mutex; process() only ever tries it,
// and while another thread holds it the changes wait (the latest value of
// each parameter, a bounded number of controller moves) for the next block.
//
// State: getState writes the chunk SerializeState makes, the same bytes the
// other formats save; setState reads the whole stream and checks it (exact
// size, a finite in-range value for every parameter) before touching
// anything; what fails keeps the current state and answers kResultFalse.
//
// Ownership: reference counted; the last release() deletes the plug-in.
// The component handler is held (addRef) from setComponentHandler until it
// is replaced or the plug-in terminates. The view (VST3PlugView.h) holds a
// reference to the plug-in while it lives.
//
// Threads: every call on the host's UI thread except process() (and
// setProcessing, which may come on either), which is the audio thread: it
// never allocates, never does I/O and never waits for the plug-in mutex.
// The host serialises setupProcessing, setActive and setState against
// process() as the interface demands.

#include <atomic>
#include <cstdint>

#include "kit/KIT_TypedBuf.h"
#include "plugin/IPluginPortable.h"
#include "vst3/VST3Interfaces.h"
#include "vst3/VST3Unknown.h"

class IPluginVST3 : public IPluginPortable<kAPIVST3>,
                    public vst3::IComponent,
                    public vst3::IAudioProcessor,
                    public vst3::IEditController,
                    public vst3::IMidiMapping {
public:
  // The hidden controller parameters start here, well clear of the plug-in's
  // own parameter indices.
  static constexpr vst3::ParamID kControllerParamBase = 0x10000;
  static constexpr int kMidiChannels = 16;
  static constexpr int kControllers = 128;
  static constexpr int kControllerParams = kMidiChannels * kControllers;
  // Block size until the host announces one, and the largest piece rendered
  // at once (bounds the scratch memory).
  static constexpr int kDefaultBlockSize = 1024;
  static constexpr int kLargestBlockSize = 16384;
  // Parameter points and events taken from one block; more are dropped. A
  // host sends a handful per block; automation ramps a point per parameter.
  static constexpr int kMaxHappenings = 2048;
  // Controller moves held while the plug-in mutex is busy; more are dropped.
  static constexpr int kMaxHeldControlChanges = 256;

  using IPluginPortable::IPluginPortable;
  ~IPluginVST3() override;

  // ---- FUnknown (one reference count for every interface) ----
  vst3::tresult queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 addRef() override;
  vst3::uint32 release() override;

  // ---- IPluginBase: sizes the buffers for the default rate and block ----
  vst3::tresult initialize(vst3::FUnknown* context) override;
  vst3::tresult terminate() override;

  // ---- IComponent ----
  // No separate controller class: kResultFalse.
  vst3::tresult getControllerClassId(vst3::TUID classId) override;
  vst3::tresult setIoMode(vst3::IoMode mode) override;
  vst3::int32 getBusCount(vst3::MediaType type, vst3::BusDirection dir) override;
  vst3::tresult getBusInfo(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                           vst3::BusInfo& bus) override;
  vst3::tresult getRoutingInfo(vst3::RoutingInfo& inInfo, vst3::RoutingInfo& outInfo) override;
  vst3::tresult activateBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                            vst3::TBool state) override;
  // Activation resets the plug-in as a host reset does (Reset, then
  // OnHostReset) and activates it.
  vst3::tresult setActive(vst3::TBool state) override;
  // Serve both the component and the controller: they are one object.
  vst3::tresult setState(vst3::IBStream* state) override;
  vst3::tresult getState(vst3::IBStream* state) override;

  // ---- IAudioProcessor ----
  // Accepts no inputs and one output of one or two channels.
  vst3::tresult setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                   vst3::SpeakerArrangement* outputs, vst3::int32 numOuts) override;
  vst3::tresult getBusArrangement(vst3::BusDirection dir, vst3::int32 index, vst3::SpeakerArrangement& arr) override;
  vst3::tresult canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
  vst3::uint32 getLatencySamples() override;
  // Refuses (kResultFalse, with a line on stderr) a rate the plug-in does
  // not play (PlaysSampleRate), and a sample
  // size other than 32 or 64 bits; sizes the buffers for the block.
  vst3::tresult setupProcessing(vst3::ProcessSetup& setup) override;
  vst3::tresult setProcessing(vst3::TBool state) override;
  vst3::tresult process(vst3::ProcessData& data) override;
  vst3::uint32 getTailSamples() override;

  // ---- IEditController ----
  // The component's state is the controller's already.
  vst3::tresult setComponentState(vst3::IBStream* state) override;
  vst3::int32 getParameterCount() override;
  vst3::tresult getParameterInfo(vst3::int32 paramIndex, vst3::ParameterInfo& info) override;
  vst3::tresult getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                      vst3::String128 string) override;
  vst3::tresult getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                      vst3::ParamValue& valueNormalized) override;
  vst3::ParamValue normalizedParamToPlain(vst3::ParamID id, vst3::ParamValue valueNormalized) override;
  vst3::ParamValue plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue) override;
  vst3::ParamValue getParamNormalized(vst3::ParamID id) override;
  // Sets a parameter as a host parameter set does (value, editor,
  // OnParamChange). Controller parameters act only inside process().
  vst3::tresult setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
  vst3::tresult setComponentHandler(vst3::IComponentHandler* handler) override;
  // The X11 editor's view, or null when there is no X11 editor or it is
  // already shown.
  vst3::IPlugView* createView(vst3::FIDString name) override;

  // ---- IMidiMapping: every controller of every channel of bus 0 ----
  vst3::tresult getMidiControllerAssignment(vst3::int32 busIndex, vst3::int16 channel,
                                            vst3::CtrlNumber midiControllerNumber, vst3::ParamID& id) override;

  // ---- Overrides of the base ----

  // Editor gestures and values go to the host's component handler.
  void BeginInformHostOfParamChange(int paramIdx) override;
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  // Sizes the scratch of channels the host leaves out, then the base's.
  void SetBlockSize(int blockSize) override;
  // The host's reset (OnHostReset) is activation.

  // The view tells the plug-in when it goes, so that another may be made.
  void ViewGone() { mHasView = false; }

private:
  static constexpr double kDefaultSampleRate = 44100.0;

  // A parameter point or a note event of the block being processed.
  struct Happening {
    int32_t mOffset;
    int32_t mOrder;  // parameters before notes at one offset, then host order
    bool mIsParam;
    vst3::ParamID mParam;
    double mValue;  // parameters: normalized value
    IMidiMsg mMsg;  // notes
  };

  bool IsPluginParam(vst3::ParamID id) const { return id < (vst3::ParamID)NParams(); }
  static bool IsControllerParam(vst3::ParamID id) {
    return id >= kControllerParamBase && id < kControllerParamBase + kControllerParams;
  }
  // The control change a controller parameter's value stands for.
  static IMidiMsg ControlChangeFor(vst3::ParamID id, double value, int offset);
  // Applies a host value to a plug-in parameter (mutex held); a value that
  // leaves the parameter as it was changes nothing.
  void ApplyHostValue(int paramIdx, double normalizedValue);

  // process() in parts (IPluginVST3Process.cpp). Fills mHappenings in the
  // order they take effect; returns how many.
  int GatherHappenings(vst3::ProcessData& data, int nFrames);
  // One parameter point at sample offset: applied with the mutex, held
  // without it.
  void TakeParamPoint(const Happening& point, int offset, bool locked);
  // The changes held for want of the mutex (mutex held).
  void ApplyHeldChanges();
  // Renders [0, nFrames) of the host's output in pieces, delivering the
  // sorted happenings on their samples.
  void RenderPieces(vst3::ProcessData& data, int nFrames, int count, bool locked);
  // Hands a controller move to the plug-in (mutex held) and reports the
  // parameters it moved at offset in the output parameter changes.
  void DeliverControlChange(const IMidiMsg& msg, int offset);
  void RenderPiece(vst3::AudioBusBuffers& out, bool doubles, int from, int n);

  vst3::RefCount mRefCount;
  vst3::IComponentHandler* mHandler = nullptr;
  int mOutputChannels = 2;
  bool mDoublePrecision = false;
  bool mActive = false;
  bool mHasView = false;

  // Audio thread: the block's happenings, the changes held for want of the
  // mutex (NaN where none), and the output parameter changes.
  Happening mHappenings[kMaxHappenings];
  KIT_TypedBuf<double> mHeldValues;
  bool mAnyHeld = false;
  IMidiMsg mHeldControlChanges[kMaxHeldControlChanges];
  int mNHeldControlChanges = 0;
  // A state restore makes held changes stale: setState counts up, process
  // drops what it holds when the count moved.
  std::atomic<int> mStateGeneration{0};
  int mHeldGeneration = 0;
  KIT_TypedBuf<double> mValuesBeforeControlChange;
  vst3::IParameterChanges* mOutputChanges = nullptr;

  // Where channels the host leaves out are written, and the per-piece
  // pointers.
  KIT_TypedBuf<float> mFloatScratch;
  KIT_TypedBuf<double> mDoubleScratch;
  KIT_TypedBuf<float*> mFloatPiece;
  KIT_TypedBuf<double*> mDoublePiece;
};
