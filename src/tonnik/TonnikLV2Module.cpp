// The LV2 bundle's shared object is the instrument's LV2 library linked
// whole; its one exported entry, lv2_descriptor, is in TonnikLV2Entry.cpp.
