#pragma once
// Growable array of plain (trivially copyable) values on the C heap.
// Growth never throws: a failed Resize() or Add() returns false and keeps
// the contents. Not thread-safe; the owner serialises access.

#include <type_traits>

#include "kit/KIT_HeapBuf.h"

template <class T>
class KIT_TypedBuf {
  static_assert(std::is_trivially_copyable<T>::value, "KIT_TypedBuf holds plain values");

public:
  // Sets the element count; new elements are zero bytes.
  bool Resize(int count) { return count >= 0 && mBuf.Resize(count * static_cast<int>(sizeof(T))); }
  bool Add(const T& value) {
    const int n = GetSize();
    if (!Resize(n + 1)) return false;
    Get()[n] = value;
    return true;
  }
  void Free() { mBuf.Free(); }

  T* Get() { return static_cast<T*>(mBuf.Get()); }
  const T* Get() const { return static_cast<const T*>(mBuf.Get()); }
  int GetSize() const { return mBuf.GetSize() / static_cast<int>(sizeof(T)); }

private:
  KIT_HeapBuf mBuf;
};
