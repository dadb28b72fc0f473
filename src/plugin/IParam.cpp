#include "plugin/IParam.h"

#include <cmath>
#include <cstdio>
#include <cstring>

// Split mode: shapes from this value up map the two halves of 0..1 onto
// [min, 0] and [0, max].
static const double kSplitShape = 100.0;
static const int kMaxDisplayPrecision = 6;

// Copies text into a fixed field, cutting it to fit; null reads as "".
static void CopyText(char* dst, const char* text) {
  if (!text) text = "";
  const size_t length = strnlen(text, IParam::kTextLen - 1);
  std::memcpy(dst, text, length);
  dst[length] = 0;
}

// Truncates toward zero like a cast, but holds values outside the int range
// (and NaN, as 0) so text lookups of host-supplied values stay defined.
static int TruncateToInt(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(v);
}

static int PrecisionOfStep(double step) {
  int precision = 0;
  double s = step;
  while (precision < kMaxDisplayPrecision && s != std::floor(s)) {
    ++precision;
    s *= 10.0;
  }
  return precision;
}

IParam::IParam()
    : mType(kKindNone),
      mValue(0.0),
      mMin(0.0),
      mMax(1.0),
      mStep(1.0),
      mShape(1.0),
      mDefault(0.0),
      mDisplayPrecision(0),
      mNegateDisplay(false),
      mCanAutomate(true),
      mIsMeta(false) {
  std::memset(mName, 0, sizeof(mName));
  std::memset(mLabel, 0, sizeof(mLabel));
  std::memset(mParamGroup, 0, sizeof(mParamGroup));
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, const char* group) {
  if (mType == kKindNone) mType = kKindBool;
  InitEnum(name, defaultVal ? 1 : 0, 2, label, group);
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label,
                      const char* group) {
  if (mType == kKindNone) mType = kKindEnum;
  InitInt(name, defaultVal, 0, nEnums - 1, label, group);
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label,
                     const char* group) {
  if (mType == kKindNone) mType = kKindInt;
  InitDouble(name, defaultVal, minVal, maxVal, 1.0, label, group);
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal,
                        double step, const char* label, const char* group) {
  if (mType == kKindNone) mType = kKindDouble;
  CopyText(mName, name);
  CopyText(mLabel, label);
  CopyText(mParamGroup, group);
  mValue = mDefault = defaultVal;
  mMin = minVal;
  mMax = maxVal > minVal + step ? maxVal : minVal + step;
  mStep = step;
  mDisplayPrecision = PrecisionOfStep(step);
}

void IParam::SetDisplayText(int value, const char* text) {
  DisplayText entry;
  entry.mValue = value;
  CopyText(entry.mText, text);
  mDisplayTexts.Add(entry);
}

void IParam::SetShape(double shape) {
  if (shape != 0.0) mShape = shape;
}

void IParam::Set(double value) {
  if (std::isnan(value)) return;
  if (value < mMin) value = mMin;
  if (value > mMax) value = mMax;
  mValue = value;
}

void IParam::SetNormalized(double normalizedValue) {
  if (!std::isfinite(normalizedValue)) return;
  double v = FromNormalizedParam(normalizedValue, mMin, mMax, mShape);
  if (mType != kKindDouble) v = std::floor(0.5 + v / mStep) * mStep;
  mValue = v < mMax ? v : mMax;
}

double IParam::DBToAmp() const { return ::DBToAmp(mValue); }

double IParam::GetNormalized(double v) const {
  if (v < mMin) v = mMin;
  if (v > mMax) v = mMax;
  return ToNormalizedParam(v, mMin, mMax, mShape);
}

void IParam::GetBounds(double* lo, double* hi) const {
  *lo = mMin;
  *hi = mMax;
}

const char* IParam::GetLabelForHost() const {
  const char* text = GetDisplayText(TruncateToInt(mValue));
  return text[0] ? "" : mLabel;
}

const char* IParam::GetDisplayText(int value) const {
  const DisplayText* entries = mDisplayTexts.Get();
  for (int i = 0; i < mDisplayTexts.GetSize(); ++i)
    if (entries[i].mValue == value) return entries[i].mText;
  return "";
}

const char* IParam::GetDisplayTextAtIdx(int idx, int* value) const {
  if (idx < 0 || idx >= mDisplayTexts.GetSize()) return "";
  const DisplayText& entry = mDisplayTexts.Get()[idx];
  if (value) *value = entry.mValue;
  return entry.mText;
}

bool IParam::MapDisplayText(const char* text, int* value) const {
  const DisplayText* entries = mDisplayTexts.Get();
  for (int i = 0; i < mDisplayTexts.GetSize(); ++i) {
    if (std::strcmp(entries[i].mText, text) == 0) {
      *value = entries[i].mValue;
      return true;
    }
  }
  return false;
}

void IParam::GetDisplayForHost(double v, bool normalized, char* out, bool withDisplayText) const {
  if (normalized) v = FromNormalizedParam(v, mMin, mMax, mShape);
  if (withDisplayText) {
    const char* text = GetDisplayText(TruncateToInt(v));
    if (text[0]) {
      CopyText(out, text);
      return;
    }
  }
  const double d = mNegateDisplay ? -v : v;
  // Formatted at full length, handed out cut to a display text's size so a
  // far-out value from a host cannot overrun the caller's buffer.
  char text[400];
  if (mDisplayPrecision == 0)
    std::snprintf(text, sizeof(text), "%d", TruncateToInt(d));
  else
    std::snprintf(text, sizeof(text), "%.*f", mDisplayPrecision, d);
  CopyText(out, text);
}

double FromNormalizedParam(double normalizedValue, double min, double max, double shape) {
  if (shape < kSplitShape) return min + std::pow(normalizedValue, shape) * (max - min);
  if (normalizedValue < 0.5) return min + normalizedValue * 2.0 * std::fabs(min);
  return 2.0 * (normalizedValue - 0.5) * max;
}

double ToNormalizedParam(double value, double min, double max, double shape) {
  if (shape < kSplitShape) return std::pow((value - min) / (max - min), 1.0 / shape);
  if (value < 0.0) return (value - min) / (2.0 * std::fabs(min));
  return value / (2.0 * max) + 0.5;
}

double DBToAmp(double dB) { return std::exp(0.1151292546497 * dB); }
