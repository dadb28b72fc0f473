// process(): parameter points, controllers and notes on their samples.

#include <algorithm>
#include <cmath>

#include "vst3/IPluginVST3.h"

namespace {

const int kMidiDataLimit = 127;  // largest 7-bit data byte
const uint8_t kChannelMask = 0x0F;

// Notes sort after every parameter point of their offset.
const int32_t kNoteOrderBase = IPluginVST3::kMaxHappenings;

// The MIDI message of a note event; false for other events and notes out of
// range. A note-on of velocity v plays velocity round(127 v), at least 1
// when v is above 0.
bool NoteMessage(const vst3::Event& e, IMidiMsg* msg) {
  if (e.type == vst3::Event::kNoteOnEvent) {
    if (e.noteOn.pitch < 0 || e.noteOn.pitch > kMidiDataLimit || !(e.noteOn.velocity >= 0.0f)) return false;
    long velocity = std::lround(std::min(e.noteOn.velocity, 1.0f) * kMidiDataLimit);
    if (velocity == 0 && e.noteOn.velocity > 0.0f) velocity = 1;
    *msg = IMidiMsg(0, (uint8_t)(IMidiMsg::kNoteOn << 4 | (e.noteOn.channel & kChannelMask)),
                    (uint8_t)e.noteOn.pitch, (uint8_t)velocity);
    return true;
  }
  if (e.type == vst3::Event::kNoteOffEvent) {
    if (e.noteOff.pitch < 0 || e.noteOff.pitch > kMidiDataLimit) return false;
    const float v = e.noteOff.velocity >= 0.0f ? std::min(e.noteOff.velocity, 1.0f) : 0.0f;
    *msg = IMidiMsg(0, (uint8_t)(IMidiMsg::kNoteOff << 4 | (e.noteOff.channel & kChannelMask)),
                    (uint8_t)e.noteOff.pitch, (uint8_t)std::lround(v * kMidiDataLimit));
    return true;
  }
  return false;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

}  // namespace

int IPluginVST3::GatherHappenings(vst3::ProcessData& data, int nFrames) {
  const int last = nFrames > 0 ? nFrames - 1 : 0;
  int n = 0;
  if (vst3::IParameterChanges* changes = data.inputParameterChanges) {
    for (int q = 0, nq = changes->getParameterCount(); q < nq; ++q) {
      vst3::IParamValueQueue* queue = changes->getParameterData(q);
      if (!queue) continue;
      const vst3::ParamID id = queue->getParameterId();
      if (!IsPluginParam(id) && !IsControllerParam(id)) continue;
      for (int p = 0, np = queue->getPointCount(); p < np && n < kMaxHappenings; ++p) {
        vst3::int32 offset = 0;
        double value = 0.0;
        if (queue->getPoint(p, offset, value) != vst3::kResultOk || !std::isfinite(value)) continue;
        mHappenings[n] = Happening{Clamp(offset, 0, last), n, true, id, value, IMidiMsg()};
        ++n;
      }
    }
  }
  if (vst3::IEventList* events = data.inputEvents) {
    vst3::Event e;
    for (int i = 0, ne = events->getEventCount(); i < ne && n < kMaxHappenings; ++i) {
      IMidiMsg msg;
      if (events->getEvent(i, e) != vst3::kResultOk || e.busIndex != 0 || !NoteMessage(e, &msg)) continue;
      mHappenings[n] = Happening{Clamp(e.sampleOffset, 0, last), kNoteOrderBase + n, false, 0, 0.0, msg};
      ++n;
    }
  }
  std::sort(mHappenings, mHappenings + n, [](const Happening& a, const Happening& b) {
    return a.mOffset != b.mOffset ? a.mOffset < b.mOffset : a.mOrder < b.mOrder;
  });
  return n;
}

void IPluginVST3::TakeParamPoint(const Happening& point, int offset, bool locked) {
  if (IsPluginParam(point.mParam)) {
    if (locked) {
      ApplyHostValue((int)point.mParam, point.mValue);
    } else {
      mHeldValues.Get()[point.mParam] = point.mValue;
      mAnyHeld = true;
    }
    return;
  }
  const IMidiMsg msg = ControlChangeFor(point.mParam, point.mValue, 0);
  if (locked)
    DeliverControlChange(msg, offset);
  else if (mNHeldControlChanges < kMaxHeldControlChanges)
    mHeldControlChanges[mNHeldControlChanges++] = msg;
}

void IPluginVST3::ApplyHeldChanges() {
  if (mAnyHeld) {
    for (int i = 0; i < NParams(); ++i) {
      double& held = mHeldValues.Get()[i];
      if (std::isnan(held)) continue;
      ApplyHostValue(i, held);
      held = NAN;
    }
    mAnyHeld = false;
  }
  for (int i = 0; i < mNHeldControlChanges; ++i) DeliverControlChange(mHeldControlChanges[i], 0);
  mNHeldControlChanges = 0;
}

void IPluginVST3::DeliverControlChange(const IMidiMsg& msg, int offset) {
  const int nParams = NParams();
  double* before = mValuesBeforeControlChange.Get();
  for (int i = 0; i < nParams; ++i) before[i] = GetParam(i)->Value();
  IMidiMsg delivered = msg;
  ProcessMidiMsg(&delivered);
  if (!mOutputChanges) return;
  for (int i = 0; i < nParams; ++i) {
    if (GetParam(i)->Value() == before[i]) continue;
    vst3::int32 index = 0;
    const vst3::ParamID id = (vst3::ParamID)i;
    if (vst3::IParamValueQueue* queue = mOutputChanges->addParameterData(id, index))
      queue->addPoint(offset, GetParam(i)->GetNormalized(), index);
  }
}

void IPluginVST3::RenderPieces(vst3::ProcessData& data, int nFrames, int count, bool locked) {
  vst3::AudioBusBuffers& out = data.outputs[0];
  const bool doubles = data.symbolicSampleSize == vst3::kSample64;
  const int blockSize = GetBlockSize();
  int h = 0;
  for (int pos = 0; pos < nFrames && blockSize > 0;) {
    int end = std::min(nFrames, pos + blockSize);
    for (; h < count; ++h) {
      const Happening& x = mHappenings[h];
      if (x.mOffset >= end) break;
      if (!x.mIsParam) {
        IMidiMsg msg = x.mMsg;
        msg.mOffset = x.mOffset - pos;
        ProcessMidiMsg(&msg);
      } else if (x.mOffset > pos) {
        end = x.mOffset;  // the piece ends where the next change lands
        break;
      } else {
        TakeParamPoint(x, pos, locked);
      }
    }
    RenderPiece(out, doubles, pos, end - pos);
    pos = end;
  }
  out.silenceFlags = 0;
}

void IPluginVST3::RenderPiece(vst3::AudioBusBuffers& out, bool doubles, int from, int n) {
  const int nOut = NOutChannels();
  const int fromHost = std::min(out.numChannels, nOut);
  const size_t scratch = (size_t)GetBlockSize();
  if (doubles) {
    for (int c = 0; c < nOut; ++c) {
      double* host = c < fromHost && out.channelBuffers64 ? out.channelBuffers64[c] : nullptr;
      mDoublePiece.Get()[c] = host ? host + from : mDoubleScratch.Get() + c * scratch;
    }
    AttachOutputBuffers(0, nOut, mDoublePiece.Get());
    ProcessBuffers(0.0, n);
  } else {
    for (int c = 0; c < nOut; ++c) {
      float* host = c < fromHost && out.channelBuffers32 ? out.channelBuffers32[c] : nullptr;
      mFloatPiece.Get()[c] = host ? host + from : mFloatScratch.Get() + c * scratch;
    }
    AttachOutputBuffers(0, nOut, mFloatPiece.Get());
    ProcessBuffers(0.0f, n);
  }
}

vst3::tresult IPluginVST3::process(vst3::ProcessData& data) {
  CheckAudioThreadEntry();
  const int nFrames = data.numSamples > 0 ? data.numSamples : 0;
  const int generation = mStateGeneration.load(std::memory_order_acquire);
  if (generation != mHeldGeneration) {
    // What was held predates a restored state, which wins over it.
    for (int i = 0; i < NParams(); ++i) mHeldValues.Get()[i] = NAN;
    mAnyHeld = false;
    mNHeldControlChanges = 0;
    mHeldGeneration = generation;
  }
  const int count = GatherHappenings(data, nFrames);
  bool anyParam = mAnyHeld || mNHeldControlChanges > 0;
  for (int i = 0; i < count && !anyParam; ++i) anyParam = mHappenings[i].mIsParam;
  // Most blocks change nothing and leave the mutex alone; the others only
  // try it, and what finds it busy waits for a later block.
  const bool locked = anyParam && GetMutex()->TryEnter();
  mOutputChanges = data.outputParameterChanges;
  if (locked) ApplyHeldChanges();
  const bool canRender = nFrames > 0 && data.numOutputs > 0 && data.outputs && data.outputs[0].numChannels > 0;
  if (canRender) {
    RenderPieces(data, nFrames, count, locked);
  } else {
    for (int i = 0; i < count; ++i)
      if (mHappenings[i].mIsParam) TakeParamPoint(mHappenings[i], 0, locked);
  }
  mOutputChanges = nullptr;
  if (locked) GetMutex()->Leave();
  return vst3::kResultOk;
}
