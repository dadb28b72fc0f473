#pragma once
// The LV2 descriptor of the product (LV2Product.h) built on this adapter.
// The product exports lv2_descriptor and forwards to LV2Descriptor, so that
// linking its entry brings in both the product and the adapter.
//
// Threads: any (the descriptor is a constant made on first use).

#include <cstdint>

#include "lv2/core/lv2.h"

// Index 0 is the product's plug-in; null for any other index.
const LV2_Descriptor* LV2Descriptor(uint32_t index);
