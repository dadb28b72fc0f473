#pragma once
// Raster bitmaps of 32-bit pixels. A pixel holds alpha in bits 0-7, red in
// 8-15, green in 16-23 and blue in 24-31 (in memory: alpha, red, green,
// blue), straight (not premultiplied) alpha, 255 opaque.
//
// Every raster operation reads a bitmap only through PIX_IBitmap, so any
// implementation works with all of them. A bitmap is used by one thread at a
// time; the editor draws on its main thread.

#include "dcx/DCX.h"

class PIX_IBitmap {
public:
  virtual ~PIX_IBitmap() {}
  // First pixel of the top row, or null when the bitmap holds no pixels.
  virtual unsigned* getBits() = 0;
  virtual int getWidth() = 0;
  virtual int getHeight() = 0;
  // Pixels per row in memory, at least the width.
  virtual int getRowSpan() = 0;
  // True when rows are stored bottom-up: row y then lies at
  // getBits() + (height - 1 - y) * rowSpan.
  virtual bool isFlipped() { return false; }
  // Returns true when the size changed. The contents are not cleared. A
  // failure leaves a 0 x 0 bitmap.
  virtual bool resize(int w, int h) = 0;
  // The platform drawing context behind the pixels, if any.
  virtual HDC getDC() { return nullptr; }
  virtual int Extended(int id, void* data) { return 0; }
};

// Pixels in heap memory: rows aligned to `lineAlignment` pixels (the editor
// passes 4), the first pixel 64-byte aligned. The allocation grows by a
// quarter more than needed and never shrinks. Owns its memory; editor-sized
// allocations come from and go back to the frame cache (dcx/DCXFrameCache.h).
class PIX_MemBitmap : public PIX_IBitmap {
public:
  explicit PIX_MemBitmap(int w = 0, int h = 0, unsigned lineAlignment = 0);
  ~PIX_MemBitmap() override;
  PIX_MemBitmap(const PIX_MemBitmap&) = delete;
  PIX_MemBitmap& operator=(const PIX_MemBitmap&) = delete;

  unsigned* getBits() override;
  int getWidth() override { return mWidth; }
  int getHeight() override { return mHeight; }
  int getRowSpan() override { return (mWidth + mAlignMask) & ~mAlignMask; }
  bool resize(int w, int h) override;

private:
  void* mAllocation = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  long long mAllocatedBytes = 0;  // usable bytes, not counting the alignment slack
  int mAlignMask = 0;
};

// Pixels in a memory context of the device-context layer, so the platform
// can put them on screen (getDC()). Rows are a multiple of 4 pixels; the
// context is kept when the bitmap shrinks. Owns its context.
class PIX_SysBitmap : public PIX_IBitmap {
public:
  explicit PIX_SysBitmap(int w = 0, int h = 0);
  ~PIX_SysBitmap() override;
  PIX_SysBitmap(const PIX_SysBitmap&) = delete;
  PIX_SysBitmap& operator=(const PIX_SysBitmap&) = delete;

  unsigned* getBits() override { return mBits; }
  int getWidth() override { return mWidth; }
  int getHeight() override { return mHeight; }
  int getRowSpan() override { return mRowSpan; }
  bool resize(int w, int h) override;
  HDC getDC() override { return mDC; }

private:
  void Release();

  HDC mDC = nullptr;
  unsigned* mBits = nullptr;
  int mRowSpan = 0;
  int mAllocHeight = 0;
  int mWidth = 0;
  int mHeight = 0;
};
