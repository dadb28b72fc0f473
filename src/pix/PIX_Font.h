#pragma once
// Text drawn and measured into raster bitmaps through a platform font of
// the device-context layer. A cached font draws either natively (the
// platform's text engine straight into the bitmap's context) or from its
// glyph cache: each character rendered once into an 8-bit coverage image
// and then blended with the combine modes.
//
// Main thread only: the scratch bitmaps used for rendering are shared by all
// cached fonts.

#include "dcx/DCX.h"
#include "kit/KIT_TypedBuf.h"
#include "pix/PIX_Bitmap.h"

// SetFromHFont flags.
enum {
  PIX_FONT_RENDER_ASCII_NOW = 0x4,  // render characters 0-127 at once
  PIX_FONT_OWNS_HFONT = 0x200,      // delete the platform font when replaced or destroyed
  PIX_FONT_NATIVE = 0x400,          // draw natively when possible
  PIX_FONT_NO_NATIVE_MASK = 0x1F3,  // any of these bits disables native drawing
};

// DrawText flags.
enum {
  PIX_TEXT_MEASURE = 0x1,        // only measure: the rectangle receives the text's size
  PIX_TEXT_VCENTER = 0x2,
  PIX_TEXT_HCENTER = 0x4,
  PIX_TEXT_BOTTOM = 0x10,
  PIX_TEXT_RIGHT = 0x20,
  PIX_TEXT_NOCLIP = 0x100,
  PIX_TEXT_USE_ALPHA = 0x40000000,  // weight by the text colour's alpha (glyph cache)
  PIX_TEXT_NEVER_NATIVE = 0x80000000u,
};

class PIX_IFont {
public:
  virtual ~PIX_IFont() {}
  virtual void SetFromHFont(HGDIOBJ font, int flags) = 0;
  virtual void SetTextColor(unsigned color) = 0;
  virtual void SetBkColor(unsigned color) = 0;
  virtual void SetEffectColor(unsigned color) = 0;
  virtual void SetBkMode(int mode) = 0;
  virtual void SetCombineMode(int mode, float alpha) = 0;
  // Draws UTF-8 text (length -1: up to the terminator) into the rectangle;
  // returns the text height. Without a bitmap only measuring does anything.
  virtual int DrawText(PIX_IBitmap* bitmap, const char* str, int length, RECT* rect, unsigned flags) = 0;
  virtual unsigned GetTextColor() = 0;
  virtual HGDIOBJ GetHFont() = 0;
  virtual int GetLineHeight() = 0;
};

class PIX_CachedFont : public PIX_IFont {
public:
  PIX_CachedFont() = default;
  // Deletes the platform font when it owns it.
  ~PIX_CachedFont() override;
  PIX_CachedFont(const PIX_CachedFont&) = delete;
  PIX_CachedFont& operator=(const PIX_CachedFont&) = delete;

  // Replaces the platform font (deleting an owned, different old one),
  // reads the line height and forgets every rendered glyph.
  void SetFromHFont(HGDIOBJ font, int flags) override;
  void SetTextColor(unsigned color) override { mTextColor = color; }
  void SetBkColor(unsigned color) override { mBkColor = color; }
  void SetEffectColor(unsigned color) override { mEffectColor = color; }
  // 0 transparent, 1 opaque (native drawing).
  void SetBkMode(int mode) override { mBkMode = mode; }
  void SetCombineMode(int mode, float alpha) override {
    mCombineMode = mode;
    mCombineAlpha = alpha;
  }
  int DrawText(PIX_IBitmap* bitmap, const char* str, int length, RECT* rect, unsigned flags) override;
  unsigned GetTextColor() override { return mTextColor; }
  HGDIOBJ GetHFont() override { return mFont; }
  int GetLineHeight() override { return mLineHeight; }

private:
  // A character of the glyph cache: its coverage image (width x height
  // bytes at `offset` in the glyph memory) sits at (left, top) from the pen
  // position at the top of the line.
  struct Glyph {
    unsigned code;
    int rendered;
    int left;
    int top;
    int width;
    int height;
    int advance;
    int offset;
  };

  bool UsesNative(unsigned flags) const;
  int DrawNative(PIX_IBitmap* bitmap, const char* str, int length, RECT* rect, unsigned flags);
  int DrawCached(PIX_IBitmap* bitmap, const char* str, int length, RECT* rect, unsigned flags);
  // The entry for a character, rendered if needed; null when the cache cannot grow.
  const Glyph* findChar(unsigned code);
  bool RenderGlyph(Glyph* glyph);
  void ForgetGlyphs();

  unsigned mTextColor = 0;
  unsigned mBkColor = 0xFFFFFFFFu;
  unsigned mEffectColor = 0xFFFFFFFFu;
  int mCombineMode = 0;
  float mCombineAlpha = 1.0f;
  int mBkMode = 0;
  int mFlags = 0;
  int mLineHeight = 0;
  HGDIOBJ mFont = nullptr;
  Glyph mAscii[128] = {};
  KIT_TypedBuf<Glyph> mOthers;  // sorted by code
  KIT_TypedBuf<unsigned char> mGlyphMemory;
};
