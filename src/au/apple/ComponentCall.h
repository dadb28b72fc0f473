#pragma once
// Building and reading Component Manager parameter blocks in the 64-bit
// convention described in Components.h. Not an Apple interface: on a Mac the
// system's dispatch glue does this. Any thread.

#include <cstddef>
#include <cstring>

#include "au/apple/Components.h"

// Reads argument `index` (0-based, after the instance slot) of a block.
template <class T>
T ComponentArgument(const ComponentParameters* params, int index) {
  static_assert(sizeof(T) <= sizeof(long), "an argument fits one slot");
  T value;
  std::memcpy(&value, reinterpret_cast<const char*>(params->params) + sizeof(long) * (size_t)(index + 1), sizeof value);
  return value;
}

// The instance slot of a block (the instance being opened or closed).
inline ComponentInstance ComponentSelf(const ComponentParameters* params) {
  ComponentInstance ci;
  std::memcpy(&ci, params->params, sizeof ci);
  return ci;
}

// One call: the selector, then the arguments in forward order.
class ComponentCall {
public:
  explicit ComponentCall(SInt16 selector) {
    std::memset(&mBlock, 0, sizeof mBlock);
    mBlock.what = selector;
  }

  // Appends one argument; at most kMaxArguments.
  template <class T>
  ComponentCall& Arg(T value) {
    static_assert(sizeof(T) <= sizeof(long), "an argument fits one slot");
    if (mCount < kMaxArguments) {
      std::memcpy(&mBlock.params[1 + mCount], &value, sizeof value);
      ++mCount;
      mBlock.paramSize = (UInt8)(sizeof(long) * (size_t)mCount);
    }
    return *this;
  }

  ComponentResult Call(ComponentInstance ci) {
    std::memcpy(&mBlock.params[0], &ci, sizeof ci);
    return CallComponentDispatch(reinterpret_cast<ComponentParameters*>(&mBlock));
  }

  // Calls an entry directly with the storage the caller keeps, as the
  // system's glue does for a component reached through its plug-in interface.
  ComponentResult CallEntry(ComponentRoutineProcPtr entry, ComponentInstance ci, Handle storage) {
    std::memcpy(&mBlock.params[0], &ci, sizeof ci);
    return entry(reinterpret_cast<ComponentParameters*>(&mBlock), storage);
  }

  static const int kMaxArguments = 8;

private:
  struct Block {
    UInt8 flags;
    UInt8 paramSize;
    SInt16 what;
    UInt32 padding;
    long params[1 + kMaxArguments];
  };
  static_assert(offsetof(Block, params) == offsetof(ComponentParameters, params), "same header as ComponentParameters");

  Block mBlock;
  int mCount = 0;
};

// A whole call: the selector, the instance, then the arguments in forward
// order, each in its own type.
template <class... Args>
ComponentResult CallComponent(SInt16 selector, ComponentInstance ci, Args... args) {
  ComponentCall call(selector);
  (call.Arg(args), ...);
  return call.Call(ci);
}
