#pragma once
// The plug-in base specialised for the LV2 host interface. A host reaches an
// instance only through the plug-in's LV2 descriptor (LV2Entry.cpp), which
// forwards instantiate, connect_port, activate, run, deactivate, cleanup and
// the state interface here. The instrument derives from it.
//
// Ports, in index order: one control input per parameter (parameter order),
// one atom sequence input carrying MIDI (MidiInPort()), then one audio
// output per output channel (AudioOutPort(c)). The Turtle generator writes
// the same layout from the same functions.
//
// Rendering: run() cuts the host's block into pieces of at most the block
// size (the host's announced maximum, or its nominal length), hands each
// piece's MIDI events to ProcessMidiMsg with their frame in the piece, then
// processes the piece through the base. A host that announces no maximum, or
// breaks its own, is served all the same: nothing is written past the port
// buffers and nothing is allocated.
//
// Parameters: the host's control ports are the truth. A control port whose
// value differs from the one last seen is applied at the start of run() as a
// host parameter set is (value stored, editor moved, OnParamChange); the
// first run() after instantiate or a state restore applies every port, so
// what plays is what the host shows. Changes that come another way (a
// learned controller, the editor) stay until the host moves that port again
// or restores a state. Parameter changes happen under the plug-in mutex;
// run() only ever tries it: while another thread holds it, changed ports and
// MIDI control changes (which move learned parameters) wait for the next
// block that gets it.
//
// State: one property, the chunk SerializeState writes, of type atom:Chunk.
// A save taken while port changes still wait for run() holds the ports'
// values, as the next run() would. A restore is checked whole (type, exact
// size, a finite in-range value for every parameter) before anything is
// touched; what fails keeps the current state and answers an
// LV2_STATE_ERR_* status. A restore brings back the learned controller map;
// the parameters then follow the ports.
//
// Ownership: the descriptor creates the plug-in through the product's
// factory on instantiate and deletes it on cleanup. The plug-in owns its
// buffers; port buffers, the URID map and the log belong to the host.
//
// Threads (the LV2 threading classes; the plug-in mutex contract is in
// IPluginBase.h): instantiate, activate, deactivate, cleanup and state
// restore are the host's instantiation class and never overlap anything
// else on the instance; run() is the audio thread: it never allocates and
// never does I/O, and its control ports never wait for the mutex (a change
// that finds it held waits for the next block); state save may overlap
// run() and takes the mutex for its snapshot.

#include <cstdint>

#include "kit/KIT_TypedBuf.h"
#include "lv2/atom/atom.h"
#include "lv2/log/logger.h"
#include "lv2/state/state.h"
#include "lv2/urid/urid.h"
#include "plugin/IPluginPortable.h"

class IPluginLV2 : public IPluginPortable<kAPILV2> {
public:
  // Block size when the host announces none; larger blocks are cut.
  static const int kDefaultBlockSize = 4096;
  // Largest block processed in one piece (bounds the scratch memory).
  static const int kLargestBlockSize = 16384;
  // Most MIDI events handed to the plug-in per piece: the framework's MIDI
  // queue always has room for this many, so delivering no more never makes
  // it grow on the audio thread. Further events in the same piece are dropped.
  static const int kMaxEventsPerPiece = 512;
  // Control changes held back while the plug-in mutex is busy (they count
  // towards the next piece's events); more are dropped.
  static const int kMaxHeldControlChanges = kMaxEventsPerPiece / 2;

  // The bundle identifier of the instance info is the plug-in's URI.
  using IPluginPortable::IPluginPortable;
  ~IPluginLV2() override;

  // ---- Port layout (shared with the Turtle generator) ----

  int NControlPorts() const { return NParams(); }
  int MidiInPort() const { return NParams(); }
  int AudioOutPort(int channel) const { return NParams() + 1 + channel; }
  int NPorts() const { return NParams() + 1 + NOutChannels(); }

  // ---- Calls from the descriptor ----

  // After construction (instantiate): takes the host's rate, block bounds,
  // URID map and log; sizes every buffer; resets the plug-in. False (with
  // the reason logged) when the buffers cannot be had.
  bool InitLV2(double sampleRate, int maxBlockLength, int nominalBlockLength, LV2_URID_Map* map,
               const LV2_Log_Logger& logger);
  // Unknown port indices are ignored; a null buffer disconnects the port.
  void ConnectPort(uint32_t port, void* data);
  // Applies every parameter, resets the plug-in as a host reset does
  // (OnHostReset) and activates; deactivate undoes the activation.
  void Activate();
  void Deactivate();
  // Renders nFrames into the output ports. Audio thread.
  void Run(uint32_t nFrames);

  // State interface, with the host's callbacks and handle.
  LV2_State_Status SaveState(LV2_State_Store_Function store, LV2_State_Handle handle);
  LV2_State_Status RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

  // ---- Overrides of the base ----

  // The plug-in's own LV2 UI hears where the editor's gestures on a
  // parameter begin and end, to tell the host (ui:touch). Main thread.
  class IGestureListener {
  public:
    virtual ~IGestureListener() = default;
    virtual void GestureBegins(int paramIdx) = 0;
    virtual void GestureEnds(int paramIdx) = 0;
  };
  // Null: nobody listens. The listener is borrowed.
  void SetGestureListener(IGestureListener* listener) { mGestureListener = listener; }

  // LV2 parameters live in ports the host owns: values reach the host
  // through the UI, which writes the ports; gestures go to its listener.
  void BeginInformHostOfParamChange(int paramIdx) override {
    if (mGestureListener) mGestureListener->GestureBegins(paramIdx);
  }
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override {}
  void EndInformHostOfParamChange(int paramIdx) override {
    if (mGestureListener) mGestureListener->GestureEnds(paramIdx);
  }
  // Sizes the float scratch of unconnected outputs, then the base's.
  void SetBlockSize(int blockSize) override;
  // The host's reset (OnHostReset): LV2 has no reset call, so Activate()
  // calls it (a host deactivates and activates instead).

private:
  struct URIDs {
    LV2_URID mStateKey = 0;
    LV2_URID mAtomChunk = 0;
    LV2_URID mAtomSequence = 0;
    LV2_URID mAtomBeatTime = 0;
    LV2_URID mMidiEvent = 0;
  };

  // Reads the control ports and applies those that changed (every one while
  // mApplyAllPorts is set); false when the mutex was held elsewhere and
  // nothing was applied.
  bool ApplyControlPorts();
  // True when a connected control port holds a new finite value.
  bool AnyControlPortChanged() const;
  // The value run() would give parameter i from its port, or false when the
  // port leaves it as it is. Under the plug-in mutex.
  bool PendingPortValue(int i, double* value) const;
  // Writes the pending port values into a chunk SerializeState wrote.
  void OverlayPendingPorts(ByteChunk* chunk);
  // Hands the MIDI events of frames [from, from + n) of a block of nFrames
  // to ProcessMidiMsg, with their frame in that piece. Without the mutex,
  // control changes are held back instead.
  void DeliverEvents(uint32_t from, uint32_t n, uint32_t nFrames);
  // The next MIDI message of the piece from the sequence cursor; false at
  // the piece's end.
  bool NextMidiMsg(uint32_t from, uint32_t n, uint32_t nFrames, IMidiMsg* msg);
  // Where the base's parameter block starts in a whole state.
  int ParamBlockStart() const;

  IGestureListener* mGestureListener = nullptr;
  URIDs mURIDs;
  LV2_Log_Logger mLogger = {};

  // Host port buffers (null until connected).
  KIT_TypedBuf<const float*> mControlIn;
  const LV2_Atom_Sequence* mMidiIn = nullptr;
  KIT_TypedBuf<float*> mAudioOut;
  // Control values last seen on the ports; NaN where a port never had one.
  KIT_TypedBuf<float> mLastControl;
  // Every port is applied by the next run() that gets the mutex: set on
  // instantiate and by a state restore, cleared under the mutex.
  bool mApplyAllPorts = true;

  // Render-time cursor into the MIDI sequence and the frame last delivered.
  const LV2_Atom_Event* mNextEvent = nullptr;
  int64_t mLastEventFrame = 0;

  // Control changes waiting for the mutex, oldest first.
  IMidiMsg mHeldControlChanges[kMaxHeldControlChanges];
  int mNHeldControlChanges = 0;

  // Where an unconnected output writes, and the per-piece pointers.
  KIT_TypedBuf<float> mOutScratch;
  KIT_TypedBuf<float*> mPieceOut;
};
