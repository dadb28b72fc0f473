#pragma once
// Renders with the instrument loaded through an Audio Unit host, as a DAW
// plays it: prepare sets the rate, the stereo output format and the maximum
// frames and initializes; before each block the parameter changes and the
// block's note-ons (as MIDI with their sample offsets) go to the unit; then
// one render call per block. Borrows an open host. Called from one thread.

#include <vector>

#include "Renderer.h"
#include "host/AUHost.h"

class HostRenderer : public Renderer {
public:
  explicit HostRenderer(AUHost* host) : mHost(host) {}

  bool prepare(double sampleRate, int maxBlockSize, const char** error) override;
  void setParameter(int index, double value) override;
  void noteOn(int offset, int note, int velocity) override;
  void process(double** outputs, int frames) override;

  // The first error a call answered (noErr while all went well); a failed
  // render leaves silence in its block.
  OSStatus firstError() const { return mFirstError; }

private:
  void note(OSStatus status) {
    if (mFirstError == noErr) mFirstError = status;
  }

  AUHost* mHost;
  std::vector<float> mLeft;
  std::vector<float> mRight;
  OSStatus mFirstError = noErr;
};
