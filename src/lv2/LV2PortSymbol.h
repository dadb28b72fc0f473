#pragma once
// The LV2 symbol of a control port, derived from its parameter's name:
// lowercase, each run of characters other than ASCII letters and digits
// becomes one '_' ("MIDI Tune" is midi_tune, "Glide Mode" glide_mode,
// "DynDecay" dyndecay); a name that would start with a digit, or is empty,
// gets a leading '_' so the symbol is a valid one. Any thread.

// Writes the symbol into out (outSize bytes, terminator included); false
// when it does not fit.
bool LV2PortSymbol(const char* name, char* out, int outSize);
