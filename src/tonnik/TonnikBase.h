#pragma once
// The host-format adapter the instrument derives from, chosen when the
// instrument's library is built: the Audio Unit adapter by default, the LV2
// adapter when TONNIK_FORMAT_LV2 is defined (the tonnik_lv2 library), the
// VST 3 adapter when TONNIK_FORMAT_VST3 is (tonnik_vst3), the CLAP adapter
// when TONNIK_FORMAT_CLAP is (tonnik_clap). All take the same
// constructor arguments, so the instrument's code is the same in every
// format.

#if defined(TONNIK_FORMAT_LV2)
#include "lv2/IPluginLV2.h"
using TonnikBase = IPluginLV2;
#elif defined(TONNIK_FORMAT_VST3)
#include "vst3/IPluginVST3.h"
using TonnikBase = IPluginVST3;
#elif defined(TONNIK_FORMAT_CLAP)
#include "clap/IPluginCLAP.h"
using TonnikBase = IPluginCLAP;
#else
#include "au/IPluginAU.h"
using TonnikBase = IPluginAU;
#endif
