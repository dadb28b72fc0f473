#include "platform/TextEntryFormatter.h"

#include <cstdlib>
#include <cstring>

#include "plugin/IParam.h"

namespace {
const char* const kDoubleChars = "0123456789.-+";
const char* const kIntegerChars = "0123456789-+";
}  // namespace

TextEntryFormatter TextEntryFormatter::ForParam(const IParam* param, int maxLength) {
  TextEntryFormatter f;
  f.SetFilterCharacters(param->Type() == IParam::kKindDouble ? kDoubleChars : kIntegerChars);
  f.SetMaxLength(maxLength);
  return f;
}

bool TextEntryFormatter::IsPartialStringValid(const char* text) const {
  if (!text) return false;
  if (!mFilter.IsEmpty())
    for (const char* p = text; *p; ++p)
      if (!std::strchr(mFilter.Get(), *p)) return false;
  if (mMaxLength > 0 && static_cast<int>(std::strlen(text)) > mMaxLength) return false;
  // strtol saturates instead of overflowing on very long digit runs.
  if (mMaxValue > 0 && std::strtol(text, nullptr, 10) > mMaxValue) return false;
  return true;
}
