#include "graphics/IGraphicsCaches.h"

#include <cstring>

#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Font.h"


BitmapStorage& BitmapStorage::Instance() {
  static BitmapStorage storage;
  return storage;
}

PIX_IBitmap* BitmapStorage::Find(int id) {
  KIT_MutexLock lock(&mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i)
    if (mEntries.Get()[i].mID == id) return mEntries.Get()[i].mBitmap;
  return nullptr;
}

void BitmapStorage::Add(PIX_IBitmap* bitmap, int id) {
  KIT_MutexLock lock(&mMutex);
  mEntries.Add(Entry{id, bitmap});
}

bool BitmapStorage::Remove(PIX_IBitmap* bitmap) {
  PIX_IBitmap* removed = nullptr;
  {
    KIT_MutexLock lock(&mMutex);
    const int n = mEntries.GetSize();
    Entry* entries = mEntries.Get();
    for (int i = 0; i < n; ++i) {
      if (entries[i].mBitmap != bitmap) continue;
      removed = bitmap;
      for (int j = i; j < n - 1; ++j) entries[j] = entries[j + 1];
      mEntries.Resize(n - 1);
      break;
    }
  }
  delete removed;
  return removed != nullptr;
}

int BitmapStorage::Size() {
  KIT_MutexLock lock(&mMutex);
  return mEntries.GetSize();
}

BitmapStorage::~BitmapStorage() {
  for (int i = 0; i < mEntries.GetSize(); ++i) delete mEntries.Get()[i].mBitmap;
  mEntries.Free();
}

FontStorage& FontStorage::Instance() {
  static FontStorage storage;
  return storage;
}

PIX_CachedFont* FontStorage::Find(const IText* text) {
  KIT_MutexLock lock(&mMutex);
  for (int i = 0; i < mEntries.GetSize(); ++i) {
    const Entry& e = mEntries.Get()[i];
    if (e.mSize == text->mSize && e.mOrientation == text->mOrientation && e.mStyle == text->mStyle &&
        std::strncmp(e.mFace, text->mFont, FONT_LEN) == 0)
      return e.mFont;
  }
  return nullptr;
}

void FontStorage::Add(PIX_CachedFont* font, const IText* text) {
  Entry e;
  e.mSize = text->mSize;
  e.mOrientation = text->mOrientation;
  e.mStyle = text->mStyle;
  std::memcpy(e.mFace, text->mFont, FONT_LEN);
  e.mFace[FONT_LEN - 1] = 0;
  e.mFont = font;
  KIT_MutexLock lock(&mMutex);
  mEntries.Add(e);
}

int FontStorage::Size() {
  KIT_MutexLock lock(&mMutex);
  return mEntries.GetSize();
}

FontStorage::~FontStorage() {
  for (int i = 0; i < mEntries.GetSize(); ++i) delete mEntries.Get()[i].mFont;
  mEntries.Free();
}
