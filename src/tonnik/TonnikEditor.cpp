// The instrument's editor glue: building the editor (construction step 4),
// moving the velocity rings and writing the value display. Without an
// editor the pointers stay null and these calls do nothing.

#include "tonnik/Tonnik.h"

#include "graphics/IGraphics.h"
#include "graphics/ITextControls.h"
#include "platform/GraphicsFactory.h"
#include "tonnik/PotiCircle.h"
#include "tonnik/TonnikLayout.h"

void Tonnik::BuildEditor() {
  IGraphics* graphics = MakeGraphics(this, GetBundleID(), kTonnikEditorWidth, kTonnikEditorHeight, 0);
  TonnikLayout layout = BuildTonnikLayout(graphics, this, &mVoice, &mSamplesSinceHit, &mLEDState);
  for (int i = 0; i < kNumRings; ++i) mRings[i] = layout.mRings[i];
  mLEDIndex = layout.mLEDIndex;
  mLearnSwitchIdx = layout.mLearnSwitchIdx;
  mClearSwitchIdx = layout.mClearSwitchIdx;
  mValueDisplay = layout.mValueDisplay;
  AttachGraphics(graphics);
}

void Tonnik::PushRing(ERing ring, bool spanChanged) {
  PotiCircle* poti = mRings[ring];
  if (!poti) return;
  poti->SetCentreAngle(mRingCentre[ring]);
  poti->SetSpan(mRingSpan[ring]);
  if (spanChanged) poti->SetDirty(false);
}

// Called from the render thread: the display's text hand-over neither locks
// nor allocates and never touches the text a draw is reading.
void Tonnik::ShowValueText(const char* text) {
  if (mValueDisplay) mValueDisplay->SetTextFromPlug(text);
}
