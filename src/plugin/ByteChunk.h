#pragma once
// Growable byte buffer for state and presets: written by appending, read at
// explicit positions. Values are stored as their in-memory bytes (host byte
// order). A read that does not fit returns -1 instead of a position, and the
// next read at -1 fails too, so a sequence of reads can be checked once.
//
// Owns its bytes; copyable. Not thread-safe; the plug-in mutex guards the
// chunks the plug-in base holds.

#include <type_traits>

#include "kit/KIT_HeapBuf.h"
#include "kit/KIT_String.h"

class ByteChunk {
public:
  // Appends size bytes; returns the new size. A negative size or a failed
  // allocation appends nothing.
  int PutBytes(const void* data, int size);
  // Copies size bytes from position into out; returns position + size, or
  // -1 (nothing copied) when the range is not inside the chunk.
  int GetBytes(void* out, int size, int position) const;

  template <class T>
  int Put(const T* value) {
    static_assert(std::is_trivially_copyable<T>::value, "chunks hold plain values");
    return PutBytes(value, static_cast<int>(sizeof(T)));
  }
  template <class T>
  int Get(T* out, int position) const {
    static_assert(std::is_trivially_copyable<T>::value, "chunks hold plain values");
    return GetBytes(out, static_cast<int>(sizeof(T)), position);
  }

  // A 4-byte length (no terminator) and the bytes.
  int PutStr(const char* str);
  // Reads a string written by PutStr. A stored length of 0 leaves out
  // unchanged. A length that is negative or longer than what is left fails.
  int GetStr(KIT_String* out, int position) const;

  // One byte, 0 or 1.
  int PutBool(bool value);
  int GetBool(bool* out, int position) const;

  // Appends the other chunk's bytes without a length.
  int PutChunk(const ByteChunk* other);

  void Clear();
  int Size() const { return mSize; }
  // Sets the size; new bytes are zero. Returns the old size.
  int Resize(int newSize);
  unsigned char* GetBytes() { return static_cast<unsigned char*>(mBytes.Get()); }
  const unsigned char* GetBytes() const { return static_cast<const unsigned char*>(mBytes.Get()); }

private:
  // Grows the storage geometrically so that appending stays cheap.
  bool Reserve(int size);

  KIT_HeapBuf mBytes;
  int mSize = 0;
};
