// The instrument's editor glue: building the editor (construction step 4),
// moving the velocity rings and writing the value display. Everything here
// depends on the editor's control classes; without an editor the pointers
// stay null and these calls do nothing.

#include "graphics/ITextControls.h"
#include "tonnik/Tonnik.h"

// The editor is not part of this build yet: the instrument runs headless,
// with no value display, LED, learn/clear switches or rings.
void Tonnik::BuildEditor() {}

void Tonnik::PushRing(ERing ring, bool spanChanged) {
  if (!mRings[ring]) return;
}

// Called from the render thread: the display's text hand-over neither locks
// nor allocates and never touches the text a draw is reading.
void Tonnik::ShowValueText(const char* text) {
  if (mValueDisplay) mValueDisplay->SetTextFromPlug(text);
}
