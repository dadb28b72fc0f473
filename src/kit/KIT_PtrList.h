#pragma once
// Growable array of pointers. The list never owns its pointees implicitly:
// Delete(i, true) and Empty(true) delete them, plain Empty() only forgets.
// Not thread-safe; the owner serialises access.

#include "kit/KIT_TypedBuf.h"

template <class T>
class KIT_PtrList {
public:
  KIT_PtrList() = default;
  KIT_PtrList(const KIT_PtrList&) = delete;
  KIT_PtrList& operator=(const KIT_PtrList&) = delete;

  int GetSize() const { return mPtrs.GetSize(); }
  // Null for an index outside the list.
  T* Get(int idx) const { return idx >= 0 && idx < GetSize() ? mPtrs.Get()[idx] : nullptr; }
  T* GetLast() const { return Get(GetSize() - 1); }
  T** GetList() { return mPtrs.Get(); }

  // Appends; returns the pointer, or null when the list could not grow.
  T* Add(T* item) { return mPtrs.Add(item) ? item : nullptr; }

  // Inserts before idx (clamped to 0..size); null when the list could not grow.
  T* Insert(int idx, T* item) {
    const int n = GetSize();
    if (!mPtrs.Resize(n + 1)) return nullptr;
    if (idx < 0) idx = 0;
    if (idx > n) idx = n;
    T** p = mPtrs.Get();
    for (int i = n; i > idx; --i) p[i] = p[i - 1];
    p[idx] = item;
    return item;
  }

  // Index of the first entry equal to item, or -1.
  int Find(const T* item) const {
    for (int i = 0; i < GetSize(); ++i)
      if (mPtrs.Get()[i] == item) return i;
    return -1;
  }

  void Delete(int idx, bool deletePtr = false) {
    const int n = GetSize();
    if (idx < 0 || idx >= n) return;
    T** p = mPtrs.Get();
    T* item = p[idx];
    for (int i = idx; i < n - 1; ++i) p[i] = p[i + 1];
    mPtrs.Resize(n - 1);
    if (deletePtr) delete item;
  }

  void Empty(bool deletePtrs = false) {
    if (deletePtrs)
      for (int i = 0; i < GetSize(); ++i) delete mPtrs.Get()[i];
    mPtrs.Resize(0);
  }

private:
  KIT_TypedBuf<T*> mPtrs;
};
