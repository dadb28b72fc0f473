// Construction, setup from the host's features, ports and rendering.

#include "lv2/IPluginLV2.h"

#include <cmath>
#include <cstring>

#include "graphics/IGraphics.h"
#include "lv2/atom/util.h"
#include "lv2/midi/midi.h"

namespace {

const char* const kStateKeySuffix = "#state";
const uint8_t kDataByteLimit = 0x80;  // data bytes have 7 bits
const uint8_t kSystemStatus = 0xF0;   // system messages carry no channel

// Channel messages whose status takes one data byte; the others take two.
bool HasOneDataByte(uint8_t status) {
  const uint8_t kind = status & 0xF0;
  return kind == LV2_MIDI_MSG_PGM_CHANGE || kind == LV2_MIDI_MSG_CHANNEL_PRESSURE;
}

// The piece length for a host's announced bounds (0 or less: not announced).
int ChooseBlockSize(int maxBlockLength, int nominalBlockLength) {
  int size = IPluginLV2::kDefaultBlockSize;
  if (maxBlockLength > 0)
    size = maxBlockLength;
  else if (nominalBlockLength > 0)
    size = nominalBlockLength;
  return size > IPluginLV2::kLargestBlockSize ? IPluginLV2::kLargestBlockSize : size;
}

LV2_URID Map(LV2_URID_Map* map, const char* uri) { return map->map(map->handle, uri); }

}  // namespace

IPluginLV2::~IPluginLV2() = default;

bool IPluginLV2::InitLV2(double sampleRate, int maxBlockLength, int nominalBlockLength, LV2_URID_Map* map,
                         const LV2_Log_Logger& logger) {
  mLogger = logger;
  KIT_String stateKey;
  stateKey.Set(GetBundleID());
  stateKey.Append(kStateKeySuffix);
  mURIDs.mStateKey = Map(map, stateKey.Get());
  mURIDs.mAtomChunk = Map(map, LV2_ATOM__Chunk);
  mURIDs.mAtomSequence = Map(map, LV2_ATOM__Sequence);
  mURIDs.mAtomBeatTime = Map(map, LV2_ATOM__beatTime);
  mURIDs.mMidiEvent = Map(map, LV2_MIDI__MidiEvent);

  const int nParams = NParams();
  const int nOut = NOutChannels();
  if (!mControlIn.Resize(nParams) || !mLastControl.Resize(nParams) || !mAudioOut.Resize(nOut) ||
      !mPieceOut.Resize(nOut)) {
    lv2_log_error(&mLogger, "%s: out of memory for the ports\n", GetEffectName());
    return false;
  }
  for (int i = 0; i < nParams; ++i) {
    mControlIn.Get()[i] = nullptr;
    mLastControl.Get()[i] = static_cast<float>(GetParam(i)->Value());
  }
  for (int c = 0; c < nOut; ++c) mAudioOut.Get()[c] = mPieceOut.Get()[c] = nullptr;

  const int blockSize = ChooseBlockSize(maxBlockLength, nominalBlockLength);
  SetSampleRate(sampleRate);
  SetBlockSize(blockSize);
  if (GetBlockSize() != blockSize) {
    lv2_log_error(&mLogger, "%s: out of memory for blocks of %d frames\n", GetEffectName(), blockSize);
    return false;
  }
  SetOutputChannelConnections(0, nOut, true);
  PruneUninitializedPresets();
  Reset();
  MeasureStateSize();
  return true;
}

void IPluginLV2::SetBlockSize(int blockSize) {
  if (blockSize < 0) return;
  const int nOut = NOutChannels();
  if (!mOutScratch.Resize(nOut * blockSize)) {
    mOutScratch.Resize(nOut * GetBlockSize());
    return;
  }
  if (nOut * blockSize > 0) std::memset(mOutScratch.Get(), 0, sizeof(float) * (size_t)(nOut * blockSize));
  IPluginBase::SetBlockSize(blockSize);
}

void IPluginLV2::ConnectPort(uint32_t port, void* data) {
  if (port < (uint32_t)NControlPorts()) {
    mControlIn.Get()[port] = static_cast<const float*>(data);
  } else if (port == (uint32_t)MidiInPort()) {
    mMidiIn = static_cast<const LV2_Atom_Sequence*>(data);
  } else if (port < (uint32_t)NPorts()) {
    mAudioOut.Get()[port - (uint32_t)AudioOutPort(0)] = static_cast<float*>(data);
  }
}

void IPluginLV2::Activate() {
  IMutexLock lock(this);
  OnParamReset();
  // LV2 asks that an activated instance hold nothing from its history: this
  // is the format's reset.
  OnHostReset();
  OnActivate(true);
}

void IPluginLV2::Deactivate() { OnActivate(false); }

bool IPluginLV2::AnyControlPortChanged() const {
  const float* const* ports = mControlIn.Get();
  const float* last = mLastControl.Get();
  for (int i = 0, n = NControlPorts(); i < n; ++i)
    if (ports[i] && *ports[i] != last[i] && std::isfinite(*ports[i])) return true;
  return false;
}

bool IPluginLV2::PendingPortValue(int i, double* value) const {
  const float* port = mControlIn.Get()[i];
  if (!port || !std::isfinite(*port)) return false;
  if (!mApplyAllPorts && *port == mLastControl.Get()[i]) return false;
  *value = *port;
  return true;
}

bool IPluginLV2::ApplyControlPorts() {
  // Most blocks change nothing; those leave the mutex alone. The main thread
  // holds it only for short snapshots; rather than wait for one, the changes
  // are picked up by the next block.
  if (!mApplyAllPorts && !AnyControlPortChanged()) return true;
  if (!GetMutex()->TryEnter()) return false;
  IGraphics* gui = GetGUI();
  for (int i = 0; i < NControlPorts(); ++i) {
    double value = 0.0;
    if (!PendingPortValue(i, &value)) continue;
    mLastControl.Get()[i] = (float)value;
    GetParam(i)->Set(value);
    if (gui) gui->SetParameterFromPlug(i, value, false);
    OnParamChange(i);
  }
  mApplyAllPorts = false;
  GetMutex()->Leave();
  return true;
}

bool IPluginLV2::NextMidiMsg(uint32_t from, uint32_t n, uint32_t nFrames, IMidiMsg* msg) {
  const uint8_t* end = reinterpret_cast<const uint8_t*>(&mMidiIn->body) + mMidiIn->atom.size;
  // Only beat time is told apart: hosts that fill the unit field with frame
  // time, zero or nothing at all (Ardour 7 leaves it unset) all mean frames.
  const bool inFrames = mURIDs.mAtomBeatTime == 0 || mMidiIn->body.unit != mURIDs.mAtomBeatTime;
  while (mNextEvent) {
    const uint8_t* at = reinterpret_cast<const uint8_t*>(mNextEvent);
    if (at + sizeof(LV2_Atom_Event) > end ||
        mNextEvent->body.size > (size_t)(end - at) - sizeof(LV2_Atom_Event)) {
      mNextEvent = nullptr;  // a damaged sequence ends here
      return false;
    }
    // Events before their predecessor play with it; events past the block
    // play on its last frame; times in beats count as frame 0.
    int64_t frame = inFrames ? mNextEvent->time.frames : 0;
    if (frame < mLastEventFrame) frame = mLastEventFrame;
    if (frame > (int64_t)nFrames - 1) frame = (int64_t)nFrames - 1;
    if (frame >= (int64_t)(from + n)) return false;  // a later piece's
    mLastEventFrame = frame;

    const LV2_Atom_Event* ev = mNextEvent;
    mNextEvent = lv2_atom_sequence_next(mNextEvent);
    const uint8_t* data = reinterpret_cast<const uint8_t*>(ev + 1);
    const uint32_t size = ev->body.size;
    if (ev->body.type != mURIDs.mMidiEvent || size < 2) continue;
    const uint8_t status = data[0];
    const bool oneByte = HasOneDataByte(status);
    const uint8_t data1 = data[1];
    const uint8_t data2 = oneByte || size < 3 ? 0 : data[2];
    if (status < kDataByteLimit || status >= kSystemStatus || !(oneByte || size >= 3) || data1 >= kDataByteLimit ||
        data2 >= kDataByteLimit)
      continue;
    *msg = IMidiMsg((int)(frame - (int64_t)from), status, data1, data2);
    return true;
  }
  return false;
}

void IPluginLV2::DeliverEvents(uint32_t from, uint32_t n, uint32_t nFrames) {
  if (!mNextEvent && mNHeldControlChanges == 0) return;
  const bool locked = GetMutex()->TryEnter();
  int delivered = 0;
  if (locked) {
    for (int i = 0; i < mNHeldControlChanges; ++i) ProcessMidiMsg(&mHeldControlChanges[i]);
    delivered = mNHeldControlChanges;
    mNHeldControlChanges = 0;
  }
  IMidiMsg msg;
  while (mNextEvent && NextMidiMsg(from, n, nFrames, &msg)) {
    if (!locked && msg.StatusMsg() == IMidiMsg::kControlChange) {
      msg.mOffset = 0;
      if (mNHeldControlChanges < kMaxHeldControlChanges) mHeldControlChanges[mNHeldControlChanges++] = msg;
    } else if (delivered < kMaxEventsPerPiece) {
      ProcessMidiMsg(&msg);
      ++delivered;
    }
  }
  if (locked) GetMutex()->Leave();
}

void IPluginLV2::Run(uint32_t nFrames) {
  CheckAudioThreadEntry();
  ApplyControlPorts();

  // An empty sequence (most blocks) leaves the cursor null, and delivering
  // events then leaves the mutex alone.
  mNextEvent = nullptr;
  mLastEventFrame = 0;
  if (mMidiIn && mMidiIn->atom.type == mURIDs.mAtomSequence && mMidiIn->atom.size > sizeof(LV2_Atom_Sequence_Body))
    mNextEvent = lv2_atom_sequence_begin(&mMidiIn->body);

  const uint32_t blockSize = (uint32_t)GetBlockSize();
  const int nOut = NOutChannels();
  for (uint32_t done = 0; done < nFrames && blockSize > 0;) {
    const uint32_t n = nFrames - done < blockSize ? nFrames - done : blockSize;
    DeliverEvents(done, n, nFrames);
    for (int c = 0; c < nOut; ++c) {
      float* port = mAudioOut.Get()[c];
      mPieceOut.Get()[c] = port ? port + done : mOutScratch.Get() + (size_t)c * blockSize;
    }
    AttachOutputBuffers(0, nOut, mPieceOut.Get());
    ProcessBuffers(0.0f, (int)n);
    done += n;
  }
}
