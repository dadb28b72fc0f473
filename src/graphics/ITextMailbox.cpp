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
  CopyCut(mShown, text, kCapacity);
  CopyCut(mLastPosted, text, kCapacity);
  for (std::atomic<bool>& busy : mSlotBusy) busy.store(false, std::memory_order_relaxed);
}

bool ITextMailbox::Publish(const char* cut, uint64_t* count) {
  int slot = -1;
  for (int i = 0; i < kSlots && slot < 0; ++i)
    if (!mSlotBusy[i].exchange(true, std::memory_order_acquire)) slot = i;
  // More writers at once than the pool serves: this text is superseded by
  // theirs anyway.
  if (slot < 0) return false;
  std::memcpy(mSlots[slot], cut, kCapacity);

  uint64_t old = mLatest.load(std::memory_order_relaxed);
  uint64_t next;
  do {
    next = (((old >> kCountShift) + 1) << kCountShift) | static_cast<uint64_t>(slot + 1);
  } while (!mLatest.compare_exchange_weak(old, next, std::memory_order_acq_rel, std::memory_order_relaxed));
  // A published text the reader never took is superseded: free its slot.
  const int superseded = static_cast<int>(old & kSlotMask) - 1;
  if (superseded >= 0) mSlotBusy[superseded].store(false, std::memory_order_release);
  *count = next >> kCountShift;
  return true;
}

bool ITextMailbox::Post(const char* text) {
  char cut[kCapacity];
  std::memset(cut, 0, sizeof(cut));
  CopyCut(cut, text ? text : "", kCapacity);
  uint64_t count = 0;
  if (mLastLock.test_and_set(std::memory_order_acquire)) {
    // Another writer is posting: publish without the test (at worst one
    // redraw too many).
    return Publish(cut, &count);
  }
  const uint64_t latest = mLatest.load(std::memory_order_acquire) >> kCountShift;
  if (mLastPostedCount == latest && std::strcmp(cut, mLastPosted) == 0) {
    mLastLock.clear(std::memory_order_release);
    return false;
  }
  const bool posted = Publish(cut, &count);
  if (posted) {
    std::memcpy(mLastPosted, cut, sizeof(cut));
    mLastPostedCount = count;
  }
  mLastLock.clear(std::memory_order_release);
  return posted;
}

bool ITextMailbox::Collect() {
  uint64_t old = mLatest.load(std::memory_order_relaxed);
  do {
    if ((old & kSlotMask) == 0) return false;
  } while (!mLatest.compare_exchange_weak(old, old & ~kSlotMask, std::memory_order_acq_rel,
                                          std::memory_order_relaxed));
  const int slot = static_cast<int>(old & kSlotMask) - 1;
  std::memcpy(mShown, mSlots[slot], kCapacity);
  mSlotBusy[slot].store(false, std::memory_order_release);
  return true;
}
