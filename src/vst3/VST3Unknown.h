#pragma once
// The FUnknown half of the reference-counted objects this adapter hands a
// host (the plug-in and its view): a count that starts at the maker's one
// reference, and queryInterface answered from a table of the interfaces an
// object offers. Any thread: the count is atomic and the tables constant.

#include <atomic>

#include "vst3/VST3Interfaces.h"

namespace vst3 {

// One interface an object offers: its ID and the object seen as it. Every
// interface derives from FUnknown alone, so the FUnknown pointer is the
// interface's own.
struct Offered {
  const UID* mIID;
  FUnknown* mAs;
};

// queryInterface over nOffered offers: *obj becomes the one iid names,
// with a reference added (kResultOk), or null (kNoInterface); a null obj
// is kInvalidArgument.
tresult QueryOffered(const TUID iid, void** obj, const Offered* offered, int nOffered);

class RefCount {
public:
  uint32 Add() { return ++mCount; }
  // The references left: at zero the counted object deletes itself.
  uint32 Drop() { return --mCount; }

private:
  std::atomic<uint32> mCount{1};
};

}  // namespace vst3
