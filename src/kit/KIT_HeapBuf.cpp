#include "kit/KIT_HeapBuf.h"

#include <cstdlib>
#include <cstring>
#include <utility>

KIT_HeapBuf::~KIT_HeapBuf() { std::free(mData); }

KIT_HeapBuf::KIT_HeapBuf(const KIT_HeapBuf& other) { *this = other; }

KIT_HeapBuf& KIT_HeapBuf::operator=(const KIT_HeapBuf& other) {
  if (this != &other && Resize(other.mSize) && mSize > 0) {
    std::memcpy(mData, other.mData, static_cast<size_t>(mSize));
  }
  return *this;
}

KIT_HeapBuf::KIT_HeapBuf(KIT_HeapBuf&& other) noexcept { *this = std::move(other); }

KIT_HeapBuf& KIT_HeapBuf::operator=(KIT_HeapBuf&& other) noexcept {
  if (this != &other) {
    std::free(mData);
    mData = other.mData;
    mSize = other.mSize;
    mCapacity = other.mCapacity;
    other.mData = nullptr;
    other.mSize = other.mCapacity = 0;
  }
  return *this;
}

bool KIT_HeapBuf::Resize(int bytes) {
  if (bytes < 0) return false;
  if (bytes > mCapacity) {
    void* grown = std::realloc(mData, static_cast<size_t>(bytes));
    if (!grown) return false;
    mData = static_cast<unsigned char*>(grown);
    mCapacity = bytes;
  }
  if (bytes > mSize) std::memset(mData + mSize, 0, static_cast<size_t>(bytes - mSize));
  mSize = bytes;
  return true;
}

void KIT_HeapBuf::Free() {
  std::free(mData);
  mData = nullptr;
  mSize = mCapacity = 0;
}
