#pragma once
// Hands short texts from any threads to the main thread without locks and
// without allocating. Writers fill a free slot of a small pool and publish
// it as the latest text; the reader takes the latest slot, copies it into
// its own buffer and frees the slot. No party ever touches a slot another
// one is using, so a draw reading the current text is never disturbed.
//
// Writers: any threads, several at once (the audio thread and the main
// thread both set the value display). Reader: the main thread. Texts longer
// than kCapacity - 1 bytes are cut at a character boundary.

#include <atomic>
#include <cstdint>

class ITextMailbox {
public:
  static constexpr int kCapacity = 256;

  explicit ITextMailbox(const char* initial = "");

  ITextMailbox(const ITextMailbox&) = delete;
  ITextMailbox& operator=(const ITextMailbox&) = delete;

  // Any thread. False (and nothing published) when text equals the latest
  // text published; true when a new text is waiting for the reader.
  bool Post(const char* text);

  // Reader (main thread): takes a waiting text if there is one. True when
  // the text changed.
  bool Collect();
  // Reader (main thread): the text last collected.
  const char* Current() const { return mShown; }
  // Reader (main thread): collects, then the text now current.
  const char* Latest() {
    Collect();
    return mShown;
  }

private:
  // Two writers at once, one published text and the reader's copy need at
  // most four slots; one more leaves room.
  static constexpr int kSlots = 5;
  // mLatest packs a publication count (upper bits) with the published slot
  // + 1 (low byte; 0 when the reader has taken it).
  static constexpr uint64_t kSlotMask = 0xFF;
  static constexpr int kCountShift = 8;

  bool Publish(const char* cut, uint64_t* count);

  char mSlots[kSlots][kCapacity];
  std::atomic<bool> mSlotBusy[kSlots];
  std::atomic<uint64_t> mLatest{0};
  // The latest text and its publication count, kept by whichever writer
  // holds mLastLock, for the "unchanged" test.
  std::atomic_flag mLastLock = ATOMIC_FLAG_INIT;
  char mLastPosted[kCapacity];
  uint64_t mLastPostedCount = 0;
  char mShown[kCapacity];
};
