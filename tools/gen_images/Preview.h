#pragma once
// A picture of the finished editor for looking at the images: the panel with
// every control pasted at its place, the rings turned as the ring control
// turns them, and a value in the display. Two states side by side, and a
// three times enlarged close-up next to it (<name>-zoom.png). Reads the
// images from `imageDir`; not part of the resources.

// False when an image is missing or the preview cannot be written.
bool WritePreview(const char* imageDir, const char* path);
