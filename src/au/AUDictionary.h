#pragma once
// Typed access to the host's state dictionary (string keys). Getters treat a
// value of the wrong CF type as absent and answer false. Main thread.

#include "au/apple/CoreFoundation.h"

class ByteChunk;

void PutNumberInDict(CFMutableDictionaryRef dict, const char* key, const void* value, CFNumberType type);
void PutStrInDict(CFMutableDictionaryRef dict, const char* key, const char* text);
// Copies the chunk's bytes.
void PutDataInDict(CFMutableDictionaryRef dict, const char* key, const ByteChunk* chunk);

// False also when the number does not convert to the type exactly.
bool GetNumberFromDict(CFDictionaryRef dict, const char* key, void* value, CFNumberType type);
// Copies at most textSize - 1 bytes and a terminator; a longer text is cut.
bool GetStrFromDict(CFDictionaryRef dict, const char* key, char* text, int textSize);
// Resizes the chunk to the data's length and copies the bytes; false (chunk
// untouched) when the data does not fit a chunk.
bool GetDataFromDict(CFDictionaryRef dict, const char* key, ByteChunk* chunk);
