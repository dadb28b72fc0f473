#pragma once
// The plug-in base specialised for the CLAP host interface. A host reaches
// an instance only through the clap_plugin record and the extension tables
// of CLAPEntry.cpp, which forward here. The instrument derives from it.
//
// Ports: no audio input, one stereo main output (32-bit floats); one note
// input taking CLAP note events (preferred) and raw MIDI.
//
// Rendering: process() cuts the host's block at every parameter event (so
// each value applies from its own sample) and at the block size; notes and
// MIDI go to ProcessMidiMsg with their frame in the piece. A CLAP note-on of
// velocity v is the MIDI note-on of velocity round(127 v), at least 1 when
// v > 0. Events outside the block play on its last frame; events out of
// order play with their predecessor.
//
// Parameters: ids are the parameter indices. A host value is applied as a
// host parameter set is (value stored, editor moved, OnParamChange). The
// plug-in mutex guards parameter changes; the audio thread tries it once per
// call, and only when a value or a control change needs it (notes do not):
// while another thread holds it, host values and MIDI control changes wait
// (the latest value per parameter, and up to kMaxHeldControlChanges
// controls) for the next process() or flush() that gets it; a state loaded
// meanwhile wins over the values held. Values set in the editor reach the
// host as value events framed by gesture begin and end, posted from the
// main thread to CLAPParamOutbox and delivered in the next process() or
// flush(); a host that is not processing is asked to flush. A learned
// controller's move goes out from process() at its frame, framed the same
// way and marked not to be recorded.
//
// State: the chunk SerializeState writes, the same bytes as every other
// format. A load is checked whole (exact size, a finite in-range value for
// every parameter) before anything is touched. Changes to the state the
// host cannot see as parameter events (a learned controller) are told with
// mark_dirty from the main thread.
//
// Ownership: the entry creates the instance through the product's factory
// and deletes it on destroy. The host and its extensions are borrowed; the
// editor window belongs to CLAPEditorWindow while the host shows it.
//
// Threads (the CLAP thread classes; the mutex contract is IPluginBase.h's):
// init, activate, deactivate, the parameter queries, state, the editor and
// on_main_thread run on the host's main thread; process, reset,
// start/stop_processing and flush while active on its audio thread, which
// never allocates, never does I/O and never waits for the mutex.

#include <atomic>
#include <memory>

#include "clap/CLAPEditorWindow.h"
#include "clap/CLAPHost.h"
#include "clap/CLAPParamOutbox.h"
#include "kit/KIT_String.h"
#include "kit/KIT_TypedBuf.h"
#include "plugin/IPluginPortable.h"

class IPluginCLAP : public IPluginPortable<kAPICLAP> {
public:
  // Largest block processed in one piece (bounds the scratch memory).
  static const int kLargestBlockSize = 16384;
  // Most MIDI events handed to the plug-in per piece: the MIDI queue always
  // has room for this many, so it never grows on the audio thread.
  static const int kMaxEventsPerPiece = 512;
  // Control changes held back while the mutex is busy; more are dropped.
  static const int kMaxHeldControlChanges = kMaxEventsPerPiece / 2;

  // The CLAP plug-in id is the bundle identifier of the instance info.
  using IPluginPortable::IPluginPortable;
  ~IPluginCLAP() override;

  // ---- Calls from the entry ----

  // Reads the host's extensions and prepares the parameters and state.
  bool InitCLAP(const clap_host_t* host);
  // Sizes everything for the rate and blocks and gives a fresh voice. False
  // (with the reason logged) for a rate the voice does not play or when
  // memory runs out.
  bool Activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames);
  void Deactivate();
  void StartProcessing() { mProcessing.store(true, std::memory_order_release); }
  void StopProcessing() { mProcessing.store(false, std::memory_order_release); }
  // Audio thread: a fresh voice from the next block.
  void HostReset() { mResetPending = true; }
  int32_t Process(const clap_process_t* process);
  // Parameter events without audio; editor news go to out.
  void Flush(const clap_input_events_t* in, const clap_output_events_t* out);
  void OnMainThread();

  bool GetParamInfo(uint32_t index, clap_param_info_t* info);
  bool GetParamValue(clap_id id, double* value);
  bool ParamValueToText(clap_id id, double value, char* text, uint32_t capacity);
  bool ParamTextToValue(clap_id id, const char* text, double* value);

  bool SaveState(const clap_ostream_t* stream);
  bool LoadState(const clap_istream_t* stream);

  // The editor window the host shows, created by the gui extension's create
  // and deleted by its destroy (null in between).
  CLAPEditorWindow* EditorWindow() const { return mEditorWindow.get(); }
  void SetEditorWindow(std::unique_ptr<CLAPEditorWindow> window);

  // Main thread: hands a value the editor set outside a gesture (held
  // back in case a gesture opens around it) to the host. The editor
  // window calls it after every round of events and refresh.
  void PublishParamNews();

  const CLAPHost& Host() const { return mHost; }

  // ---- Overrides of the base ----

  void BeginInformHostOfParamChange(int paramIdx) override;
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  // The host's reset (OnHostReset) comes with activation and with the
  // plug-in's reset() (HostReset), held until the mutex is next had.

private:
  // The mutex, tried at most once per process() or flush(): true while
  // this call holds it. Unlock ends the call's hold.
  bool TryLock();
  void Unlock();
  // Applies what waited for the mutex, when it can be had.
  void ApplyHeld();
  // One host event, playing at frame mEventTime of the block, in the piece
  // that starts at pieceStart; delivered counts the piece's MIDI messages.
  void HandleEvent(const clap_event_header_t* ev, uint32_t pieceStart, int* delivered);
  // A host value now, or held for later without the mutex.
  void ApplyParamValue(clap_id id, double value);
  // Main thread: one item for the host, which is asked to flush when it
  // is not processing.
  void PostNews(uint16_t type, clap_id id, double value);
  // A message to the plug-in; a control change without the mutex is held.
  void DeliverMidi(IMidiMsg* msg, int* delivered);
  // Renders frames [from, from + n) of the host's outputs.
  void RenderPiece(const clap_process_t* process, uint32_t from, uint32_t n);
  // The frame an input event plays at: in order, inside the block.
  uint32_t EventFrame(const clap_event_header_t* ev, uint32_t nFrames);
  // The part of the state before the parameter block, as last told.
  void RememberOwnState();
  bool OwnStateChanged();

  CLAPHost mHost;
  bool mActive = false;
  std::atomic<bool> mProcessing{false};
  bool mResetPending = false;
  enum ELock { kLockUntried, kLockHeld, kLockBusy };
  ELock mLock = kLockUntried;

  // Host values waiting for the mutex: NaN where none waits.
  KIT_TypedBuf<double> mHeldValues;
  bool mAnyHeldValue = false;
  // States loaded so far, and how many there were when the first value
  // now held was held: values from before a load give way to it.
  std::atomic<uint32_t> mLoads{0};
  uint32_t mLoadsWhenHeld = 0;
  IMidiMsg mHeldControlChanges[kMaxHeldControlChanges];
  int mNHeldControlChanges = 0;

  // The event list and frame of the event being handled, for a learned
  // controller's news (audio thread only).
  const clap_output_events_t* mOut = nullptr;
  uint32_t mEventTime = 0;
  uint32_t mLastEventFrame = 0;
  CLAPParamOutbox mOutbox;
  // Main thread: the editor's latest value not yet posted.
  struct StagedValue {
    bool mWaiting;
    clap_id mParamID;
    double mValue;
  };
  StagedValue mStaged = {false, 0, 0.0};
  // Set by the audio thread when the state may have changed unseen.
  std::atomic<bool> mStateCheckDue{false};
  KIT_TypedBuf<unsigned char> mOwnState;

  // Where outputs the host gives no buffer for are written (sized at activation).
  KIT_TypedBuf<float> mOutScratch;
  KIT_TypedBuf<float*> mPieceOut;
  std::unique_ptr<CLAPEditorWindow> mEditorWindow;
};
