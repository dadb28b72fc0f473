#pragma once
// Where the editor's images are found: the folder that plays the role of a
// bundle's Contents/Resources. Main thread.

// The folder set by SetTonnikResourceDir if any, else the environment
// variable TONNIK_RESOURCE_DIR when set and non-empty, else the folder
// compiled in. The pointer stays valid until the next SetTonnikResourceDir.
const char* TonnikResourceDir();
// Overrides the folder; null or "" returns to the environment/default.
void SetTonnikResourceDir(const char* dir);
