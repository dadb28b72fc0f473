#include "lv2/LV2PortSymbol.h"

namespace {

bool IsAsciiAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

}  // namespace

bool LV2PortSymbol(const char* name, char* out, int outSize) {
  if (!out || outSize <= 0) return false;
  int n = 0;
  const auto put = [&](char c) {
    if (n >= outSize - 1) return false;
    out[n++] = c;
    return true;
  };
  if (!name) name = "";
  if (!(*name && IsAsciiAlnum(*name) && !(*name >= '0' && *name <= '9')) && !put('_')) return (out[0] = 0), false;
  bool inRun = n > 0;
  for (const char* p = name; *p; ++p) {
    if (IsAsciiAlnum(*p)) {
      if (!put(AsciiLower(*p))) return (out[n] = 0), false;
      inRun = false;
    } else if (!inRun) {
      if (!put('_')) return (out[n] = 0), false;
      inRun = true;
    }
  }
  out[n] = 0;
  return true;
}
