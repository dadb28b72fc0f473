#include "graphics/IGraphicsCaches.h"

#include <cstring>

#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Font.h"

// Out of line, where the cached types are complete.
BitmapStorage::BitmapStorage() = default;
BitmapStorage::~BitmapStorage() = default;
FontStorage::FontStorage() = default;
FontStorage::~FontStorage() = default;

BitmapStorage& BitmapStorage::Instance() {
  static BitmapStorage storage;
  return storage;
}

PIX_IBitmap* BitmapStorage::Find(int id) {
  return mCache.Find([id](int key) { return key == id; });
}

void BitmapStorage::Add(PIX_IBitmap* bitmap, int id) { mCache.Add(id, bitmap); }

bool BitmapStorage::Remove(PIX_IBitmap* bitmap) { return mCache.Remove(bitmap); }

int BitmapStorage::Size() { return mCache.Size(); }

FontStorage& FontStorage::Instance() {
  static FontStorage storage;
  return storage;
}

PIX_CachedFont* FontStorage::Find(const IText* text) {
  return mCache.Find([text](const Key& key) {
    return key.mSize == text->mSize && key.mOrientation == text->mOrientation && key.mStyle == text->mStyle &&
           std::strncmp(key.mFace, text->mFont, FONT_LEN) == 0;
  });
}

void FontStorage::Add(PIX_CachedFont* font, const IText* text) {
  Key key;
  key.mSize = text->mSize;
  key.mOrientation = text->mOrientation;
  key.mStyle = text->mStyle;
  std::memcpy(key.mFace, text->mFont, FONT_LEN);
  key.mFace[FONT_LEN - 1] = 0;
  mCache.Add(key, font);
}

int FontStorage::Size() { return mCache.Size(); }
