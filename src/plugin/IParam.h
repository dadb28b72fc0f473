#pragma once
// One automatable plug-in parameter: kind, range, step, mapping curve,
// current value and the texts shown for it. Converts between the real value
// (the parameter's own units), the normalized value 0..1 exchanged with hosts
// and editor controls, and display text.
//
// Owned by the plug-in base (one per parameter index). Initialised once from
// the instrument's constructor; afterwards only the value changes, under the
// plug-in mutex. No lock of its own: Value(), Int() and Bool() are plain
// reads for the audio thread.

#include "kit/KIT_TypedBuf.h"

class IParam {
public:
  enum EParamKind { kKindNone = 0, kKindBool = 1, kKindInt = 2, kKindEnum = 3, kKindDouble = 4 };

  // Fixed size of names, labels, groups and display texts, terminator included.
  static const int kTextLen = 32;

  // One value-to-text entry.
  struct DisplayText {
    int mValue;
    char mText[kTextLen];
  };

  IParam();

  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // Initialisers. Each sets the kind only while it is still kKindNone, so
  // the outermost call decides. Texts longer than 31 characters are cut.
  void InitBool(const char* name, bool defaultVal, const char* label = "", const char* group = "");
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label = "",
                const char* group = "");
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
               const char* group = "");
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", const char* group = "");

  // Appends a display text (cut to 31 characters).
  void SetDisplayText(int value, const char* text);
  // A shape of exactly 0 is ignored.
  void SetShape(double shape);

  // Clamps to [min, max]; no step rounding. NaN is ignored.
  void Set(double value);
  // Maps from 0..1, rounds to the step for all kinds but double, and holds
  // the result at max (no lower clamp). A non-finite input is ignored.
  void SetNormalized(double normalizedValue);

  double Value() const { return mValue; }
  int Int() const { return static_cast<int>(mValue); }
  bool Bool() const { return mValue >= 0.5; }
  double DBToAmp() const;

  double GetNormalized() const { return GetNormalized(mValue); }
  // Clamps v to the range, then maps it to 0..1.
  double GetNormalized(double v) const;

  void GetBounds(double* lo, double* hi) const;
  EParamKind Type() const { return mType; }
  double GetDefault() const { return mDefault; }
  double GetStep() const { return mStep; }
  double GetShape() const { return mShape; }
  int GetPrecision() const { return mDisplayPrecision; }

  const char* GetNameForHost() const { return mName; }
  // "" when a non-empty display text already names the current value.
  const char* GetLabelForHost() const;
  const char* GetParamGroupForHost() const { return mParamGroup; }

  bool DisplayIsNegated() const { return mNegateDisplay; }
  bool GetCanAutomate() const { return mCanAutomate; }
  bool GetIsMeta() const { return mIsMeta; }

  int GetNDisplayTexts() const { return mDisplayTexts.GetSize(); }
  // Text of the first entry with this value, or "".
  const char* GetDisplayText(int value) const;
  // Text of entry idx ("" outside the table); its value goes to *value when
  // value is not null.
  const char* GetDisplayTextAtIdx(int idx, int* value = nullptr) const;
  // Exact, case-sensitive match; *value is untouched when nothing matches.
  bool MapDisplayText(const char* text, int* value) const;

  // Formats v (a normalized value when normalized is true) into out, which
  // must hold kTextLen bytes; longer texts are cut to 31 characters.
  void GetDisplayForHost(double v, bool normalized, char* out, bool withDisplayText = true) const;
  void GetDisplayForHost(char* out) const { GetDisplayForHost(mValue, false, out, true); }
  void GetDisplayForHostNoDisplayText(char* out) const {
    GetDisplayForHost(mValue, false, out, false);
  }

private:
  EParamKind mType;
  double mValue;
  double mMin;
  double mMax;
  double mStep;
  double mShape;
  double mDefault;
  int mDisplayPrecision;
  char mName[kTextLen];
  char mLabel[kTextLen];
  char mParamGroup[kTextLen];
  bool mNegateDisplay;
  bool mCanAutomate;
  bool mIsMeta;
  KIT_TypedBuf<DisplayText> mDisplayTexts;
};

// Normalized 0..1 to real value. A shape below 100 is a power curve; 100 or
// more is split mode: the lower half maps onto [min, 0], the upper onto [0, max].
double FromNormalizedParam(double normalizedValue, double min, double max, double shape);
// Real value to normalized 0..1; the inverse of FromNormalizedParam.
double ToNormalizedParam(double value, double min, double max, double shape);
double DBToAmp(double dB);
