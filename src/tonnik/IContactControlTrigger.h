#pragma once
// The editor's trigger button: a press plays the voice as a MIDI hit at
// note 33 with the last velocity would, and lights the trigger LED. The
// button itself stays at value 0, so it always shows its first frame.
//
// The press happens on the editor's thread while the audio thread renders
// the voice, so the button does not touch the voice or the counters itself:
// it hands the hit to the instrument (Tonnik::TriggerFromEditor), and the
// audio thread restarts the voice, lights the LED and restarts the
// samples-since-hit count at the start of its next block. The constructor
// takes the voice and counter pointers as the instrument hands them over,
// but the button keeps none of them.
//
// Ownership: made by the instrument, owned by the editor.
// Threads: main thread.

#include <atomic>

#include "graphics/IBitmapControls.h"

class Krummel;

class IContactControlTrigger : public IContactControl {
public:
  IContactControlTrigger(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap, int ledIdx,
                         Krummel* voice, std::atomic<int>* samplesSinceHit, std::atomic<int>* ledState);
  ~IContactControlTrigger() override;

  // Hands a hit to the instrument; the base switch handling is not called,
  // so the button's value stays 0. A double click hits again.
  void OnMouseDown(int x, int y, IMouseMod* mod) override;

  int GetLEDIndex() const { return mLEDIdx; }

private:
  int mLEDIdx;
};
