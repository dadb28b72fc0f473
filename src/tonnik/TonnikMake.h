#pragma once
// How every format's entry makes an instrument: one instance at a time,
// process-wide, and without exceptions crossing the plug-in boundary. The
// entry holds the lock over its own set-up for the instance too (the image
// folder, the editor kind), so that set-up never runs twice at once.
//
// Ownership: the instance goes to the caller (the format's adapter, which
// deletes it when the host closes it). Threads: whichever thread the host
// creates instances on.

#include "kit/KIT_Mutex.h"
#include "tonnik/Tonnik.h"

// Holds the process-wide creation lock for a scope.
class TonnikCreationLock {
public:
  TonnikCreationLock();
  TonnikCreationLock(const TonnikCreationLock&) = delete;
  TonnikCreationLock& operator=(const TonnikCreationLock&) = delete;

private:
  KIT_MutexLock mLock;
};

// A new instrument with this identity (cocoaViewFactoryClass null where the
// format has no Cocoa view), or null when memory runs out. The caller holds
// a TonnikCreationLock.
Tonnik* NewTonnik(const char* bundleID, const char* cocoaViewFactoryClass = nullptr);
