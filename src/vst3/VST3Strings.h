#pragma once
// Text across the VST 3 interface: its strings are UTF-16, the plug-in's are
// 8-bit. The plug-in's names, labels and display texts are ASCII; other
// bytes and characters become '?'.

#include "vst3/VST3Interfaces.h"

// Copies text into a UTF-16 field of capacity characters, cut to fit and
// always terminated.
void CopyToUTF16(vst3::char16* out, int capacity, const char* text);
// Copies a terminated UTF-16 string into out (capacity bytes), cut to fit
// and always terminated.
void CopyFromUTF16(char* out, int capacity, const vst3::char16* text);
// Copies text into an 8-bit field of capacity bytes, cut and terminated.
void CopyToField(char* out, int capacity, const char* text);
