#pragma once
// Something that turns instrument events into blocks of stereo samples, the way a host drives
// the instrument: prepare once, then before each block any parameter changes and the block's
// note-ons and other MIDI messages (with their sample offset in the block), then process the
// block.
// Implementations own whatever they render with. Called from one thread.

class Renderer {
public:
  virtual ~Renderer() = default;

  // Returns false with a message when the renderer cannot run at this rate or block size.
  virtual bool prepare(double sampleRate, int maxBlockSize, const char** error) = 0;
  virtual void setParameter(int index, double value) = 0;
  virtual void noteOn(int offset, int note, int velocity) = 0;
  // A channel message as a host hands it over (status with its channel, two data bytes).
  virtual void midi(int offset, unsigned char status, unsigned char data1, unsigned char data2) = 0;
  // Writes frames samples to outputs[0] and outputs[1].
  virtual void process(double** outputs, int frames) = 0;
};
