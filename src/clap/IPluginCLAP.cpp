// Construction, activation, rendering and parameter events.

#include "clap/IPluginCLAP.h"

#include <cmath>
#include <cstring>

#include "clap/CLAPEditorWindow.h"
#include "graphics/IGraphics.h"

namespace {

const uint8_t kNoteOnStatus = 0x90;
const uint8_t kDataByteLimit = 0x80;   // data bytes have 7 bits
const uint8_t kSystemStatus = 0xF0;    // system messages carry no channel
const int kMidiChannels = 16;
const double kMidiVelocityScale = 127.0;  // a CLAP velocity of 1 is MIDI velocity 127

// The instance whose process() or flush() runs on this thread, if any: its
// learned controllers' news go straight to the host's list.
thread_local const IPluginCLAP* tDelivering = nullptr;

// Channel messages whose status takes one data byte; the others take two.
bool HasOneDataByte(uint8_t status) {
  const uint8_t kind = status & 0xF0;
  return kind == IMidiMsg::kProgramChange << 4 || kind == IMidiMsg::kChannelAftertouch << 4;
}

// MIDI velocity of a CLAP velocity: 0 plays nothing, anything above plays.
int MidiVelocity(double velocity) {
  if (!(velocity > 0.0)) return 0;
  const long v = std::lround(velocity * kMidiVelocityScale);
  return v < 1 ? 1 : (v > 127 ? 127 : (int)v);
}

bool IsParamValue(const clap_event_header_t* ev) {
  return ev->space_id == CLAP_CORE_EVENT_SPACE_ID && ev->type == CLAP_EVENT_PARAM_VALUE &&
         ev->size >= sizeof(clap_event_param_value_t);
}

}  // namespace

// The editor window goes before the editor it shows (the base deletes that).
IPluginCLAP::~IPluginCLAP() { mEditorWindow.reset(); }

bool IPluginCLAP::InitCLAP(const clap_host_t* host) {
  mHost = CLAPHost::Read(host);
  const int nParams = NParams();
  if (!mHeldValues.Resize(nParams) || !mPieceOut.Resize(NOutChannels())) {
    mHost.Log(CLAP_LOG_ERROR, GetEffectName(), "out of memory for the parameters");
    return false;
  }
  for (int i = 0; i < nParams; ++i) mHeldValues.Get()[i] = NAN;
  SetOutputChannelConnections(0, NOutChannels(), true);
  PruneUninitializedPresets();
  MeasureStateSize();
  RememberOwnState();
  return true;
}

void IPluginCLAP::SetEditorWindow(std::unique_ptr<CLAPEditorWindow> window) { mEditorWindow = std::move(window); }

bool IPluginCLAP::Activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames) {
  if (!PlaysSampleRate(sampleRate)) {
    mHost.Log(CLAP_LOG_ERROR, GetEffectName(), "%g Hz is not a sample rate it plays; not activated", sampleRate);
    return false;
  }
  const int blockSize = maxFrames == 0 || maxFrames > (uint32_t)kLargestBlockSize ? kLargestBlockSize : (int)maxFrames;
  IMutexLock lock(this);
  SetSampleRate(sampleRate);
  SetBlockSize(blockSize);
  const size_t scratch = (size_t)NOutChannels() * (size_t)blockSize;
  if (GetBlockSize() != blockSize || !mOutScratch.Resize((int)scratch)) {
    mHost.Log(CLAP_LOG_ERROR, GetEffectName(), "out of memory for blocks of %d frames; not activated", blockSize);
    return false;
  }
  std::memset(mOutScratch.Get(), 0, sizeof(float) * scratch);
  OnParamReset();
  OnActivate(true);
  // As the Audio Unit's reset: the voice starts fresh at the new rate.
  Reset();
  OnHostReset();
  mResetPending = false;
  mActive = true;
  return true;
}

void IPluginCLAP::Deactivate() {
  mActive = false;
  OnActivate(false);
}

bool IPluginCLAP::TryLock() {
  if (mLock == kLockUntried) mLock = GetMutex()->TryEnter() ? kLockHeld : kLockBusy;
  return mLock == kLockHeld;
}

void IPluginCLAP::Unlock() {
  if (mLock == kLockHeld) GetMutex()->Leave();
  mLock = kLockUntried;
}

void IPluginCLAP::ApplyHeld() {
  if (!mResetPending && !mAnyHeldValue && mNHeldControlChanges == 0) return;
  if (!TryLock()) return;
  if (mResetPending) {
    Reset();
    OnHostReset();
    mResetPending = false;
  }
  // A state loaded since the values were held is newer than they are.
  const bool stale = mAnyHeldValue && mLoads.load(std::memory_order_acquire) != mLoadsWhenHeld;
  if (mAnyHeldValue) {
    for (int i = 0; i < NParams(); ++i) {
      double& held = mHeldValues.Get()[i];
      if (std::isnan(held)) continue;
      const double value = held;
      held = NAN;
      if (!stale) ApplyParamValue((clap_id)i, value);
    }
    mAnyHeldValue = false;
  }
  for (int i = 0; i < mNHeldControlChanges; ++i) ProcessMidiMsg(&mHeldControlChanges[i]);
  mNHeldControlChanges = 0;
}

void IPluginCLAP::ApplyParamValue(clap_id id, double value) {
  IParam* param = id < (clap_id)NParams() ? GetParam((int)id) : nullptr;
  if (!param || !std::isfinite(value)) return;
  if (!TryLock()) {
    if (!mAnyHeldValue) mLoadsWhenHeld = mLoads.load(std::memory_order_acquire);
    mHeldValues.Get()[id] = value;
    mAnyHeldValue = true;
    return;
  }
  param->Set(value);
  if (IGraphics* gui = GetGUI()) gui->SetParameterFromPlug((int)id, param->Value(), false);
  OnParamChange((int)id);
}

void IPluginCLAP::DeliverMidi(IMidiMsg* msg, int* delivered) {
  const bool control = msg->StatusMsg() == IMidiMsg::kControlChange;
  if (control && !TryLock()) {
    msg->mOffset = 0;
    if (mNHeldControlChanges < kMaxHeldControlChanges) mHeldControlChanges[mNHeldControlChanges++] = *msg;
    return;
  }
  if (*delivered >= kMaxEventsPerPiece) return;
  ++*delivered;
  ProcessMidiMsg(msg);
  // A controller may have been learned or cleared: the main thread looks.
  if (control && !mStateCheckDue.exchange(true, std::memory_order_acq_rel)) mHost.RequestCallback();
}

void IPluginCLAP::HandleEvent(const clap_event_header_t* ev, uint32_t pieceStart, int* delivered) {
  if (ev->space_id != CLAP_CORE_EVENT_SPACE_ID) return;
  const int offset = (int)(mEventTime - pieceStart);
  if (ev->type == CLAP_EVENT_NOTE_ON && ev->size >= sizeof(clap_event_note_t)) {
    const clap_event_note_t* note = reinterpret_cast<const clap_event_note_t*>(ev);
    const int velocity = MidiVelocity(note->velocity);
    if (note->key < 0 || note->key >= kDataByteLimit || velocity == 0) return;
    const int channel = note->channel >= 0 && note->channel < kMidiChannels ? note->channel : 0;
    IMidiMsg msg(offset, (uint8_t)(kNoteOnStatus | channel), (uint8_t)note->key, (uint8_t)velocity);
    DeliverMidi(&msg, delivered);
  } else if (ev->type == CLAP_EVENT_MIDI && ev->size >= sizeof(clap_event_midi_t)) {
    const uint8_t* data = reinterpret_cast<const clap_event_midi_t*>(ev)->data;
    const uint8_t status = data[0];
    const uint8_t data2 = HasOneDataByte(status) ? 0 : data[2];
    if (status < kDataByteLimit || status >= kSystemStatus || data[1] >= kDataByteLimit || data2 >= kDataByteLimit)
      return;
    IMidiMsg msg(offset, status, data[1], data2);
    DeliverMidi(&msg, delivered);
  } else if (IsParamValue(ev)) {
    const clap_event_param_value_t* pv = reinterpret_cast<const clap_event_param_value_t*>(ev);
    ApplyParamValue(pv->param_id, pv->value);
  }
}

uint32_t IPluginCLAP::EventFrame(const clap_event_header_t* ev, uint32_t nFrames) {
  uint32_t frame = ev->time < nFrames ? ev->time : nFrames - 1;
  return frame < mLastEventFrame ? mLastEventFrame : frame;
}

void IPluginCLAP::RenderPiece(const clap_process_t* process, uint32_t from, uint32_t n) {
  const clap_audio_buffer_t* out = process->audio_outputs_count > 0 ? process->audio_outputs : nullptr;
  float* const* host = out ? out->data32 : nullptr;
  const uint32_t hostChannels = host ? out->channel_count : 0;
  const int blockSize = GetBlockSize();
  for (int c = 0; c < NOutChannels(); ++c) {
    float* channel = (uint32_t)c < hostChannels ? host[c] : nullptr;
    mPieceOut.Get()[c] = channel ? channel + from : mOutScratch.Get() + (size_t)c * blockSize;
  }
  AttachOutputBuffers(0, NOutChannels(), mPieceOut.Get());
  ProcessBuffers(0.0f, (int)n);
}

int32_t IPluginCLAP::Process(const clap_process_t* process) {
  CheckAudioThreadEntry();
  if (!mActive || !process) return CLAP_PROCESS_ERROR;
  tDelivering = this;
  mOut = process->out_events;
  // Notes need no lock; the mutex is tried once, by the first thing that does.
  ApplyHeld();
  mOutbox.DeliverTo(mOut, 0);

  const clap_input_events_t* in = process->in_events;
  const uint32_t nEvents = in && in->size && in->get ? in->size(in) : 0;
  const uint32_t nFrames = process->frames_count;
  const uint32_t blockSize = (uint32_t)GetBlockSize();
  uint32_t next = 0;
  mLastEventFrame = 0;
  for (uint32_t done = 0; done < nFrames;) {
    uint32_t end = nFrames - done < blockSize ? nFrames : done + blockSize;
    int delivered = 0;
    for (; next < nEvents; ++next) {
      const clap_event_header_t* ev = in->get(in, next);
      if (!ev) continue;
      const uint32_t at = EventFrame(ev, nFrames);
      if (at >= end) break;
      // A value from a later frame starts a piece of its own.
      if (at > done && IsParamValue(ev)) {
        end = at;
        break;
      }
      mLastEventFrame = mEventTime = at;
      HandleEvent(ev, done, &delivered);
    }
    RenderPiece(process, done, end - done);
    done = end;
  }
  // A block without frames still carries its parameter values.
  int delivered = 0;
  for (mEventTime = 0; next < nEvents; ++next)
    if (const clap_event_header_t* ev = in->get(in, next); ev && IsParamValue(ev)) HandleEvent(ev, 0, &delivered);

  Unlock();
  mOut = nullptr;
  tDelivering = nullptr;
  return CLAP_PROCESS_CONTINUE;
}

void IPluginCLAP::Flush(const clap_input_events_t* in, const clap_output_events_t* out) {
  tDelivering = this;
  mOut = out;
  mEventTime = 0;
  ApplyHeld();
  const uint32_t nEvents = in && in->size && in->get ? in->size(in) : 0;
  for (uint32_t i = 0; i < nEvents; ++i) {
    const clap_event_header_t* ev = in->get(in, i);
    if (ev && IsParamValue(ev)) {
      const clap_event_param_value_t* pv = reinterpret_cast<const clap_event_param_value_t*>(ev);
      ApplyParamValue(pv->param_id, pv->value);
    }
  }
  mOutbox.DeliverTo(out, 0);
  Unlock();
  mOut = nullptr;
  tDelivering = nullptr;
}

// ---- News for the host ----

void IPluginCLAP::PostNews(uint16_t type, clap_id id, double value) {
  mOutbox.Post(type, id, value);
  if (!mProcessing.load(std::memory_order_acquire)) mHost.RequestFlush();
}

void IPluginCLAP::PublishParamNews() {
  if (!mStaged.mWaiting) return;
  mStaged.mWaiting = false;
  PostNews(CLAP_EVENT_PARAM_VALUE, mStaged.mParamID, mStaged.mValue);
}

// The editor sets a clicked control's value before it opens the gesture;
// the value is held back until the next news, so the host hears begin,
// value, end.
void IPluginCLAP::BeginInformHostOfParamChange(int paramIdx) {
  if (tDelivering == this || !GetParam(paramIdx)) return;
  PostNews(CLAP_EVENT_PARAM_GESTURE_BEGIN, (clap_id)paramIdx, 0.0);
  PublishParamNews();
}

void IPluginCLAP::InformHostOfParamChange(int paramIdx, double normalizedValue) {
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  const double value = param->Value();
  if (tDelivering == this) {
    // A learned controller: a whole gesture at its frame, not recorded.
    PushParamEvent(mOut, CLAP_EVENT_PARAM_GESTURE_BEGIN, (clap_id)paramIdx, 0.0, mEventTime, 0);
    PushParamEvent(mOut, CLAP_EVENT_PARAM_VALUE, (clap_id)paramIdx, value, mEventTime, CLAP_EVENT_DONT_RECORD);
    PushParamEvent(mOut, CLAP_EVENT_PARAM_GESTURE_END, (clap_id)paramIdx, 0.0, mEventTime, 0);
    return;
  }
  PublishParamNews();
  mStaged = {true, (clap_id)paramIdx, value};
}

void IPluginCLAP::EndInformHostOfParamChange(int paramIdx) {
  if (tDelivering == this || !GetParam(paramIdx)) return;
  PublishParamNews();
  PostNews(CLAP_EVENT_PARAM_GESTURE_END, (clap_id)paramIdx, 0.0);
  // Touching a control while clearing controllers changes the map too.
  if (OwnStateChanged()) mHost.MarkDirty();
}

void IPluginCLAP::OnMainThread() {
  if (mStateCheckDue.exchange(false, std::memory_order_acq_rel) && OwnStateChanged()) mHost.MarkDirty();
}
