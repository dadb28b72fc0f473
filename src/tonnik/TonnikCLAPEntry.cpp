// The instrument as a CLAP product: its descriptor, the factory the entry
// calls, where its images are, and the exported clap_entry. They live in
// one file, so that linking the entry always brings the product in.

#include <sys/stat.h>

#include <string>

#include "clap/CLAPEntry.h"
#include "clap/CLAPProduct.h"
#include "dcx/ResourceDir.h"
#include "platform/IGraphicsX11.h"
#include "tonnik/TonnikMake.h"

namespace {

const char* const kPlugID = "org.velmora-rirevovizod.tonnik-pro";
// The editor's images: a folder beside the module file (a CLAP module on
// Linux is one file, and hosts search their folders for *.clap only).
const char* const kImageDirBesideModule = "tonnik-resources/img";

const char* const kFeatures[] = {"instrument", "synthesizer", "drum", "mono", nullptr};

// The version text of the instrument's packed version 0x00010101.
const clap_plugin_descriptor_t kDescriptor = {
    CLAP_VERSION, kPlugID, "TONNIK-PRO", "Velmora Rirevovizod", "", "", "", "1.1.1",
    "Analogue-style kick drum synthesizer", kFeatures};

// Points the image lookup at the folder beside the module when there is
// one; otherwise the folder configured at build time stays.
bool InitTonnik(const char* modulePath) {
  if (!modulePath) return true;
  const std::string path(modulePath);
  const std::string::size_type slash = path.rfind('/');
  if (slash == std::string::npos) return true;
  const std::string dir = path.substr(0, slash + 1) + kImageDirBesideModule;
  struct stat info;
  if (stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) SetTonnikResourceDir(dir.c_str());
  return true;
}

IPluginCLAP* MakeTonnik() {
  TonnikCreationLock lock;
  // In a host the editor is an X11 window embedded in the host's.
  UseX11Editors();
  return NewTonnik(kPlugID);
}

}  // namespace

const IPluginCLAPProduct& CLAPProduct() {
  static const IPluginCLAPProduct kProduct = {&kDescriptor, InitTonnik, MakeTonnik};
  return kProduct;
}

extern "C" __attribute__((visibility("default"))) const clap_plugin_entry_t clap_entry = {
    CLAP_VERSION, CLAPEntryInit, CLAPEntryDeinit, CLAPEntryGetFactory};
