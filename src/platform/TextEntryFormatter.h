#pragma once
// The filter of a text field opened for a parameter: which characters may
// be typed, how many, and how large the typed integer may be. Each partial
// string the user would produce is checked before it is taken.
// Plain value; main thread.

#include "kit/KIT_String.h"

class IParam;

class TextEntryFormatter {
public:
  // No filter set, no limits: every partial string is accepted.
  TextEntryFormatter() = default;
  // Digits, '.', '-' and '+' for a continuous parameter; digits, '-' and '+'
  // for bool, int and enumerated ones; maxLength is the control's entry
  // length (0 = unlimited).
  static TextEntryFormatter ForParam(const IParam* param, int maxLength);

  // A null or empty set removes the filter.
  void SetFilterCharacters(const char* chars) { mFilter.Set(chars ? chars : ""); }
  void SetMaxLength(int maxLength) { mMaxLength = maxLength; }
  void SetMaxValue(int maxValue) { mMaxValue = maxValue; }

  const char* GetFilterCharacters() const { return mFilter.Get(); }
  int GetMaxLength() const { return mMaxLength; }
  int GetMaxValue() const { return mMaxValue; }

  // Every character in the filter (when set), length within maxLength and
  // integer value within maxValue (each when not 0).
  bool IsPartialStringValid(const char* text) const;

private:
  KIT_String mFilter;
  int mMaxLength = 0;
  int mMaxValue = 0;
};
