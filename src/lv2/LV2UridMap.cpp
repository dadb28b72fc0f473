#include "lv2/LV2UridMap.h"

LV2UridMap::LV2UridMap() {
  mMap.handle = this;
  mMap.map = [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<LV2UridMap*>(h)->Map(uri); };
  mUnmap.handle = this;
  mUnmap.unmap = [](LV2_URID_Unmap_Handle h, LV2_URID urid) { return static_cast<LV2UridMap*>(h)->Unmap(urid); };
}

LV2_URID LV2UridMap::Map(const char* uri) {
  if (!uri) return 0;
  for (size_t i = 0; i < mUris.size(); ++i)
    if (mUris[i] == uri) return (LV2_URID)(i + 1);
  mUris.push_back(uri);
  return (LV2_URID)mUris.size();
}

const char* LV2UridMap::Unmap(LV2_URID urid) const {
  return urid >= 1 && urid <= mUris.size() ? mUris[urid - 1].c_str() : nullptr;
}
