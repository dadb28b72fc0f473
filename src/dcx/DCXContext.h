#pragma once
// The record behind an HDC, shared by the context, font and text parts of
// the device-context layer. Not part of the public interface.

#include "dcx/DCX.h"

struct DCX_Context {
  uint32_t* bits;       // frame buffer, 64-byte aligned
  void* allocation;     // what was allocated for bits
  int width;
  int height;
  HGDIOBJ font;         // selected font, not owned
  COLORREF textColor;   // 0x00RRGGBB
  COLORREF bkColor;     // 0x00RRGGBB
  int bkMode;           // TRANSPARENT or OPAQUE
};
