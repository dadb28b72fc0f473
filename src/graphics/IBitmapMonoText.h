#pragma once
// Text from a monospaced bitmap font: frame k (1-based) of the font strip
// shows the character with code k + 31, so frame 1 is the space. Rows are
// charHeight tall; a text longer than a row continues on the next one.
// Main thread, while the editor draws.

#include "graphics/IGraphicsStructs.h"

class IGraphics;

// Draws str into r: vertically centred when vCentre, horizontally centred
// for centred text styles, otherwise indented by one cell. r must be wider
// than two cells (checked: the program stops otherwise).
void DrawBitmapedText(IGraphics* graphics, IBitmap* font, IRECT* r, IText* text, IChannelBlend* blend,
                      const char* str, bool vCentre, bool wrap, int charWidth, int charHeight);
