// The editor in use while a host renders: the main thread clicks the
// trigger, turns a knob and refreshes while the audio thread renders,
// takes the trigger's hits, moves the LED and writes the value display for
// a learned controller. Meant for ThreadSanitizer (make check-thread).

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "EditorRig.h"

namespace {

TEST(TonnikEditorThreads, EditorInUseWhileTheAudioThreadRenders) {
  EditorRig rig;
  // Controller 21 learned for Tone: each control change writes the display.
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 1.0);
  rig.SetParamFromGUI(Tonnik::kTone, 0.3);
  rig.ControlChange(21, 10);
  rig.SetParamFromGUI(Tonnik::kMidiLearn, 0.0);
  ASSERT_EQ(rig.Plug().GetController(Tonnik::kTone), 21);

  std::atomic<bool> done{false};
  std::thread audio([&] {
    for (int b = 0; b < 400; ++b) {
      if (b % 5 == 0) rig.ControlChange(21, b % 128);
      rig.Render(64);
    }
    done = true;
  });
  // The editor keeps working at least a few rounds even when the audio thread
  // is done before the main thread gets going.
  int presses = 0;
  do {
    rig.Click(150, 475);
    rig.Wheel(70, 290, presses % 2 ? 1 : -1);
    rig.Tick();
    // What the editor's side may read of the LED timing while it renders.
    EXPECT_GE(rig.Plug().GetLEDState() + rig.Plug().GetSamplesSinceHit(), 0);
    ++presses;
  } while (!done || presses < 4);
  audio.join();
  rig.Render(64);
  EXPECT_LE(rig.Plug().GetSamplesSinceHit(), 400 * 64 + 64);
  EXPECT_FALSE(rig.DisplayText().empty());
}

}  // namespace
