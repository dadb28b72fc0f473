#pragma once
// Queue of MIDI messages for the block being rendered, kept in offset order
// (equal offsets in arrival order). A plug-in adds messages as they arrive
// and, while rendering, takes every message whose offset has been reached;
// Flush moves the remaining offsets on to the next block.
//
// Owns its buffer (C heap, grown with realloc in granules of 512 messages).
// Not thread-safe: filled and drained on one thread, or under the plug-in
// mutex. Add allocates only when the queue is full, so a queue sized with
// Resize(block size) does not allocate in steady state.

#include "plugin/IMidiMsg.h"

class IMidiQueue {
public:
  explicit IMidiQueue(int size = kDefaultSize);
  ~IMidiQueue();

  IMidiQueue(const IMidiQueue&) = delete;
  IMidiQueue& operator=(const IMidiQueue&) = delete;

  // Inserts a copy in offset order. When the queue is full and cannot grow
  // the message is dropped and the queue stays as it was.
  void Add(const IMidiMsg* msg);
  // Consumes the front message.
  void Remove() { ++mFront; }
  // Ends a block of nFrames samples.
  void Flush(int nFrames);
  // Sets growth step and room from a block size, never below what is
  // queued; returns the room. On a failed reallocation the old buffer stays.
  // A size of 0 or less leaves the queue unchanged.
  int Resize(int size);

  bool Empty() const { return mFront == mBack; }
  // The front message; only valid when not empty.
  IMidiMsg* Peek() const { return mBuf + mFront; }

  int ToDo() const { return mBack - mFront; }
  int GetSize() const { return mSize; }

private:
  static const int kDefaultSize = 1024;

  void Compact();
  bool Expand();
  // Rounds up to a multiple of 512 messages (4096 bytes).
  static int Granulize(int size);

  IMidiMsg* mBuf;
  int mSize;
  int mGrow;
  int mFront;
  int mBack;
};
