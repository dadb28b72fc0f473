// Draws every image of the editor into a folder (normally resources/img),
// once at the layout's size and once at twice it (NAME@2x.png, for editors
// on high-density screens), checks each against the layout and that it
// loads back unchanged, and optionally writes a preview of the assembled
// editor.
//
//   gen_images <folder> [--preview <file.png>]
//
// Exits non-zero when an image cannot be drawn or written or does not match.

#include <cstdio>
#include <cstring>
#include <string>

#include "Checks.h"
#include "Images.h"
#include "Layer.h"
#include "PngFile.h"
#include "Preview.h"
#include "dcx/ResourceDir.h"
#include "kit/KIT_String.h"
#include "pix/PIX_Bitmap.h"

namespace {

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
  if (!WritePng(&bitmap, path.c_str(), OutputScale() == 1 ? PngPacking::kForStartUp : PngPacking::kSmall)) {
    std::fprintf(stderr, "%s: cannot write\n", path.c_str());
    return false;
  }
  return CheckWrittenFile(id, &bitmap, path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const char* preview = nullptr;
  if (argc == 4 && std::strcmp(argv[2], "--preview") == 0) preview = argv[3];
  if (argc != 2 && !preview) {
    std::fprintf(stderr, "usage: %s <folder> [--preview <file.png>]\n", argv[0]);
    return 2;
  }
  bool ok = CheckPlacements();
  for (int scale : kScales) {
    SetOutputScale(scale);
    for (int i = 0; i < kImageCount; ++i) ok = MakeImage(ImageId(i), argv[1]) && ok;
  }
  SetOutputScale(1);
  if (ok && preview && !WritePreview(argv[1], preview)) {
    std::fprintf(stderr, "cannot write the preview %s\n", preview);
    ok = false;
  }
  return ok ? 0 : 1;
}
