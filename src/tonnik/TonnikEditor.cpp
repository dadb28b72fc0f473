// The instrument's editor glue: building the editor (construction step 4),
// moving the velocity rings and writing the value display. Everything here
// depends on the editor's control classes; without an editor the pointers
// stay null and these calls do nothing.

#include "tonnik/Tonnik.h"

// The editor is not part of this build yet: the instrument runs headless,
// with no value display, LED, learn/clear switches or rings.
void Tonnik::BuildEditor() {}

void Tonnik::PushRing(ERing ring, bool spanChanged) {
  if (!mRings[ring]) return;
}

void Tonnik::ShowValueText(const char* text) {
  if (!mValueDisplay) return;
}
