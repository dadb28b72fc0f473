#pragma once
// The host side of urid:map and urid:unmap, for the programs and tests that
// load LV2 plug-ins (the tonnik program, the LV2 tests): URIs numbered from
// 1 in the order first seen. Not part of the plug-in.
//
// Ownership: the caller owns the map; the features point into it.
// Threads: one thread at a time (hosts that map from several threads need a
// lock around it).

#include <string>
#include <vector>

#include "lv2/urid/urid.h"

class LV2UridMap {
public:
  LV2UridMap();
  LV2UridMap(const LV2UridMap&) = delete;
  LV2UridMap& operator=(const LV2UridMap&) = delete;

  LV2_URID Map(const char* uri);
  // Null for a URID never handed out.
  const char* Unmap(LV2_URID urid) const;
  LV2_URID_Map* MapFeature() { return &mMap; }
  LV2_URID_Unmap* UnmapFeature() { return &mUnmap; }

private:
  std::vector<std::string> mUris;
  LV2_URID_Map mMap;
  LV2_URID_Unmap mUnmap;
};
