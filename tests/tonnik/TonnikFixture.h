#pragma once
// A headless instrument set up as a host would before rendering: sample
// rate, block size, Reset, and every parameter applied. Blocks render into
// two owned channels of doubles, or of floats as a float host has them.

#include <vector>

#include "plugin/IMidiMsg.h"
#include "tonnik/Tonnik.h"

class TonnikRig {
public:
  explicit TonnikRig(double sampleRate = 48000, int blockSize = 512)
      : mPlug(MakeInfo()), mLeft(blockSize), mRight(blockSize), mLeftFloat(blockSize), mRightFloat(blockSize) {
    mPlug.SetSampleRate(sampleRate);
    mPlug.SetBlockSize(blockSize);
    mPlug.Reset();
    mPlug.OnParamReset();
  }

  Tonnik& Plug() { return mPlug; }
  // The voice once the render thread has taken what was posted to it (an
  // empty block).
  const Krummel& Voice() {
    Render(0);
    return mPlug.GetVoice();
  }

  // Renders one block of n samples (at most the block size).
  void Render(int n) {
    double* outs[2] = {mLeft.data(), mRight.data()};
    mPlug.ProcessDoubleReplacing(nullptr, outs, n);
  }
  const std::vector<double>& Left() const { return mLeft; }
  const std::vector<double>& Right() const { return mRight; }
  // The same through the float render; oneBuffer gives both outputs the
  // left channel's buffer.
  void RenderFloat(int n, bool oneBuffer = false) {
    float* outs[2] = {mLeftFloat.data(), oneBuffer ? mLeftFloat.data() : mRightFloat.data()};
    mPlug.ProcessSingleReplacing(nullptr, outs, n);
  }
  const std::vector<float>& LeftFloat() const { return mLeftFloat; }
  const std::vector<float>& RightFloat() const { return mRightFloat; }

  void NoteOn(int note, int velocity, int offset, int channel = 0) {
    IMidiMsg msg;
    msg.MakeNoteOnMsg(note, velocity, offset, channel);
    mPlug.ProcessMidiMsg(&msg);
  }
  void ControlChange(int cc, int value, int offset = 0, int channel = 0) {
    IMidiMsg msg(offset, static_cast<uint8_t>(0xB0 | channel), static_cast<uint8_t>(cc),
                 static_cast<uint8_t>(value));
    mPlug.ProcessMidiMsg(&msg);
  }
  // A host parameter set: the plain value, then the notification.
  void SetParam(int idx, double value) {
    mPlug.GetParam(idx)->Set(value);
    mPlug.OnParamChange(idx);
  }
  // A control moved in the editor.
  void SetParamFromGUI(int idx, double normalized) { mPlug.SetParameterFromGUI(idx, normalized); }

  static IPluginInstanceInfo MakeInfo() {
    IPluginInstanceInfo info;
    info.mBundleID.Set("com.velmora.audiounit.tonnik");
    info.mCocoaViewFactoryClassName.Set("Tonnik_View");
    return info;
  }

private:
  Tonnik mPlug;
  std::vector<double> mLeft;
  std::vector<double> mRight;
  std::vector<float> mLeftFloat;
  std::vector<float> mRightFloat;
};
