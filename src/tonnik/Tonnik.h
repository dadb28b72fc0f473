#pragma once
// The instrument: one kick voice played by MIDI note-ons at their exact
// sample, 19 parameters (with a learnable MIDI controller for each), the
// factory preset "Init", and a state chunk of the controller map followed by
// the parameter values. Built on the host-format adapter chosen at build time
// (TonnikBase.h); created by MakePlug() (TonnikEntry.cpp) as an Audio Unit and
// by the LV2 product's factory (TonnikLV2Entry.cpp) as an LV2 plug-in.
//
// Ownership: the instrument owns its voice and its MIDI queue; the editor and
// its controls belong to the plug-in base, so the value display and ring
// pointers kept here are borrowed (null while there is no editor).
//
// Threads (when the plug-in mutex is held, and by whom, is IPluginBase.h's):
// - main thread: construction, destruction, SerializeState,
//   UnserializeState, Reset and TriggerFromEditor (the editor's button);
// - any thread: OnParamChange, which takes the mutex itself;
// - render thread: ProcessMidiMsg (before the render call of the same cycle)
//   and ProcessDoubleReplacing or ProcessSingleReplacing, which allocate
//   nothing; a learned control change in ProcessMidiMsg moves its parameter
//   under the mutex.
// The voice belongs to the render thread. Other threads change parameters,
// reset or press the trigger while it renders (with or without the mutex,
// depending on the host's way in); they only post what changed (atomics),
// and the render thread applies it at the start of its next block. Until a
// block has been rendered GetVoice() shows the voice as it was.
//
// State chunk (SerializeState / UnserializeState), appended to or read from
// the given chunk:
//   offset 0:  19 x int32, the controller map (-1 for none), entry 0 first;
//   offset 76: 19 x double, the parameter values (SerializeParams).
// The factory preset holds only the 19 doubles (MakePreset). UnserializeState
// tells them apart like this: when exactly 152 bytes (19 doubles) remain from
// the start position and none of the first nine doubles is NaN or subnormal,
// the bytes are a bare parameter block: the parameters are restored and the
// controller map is left alone. Anything else is read as a saved state. The
// rule is sound because a saved state's first 76 bytes, read as doubles, are
// NaN (an entry of -1 in the upper half) or subnormal (0..127 there), so a
// saved state cut to 152 bytes is still read as a saved state.
// Reading a saved state restores the map entries that fit (a failed read
// leaves that entry and the later ones unchanged). Parameters are touched
// only when at least one byte of the parameter block is present: then the
// base restores what fits. The result is the position after the block, or
// negative when anything was missing. Map entries outside -1..127 are kept
// as read and simply never match a controller.

#include <atomic>
#include <cstdint>

#include "kick/Krummel.h"
#include "plugin/IMidiQueue.h"
#include "tonnik/TonnikBase.h"
#include "tonnik/TonnikParams.h"

class ITextControl;
class PotiCircle;

// The parameter and ring indices (kTone .. kDriveEnv, kNumParams; kDecayRing ..) come
// with the parameter table (TonnikParams.h).
class Tonnik : public TonnikBase, public TonnikParamIndices {
public:
  // Bytes of the controller map and of a whole saved state.
  static constexpr int kControllerMapBytes = kNumParams * 4;
  static constexpr int kParamBlockBytes = kNumParams * 8;
  static constexpr int kStateBytes = kControllerMapBytes + kParamBlockBytes;

  // The MIDI note the editor's trigger plays.
  static constexpr int kTriggerNote = 33;
  // Samples after a hit before the trigger LED goes dark (checked per block).
  static constexpr int kLEDHoldSamples = 10000;

  explicit Tonnik(IPluginInstanceInfo instanceInfo);
  ~Tonnik() override;

  // Makes the factory preset "Init"; called once by the constructor.
  void CreatePresets();

  // ---- Overrides of the plug-in base ----

  // Applies the host's sample rate (from the next block) and block size
  // (main thread, mutex).
  void Reset() override;
  // The host's reset (the Audio Unit's Reset, LV2's activate): from the next
  // block on, the instrument renders exactly what a newly created one with
  // the same settings would (a fresh voice, the LED dark), so a ringing hit
  // ends and the same input renders the same output again. Posted to the
  // render thread, which rebuilds the voice in place without allocating.
  void OnHostReset() override;
  // The rates the voice plays (8 kHz to 384 kHz).
  bool PlaysSampleRate(double sampleRate) const override { return Krummel::isSupportedRate(sampleRate); }
  // Applies one parameter's current value to the rings and the learn/clear
  // state, and posts it to the voice. Takes the mutex; unknown indices
  // change nothing.
  void OnParamChange(int paramIdx) override;
  // Renders the voice into outputs[0] and copies it to outputs[1]; inputs
  // are ignored. Render thread.
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  // The same block rounded to float: the voice renders doubles into a piece
  // buffer, converted once into both outputs. Float hosts render through
  // this (the instrument enables single replacing). Render thread.
  void ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) override;
  // Queues every message for the next block; a control change moves the
  // parameter learned for its controller at once. Render thread.
  void ProcessMidiMsg(IMidiMsg* msg) override;
  bool SerializeState(ByteChunk* chunk) override;
  int UnserializeState(ByteChunk* chunk, int startPos) override;

  // ---- The editor's trigger button (main thread) ----

  // Requests a hit at note 33 with the last velocity. The audio thread takes
  // the request at the start of its next block and does what a MIDI hit
  // does (glide to the note, restart, LED state 0 and the LED control lit,
  // samples since hit 0), so the voice is only ever touched by the render
  // thread and neither side waits for the other.
  void TriggerFromEditor();

  // ---- Read-only views (main thread, tests; the LED state and the sample
  // count are written by the render thread only, atomically) ----

  // Controller learned for a parameter, or -1 (also outside the table).
  int GetController(int paramIdx) const;
  bool IsLearnActive() const { return mLearnActive != 0; }
  bool IsClearActive() const { return mClearActive != 0; }
  int GetLastTouchedParam() const { return mLastTouchedParam; }
  int GetLEDState() const { return mLEDState.load(std::memory_order_relaxed); }
  int GetSamplesSinceHit() const { return mSamplesSinceHit.load(std::memory_order_relaxed); }
  // Ring angles in degrees as last set from the parameters.
  double GetRingCentre(ERing ring) const { return mRingCentre[ring]; }
  double GetRingSpan(ERing ring) const { return mRingSpan[ring]; }
  const Krummel& GetVoice() const { return mVoice; }

private:
  void InitParams();
  // Construction step 5: the voice's start state at a sample rate.
  void SetVoiceStartState(double sampleRate);
  // The voice's half of OnParamChange: posts the value to the render thread.
  void PostToVoice(int paramIdx, double value);
  // Render thread: applies a posted fresh voice, rate and parameter values.
  void ApplyPostedToVoice();
  // Sets one voice control from a parameter value (render thread).
  void ApplyToVoice(int paramIdx, double value);
  // Construction step 4: builds the editor (TonnikEditor.cpp).
  void BuildEditor();
  // Copies a ring's angles into its editor control when it exists; a new
  // span also asks for a redraw (TonnikEditor.cpp).
  void PushRing(ERing ring, bool spanChanged);
  // Shows a text in the value display when it exists (TonnikEditor.cpp).
  void ShowValueText(const char* text);

  void SetRingCentre(ERing ring, double value);
  void SetRingSpan(ERing ring, double value);
  // The learn step: a parameter touched while learning is the target of the
  // next controller.
  void NoteTouched(int paramIdx);
  // The control-change half of ProcessMidiMsg, under the mutex.
  void ApplyControlChange(int cc, int value);
  // Restarts the voice at note with the current velocity and lights the LED.
  void StartHit(int note);
  // Takes a pending request of the trigger button.
  void TakeTriggerRequest();
  // One block: the due MIDI hits and the trigger at their samples, the voice
  // in between (renderVoice(from, to) writes samples [from, to) wherever the
  // caller renders to), the LED and the queue. TonnikProcess.cpp.
  template <class RenderVoice>
  void RenderBlock(int nFrames, RenderVoice renderVoice);
  // Samples [from, to) of the voice, rounded to float into left and right.
  void RenderVoiceToFloat(float* left, float* right, int from, int to);
  void CountSamples(int n);
  void UpdateLED();
  // True when the bytes from pos are a bare parameter block (header rule).
  bool IsParamBlock(const ByteChunk* chunk, int pos) const;

  // Members as laid out for the instrument.
  int mControllerMap[kNumParams];
  Krummel mVoice;
  IMidiQueue mMidiQueue;
  ITextControl* mValueDisplay = nullptr;
  int mLearnActive = 0;
  int mClearActive = 0;
  int mLEDIndex = -1;
  // Written by the render thread only; atomic because the editor's thread and
  // tests read them while it renders.
  std::atomic<int> mLEDState{0};
  std::atomic<int> mSamplesSinceHit{0};
  int mLearnSwitchIdx = -1;
  int mClearSwitchIdx = -1;
  int mLastTouchedParam = -1;
  PotiCircle* mRings[kNumRings] = {};

  // Ring angles kept here so they exist with or without an editor.
  double mRingCentre[kNumRings] = {};
  double mRingSpan[kNumRings] = {};
  // Posted to the render thread: every parameter's latest value, a bit per
  // parameter changed since the last block, the sample rate, and a request
  // for a fresh voice.
  std::atomic<double> mVoiceValues[kNumParams];
  std::atomic<uint32_t> mChangedParams{0};
  std::atomic<double> mVoiceRate;
  std::atomic<bool> mFreshVoice{false};
  // Presses of the trigger button not yet taken by the render thread.
  std::atomic<int> mTriggerRequests{0};
  // What Reset last applied, so that a Reset while rendering (bypass
  // toggling) leaves the voice and the queue alone when nothing changed.
  int mQueueBlockSize = 0;
  // Samples of the float render's piece buffer: the longest block most hosts
  // use goes in one piece, and the doubles and the floats made of them stay
  // in the first-level cache together.
  static constexpr int kFloatPieceFrames = 1024;
  double mFloatPiece[kFloatPieceFrames];
};
