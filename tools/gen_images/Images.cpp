#include "Images.h"

DrawImageFn DrawFunctionOf(ImageId id) {
  static const DrawImageFn kFunctions[kImageCount] = {
      DrawBackground, DrawKnob,        DrawKnobSmall, DrawToggle,     DrawLearn,        DrawClear,
      DrawDriveEnv,   DrawGlideMode,   DrawTrigger,   DrawTriggerLed, DrawRingPositive, DrawRingNegative,
  };
  return kFunctions[id];
}
