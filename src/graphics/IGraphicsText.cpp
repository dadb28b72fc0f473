// Text drawing and measuring of IGraphics. The raster font layer is not in
// the build yet, so no font can be made: text draws nothing and DrawIText
// reports it, as it does for a face the platform cannot create.

#include "graphics/IGraphics.h"

PIX_CachedFont* IGraphics::CacheFont(IText* text) { return nullptr; }

bool IGraphics::DrawIText(IText* text, const char* str, IRECT* r, bool measure) {
  if (!str || !*str) return true;
  return CacheFont(text) != nullptr;
}
