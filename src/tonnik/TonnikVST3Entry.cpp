// The instrument as a VST 3 product: its class and identity, the factory
// that makes instances, and the module's exported entry points. They live in
// one file, so that linking the entry always brings the product in.

#include <dlfcn.h>
#include <sys/stat.h>

#include <string>

#include "dcx/ResourceDir.h"
#include "platform/IGraphicsX11.h"
#include "tonnik/TonnikMake.h"
#include "vst3/VST3Factory.h"
#include "vst3/VST3Product.h"

namespace {

constexpr vst3::uint32 FourCC(const char (&code)[5]) {
  return (vst3::uint32)(unsigned char)code[0] << 24 | (vst3::uint32)(unsigned char)code[1] << 16 |
         (vst3::uint32)(unsigned char)code[2] << 8 | (vst3::uint32)(unsigned char)code[3];
}

constexpr vst3::uint32 kUniqueID = FourCC("Tnk4");
constexpr vst3::uint32 kMakerID = FourCC("-VL-");
// Class ID words: unique ID, maker ID, "VST3", unique ID XOR maker ID.
constexpr vst3::UID kClassID = vst3::MakeUID(kUniqueID, kMakerID, FourCC("VST3"), kUniqueID ^ kMakerID);

const char* const kBundleID = "com.velmora.vst3.tonnik-pro";
// From the module (Contents/<arch>-linux/X.so) to the editor's images.
const char* const kResourcesFromModule = "/../Resources";

// The bundle's Resources folder, when this code runs from a bundle's module
// and the folder is there; "" otherwise.
std::string BundleResources() {
  Dl_info info;
  if (!dladdr(reinterpret_cast<void*>(&VST3Product), &info) || !info.dli_fname) return "";
  std::string path = info.dli_fname;
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  path = path.substr(0, slash) + kResourcesFromModule;
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? path : "";
}

// The first instance points the image lookup at the bundle (every
// instance comes from the same module, so the folder is set once).
IPluginVST3* MakeTonnik() {
  TonnikCreationLock lock;
  static bool sResourcesSet = false;
  if (!sResourcesSet) {
    const std::string dir = BundleResources();
    if (!dir.empty()) SetTonnikResourceDir(dir.c_str());
    sResourcesSet = true;
  }
  UseX11Editors();
  return NewTonnik(kBundleID);
}

}  // namespace

const IPluginVST3Product& VST3Product() {
  static const IPluginVST3Product kProduct = {kClassID,   "TONNIK-PRO", "Velmora Rirevovizod",
                                              "",         "",           "1.1.1",
                                              "Instrument|Drum", MakeTonnik};
  return kProduct;
}

extern "C" {

__attribute__((visibility("default"))) vst3::IPluginFactory* GetPluginFactory() {
  vst3::IPluginFactory* factory = VST3Factory();
  factory->addRef();
  return factory;
}

// The module needs nothing set up or torn down beyond what instances do.
__attribute__((visibility("default"))) bool ModuleEntry(void* sharedLibraryHandle) { return true; }
__attribute__((visibility("default"))) bool ModuleExit() { return true; }
}
