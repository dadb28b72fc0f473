#include "lv2/LV2Features.h"

#include <cstring>

void* LV2FeatureData(const LV2_Feature* const* features, const char* uri) {
  void* data = nullptr;
  for (int i = 0; features && features[i]; ++i) {
    const LV2_Feature* f = features[i];
    if (f->URI && std::strcmp(f->URI, uri) == 0) data = f->data;
  }
  return data;
}
