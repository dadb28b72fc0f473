#include "vst3/VST3Interfaces.h"

#include <cstring>

namespace vst3 {

bool SameUID(const void* a, const UID& id) { return a && std::memcmp(a, id.bytes, sizeof id.bytes) == 0; }

}  // namespace vst3
