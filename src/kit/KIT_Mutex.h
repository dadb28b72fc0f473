#pragma once
// Recursive mutex: a thread that holds it may enter again; it is released
// when the outermost holder leaves. KIT_MutexLock holds one for a scope.

#include <mutex>

class KIT_Mutex {
public:
  void Enter() { mMutex.lock(); }
  bool TryEnter() { return mMutex.try_lock(); }
  void Leave() { mMutex.unlock(); }

private:
  std::recursive_mutex mMutex;
};

class KIT_MutexLock {
public:
  // A null mutex makes the lock do nothing.
  explicit KIT_MutexLock(KIT_Mutex* mutex) : mMutex(mutex) {
    if (mMutex) mMutex->Enter();
  }
  ~KIT_MutexLock() {
    if (mMutex) mMutex->Leave();
  }
  KIT_MutexLock(const KIT_MutexLock&) = delete;
  KIT_MutexLock& operator=(const KIT_MutexLock&) = delete;

private:
  KIT_Mutex* mMutex;
};
