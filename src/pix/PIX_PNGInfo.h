#pragma once
// The size of a PNG image read from its header alone, without decoding it:
// what a caller needs to lay an image out before (or without ever) paying
// for its pixels. Any thread.

// True with the image's width and height in pixels when the file starts
// with a PNG signature and a well-formed header chunk; false (w and h
// untouched) for a missing, short or non-PNG file, with a one-line reason
// (a constant string) in *reason when reason is given.
bool PIX_ReadPNGSize(const char* filename, int* w, int* h, const char** reason = nullptr);
