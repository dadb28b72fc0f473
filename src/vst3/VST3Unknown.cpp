#include "vst3/VST3Unknown.h"

namespace vst3 {

tresult QueryOffered(const TUID iid, void** obj, const Offered* offered, int nOffered) {
  if (!obj) return kInvalidArgument;
  for (int i = 0; i < nOffered; ++i) {
    if (SameUID(iid, *offered[i].mIID)) {
      *obj = offered[i].mAs;
      offered[i].mAs->addRef();
      return kResultOk;
    }
  }
  *obj = nullptr;
  return kNoInterface;
}

}  // namespace vst3
