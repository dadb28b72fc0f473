#include "graphics/ITextMailbox.h"

#include <cstring>

// Copies at most cap - 1 bytes, never splitting a UTF-8 sequence.
static void CopyCut(char* dst, const char* src, int cap) {
  int len = static_cast<int>(strnlen(src, static_cast<size_t>(cap)));
  if (len > cap - 1) {
    len = cap - 1;
    while (len > 0 && (static_cast<unsigned char>(src[len]) & 0xC0) == 0x80) --len;
  }
  std::memcpy(dst, src, static_cast<size_t>(len));
  dst[len] = 0;
}

ITextMailbox::ITextMailbox(const char* initial) {
  const char* text = initial ? initial : "";
  for (char* slot : mSlots) CopyCut(slot, text, kCapacity);
  CopyCut(mLastPosted, text, kCapacity);
}

bool ITextMailbox::Post(const char* text) {
  char cut[kCapacity];
  CopyCut(cut, text ? text : "", kCapacity);
  if (std::strcmp(cut, mLastPosted) == 0) return false;
  std::memcpy(mLastPosted, cut, sizeof(cut));
  std::memcpy(mSlots[mWriteSlot], cut, sizeof(cut));
  // Publish: our slot becomes the middle, the old middle becomes ours.
  const int old = mMiddle.exchange(mWriteSlot | kFresh, std::memory_order_acq_rel);
  mWriteSlot = old & ~kFresh;
  return true;
}

bool ITextMailbox::Collect() {
  if (!(mMiddle.load(std::memory_order_relaxed) & kFresh)) return false;
  const int old = mMiddle.exchange(mReadSlot, std::memory_order_acq_rel);
  mReadSlot = old & ~kFresh;
  return true;
}
