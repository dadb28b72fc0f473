#include "Checks.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "Layer.h"
#include "pix/PIX_PNG.h"
#include "pix/PIX_Raster.h"

namespace {

struct Box {
  int left, top, right, bottom;  // right and bottom exclusive
};

Box BoxOf(const Placement& p) {
  const ImageSpec& imageSize = SpecOf(p.image);
  return {p.x, p.y, p.x + imageSize.frameWidth, p.y + imageSize.frameHeight};
}

bool Overlap(const Box& a, const Box& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const Box& inner, const Box& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool IsTriggerAndLed(const Placement& a, const Placement& b) {
  return (a.image == kTrigger && b.image == kTriggerLed) || (a.image == kTriggerLed && b.image == kTrigger);
}

const Placement* Find(const Placement* p, int count, const char* name, ImageId image) {
  for (int i = 0; i < count; ++i)
    if (p[i].image == image && std::strcmp(p[i].name, name) == 0) return &p[i];
  return nullptr;
}

}  // namespace

bool CheckImageSize(ImageId id, PIX_IBitmap* bitmap) {
  const ImageSpec& imageSize = SpecOf(id);
  const int w = bitmap->getWidth(), h = bitmap->getHeight();
  const int frameW = imageSize.frameWidth * OutputScale(), frameH = imageSize.frameHeight * OutputScale();
  if (imageSize.frames < 1 || h % imageSize.frames != 0 || w != frameW || h / imageSize.frames != frameH) {
    std::fprintf(stderr, "%s: %d x %d is not %d frames of %d x %d\n", imageSize.file, w, h, imageSize.frames, frameW,
                 frameH);
    return false;
  }
  return true;
}

bool CheckWrittenFile(ImageId id, PIX_IBitmap* bitmap, const char* path) {
  PIX_IBitmap* loaded = PIX_LoadPNG(path, nullptr);
  if (!loaded) {
    std::fprintf(stderr, "%s: does not load back\n", path);
    return false;
  }
  bool same = CheckImageSize(id, loaded) && loaded->getWidth() == bitmap->getWidth() &&
              loaded->getHeight() == bitmap->getHeight();
  PIX_Rows a, b;
  if (same && PIX_GetRows(bitmap, &a) && PIX_GetRows(loaded, &b)) {
    for (int y = 0; y < a.height && same; ++y)
      same = std::memcmp(a.Row(y), b.Row(y), sizeof(unsigned) * unsigned(a.width)) == 0;
  }
  if (!same) std::fprintf(stderr, "%s: loads back different from what was drawn\n", path);
  delete loaded;
  return same;
}

bool CheckPlacements() {
  int count, rings;
  const Placement* p = Placements(&count);
  const RingPlace* r = RingPlaces(&rings);
  return CheckPlacements(p, count, r, rings);
}

bool CheckPlacements(const Placement* p, int count, const RingPlace* r, int rings) {
  bool ok = true;
  const Box editor = {0, 0, kEditorWidth, kEditorHeight};
  for (int i = 0; i < count; ++i) {
    const Box a = BoxOf(p[i]);
    if (!Inside(a, editor)) {
      std::fprintf(stderr, "%s: lies outside the editor\n", p[i].name);
      ok = false;
    }
    for (int j = i + 1; j < count; ++j) {
      const Box b = BoxOf(p[j]);
      if (IsTriggerAndLed(p[i], p[j])) {
        if (!Inside(p[i].image == kTriggerLed ? a : b, p[i].image == kTriggerLed ? b : a)) {
          std::fprintf(stderr, "the trigger LED is not inside the trigger\n");
          ok = false;
        }
      } else if (Overlap(a, b)) {
        std::fprintf(stderr, "%s overlaps %s\n", p[i].name, p[j].name);
        ok = false;
      }
    }
  }
  const ImageSpec& knob = SpecOf(kKnob);
  for (int i = 0; i < rings; ++i) {
    const Placement* k = Find(p, count, r[i].name, kKnob);
    // Twice the knob's centre against twice the centre of the pivot pixel.
    if (!k || 2 * k->x + knob.frameWidth != 2 * r[i].CentreX() + 1 ||
        2 * k->y + knob.frameHeight != 2 * r[i].CentreY() + 1) {
      std::fprintf(stderr, "the %s knob is not centred on its ring\n", r[i].name);
      ok = false;
    }
  }
  return ok;
}

bool CheckLabelsClearOfKnobs(const std::vector<PrintedLabel>& labels, int clearance) {
  int count;
  const Placement* p = Placements(&count);
  return CheckLabelsClearOfKnobs(labels, clearance, p, count);
}

bool CheckLabelsClearOfKnobs(const std::vector<PrintedLabel>& labels, int clearance, const Placement* p,
                             int count) {
  bool ok = true;
  for (int i = 0; i < count; ++i) {
    for (const KnobMark& mark : KnobMarks(p[i])) {
      for (const PrintedLabel& label : labels) {
        const int gap = label.text == p[i].name ? 0 : clearance;
        const float reach = mark.radius + float(gap);
        const Box markBox = {int(std::floor(mark.x - reach)), int(std::floor(mark.y - reach)),
                             int(std::ceil(mark.x + reach)), int(std::ceil(mark.y + reach))};
        if (!Overlap({label.box.left, label.box.top, label.box.right, label.box.bottom}, markBox)) continue;
        std::fprintf(stderr, "the label \"%s\" comes within %d px of the %s knob's ring at (%.1f, %.1f)\n",
                     label.text.c_str(), gap, p[i].name, mark.x, mark.y);
        ok = false;
      }
    }
  }
  return ok;
}
