#pragma once
// Renders straight with the kick voice: applies parameters as the instrument does and starts
// a hit at each note-on's exact sample (a raw note-on on any channel too; it has no
// controller map, so control changes do nothing here). Owns its voice. Called from one thread.

#include <vector>

#include "Renderer.h"
#include "kick/Krummel.h"

class VoiceRenderer : public Renderer {
public:
  bool prepare(double sampleRate, int maxBlockSize, const char** error) override;
  void setParameter(int index, double value) override;
  void noteOn(int offset, int note, int velocity) override;
  void midi(int offset, unsigned char status, unsigned char data1, unsigned char data2) override;
  void process(double** outputs, int frames) override;

private:
  struct Hit {
    int offset;
    int note;
    int velocity;
  };

  Krummel voice;
  std::vector<Hit> pending;  // in arrival order
};
