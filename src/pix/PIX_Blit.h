#pragma once
// Copying, scaling, rotating and filling pixels with the combine modes.
// All functions take null bitmaps, empty clipped areas and zero weights
// without effect; they run on whichever thread owns the bitmaps.
//
// Combine modes (`mode`): the low byte selects the formula - 0 copy, 1 add,
// 2 colour dodge, 3 multiply, 4 overlay, 5 HSV adjust, 0xF0-0xFF channel
// copy (blits only: source byte (mode & 3) into destination byte
// ((mode >> 2) & 3), bytes in memory order). 0x100 asks for bilinear
// filtering (scaled and rotated blits); 0x10000 weights each source pixel by
// its own alpha. The weight `alpha` (1.0 = full) becomes w = alpha x 256.

#include "dcx/DCX.h"
#include "pix/PIX_Bitmap.h"

enum {
  PIX_MODE_COPY = 0,
  PIX_MODE_ADD = 1,
  PIX_MODE_DODGE = 2,
  PIX_MODE_MULTIPLY = 3,
  PIX_MODE_OVERLAY = 4,
  PIX_MODE_HSV = 5,
  PIX_MODE_CHANNEL_COPY = 0xF0,
  PIX_MODE_FILTER_BILINEAR = 0x100,
  PIX_MODE_SOURCE_ALPHA = 0x10000,
};

// The source rectangle (srcx, srcy, srcx + srcw, srcy + srch) to (dstx, dsty).
void PIX_Blit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw, int srch,
              float alpha, int mode);
// A null rectangle means the whole source. The rectangle is clipped to the
// source, a negative destination moves the source start, and the area is
// clipped to the destination. The source and destination may be the same.
void PIX_Blit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, const RECT* srcrect, float alpha, int mode);
// Resizes dest to the source's size and copies it.
void PIX_Copy(PIX_IBitmap* dest, PIX_IBitmap* src);

// Fills the destination rectangle from the source rectangle scaled to it;
// 0x100 filters (averaging when shrinking).
void PIX_ScaledBlit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                    float srcy, float srcw, float srch, float alpha, int mode);
// Fills the destination rectangle by sampling the source rectangle turned
// clockwise by `angle` radians about the destination rectangle's centre;
// (rotxcent, rotycent) shift the centre in source pixels. A negative
// destination width or height mirrors. Samples outside the source bitmap (or
// outside the source rectangle with clipToSource) leave the destination as
// it is. 0x100 interpolates bilinearly.
void PIX_RotatedBlit(PIX_IBitmap* dest, PIX_IBitmap* src, int dstx, int dsty, int dstw, int dsth, float srcx,
                     float srcy, float srcw, float srch, float angle, bool clipToSource, float alpha, int mode,
                     float rotxcent, float rotycent);

// Every pixel becomes `color`.
void PIX_Clear(PIX_IBitmap* bitmap, unsigned color);
// Every pixel of the clipped rectangle becomes (pixel & keepMask) | setBits.
void PIX_ClearRect(PIX_IBitmap* bitmap, int x, int y, int w, int h, unsigned keepMask, unsigned setBits);
// Combines `color` into the clipped rectangle. With 0x10000 the weight is
// scaled by the colour's alpha. Copy at 1, 3/4, 1/2 and 1/4 stores or mixes
// whole pixels; other weights and modes combine red, green and blue and keep
// the destination's alpha.
void PIX_FillRect(PIX_IBitmap* bitmap, int x, int y, int w, int h, unsigned color, float alpha, int mode);
// Combines one pixel (the 0x10000 flag is not consulted); ignored outside.
void PIX_PutPixel(PIX_IBitmap* bitmap, int x, int y, unsigned color, float alpha, int mode);
// The pixel at (x, y), or 0 outside the bitmap.
unsigned PIX_GetPixel(PIX_IBitmap* bitmap, int x, int y);
