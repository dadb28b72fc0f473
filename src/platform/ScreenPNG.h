#pragma once
// Writes a raster bitmap as an opaque 8-bit RGB PNG file (what a screen
// shows has no transparency). Any thread, one bitmap at a time.

class PIX_IBitmap;
class KIT_String;

// False, with the reason in error when given, when the bitmap is empty or
// the file cannot be written; a partly written file is removed.
bool WriteBitmapPNG(PIX_IBitmap* bitmap, const char* path, KIT_String* error = nullptr);
