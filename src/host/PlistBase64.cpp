#include "host/PlistBase64.h"

#include <climits>

#include "plugin/Base64.h"

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whole groups of three bytes encode on their own, so a long buffer goes to
// the encoder in slices of this many bytes, each within its int size.
const size_t kEncodeSlice = size_t(3) << 20;

}  // namespace

std::string PlistBase64Encode(const UInt8* bytes, size_t size) {
  std::string text((size + 2) / 3 * 4 + 1, '\0');
  char* out = &text[0];
  for (size_t done = 0; done < size; done += kEncodeSlice) {
    const size_t n = size - done < kEncodeSlice ? size - done : kEncodeSlice;
    out += base64encode(bytes + done, out, (int)n);
  }
  text.resize((size_t)(out - text.data()));
  return text;
}

bool PlistBase64Decode(const char* text, size_t size, std::vector<UInt8>* bytes) {
  // Files wrap the text in lines; the strict decoder sees the digits alone.
  std::string digits;
  digits.reserve(size);
  for (size_t i = 0; i < size; ++i)
    if (!IsSpace(text[i])) digits += text[i];
  if (digits.size() > (size_t)INT_MAX) return false;
  std::vector<UInt8> out(digits.size() / 4 * 3);
  const int n = base64decodeStrict(digits.data(), (int)digits.size(), out.data(), (int)out.size());
  if (n < 0) return false;
  out.resize((size_t)n);
  bytes->swap(out);
  return true;
}
