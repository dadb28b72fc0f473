#pragma once
// Looking up what a host passes in an LV2 feature array (the plug-in's and
// the UI's instantiate). Any thread; nothing is kept.

#include "lv2/core/lv2.h"

// The data of the feature named uri (of the last one, should a host pass it
// twice), or null when the host passes none; a null array has none.
void* LV2FeatureData(const LV2_Feature* const* features, const char* uri);
