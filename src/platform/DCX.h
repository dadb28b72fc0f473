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
