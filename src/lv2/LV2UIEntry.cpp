// The exported entry of the plug-in's LV2 UI, in the same shared object as
// the plug-in (instance access hands the UI the plug-in itself).

#include "lv2/IPluginLV2UI.h"

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return LV2UIDescriptor(index);
}
