#include "EditorRig.h"

std::string EditorRig::Area(PIX_IBitmap* b, int x, int y, int w, int h) {
  std::string out;
  for (int row = y; row < y + h; ++row) {
    const unsigned* p = b->getBits() + static_cast<long>(row) * b->getRowSpan() + x;
    out.append(reinterpret_cast<const char*>(p), sizeof(unsigned) * w);
  }
  return out;
}
