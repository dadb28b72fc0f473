#include "plugin/IMidiQueue.h"

#include <cstdlib>
#include <cstring>

static const int kGranuleBytes = 4096;
// Upper bound on the room, far above any block size, so sizes stay in int.
static const int kMaxMessages = 1 << 24;

IMidiQueue::IMidiQueue(int size)
    : mBuf(nullptr), mSize(0), mGrow(Granulize(size)), mFront(0), mBack(0) {
  Expand();
}

IMidiQueue::~IMidiQueue() { std::free(mBuf); }

int IMidiQueue::Granulize(int size) {
  if (size <= 0) return 0;
  if (size > kMaxMessages) size = kMaxMessages;
  const int bytes = size * static_cast<int>(sizeof(IMidiMsg));
  const int granules = (bytes + kGranuleBytes - 1) / kGranuleBytes;
  return granules * kGranuleBytes / static_cast<int>(sizeof(IMidiMsg));
}

bool IMidiQueue::Expand() {
  if (!mGrow || mSize > kMaxMessages) return false;
  const int size = (mSize / mGrow + 1) * mGrow;
  void* grown = std::realloc(mBuf, static_cast<size_t>(size) * sizeof(IMidiMsg));
  if (!grown) return false;
  mBuf = static_cast<IMidiMsg*>(grown);
  mSize = size;
  return true;
}

void IMidiQueue::Compact() {
  mBack -= mFront;
  if (mBack > 0) std::memmove(mBuf, mBuf + mFront, static_cast<size_t>(mBack) * sizeof(IMidiMsg));
  mFront = 0;
}

void IMidiQueue::Add(const IMidiMsg* msg) {
  if (mBack >= mSize) {
    if (mFront > 0)
      Compact();
    else if (!Expand())
      return;
  }
  if (mBack > mFront && msg->mOffset < mBuf[mBack - 1].mOffset) {
    int pos = mBack - 2;
    while (pos >= mFront && msg->mOffset < mBuf[pos].mOffset) --pos;
    ++pos;
    std::memmove(mBuf + pos + 1, mBuf + pos, static_cast<size_t>(mBack - pos) * sizeof(IMidiMsg));
    mBuf[pos] = *msg;
  } else {
    mBuf[mBack] = *msg;
  }
  ++mBack;
}

void IMidiQueue::Flush(int nFrames) {
  if (mFront > 0) Compact();
  for (int i = mFront; i < mBack; ++i) mBuf[i].mOffset -= nFrames;
}

int IMidiQueue::Resize(int size) {
  if (mFront > 0) Compact();
  // A block size of 0 (not set yet) would leave no room and no growth, and
  // every later message would be dropped: keep the queue as it is.
  if (size <= 0) return mSize;
  mGrow = size = Granulize(size);
  if (size < mBack) size = Granulize(mBack);
  if (size == mSize) return mSize;
  void* resized = std::realloc(mBuf, static_cast<size_t>(size) * sizeof(IMidiMsg));
  if (!resized) return mSize;
  mBuf = static_cast<IMidiMsg*>(resized);
  mSize = size;
  return mSize;
}
