#include "plugin/ByteChunk.h"

#include <cstring>

bool ByteChunk::Reserve(int size) {
  const int capacity = mBytes.GetSize();
  if (size <= capacity) return true;
  int grown = capacity < 64 ? 64 : capacity;
  while (grown < size) grown = grown > (1 << 30) ? size : grown * 2;
  return mBytes.Resize(grown) || mBytes.Resize(size);
}

int ByteChunk::PutBytes(const void* data, int size) {
  if (size <= 0 || size > 0x7FFFFFFF - mSize) return mSize;
  if (!Reserve(mSize + size)) return mSize;
  std::memcpy(GetBytes() + mSize, data, static_cast<size_t>(size));
  mSize += size;
  return mSize;
}

int ByteChunk::GetBytes(void* out, int size, int position) const {
  if (position < 0 || size < 0 || size > mSize - position) return -1;
  if (size > 0) std::memcpy(out, GetBytes() + position, static_cast<size_t>(size));
  return position + size;
}

int ByteChunk::PutStr(const char* str) {
  const int length = str ? static_cast<int>(std::strlen(str)) : 0;
  const int before = mSize;
  Put(&length);
  if (mSize == before) return mSize;
  if (PutBytes(str, length) != before + 4 + length) mSize = before;
  return mSize;
}

int ByteChunk::GetStr(KIT_String* out, int position) const {
  int length = 0;
  const int start = Get(&length, position);
  if (start < 0 || length < 0 || length > mSize - start) return -1;
  if (length > 0) out->Set(reinterpret_cast<const char*>(GetBytes() + start), length);
  return start + length;
}

int ByteChunk::PutBool(bool value) {
  const unsigned char byte = value ? 1 : 0;
  return PutBytes(&byte, 1);
}

int ByteChunk::GetBool(bool* out, int position) const {
  unsigned char byte = 0;
  const int next = GetBytes(&byte, 1, position);
  if (next >= 0) *out = byte != 0;
  return next;
}

int ByteChunk::PutChunk(const ByteChunk* other) {
  if (other == this) {
    const ByteChunk copy(*this);
    return PutBytes(copy.GetBytes(), copy.Size());
  }
  return PutBytes(other->GetBytes(), other->Size());
}

void ByteChunk::Clear() { mSize = 0; }

int ByteChunk::Resize(int newSize) {
  const int oldSize = mSize;
  if (newSize < 0 || !Reserve(newSize)) return oldSize;
  if (newSize > oldSize) std::memset(GetBytes() + oldSize, 0, static_cast<size_t>(newSize - oldSize));
  mSize = newSize;
  return oldSize;
}
