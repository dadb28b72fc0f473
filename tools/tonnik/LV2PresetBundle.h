#pragma once
// tonnik save-preset --lv2: the open unit's state written as an LV2 preset
// bundle that hosts load (Ardour, jalv, any lilv host). The state and the
// parameter values come from the Audio Unit (so --preset and --set work as
// for .aupreset files); the LV2 plug-in, found through LV2_PATH (or the
// build's bundle), takes the state through its state interface, and lilv
// writes the bundle: manifest.ttl and NAME.ttl with the port values and the
// state property. Main thread.

#include <string>

#include "host/AUHost.h"

// The preset's name from its bundle folder: the last path component
// without ".lv2" ("~/.lv2/deep-kick.lv2" is "deep-kick").
std::string LV2PresetName(const std::string& dir);

// Writes the bundle into dir (created when missing). False with a message.
bool SaveLV2PresetBundle(AUHost* host, const std::string& dir, std::string* error);
