#pragma once
// Base64 with the standard alphabet and "=" padding: presets carried as text
// in source code, and the <data> of property lists. Plain functions on
// caller-owned buffers; no allocation. Any thread.

// Writes the NUL-terminated text of 4 * ceil(inSize / 3) characters to out.
// Returns the characters written.
int base64encode(const unsigned char* in, char* out, int inSize);
// Decodes until the first character outside the alphabet (padding, the
// terminator); writes at most outSize bytes. Returns the bytes written.
int base64decode(const char* in, unsigned char* out, int outSize);
// Decodes exactly `size` characters that must be whole groups of four, with
// "=" only as the padding of the last group and the bits a padded group does
// not use all zero, so every byte string has exactly one accepted text.
// Returns the bytes written, or -1 (nothing written) when the text is
// malformed or its bytes would not fit outSize; size / 4 * 3 always fits.
int base64decodeStrict(const char* in, int size, unsigned char* out, int outSize);
