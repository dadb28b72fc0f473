#pragma once
// The record behind a font HGDIOBJ and the shared FreeType state. Not part
// of the public interface.

#include <ft2build.h>
#include FT_FREETYPE_H

#include "dcx/DCX.h"
#include "kit/KIT_String.h"

struct DCX_Object {
  // Frees the face; deleted only with the FreeType library's lock held.
  ~DCX_Object();

  FT_Face face = nullptr;  // owned; sized to the font's pixel size
  KIT_String family;      // face actually used
  KIT_String path;        // its file
  TEXTMETRIC metrics;
  bool mono;              // render without anti-aliasing
  bool underline;
  bool strikeOut;
  int underlinePos;       // rows below the baseline
  int lineThickness;      // rows
};

// Loads and renders one character's glyph in the font's slot; false when
// the face has no glyph for it and no fallback box can be drawn.
bool DCX_RenderGlyph(DCX_Object* font, unsigned code);
