#pragma once
// Lines, circles, arcs, rounded rectangles and filled convex shapes drawn
// into a bitmap with a colour, a weight (1.0 = full) and a combine mode of
// which only the low byte (the formula) counts. Angles are in radians, 0
// pointing up and growing clockwise; pixel (x, y) covers the unit square
// whose top-left corner is (x, y). Everything is clipped to the bitmap; null
// bitmaps and zero weights draw nothing. Called on the thread that owns the
// bitmap.

#include "pix/PIX_Bitmap.h"

// The one definition of pi for the raster library and what draws with it.
constexpr double PIX_kPi = 3.141592653589793;

// Both end points are drawn. Lines are drawn symmetrically from both ends;
// `aa` shares each step between the two nearest pixels.
void PIX_Line(PIX_IBitmap* bitmap, int x1, int y1, int x2, int y2, unsigned color, float alpha, int mode, bool aa);
void PIX_Circle(PIX_IBitmap* bitmap, float cx, float cy, float r, unsigned color, float alpha, int mode, bool aa);
void PIX_FillCircle(PIX_IBitmap* bitmap, float cx, float cy, float r, unsigned color, float alpha, int mode, bool aa);
// The outline between two angles; a span of 2 pi or more is the full circle.
void PIX_Arc(PIX_IBitmap* bitmap, float cx, float cy, float r, float minAngle, float maxAngle, unsigned color,
             float alpha, int mode, bool aa);
// The outline of the rectangle (x, y, w, h) with quarter circles of the
// given radius at the corners.
void PIX_RoundRect(PIX_IBitmap* bitmap, float x, float y, float w, float h, int cornerRadius, unsigned color,
                   float alpha, int mode, bool aa);
// Fill the pixels whose centres lie inside the shape.
void PIX_FillTriangle(PIX_IBitmap* bitmap, int x1, int y1, int x2, int y2, int x3, int y3, unsigned color,
                      float alpha, int mode);
// The points must describe a convex polygon (n >= 3).
void PIX_FillConvexPolygon(PIX_IBitmap* bitmap, const int* x, const int* y, int n, unsigned color, float alpha,
                           int mode);
