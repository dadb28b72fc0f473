// CFString: immutable UTF-8 text, constant strings and formatting.

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "au/apple/CFObject.h"

struct __CFString : CFObject {
  __CFString(std::string text, bool immortal) : CFObject(kStandInStringTypeID, immortal), mText(std::move(text)) {}

  bool Equals(const CFObject& other) const override { return mText == static_cast<const __CFString&>(other).mText; }
  CFHashCode Hash() const override { return std::hash<std::string>()(mText); }
  std::string Describe() const override { return mText; }

  const std::string mText;
};

namespace {
const __CFString* AsString(CFTypeRef cf) { return AsType<__CFString>(cf, kStandInStringTypeID); }

// Formats one printf conversion (without %@) taken from the arguments.
void AppendConversion(std::string& out, const std::string& directive, char conversion, const std::string& length,
                      va_list& args) {
  char buffer[512];
  int n = 0;
  switch (conversion) {
    case 'd':
    case 'i':
    case 'u':
    case 'x':
    case 'X':
      if (length == "ll")
        n = std::snprintf(buffer, sizeof buffer, directive.c_str(), va_arg(args, long long));
      else if (length == "l")
        n = std::snprintf(buffer, sizeof buffer, directive.c_str(), va_arg(args, long));
      else
        n = std::snprintf(buffer, sizeof buffer, directive.c_str(), va_arg(args, int));
      break;
    case 'c':
      n = std::snprintf(buffer, sizeof buffer, directive.c_str(), va_arg(args, int));
      break;
    case 'f':
    case 'g':
    case 'e':
      n = std::snprintf(buffer, sizeof buffer, directive.c_str(), va_arg(args, double));
      break;
    case 'p':
      n = std::snprintf(buffer, sizeof buffer, directive.c_str(), va_arg(args, void*));
      break;
    case 's': {
      const char* text = va_arg(args, const char*);
      n = std::snprintf(buffer, sizeof buffer, directive.c_str(), text ? text : "(null)");
      break;
    }
    default:
      return;
  }
  if (n > 0) out.append(buffer, (size_t)n < sizeof buffer ? (size_t)n : sizeof buffer - 1);
}

std::string Format(const std::string& format, va_list& args) {
  std::string out;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out += format[i];
      continue;
    }
    size_t j = i + 1;
    while (j < format.size() && std::strchr("-+ #0", format[j])) ++j;
    while (j < format.size() && (std::isdigit((unsigned char)format[j]) || format[j] == '.')) ++j;
    std::string length;
    while (j < format.size() && (format[j] == 'l' || format[j] == 'h')) length += format[j++];
    if (j >= format.size()) break;
    const char conversion = format[j];
    if (conversion == '%') {
      out += '%';
    } else if (conversion == '@') {
      CFTypeRef object = va_arg(args, CFTypeRef);
      out += object ? AsObject(object)->Describe() : "(null)";
    } else {
      std::string directive = format.substr(i, j - i + 1);
      AppendConversion(out, directive, conversion, length, args);
    }
    i = j;
  }
  return out;
}

// Constant strings by text; they are never freed.
std::mutex sConstantsMutex;
std::map<std::string, std::unique_ptr<__CFString>>& Constants() {
  static auto* constants = new std::map<std::string, std::unique_ptr<__CFString>>();
  return *constants;
}
}  // namespace

const std::string& StringText(CFStringRef str) {
  static const std::string kEmpty;
  const __CFString* s = AsString(str);
  return s ? s->mText : kEmpty;
}

CFStringRef MakeString(std::string text) { return new __CFString(std::move(text), false); }

CFTypeID CFStringGetTypeID() { return kStandInStringTypeID; }

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char* cStr, CFStringEncoding) {
  return cStr ? MakeString(cStr) : nullptr;
}

CFStringRef CFStringCreateCopy(CFAllocatorRef, CFStringRef str) {
  return AsString(str) ? MakeString(StringText(str)) : nullptr;
}

CFStringRef CFStringCreateWithFormatAndArguments(CFAllocatorRef, CFTypeRef, CFStringRef format, va_list arguments) {
  if (!AsString(format)) return nullptr;
  va_list args;
  va_copy(args, arguments);
  std::string text = Format(StringText(format), args);
  va_end(args);
  return MakeString(std::move(text));
}

CFStringRef CFStringCreateWithFormat(CFAllocatorRef allocator, CFTypeRef formatOptions, CFStringRef format, ...) {
  va_list args;
  va_start(args, format);
  CFStringRef result = CFStringCreateWithFormatAndArguments(allocator, formatOptions, format, args);
  va_end(args);
  return result;
}

CFIndex CFStringGetLength(CFStringRef str) {
  CFIndex count = 0;
  for (unsigned char c : StringText(str))
    if ((c & 0xC0) != 0x80) ++count;
  return count;
}

Boolean CFStringGetCString(CFStringRef str, char* buffer, CFIndex bufferSize, CFStringEncoding) {
  if (!buffer || bufferSize <= 0) return false;
  const std::string& text = StringText(str);
  if (!AsString(str) || (CFIndex)text.size() + 1 > bufferSize) {
    buffer[0] = '\0';
    return false;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return true;
}

const char* CFStringGetCStringPtr(CFStringRef str, CFStringEncoding) {
  return AsString(str) ? StringText(str).c_str() : nullptr;
}

CFComparisonResult CFStringCompare(CFStringRef a, CFStringRef b, CFOptionFlags options) {
  const std::string& ta = StringText(a);
  const std::string& tb = StringText(b);
  const int cmp = (options & kCFCompareCaseInsensitive) ? strcasecmp(ta.c_str(), tb.c_str()) : ta.compare(tb);
  return cmp < 0 ? kCFCompareLessThan : cmp > 0 ? kCFCompareGreaterThan : kCFCompareEqualTo;
}

double CFStringGetDoubleValue(CFStringRef str) { return std::strtod(StringText(str).c_str(), nullptr); }

CFStringRef __CFStringMakeConstantString(const char* cStr) {
  std::lock_guard<std::mutex> lock(sConstantsMutex);
  std::unique_ptr<__CFString>& entry = Constants()[cStr];
  if (!entry) entry.reset(new __CFString(cStr, true));
  return entry.get();
}
