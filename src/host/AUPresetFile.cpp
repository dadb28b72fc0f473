#include "host/AUPresetFile.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "host/PlistBase64.h"

namespace {

const char kPublicID[] = "-//Apple//DTD PLIST 1.0//EN";
const char kSystemID[] = "http://www.apple.com/DTDs/PropertyList-1.0.dtd";
// Presets are flat; anything deeper than this is not one.
const int kMaxDepth = 32;

const xmlChar* X(const char* text) { return reinterpret_cast<const xmlChar*>(text); }
const char* C(const xmlChar* text) { return reinterpret_cast<const char*>(text); }

bool IsNamed(const xmlNode* node, const char* name) { return xmlStrcmp(node->name, X(name)) == 0; }

bool IsBlank(const xmlChar* text) {
  for (; text && *text; ++text)
    if (!std::strchr(" \t\r\n", *text)) return false;
  return true;
}

void InitLibxml() {
  static std::once_flag once;
  std::call_once(once, [] { xmlInitParser(); });
}

// Releases a CF object when it goes out of scope unless taken.
class CFHolder {
public:
  explicit CFHolder(CFTypeRef object = nullptr) : mObject(object) {}
  ~CFHolder() {
    if (mObject) CFRelease(mObject);
  }
  CFHolder(const CFHolder&) = delete;
  CFHolder& operator=(const CFHolder&) = delete;
  CFTypeRef Get() const { return mObject; }
  void Reset(CFTypeRef object = nullptr) {
    if (mObject) CFRelease(mObject);
    mObject = object;
  }
  CFTypeRef Take() {
    CFTypeRef object = mObject;
    mObject = nullptr;
    return object;
  }

private:
  CFTypeRef mObject;
};

// Builds CF objects from the elements of a parsed plist; the first failure
// is kept and ends the walk.
class PlistReader {
public:
  // A new object for the element, or null after a failure.
  CFTypeRef ReadValue(const xmlNode* node, int depth) {
    if (depth > kMaxDepth) return Fail(kAUPresetBadValue, node, "values nested too deeply");
    if (IsNamed(node, "dict")) return ReadDict(node, depth);
    if (IsNamed(node, "array")) return ReadArray(node, depth);
    std::string text;
    if (!IsNamed(node, "true") && !IsNamed(node, "false") && !TextOf(node, &text)) return nullptr;
    if (IsNamed(node, "string") || IsNamed(node, "key"))
      return CFStringCreateWithCString(nullptr, text.c_str(), kCFStringEncodingUTF8);
    if (IsNamed(node, "integer")) return ReadInteger(node, text);
    if (IsNamed(node, "real")) return ReadReal(node, text);
    if (IsNamed(node, "data")) return ReadData(node, text);
    if (IsNamed(node, "true") || IsNamed(node, "false")) {
      if (node->children) return Fail(kAUPresetBadValue, node, "<true/> and <false/> hold nothing");
      const SInt32 value = IsNamed(node, "true") ? 1 : 0;
      return CFNumberCreate(nullptr, kCFNumberSInt32Type, &value);
    }
    return Fail(kAUPresetBadValue, node, "<" + std::string(C(node->name)) + "> is not a supported value");
  }

  CFTypeRef Fail(EAUPresetFileResult result, const xmlNode* node, const std::string& reason) {
    if (mResult == kAUPresetOK) {
      mResult = result;
      mReason = node ? "line " + std::to_string(xmlGetLineNo(node)) + ": " + reason : reason;
    }
    return nullptr;
  }

  // The same for callers that answer a bool.
  bool Refuse(EAUPresetFileResult result, const xmlNode* node, const std::string& reason) {
    Fail(result, node, reason);
    return false;
  }

  EAUPresetFileResult mResult = kAUPresetOK;
  std::string mReason;

private:
  // The element's text; only text and CDATA children (comments aside).
  bool TextOf(const xmlNode* node, std::string* text) {
    for (const xmlNode* child = node->children; child; child = child->next) {
      if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
        if (child->content) text->append(C(child->content));
      } else if (child->type != XML_COMMENT_NODE) {
        Fail(kAUPresetBadValue, child, "<" + std::string(C(node->name)) + "> must hold text only");
        return false;
      }
    }
    return true;
  }

  // Calls visit for every element child; text between them must be blank.
  template <class Visit>
  bool ForEachElement(const xmlNode* node, Visit visit) {
    for (const xmlNode* child = node->children; child; child = child->next) {
      if (child->type == XML_ELEMENT_NODE) {
        if (!visit(child)) return false;
      } else if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
        if (!IsBlank(child->content)) {
          Fail(kAUPresetBadValue, child, "text outside a value in <" + std::string(C(node->name)) + ">");
          return false;
        }
      } else if (child->type != XML_COMMENT_NODE && child->type != XML_PI_NODE) {
        Fail(kAUPresetBadValue, child, "unexpected content in <" + std::string(C(node->name)) + ">");
        return false;
      }
    }
    return true;
  }

  CFTypeRef ReadDict(const xmlNode* node, int depth) {
    CFHolder dict(
        CFDictionaryCreateMutable(nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks));
    CFHolder key;
    const bool ok = ForEachElement(node, [&](const xmlNode* child) {
      if (!key.Get()) {
        if (!IsNamed(child, "key")) return Refuse(kAUPresetBadValue, child, "a dictionary entry must start with <key>");
        CFHolder newKey(ReadValue(child, depth + 1));
        if (!newKey.Get()) return false;
        if (CFDictionaryGetValue(static_cast<CFDictionaryRef>(dict.Get()), newKey.Get()))
          return Refuse(kAUPresetBadValue, child, "the key \"" + StringOf(newKey.Get()) + "\" appears twice");
        key.Reset(newKey.Take());
        return true;
      }
      if (IsNamed(child, "key")) return Refuse(kAUPresetBadValue, child, "a <key> without a value");
      CFHolder value(ReadValue(child, depth + 1));
      if (!value.Get()) return false;
      CFDictionarySetValue((CFMutableDictionaryRef)dict.Get(), key.Get(), value.Get());
      key.Reset();
      return true;
    });
    if (!ok) return nullptr;
    if (key.Get()) return Fail(kAUPresetBadValue, node, "the last <key> has no value");
    return dict.Take();
  }

  CFTypeRef ReadArray(const xmlNode* node, int depth) {
    CFHolder array(CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks));
    const bool ok = ForEachElement(node, [&](const xmlNode* child) {
      if (IsNamed(child, "key")) return Refuse(kAUPresetBadValue, child, "<key> inside an array");
      CFHolder value(ReadValue(child, depth + 1));
      if (!value.Get()) return false;
      CFArrayAppendValue((CFMutableArrayRef)array.Get(), value.Get());
      return true;
    });
    return ok ? array.Take() : nullptr;
  }

  CFTypeRef ReadInteger(const xmlNode* node, const std::string& text) {
    const char* begin = text.c_str();
    while (*begin && std::strchr(" \t\r\n", *begin)) ++begin;
    const bool negative = *begin == '-';
    const char* digits = begin + (*begin == '-' || *begin == '+');
    const bool hex = digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X');
    if (hex) digits += 2;
    errno = 0;
    char* end = nullptr;
    const unsigned long long magnitude = std::strtoull(digits, &end, hex ? 16 : 10);
    while (end && *end && std::strchr(" \t\r\n", *end)) ++end;
    const bool digitFirst = std::isxdigit((unsigned char)digits[0]) != 0;
    const unsigned long long limit = negative ? (1ULL << 63) : (1ULL << 63) - 1;
    if (!digitFirst || errno != 0 || !end || *end || end == digits || magnitude > limit)
      return Fail(kAUPresetBadValue, node, "\"" + text + "\" is not a 64-bit integer");
    const SInt64 value = negative ? (SInt64)(0 - magnitude) : (SInt64)magnitude;
    if (value >= INT32_MIN && value <= INT32_MAX) {
      const SInt32 small = (SInt32)value;
      return CFNumberCreate(nullptr, kCFNumberSInt32Type, &small);
    }
    return CFNumberCreate(nullptr, kCFNumberSInt64Type, &value);
  }

  CFTypeRef ReadReal(const xmlNode* node, const std::string& text) {
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    while (end && *end && std::strchr(" \t\r\n", *end)) ++end;
    if (text.empty() || !end || *end || errno == ERANGE)
      return Fail(kAUPresetBadValue, node, "\"" + text + "\" is not a real number");
    return CFNumberCreate(nullptr, kCFNumberFloat64Type, &value);
  }

  CFTypeRef ReadData(const xmlNode* node, const std::string& text) {
    std::vector<UInt8> bytes;
    if (!PlistBase64Decode(text.data(), text.size(), &bytes))
      return Fail(kAUPresetBadValue, node, "<data> is not valid base64");
    return CFDataCreate(nullptr, bytes.data(), (CFIndex)bytes.size());
  }

  static std::string StringOf(CFTypeRef string) {
    const char* text = CFStringGetCStringPtr(static_cast<CFStringRef>(string), kCFStringEncodingUTF8);
    return text ? text : "";
  }
};

// Adds the element for a CF value under parent; false for a kind the file
// format cannot hold.
bool WriteValue(xmlNode* parent, CFTypeRef value, int depth, std::string* reason);

bool WriteDict(xmlNode* parent, CFDictionaryRef dict, int depth, std::string* reason) {
  xmlNode* node = xmlNewChild(parent, nullptr, X("dict"), nullptr);
  const CFIndex count = CFDictionaryGetCount(dict);
  std::vector<const void*> keys((size_t)count), values((size_t)count);
  CFDictionaryGetKeysAndValues(dict, keys.data(), values.data());
  std::vector<std::pair<std::string, CFTypeRef>> entries;
  for (CFIndex i = 0; i < count; ++i) {
    if (CFGetTypeID(keys[i]) != CFStringGetTypeID()) {
      *reason = "a dictionary key is not a string";
      return false;
    }
    const char* key = CFStringGetCStringPtr(static_cast<CFStringRef>(keys[i]), kCFStringEncodingUTF8);
    entries.emplace_back(key ? key : "", values[i]);
  }
  // Sorted keys make the same state give the same bytes.
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& entry : entries) {
    xmlNewTextChild(node, nullptr, X("key"), X(entry.first.c_str()));
    if (!WriteValue(node, entry.second, depth + 1, reason)) return false;
  }
  return true;
}

bool WriteValue(xmlNode* parent, CFTypeRef value, int depth, std::string* reason) {
  if (!value || depth > kMaxDepth) {
    *reason = value ? "values nested too deeply" : "a null value";
    return false;
  }
  const CFTypeID type = CFGetTypeID(value);
  if (type == CFDictionaryGetTypeID()) return WriteDict(parent, static_cast<CFDictionaryRef>(value), depth, reason);
  if (type == CFArrayGetTypeID()) {
    xmlNode* node = xmlNewChild(parent, nullptr, X("array"), nullptr);
    CFArrayRef array = static_cast<CFArrayRef>(value);
    for (CFIndex i = 0; i < CFArrayGetCount(array); ++i)
      if (!WriteValue(node, CFArrayGetValueAtIndex(array, i), depth + 1, reason)) return false;
    return true;
  }
  if (type == CFStringGetTypeID()) {
    const char* text = CFStringGetCStringPtr(static_cast<CFStringRef>(value), kCFStringEncodingUTF8);
    xmlNewTextChild(parent, nullptr, X("string"), X(text ? text : ""));
    return true;
  }
  if (type == CFNumberGetTypeID()) {
    CFNumberRef number = static_cast<CFNumberRef>(value);
    const CFNumberType numberType = CFNumberGetType(number);
    const bool isReal = numberType == kCFNumberFloat32Type || numberType == kCFNumberFloat64Type ||
                        numberType == kCFNumberFloatType || numberType == kCFNumberDoubleType;
    char text[40];
    if (isReal) {
      double d = 0;
      CFNumberGetValue(number, kCFNumberFloat64Type, &d);
      std::snprintf(text, sizeof text, "%.17g", d);
    } else {
      SInt64 i = 0;
      CFNumberGetValue(number, kCFNumberSInt64Type, &i);
      std::snprintf(text, sizeof text, "%lld", (long long)i);
    }
    xmlNewTextChild(parent, nullptr, X(isReal ? "real" : "integer"), X(text));
    return true;
  }
  if (type == CFDataGetTypeID()) {
    CFDataRef data = static_cast<CFDataRef>(value);
    const std::string text = PlistBase64Encode(CFDataGetBytePtr(data), (size_t)CFDataGetLength(data));
    xmlNewTextChild(parent, nullptr, X("data"), X(text.c_str()));
    return true;
  }
  *reason = "a value of a kind a property list cannot hold";
  return false;
}

}  // namespace

EAUPresetFileResult AUPresetFromXML(const char* text, size_t size, CFDictionaryRef* dict, std::string* reason) {
  *dict = nullptr;
  if (!text || size == 0) {
    *reason = "the file is empty";
    return kAUPresetNotXML;
  }
  if (size > (size_t)kMaxPresetFileBytes) {
    *reason = "the file is too large to be a preset";
    return kAUPresetNotPlist;
  }
  InitLibxml();
  xmlParserCtxtPtr context = xmlNewParserCtxt();
  if (!context) {
    *reason = "out of memory";
    return kAUPresetNotXML;
  }
  // No network, no external entities or DTDs, no entity substitution.
  xmlDocPtr doc = xmlCtxtReadMemory(context, text, (int)size, "preset.aupreset", nullptr,
                                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (!doc) {
    const xmlError* error = &context->lastError;
    std::string message = error->message ? error->message : "malformed XML";
    while (!message.empty() && message.back() == '\n') message.pop_back();
    *reason = "not well-formed XML (line " + std::to_string(error->line) + ": " + message + ")";
    xmlFreeParserCtxt(context);
    return kAUPresetNotXML;
  }
  xmlFreeParserCtxt(context);

  PlistReader reader;
  const xmlNode* root = xmlDocGetRootElement(doc);
  xmlChar* version = root ? xmlGetProp(root, X("version")) : nullptr;
  const xmlNode* top = nullptr;
  int nTop = 0;
  if (root)
    for (const xmlNode* child = root->children; child; child = child->next)
      if (child->type == XML_ELEMENT_NODE && nTop++ == 0) top = child;
  if (!root || !IsNamed(root, "plist"))
    reader.Fail(kAUPresetNotPlist, root, "the document is not a property list (no <plist> root)");
  else if (version && xmlStrcmp(version, X("1.0")) != 0)
    reader.Fail(kAUPresetNotPlist, root, "property list version " + std::string(C(version)) + " is not 1.0");
  else if (nTop != 1 || !IsNamed(top, "dict"))
    reader.Fail(kAUPresetNotPlist, root, "the property list does not hold exactly one dictionary");
  CFTypeRef value = reader.mResult == kAUPresetOK ? reader.ReadValue(top, 0) : nullptr;
  if (version) xmlFree(version);
  xmlFreeDoc(doc);
  if (!value) {
    *reason = reader.mReason;
    return reader.mResult;
  }
  *dict = static_cast<CFDictionaryRef>(value);
  return kAUPresetOK;
}

EAUPresetFileResult AUPresetToXML(CFDictionaryRef dict, std::string* text, std::string* reason) {
  if (!dict || CFGetTypeID(dict) != CFDictionaryGetTypeID()) {
    *reason = "not a dictionary";
    return kAUPresetBadValue;
  }
  InitLibxml();
  xmlDocPtr doc = xmlNewDoc(X("1.0"));
  xmlCreateIntSubset(doc, X("plist"), X(kPublicID), X(kSystemID));
  xmlNode* root = xmlNewNode(nullptr, X("plist"));
  xmlSetProp(root, X("version"), X("1.0"));
  xmlDocSetRootElement(doc, root);
  EAUPresetFileResult result = kAUPresetOK;
  if (WriteDict(root, dict, 0, reason)) {
    xmlChar* buffer = nullptr;
    int length = 0;
    xmlDocDumpFormatMemoryEnc(doc, &buffer, &length, "UTF-8", 1);
    if (buffer) {
      text->assign(C(buffer), (size_t)length);
      xmlFree(buffer);
    } else {
      *reason = "out of memory";
      result = kAUPresetCannotWrite;
    }
  } else {
    result = kAUPresetBadValue;
  }
  xmlFreeDoc(doc);
  return result;
}

EAUPresetFileResult AUPresetReadFile(const char* path, CFDictionaryRef* dict, std::string* reason) {
  *dict = nullptr;
  FILE* file = std::fopen(path, "rb");
  if (!file) {
    *reason = std::string(path) + ": " + std::strerror(errno);
    return kAUPresetCannotRead;
  }
  std::string text;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0 && text.size() <= (size_t)kMaxPresetFileBytes)
    text.append(buffer, n);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    *reason = std::string(path) + ": read error";
    return kAUPresetCannotRead;
  }
  const EAUPresetFileResult result = AUPresetFromXML(text.data(), text.size(), dict, reason);
  if (result != kAUPresetOK) *reason = std::string(path) + ": " + *reason;
  return result;
}

EAUPresetFileResult AUPresetWriteFile(const char* path, CFDictionaryRef dict, std::string* reason) {
  std::string text;
  const EAUPresetFileResult result = AUPresetToXML(dict, &text, reason);
  if (result != kAUPresetOK) return result;
  // Written beside the target and renamed over it, so a failed write never
  // leaves a half-written preset in place of a good one.
  const std::string temporary = std::string(path) + ".partial";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) {
    *reason = temporary + ": " + std::strerror(errno);
    return kAUPresetCannotWrite;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed || std::rename(temporary.c_str(), path) != 0) {
    *reason = std::string(path) + ": " + std::strerror(errno);
    std::remove(temporary.c_str());
    return kAUPresetCannotWrite;
  }
  return kAUPresetOK;
}

EAUPresetFileResult AUPresetCheckComponent(CFDictionaryRef dict, const ComponentDescription& cd, std::string* reason) {
  const struct {
    const char* key;
    OSType expected;
  } fields[] = {{"type", cd.componentType}, {"subtype", cd.componentSubType}, {"manufacturer", cd.componentManufacturer}};
  for (const auto& field : fields) {
    CFStringRef key = CFStringCreateWithCString(nullptr, field.key, kCFStringEncodingUTF8);
    CFTypeRef value = CFDictionaryGetValue(dict, key);
    CFRelease(key);
    SInt32 number = 0;
    if (!value || CFGetTypeID(value) != CFNumberGetTypeID() ||
        !CFNumberGetValue(static_cast<CFNumberRef>(value), kCFNumberSInt32Type, &number)) {
      *reason = std::string("the \"") + field.key + "\" entry is missing or not a 32-bit integer";
      return kAUPresetBadValue;
    }
    if ((OSType)number != field.expected) {
      char text[128];
      std::snprintf(text, sizeof text, "the preset is for another component (%s %d, expected %d)", field.key,
                    (int)number, (int)field.expected);
      *reason = text;
      return kAUPresetForeign;
    }
  }
  const struct {
    const char* key;
    CFTypeID type;
    const char* kind;
  } entries[] = {{"version", CFNumberGetTypeID(), "a number"},
                 {"name", CFStringGetTypeID(), "a string"},
                 {"data", CFDataGetTypeID(), "data"}};
  for (const auto& entry : entries) {
    CFStringRef key = CFStringCreateWithCString(nullptr, entry.key, kCFStringEncodingUTF8);
    CFTypeRef value = CFDictionaryGetValue(dict, key);
    CFRelease(key);
    if (!value || CFGetTypeID(value) != entry.type) {
      *reason = std::string("the \"") + entry.key + "\" entry is missing or not " + entry.kind;
      return kAUPresetBadValue;
    }
  }
  return kAUPresetOK;
}

const char* AUPresetResultText(EAUPresetFileResult result) {
  switch (result) {
    case kAUPresetOK:
      return "ok";
    case kAUPresetCannotRead:
      return "cannot read the file";
    case kAUPresetNotXML:
      return "not an XML file";
    case kAUPresetNotPlist:
      return "not a property list";
    case kAUPresetBadValue:
      return "malformed preset";
    case kAUPresetForeign:
      return "preset of another component";
    case kAUPresetCannotWrite:
      return "cannot write the file";
  }
  return "unknown error";
}
