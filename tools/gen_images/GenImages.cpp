// Draws every image of the editor into a folder (normally resources/img),
// checks each against the layout and that it loads back unchanged, and
// optionally writes a preview of the assembled editor.
//
//   gen_images <folder> [--preview <file.png>]
//
// Exits non-zero when an image cannot be drawn or written or does not match.

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Checks.h"
#include "Images.h"
#include "PngFile.h"
#include "Preview.h"
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

bool MakeImage(ImageId id, const std::string& dir) {
  const ImageSpec& imageSize = SpecOf(id);
  const std::string path = dir + "/" + imageSize.file;
  PIX_SysBitmap bitmap;
  if (!DrawFunctionOf(id)(&bitmap)) {
    std::fprintf(stderr, "%s: drawing failed\n", imageSize.file);
    return false;
  }
  if (!CheckImageSize(id, &bitmap)) return false;
  if (!WritePng(&bitmap, path.c_str())) {
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
  ok = CheckPanelLabels() && ok;
  for (int i = 0; i < kImageCount; ++i) ok = MakeImage(ImageId(i), argv[1]) && ok;
  if (ok && preview && !WritePreview(argv[1], preview)) {
    std::fprintf(stderr, "cannot write the preview %s\n", preview);
    ok = false;
  }
  return ok ? 0 : 1;
}
