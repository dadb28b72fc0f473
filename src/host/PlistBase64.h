#pragma once
// Base64 as property lists carry <data>: the standard alphabet with "="
// padding. Decoding skips white space (files wrap the text in lines) and
// refuses anything else outside the alphabet, misplaced padding and a
// length that is not a whole number of groups. Any thread.

#include <cstddef>
#include <string>
#include <vector>

#include "au/apple/MacTypes.h"

std::string PlistBase64Encode(const UInt8* bytes, size_t size);
// False (bytes untouched) for malformed text.
bool PlistBase64Decode(const char* text, size_t size, std::vector<UInt8>* bytes);
