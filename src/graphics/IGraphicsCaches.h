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

#include <memory>
#include <utility>
#include <vector>

#include "graphics/IGraphicsStructs.h"
#include "kit/KIT_Mutex.h"

class PIX_IBitmap;
class PIX_CachedFont;

// What both caches share: objects it owns under a key, in the order stored
// (so the first stored under a key wins), behind one mutex. Deleting the
// cache deletes them, which needs the object's type complete there.
template <typename Key, typename Object>
class OwningCache {
public:
  // The first object whose key matches, or null.
  template <typename Matches>
  Object* Find(Matches matches) {
    KIT_MutexLock lock(&mMutex);
    for (const Entry& e : mEntries)
      if (matches(e.mKey)) return e.mObject.get();
    return nullptr;
  }
  void Add(const Key& key, Object* object) {
    KIT_MutexLock lock(&mMutex);
    mEntries.push_back(Entry{key, std::unique_ptr<Object>(object)});
  }
  // Removes the first entry holding the object and deletes it, outside the
  // lock (a bitmap's destructor may be slow); false when none holds it.
  bool Remove(const Object* object) {
    std::unique_ptr<Object> removed;
    {
      KIT_MutexLock lock(&mMutex);
      for (auto it = mEntries.begin(); it != mEntries.end(); ++it) {
        if (it->mObject.get() != object) continue;
        removed = std::move(it->mObject);
        mEntries.erase(it);
        break;
      }
    }
    return removed != nullptr;
  }
  int Size() {
    KIT_MutexLock lock(&mMutex);
    return static_cast<int>(mEntries.size());
  }

private:
  struct Entry {
    Key mKey;
    std::unique_ptr<Object> mObject;
  };
  KIT_Mutex mMutex;
  std::vector<Entry> mEntries;
};

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

  BitmapStorage();
  ~BitmapStorage();
  BitmapStorage(const BitmapStorage&) = delete;
  BitmapStorage& operator=(const BitmapStorage&) = delete;

private:
  OwningCache<int, PIX_IBitmap> mCache;
};

class FontStorage {
public:
  static FontStorage& Instance();

  // The font cached for the style's size, orientation, style and face, or null.
  PIX_CachedFont* Find(const IText* text);
  // Takes ownership of the font.
  void Add(PIX_CachedFont* font, const IText* text);
  int Size();

  FontStorage();
  ~FontStorage();
  FontStorage(const FontStorage&) = delete;
  FontStorage& operator=(const FontStorage&) = delete;

  // What tells one cached font from another.
  struct Key {
    int mSize;
    int mOrientation;
    int mStyle;
    char mFace[FONT_LEN];
  };

private:
  OwningCache<Key, PIX_CachedFont> mCache;
};
