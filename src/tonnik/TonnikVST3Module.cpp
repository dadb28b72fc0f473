// The VST 3 bundle's shared object is the instrument's VST 3 library linked
// whole; its exported entry points are in TonnikVST3Entry.cpp.
