#pragma once
// Growable raw byte buffer on the C heap. Growth never throws: a failed
// Resize() returns false and leaves the buffer as it was.
// Not thread-safe; the owner serialises access.

#include <cstddef>

class KIT_HeapBuf {
public:
  KIT_HeapBuf() = default;
  ~KIT_HeapBuf();
  KIT_HeapBuf(const KIT_HeapBuf& other);
  KIT_HeapBuf& operator=(const KIT_HeapBuf& other);
  KIT_HeapBuf(KIT_HeapBuf&& other) noexcept;
  KIT_HeapBuf& operator=(KIT_HeapBuf&& other) noexcept;

  // Sets the size in bytes, keeping the leading contents; new bytes are
  // zero. Capacity is kept when shrinking so a later regrow does not allocate.
  bool Resize(int bytes);
  // Releases the memory.
  void Free();

  void* Get() { return mData; }
  const void* Get() const { return mData; }
  int GetSize() const { return mSize; }
  int GetCapacity() const { return mCapacity; }

private:
  unsigned char* mData = nullptr;
  int mSize = 0;
  int mCapacity = 0;
};
