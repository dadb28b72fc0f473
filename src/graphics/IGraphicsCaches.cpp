#include "graphics/IGraphicsCaches.h"

#include "pix/PIX_Bitmap.h"


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
