// Draws every image of the editor into a folder (normally resources/img),
// once at the layout's size and once at twice it (NAME@2x.png, for editors
// on high-density screens), checks each against the layout and that it
// loads back unchanged, and optionally writes a preview of the assembled
// editor.
//
//   gen_images <folder> [--preview <file.png>] [--icons <folder>]
//
// --icons also writes the standalone program's desktop icon at each size a
// desktop asks for, as tonnik-standalone-<size>.png (resources/icons).
// Exits non-zero when an image cannot be drawn or written or does not match.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Checks.h"
#include "Images.h"
#include "Layer.h"
#include "PngFile.h"
#include "Preview.h"
#include "dcx/ResourceDir.h"
#include "kit/KIT_String.h"
#include "pix/PIX_Bitmap.h"

namespace {

// Pixels every label keeps clear of the marks around another control's
// knob, so that none reads as part of that knob's scale.
const int kLabelClearance = 2;

bool CheckPanelLabels() {
  PIX_SysBitmap panel;
  std::vector<PrintedLabel> labels;
  return DrawBackground(&panel, &labels) && CheckLabelsClearOfKnobs(labels, kLabelClearance);
}

// The icon sizes desktops look for first (hicolor theme folders).
const int kIconSizes[] = {48, 128, 256};

bool MakeIcons(const std::string& dir) {
  for (int size : kIconSizes) {
    const std::string path = dir + "/tonnik-standalone-" + std::to_string(size) + ".png";
    PIX_SysBitmap icon;
    if (!DrawIcon(&icon, size) || !WritePng(&icon, path.c_str())) {
      std::fprintf(stderr, "%s: cannot draw or write\n", path.c_str());
      return false;
    }
  }
  return true;
}

// Output scales written: the layout's size and the high-density one.
constexpr int kScales[] = {1, 2};

bool MakeImage(ImageId id, const std::string& dir) {
  const ImageSpec& imageSize = SpecOf(id);
  KIT_String file;
  if (!ScaledImageName(imageSize.file, OutputScale(), &file)) return false;
  const std::string path = dir + "/" + file.Get();
  PIX_SysBitmap bitmap;
  if (!DrawFunctionOf(id)(&bitmap)) {
    std::fprintf(stderr, "%s: drawing failed\n", imageSize.file);
    return false;
  }
  if (!CheckImageSize(id, &bitmap)) return false;
  if (!WritePng(&bitmap, path.c_str(), OutputScale() == 1 ? PngPacking::kForStartUp : PngPacking::kForHighDensity)) {
    std::fprintf(stderr, "%s: cannot write\n", path.c_str());
    return false;
  }
  return CheckWrittenFile(id, &bitmap, path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const char* preview = nullptr;
  const char* icons = nullptr;
  bool usage = argc < 2 || argc % 2 != 0;
  for (int i = 2; i + 1 < argc && !usage; i += 2) {
    if (std::strcmp(argv[i], "--preview") == 0)
      preview = argv[i + 1];
    else if (std::strcmp(argv[i], "--icons") == 0)
      icons = argv[i + 1];
    else
      usage = true;
  }
  if (usage) {
    std::fprintf(stderr, "usage: %s <folder> [--preview <file.png>] [--icons <folder>]\n", argv[0]);
    return 2;
  }
  bool ok = CheckPlacements();
  ok = CheckPanelLabels() && ok;
  for (int scale : kScales) {
    SetOutputScale(scale);
    for (int i = 0; i < kImageCount; ++i) ok = MakeImage(ImageId(i), argv[1]) && ok;
  }
  SetOutputScale(1);
  if (ok && preview && !WritePreview(argv[1], preview)) {
    std::fprintf(stderr, "cannot write the preview %s\n", preview);
    ok = false;
  }
  if (ok && icons) ok = MakeIcons(icons);
  return ok ? 0 : 1;
}
