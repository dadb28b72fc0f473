#pragma once
// Base64 as property lists carry <data>: the framework's encoder, and its
// strict decoder behind a layer that skips white space (files wrap the text
// in lines). Anything else outside the alphabet, misplaced padding, set
// unused bits and a length that is not a whole number of groups are refused.
// Any thread.

#include <cstddef>
#include <string>
#include <vector>

#include "au/apple/MacTypes.h"

std::string PlistBase64Encode(const UInt8* bytes, size_t size);
// False (bytes untouched) for malformed text.
bool PlistBase64Decode(const char* text, size_t size, std::vector<UInt8>* bytes);
