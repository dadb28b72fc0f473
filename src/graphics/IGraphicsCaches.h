#pragma once
// The process-wide caches of loaded bitmaps and fonts, shared by every
// editor. Bitmaps are stored under their resource id (derived bitmaps under
// kDerivedBitmapId); fonts under the size, orientation, style and face of a
// text style. Each cache owns what it holds, guards itself with its own
// mutex, and deletes everything when the program ends.
//
// Threads: any; each lookup, insertion and removal takes the cache's mutex.
// Find and add are separate steps, so two first loads of one id racing each
// other both store it; later lookups find the first.

#include "graphics/IGraphicsStructs.h"
#include "kit/KIT_Mutex.h"
#include "kit/KIT_TypedBuf.h"

class PIX_IBitmap;
class PIX_CachedFont;

class BitmapStorage {
public:
  // Key of bitmaps made by ScaleBitmap, CropBitmap and RetainBitmap.
  static constexpr int kDerivedBitmapId = -1;

  static BitmapStorage& Instance();

  // The first bitmap stored under id, or null.
  PIX_IBitmap* Find(int id);
  // Takes ownership of the bitmap.
  void Add(PIX_IBitmap* bitmap, int id = kDerivedBitmapId);
  // Removes the first entry holding the bitmap and deletes it. A bitmap the
  // cache does not hold is left alone, so a second release is harmless.
  bool Remove(PIX_IBitmap* bitmap);
  int Size();

  BitmapStorage() = default;
  ~BitmapStorage();
  BitmapStorage(const BitmapStorage&) = delete;
  BitmapStorage& operator=(const BitmapStorage&) = delete;

private:
  struct Entry {
    int mID;
    PIX_IBitmap* mBitmap;
  };
  KIT_Mutex mMutex;
  KIT_TypedBuf<Entry> mEntries;
};

class FontStorage {
public:
  static FontStorage& Instance();

  // The font cached for the style's size, orientation, style and face, or null.
  PIX_CachedFont* Find(const IText* text);
  // Takes ownership of the font.
  void Add(PIX_CachedFont* font, const IText* text);
  int Size();

  FontStorage() = default;
  ~FontStorage();
  FontStorage(const FontStorage&) = delete;
  FontStorage& operator=(const FontStorage&) = delete;

private:
  struct Entry {
    int mSize;
    int mOrientation;
    int mStyle;
    char mFace[FONT_LEN];
    PIX_CachedFont* mFont;
  };
  KIT_Mutex mMutex;
  KIT_TypedBuf<Entry> mEntries;
};
