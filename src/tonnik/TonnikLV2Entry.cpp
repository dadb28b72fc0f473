// The instrument as an LV2 product: its URI, the factory the LV2 descriptor
// calls on instantiate, the sample rates the voice plays, and the exported
// entry point. They live in one file, so that linking the entry always
// brings the product in.

#include "dcx/ResourceDir.h"
#include "kick/Pulse.h"
#include "kit/KIT_String.h"
#include "lv2/LV2Entry.h"
#include "lv2/LV2Product.h"
#include "platform/IGraphicsX11.h"
#include "tonnik/TonnikMake.h"

namespace {

const char* const kPlugURI = "http://velmora-rirevovizod.org/lv2/tonnik-pro";
// Where the editor's images sit inside the bundle.
const char* const kBundleImageDir = "resources/img";

// The first instance points the image lookup at the bundle (every
// instance comes from the same bundle, so the folder is set once and never
// changes under a reader).
IPluginLV2* MakeTonnik(const char* bundlePath) {
  TonnikCreationLock lock;
  static bool sImagesFromBundle = false;
  if (!sImagesFromBundle && bundlePath && *bundlePath) {
    KIT_String dir;
    dir.Set(bundlePath);
    if (dir.Get()[dir.GetLength() - 1] != '/') dir.Append("/");
    dir.Append(kBundleImageDir);
    SetTonnikResourceDir(dir.Get());
    sImagesFromBundle = true;
  }
  // In a host the editor is an X11 window (the bundle's ui:X11UI shows it).
  UseX11Editors();
  return NewTonnik(kPlugURI);
}

bool SupportsRate(double sampleRate) { return Pulse::playsAt(sampleRate); }

}  // namespace

const IPluginLV2Product& LV2Product() {
  static const IPluginLV2Product kProduct = {kPlugURI, MakeTonnik, SupportsRate};
  return kProduct;
}

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) { return LV2Descriptor(index); }
