#pragma once
// The instrument as the tonnik command loads it: its component entry and
// description, and the host-side operations the commands share (opening it,
// loading and saving .aupreset files). Main thread.

#include <string>
#include <vector>

#include "host/AUHost.h"

// The instrument's component description: a music device 'Tnk4' by '-VL-'.
ComponentDescription InstrumentDescription();
// The name a host shows for it.
const char* InstrumentName();
// Whether it plays at a sample rate; it refuses any other.
bool InstrumentPlaysAt(double sampleRate);

// The component entry the host loads it through.
ComponentRoutineUPP InstrumentEntry();

// Reads an .aupreset file, checks that it is the instrument's and restores
// it into the open unit. False with a message naming the file.
bool LoadPresetFile(AUHost* host, const std::string& path, std::string* error);
// Saves the unit's state as an .aupreset file; bytes receives the size of
// the state chunk ("data"). False with a message naming the file.
bool SavePresetFile(AUHost* host, const std::string& path, long* bytes, std::string* error);
