#include "au/AUDictionary.h"

#include <climits>
#include <cstring>

#include "plugin/ByteChunk.h"

namespace {
// The dictionary's value for key when it has the wanted type, else null.
CFTypeRef GetTyped(CFDictionaryRef dict, const char* key, CFTypeID typeID) {
  if (!dict || CFGetTypeID(dict) != CFDictionaryGetTypeID()) return nullptr;
  CFStringRef cfKey = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
  CFTypeRef value = CFDictionaryGetValue(dict, cfKey);
  CFRelease(cfKey);
  return value && CFGetTypeID(value) == typeID ? value : nullptr;
}

void Put(CFMutableDictionaryRef dict, const char* key, CFTypeRef value) {
  if (!value) return;
  CFStringRef cfKey = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
  CFDictionarySetValue(dict, cfKey, value);
  CFRelease(cfKey);
  CFRelease(value);
}
}  // namespace

void PutNumberInDict(CFMutableDictionaryRef dict, const char* key, const void* value, CFNumberType type) {
  Put(dict, key, CFNumberCreate(nullptr, type, value));
}

void PutStrInDict(CFMutableDictionaryRef dict, const char* key, const char* text) {
  Put(dict, key, CFStringCreateWithCString(nullptr, text, kCFStringEncodingUTF8));
}

void PutDataInDict(CFMutableDictionaryRef dict, const char* key, const ByteChunk* chunk) {
  Put(dict, key, CFDataCreate(nullptr, chunk->GetBytes(), chunk->Size()));
}

bool GetNumberFromDict(CFDictionaryRef dict, const char* key, void* value, CFNumberType type) {
  CFTypeRef number = GetTyped(dict, key, CFNumberGetTypeID());
  return number && CFNumberGetValue(static_cast<CFNumberRef>(number), type, value);
}

bool GetStrFromDict(CFDictionaryRef dict, const char* key, char* text, int textSize) {
  CFTypeRef str = GetTyped(dict, key, CFStringGetTypeID());
  if (!str || textSize <= 0) return false;
  const char* bytes = CFStringGetCStringPtr(static_cast<CFStringRef>(str), kCFStringEncodingUTF8);
  if (!bytes) return CFStringGetCString(static_cast<CFStringRef>(str), text, textSize, kCFStringEncodingUTF8);
  std::strncpy(text, bytes, (size_t)textSize - 1);
  text[textSize - 1] = '\0';
  return true;
}

bool GetDataFromDict(CFDictionaryRef dict, const char* key, ByteChunk* chunk) {
  CFTypeRef data = GetTyped(dict, key, CFDataGetTypeID());
  if (!data) return false;
  const CFIndex length = CFDataGetLength(static_cast<CFDataRef>(data));
  if (length < 0 || length > INT_MAX) return false;
  chunk->Resize((int)length);
  if (chunk->Size() != (int)length) return false;
  if (length > 0) std::memcpy(chunk->GetBytes(), CFDataGetBytePtr(static_cast<CFDataRef>(data)), (size_t)length);
  return true;
}
