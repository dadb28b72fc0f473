#pragma once
// A small stand-in for a Windows-style device-context and font interface.
// The raster library draws into memory contexts created here, and its cached
// font draws text through the font calls, which are rendered with FreeType
// from a face chosen by fontconfig.
//
// Ownership: whoever creates a context or a font deletes it
// (DCX_DeleteContext, DeleteObject). A font selected into a context must
// outlive that selection.
// Threads: a context and the fonts selected into it are used by one thread
// at a time (the editor's main thread); library set-up is done once for the
// whole process and is safe from any thread.

#include <cstdint>

// Rectangle with exclusive right and bottom edges.
struct RECT {
  int left;
  int top;
  int right;
  int bottom;
};

typedef struct DCX_Context* HDC;
typedef struct DCX_Object* HGDIOBJ;
typedef HGDIOBJ HFONT;
// A colour as 0x00RRGGBB.
typedef uint32_t COLORREF;

// Memory contexts --------------------------------------------------------

// Creates a context whose frame buffer holds width x height 32-bit pixels
// (alpha in bits 0-7, red 8-15, green 16-23, blue 24-31), rows of exactly
// `width` pixels, top row first, 64-byte aligned and cleared to 0. Returns
// null for a non-positive or too large size or when memory runs out.
// Any thread.
HDC DCX_CreateMemContext(int width, int height);
// The first pixel of the frame buffer, or null for a null context.
uint32_t* DCX_GetCtxFrameBuffer(HDC dc);
int DCX_GetCtxWidth(HDC dc);
int DCX_GetCtxHeight(HDC dc);
// Deletes the context and its frame buffer; a selected font is not deleted.
void DCX_DeleteContext(HDC dc);

// Fonts ------------------------------------------------------------------

enum {
  FW_NORMAL = 400,
  FW_BOLD = 700,
};

// CreateFont quality.
enum {
  DEFAULT_QUALITY = 0,
  NONANTIALIASED_QUALITY = 3,  // FreeType mono rendering
  ANTIALIASED_QUALITY = 4,
};

// SetBkMode.
enum {
  TRANSPARENT = 1,
  OPAQUE = 2,
};

// DCX_DrawText format flags.
enum {
  DT_TOP = 0x0,
  DT_LEFT = 0x0,
  DT_CENTER = 0x1,
  DT_RIGHT = 0x2,
  DT_VCENTER = 0x4,
  DT_BOTTOM = 0x8,
  DT_SINGLELINE = 0x20,
  DT_NOCLIP = 0x100,
  DT_CALCRECT = 0x400,
  DT_NOPREFIX = 0x800,
};

// Text metrics in pixels.
struct TEXTMETRIC {
  int tmHeight;  // ascent + descent: the line height
  int tmAscent;
  int tmDescent;
  int tmInternalLeading;
  int tmExternalLeading;
  int tmAveCharWidth;
  int tmMaxCharWidth;
  int tmWeight;
  int tmItalic;
};

// Starts the font library's one-time set-up (fontconfig reading the
// system's font configuration, several milliseconds) on a helper
// thread and returns at once, so that it runs while the caller does other
// work; the first CreateFont waits for it to finish. Calls after the first
// do nothing. Any thread.
void DCX_StartFontLibrary();
// True once the font library's set-up has been started, by the call above
// or by a first font. Any thread.
bool DCX_FontLibraryStarted();
// A font whose face fontconfig picks as the best installed match for the
// face name, weight and italic flag. A positive height is the cell height
// (ascent + descent), a negative one the character (em) height, 0 a default.
// Width, escapement, orientation, character set, precisions and pitch are
// accepted and not used: text runs left to right. Returns null when no face
// can be loaded. Main thread.
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, unsigned long italic,
                 unsigned long underline, unsigned long strikeOut, unsigned long charSet, unsigned long outPrecision,
                 unsigned long clipPrecision, unsigned long quality, unsigned long pitchAndFamily,
                 const char* faceName);
// The family name and file of the face actually used ("" for null).
const char* DCX_GetFontFaceName(HGDIOBJ font);
const char* DCX_GetFontFilePath(HGDIOBJ font);
// Deletes a font; false for null. It must not be selected anywhere.
bool DeleteObject(HGDIOBJ object);

// Context state --------------------------------------------------------

// Selects a font into the context and returns the one selected before.
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Metrics of the selected font; false without a context or font.
bool GetTextMetrics(HDC dc, TEXTMETRIC* metrics);
// Each returns the previous value.
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF SetBkColor(HDC dc, COLORREF color);
int SetBkMode(HDC dc, int mode);

// Draws UTF-8 text (length -1: up to the terminator) with the selected font
// into the rectangle: aligned by the DT_ flags, lines broken at '\n',
// clipped to the rectangle unless DT_NOCLIP and always to the frame buffer.
// Without DT_NOPREFIX an '&' is dropped ("&&" shows one). Glyph coverage
// blends the text colour into the pixels, which are left opaque; OPAQUE
// background mode first fills the text's cells with the background colour.
// DT_CALCRECT only measures: right and bottom become left + width and
// top + height. Returns the text height, 0 without a context or font.
int DCX_DrawText(HDC dc, const char* text, int length, RECT* rect, unsigned format);
