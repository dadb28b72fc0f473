#pragma once
// Hands short texts from one writer thread to the main thread without locks
// and without allocating: a triple buffer of fixed slots. The writer fills
// its own slot and swaps it with the shared middle slot; the reader swaps
// the middle slot with its own when a fresh text is waiting. Neither side
// ever touches the slot the other is using, so a draw reading the current
// text is never disturbed by a new one.
//
// One writer thread at a time (any thread, the audio thread included); the
// reader is the main thread. Texts longer than kCapacity - 1 bytes are cut
// at a character boundary.

#include <atomic>

class ITextMailbox {
public:
  static constexpr int kCapacity = 256;

  explicit ITextMailbox(const char* initial = "");

  ITextMailbox(const ITextMailbox&) = delete;
  ITextMailbox& operator=(const ITextMailbox&) = delete;

  // Writer thread. False (and nothing published) when text equals the last
  // text published; true when a new text is waiting for the reader.
  bool Post(const char* text);

  // Reader (main thread): takes a waiting text if there is one. True when
  // the text changed.
  bool Collect();
  // Reader (main thread): the text last collected.
  const char* Current() const { return mSlots[mReadSlot]; }

private:
  static constexpr int kFresh = 4;  // flag bit beside the middle slot index

  char mSlots[3][kCapacity];
  // Writer's copy of its last published text, for the "unchanged" test.
  char mLastPosted[kCapacity];
  int mWriteSlot = 0;
  std::atomic<int> mMiddle{1};
  int mReadSlot = 2;
};
