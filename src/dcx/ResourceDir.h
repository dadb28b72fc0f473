#pragma once
// Where the editor's images are found: the folder that plays the role of a
// bundle's Contents/Resources. Main thread.

// The folder set by SetTonnikResourceDir if any, else the environment
// variable TONNIK_RESOURCE_DIR when set and non-empty, else the folder
// compiled in. The pointer stays valid until the next SetTonnikResourceDir.
const char* TonnikResourceDir();
// Overrides the folder; null or "" returns to the environment/default.
void SetTonnikResourceDir(const char* dir);

class KIT_String;

// The name of an image drawn at `scale` device pixels per editor pixel, kept
// beside the scale-1 image: "resources/img/knob.png" at 2 is
// "resources/img/knob@2x.png"; at 1 the name itself. False (out untouched)
// for a null name, one without an extension, or a scale below 1.
bool ScaledImageName(const char* name, int scale, KIT_String* out);
