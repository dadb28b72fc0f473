// gen_lv2: writes the Turtle of the LV2 bundle from the plug-in itself.
//
//   gen_lv2 BUNDLE_DIR BINARY [UI_BINARY]
//
// constructs the product's plug-in and writes manifest.ttl, the plug-in's
// description (BINARY's name with .ttl) and presets.ttl into BUNDLE_DIR.
// UI_BINARY, when given, adds the editor (the plug-in URI with #ui, an X11
// UI in that shared object). Exit code 0 when every file was written.

#include <cstdio>
#include <memory>
#include <string>

#include "PluginTurtle.h"
#include "lv2/IPluginLV2.h"
#include "lv2/LV2Product.h"

namespace {

bool WriteFile(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

std::string Stem(const std::string& file) {
  const size_t dot = file.rfind('.');
  return dot == std::string::npos ? file : file.substr(0, dot);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "Usage: gen_lv2 BUNDLE_DIR BINARY [UI_BINARY]\n");
    return 2;
  }
  const std::string dir = argv[1];
  BundleFiles files;
  files.binary = argv[2];
  files.turtle = Stem(files.binary) + ".ttl";
  files.presets = "presets.ttl";
  if (argc == 4) files.uiBinary = argv[3];

  const IPluginLV2Product& product = LV2Product();
  std::unique_ptr<IPluginLV2> plug(product.mMake(nullptr));
  if (!plug) {
    std::fprintf(stderr, "gen_lv2: the plug-in could not be made\n");
    return 1;
  }
  plug->PruneUninitializedPresets();

  const std::string outputs[][2] = {
      {"manifest.ttl", ManifestTurtle(plug.get(), product, files)},
      {files.turtle, PluginTurtle(plug.get(), product, files)},
      {files.presets, PresetsTurtle(plug.get(), product)},
  };
  for (const auto& out : outputs) {
    if (!WriteFile(dir + "/" + out[0], out[1])) {
      std::fprintf(stderr, "gen_lv2: cannot write %s/%s\n", dir.c_str(), out[0].c_str());
      return 1;
    }
  }
  return 0;
}
