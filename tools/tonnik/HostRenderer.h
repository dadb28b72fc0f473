#pragma once
// Renders with the instrument loaded through an Audio Unit host, as a DAW
// plays it: prepare sets the rate, the stereo output format and the maximum
// frames and initializes; before each block the parameter changes and the
// block's note-ons (as MIDI with their sample offsets) go to the unit; then
// one render call per block. A second prepare with the same rate and block
// size leaves the initialized unit as it is, so settings made between the two
// (such as learning a controller, which the unit's start-up would undo) stay.
// Borrows an open host. Called from one thread.

#include <vector>

#include "Renderer.h"
#include "host/AUHost.h"

class HostRenderer : public Renderer {
public:
  explicit HostRenderer(AUHost* host) : mHost(host) {}

  bool prepare(double sampleRate, int maxBlockSize, const char** error) override;
  void setParameter(int index, double value) override;
  void noteOn(int offset, int note, int velocity) override;
  void midi(int offset, unsigned char status, unsigned char data1, unsigned char data2) override;
  void process(double** outputs, int frames) override;

  // The first error a call answered (noErr while all went well); a failed
  // render leaves silence in its block.
  OSStatus firstError() const { return mFirstError; }

private:
  void note(OSStatus status) {
    if (mFirstError == noErr) mFirstError = status;
  }

  AUHost* mHost;
  double mPreparedRate = 0;  // 0 until prepared
  int mPreparedBlockSize = 0;
  std::vector<float> mLeft;
  std::vector<float> mRight;
  OSStatus mFirstError = noErr;
};
