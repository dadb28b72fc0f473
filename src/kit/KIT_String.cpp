#include "kit/KIT_String.h"

#include <cstring>

static int BoundedLength(const char* text, int maxLen) {
  if (!text) return 0;
  if (maxLen < 0) return static_cast<int>(std::strlen(text));
  const void* end = std::memchr(text, 0, static_cast<size_t>(maxLen));
  return end ? static_cast<int>(static_cast<const char*>(end) - text) : maxLen;
}

void KIT_String::Set(const char* text, int maxLen) {
  if (text && text == Get()) {
    // Setting a prefix of ourselves: truncate in place.
    const int len = BoundedLength(text, maxLen);
    if (mLength > 0) static_cast<char*>(mBuf.Get())[len] = 0;
    mLength = len;
    return;
  }
  const int len = BoundedLength(text, maxLen);
  if (!mBuf.Resize(len + 1)) return;
  char* dst = static_cast<char*>(mBuf.Get());
  if (len > 0) std::memmove(dst, text, static_cast<size_t>(len));
  dst[len] = 0;
  mLength = len;
}

void KIT_String::Append(const char* text, int maxLen) {
  const int add = BoundedLength(text, maxLen);
  if (add == 0) return;
  if (!mBuf.Resize(mLength + add + 1)) return;
  char* dst = static_cast<char*>(mBuf.Get());
  std::memmove(dst + mLength, text, static_cast<size_t>(add));
  mLength += add;
  dst[mLength] = 0;
}

const char* KIT_String::Get() const {
  return mBuf.GetSize() > 0 ? static_cast<const char*>(mBuf.Get()) : "";
}

bool KIT_String::Equals(const char* text) const { return std::strcmp(Get(), text ? text : "") == 0; }
