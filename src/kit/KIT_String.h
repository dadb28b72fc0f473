#pragma once
// Growable NUL-terminated byte string (UTF-8 by convention). Get() is never
// null: an unset string reads as "". Allocation failure keeps the old text.

#include "kit/KIT_HeapBuf.h"

class KIT_String {
public:
  KIT_String() = default;
  explicit KIT_String(const char* text) { Set(text); }

  // Replaces the text; a null text clears it. With maxLen >= 0 at most that
  // many bytes are taken.
  void Set(const char* text, int maxLen = -1);
  void Append(const char* text, int maxLen = -1);
  void Clear() { Set(""); }

  const char* Get() const;
  int GetLength() const { return mLength; }
  bool IsEmpty() const { return mLength == 0; }
  bool Equals(const char* text) const;

private:
  KIT_HeapBuf mBuf;
  int mLength = 0;
};
