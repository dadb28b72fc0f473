#include "Preview.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "Layout.h"
#include "PngFile.h"
#include "Style.h"
#include "Text.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Draw.h"
#include "pix/PIX_PNG.h"

namespace {

struct State {
  float values[32];     // per placement, 0..1
  float ringCentre[5];      // main knob value 0..1
  float ringSpan[5];        // Dyn value -1..1
  const char* display;
};

struct Images {
  PIX_IBitmap* bitmaps[kImageCount] = {};
  ~Images() {
    for (PIX_IBitmap* b : bitmaps) delete b;
  }
};

bool LoadAll(const char* dir, Images* images) {
  for (int i = 0; i < kImageCount; ++i) {
    const std::string path = std::string(dir) + "/" + SpecOf(ImageId(i)).file;
    images->bitmaps[i] = PIX_LoadPNG(path.c_str(), nullptr);
    if (!images->bitmaps[i]) {
      std::fprintf(stderr, "preview: cannot load %s\n", path.c_str());
      return false;
    }
  }
  return true;
}

// The frame a control shows for a value, as the editor picks it (0-based here).
int FrameFor(float value, int frames) {
  int frame = int(0.5 + value * (frames - 1));
  return frame < 0 ? 0 : (frame >= frames ? frames - 1 : frame);
}

// A ring as the ring control draws it: a 59 x 59 crop of the chosen cell
// turned about the ring's pivot.
void DrawRing(PIX_IBitmap* panel, Images& images, const RingPlace& ring, float centreValue, float dyn, int dx) {
  const double centre = -120.0 + 240.0 * centreValue;
  const double span = 270.0 * dyn;
  PIX_IBitmap* strip = images.bitmaps[span > 0 ? kRingPositive : kRingNegative];
  float low = float(span > 0 ? centre : centre - std::fabs(span));
  float high = float(span > 0 ? centre + std::fabs(span) : centre);
  if (high > 135) high = 135;
  if (low < -135) low = -135;
  const int cell = int(std::lround(54.0 - 54.0 * (double(high) - low) / 270.0));
  PIX_MemBitmap crop(59, 59, 4);
  PIX_Blit(&crop, strip, 0, 0, 0, cell * kRingCell, 59, 59, 1.0f, PIX_MODE_COPY);
  PIX_RotatedBlit(panel, &crop, dx + ring.CentreX() - 29, ring.CentreY() - 29, 59, 59, 0, 0, 59, 59,
                  float(PIX_kPi * (high - 135.0) / 180.0), false, 1.0f,
                  PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA | PIX_MODE_FILTER_BILINEAR, 0, 0);
}

void DrawState(PIX_IBitmap* panel, Images& images, const State& s, int dx) {
  PIX_Blit(panel, images.bitmaps[kBackground], dx, 0, nullptr, 1.0f, PIX_MODE_COPY);
  int rings;
  const RingPlace* ring = RingPlaces(&rings);
  for (int i = 0; i < rings; ++i) DrawRing(panel, images, ring[i], s.ringCentre[i], s.ringSpan[i], dx);
  int count;
  const Placement* p = Placements(&count);
  for (int i = 0; i < count; ++i) {
    const ImageSpec& imageSize = SpecOf(p[i].image);
    const int frame = FrameFor(s.values[i], imageSize.frames);
    PIX_Blit(panel, images.bitmaps[p[i].image], dx + p[i].x, p[i].y, 0, frame * imageSize.frameHeight,
             imageSize.frameWidth, imageSize.frameHeight, 1.0f, PIX_MODE_COPY | PIX_MODE_SOURCE_ALPHA);
  }
  const TextStyle display = {Style::kDisplayFace, 12, false, false, Style::kAccent};
  DrawTextLine(panel, display, s.display, dx + (kDisplayLeft + kDisplayRight) / 2, kDisplayTop, Align::kCentre);
}

}  // namespace

bool WritePreview(const char* imageDir, const char* path) {
  Images images;
  if (!LoadAll(imageDir, &images)) return false;
  PIX_SysBitmap panel(2 * kEditorWidth + 8, kEditorHeight);
  PIX_Clear(&panel, 0x000000FFu);
  // Placement order: Tone Tune Decay Accent Fine Comp Drive Glide, DynDecay DynComp DynDrive DynTone DynLevel,
  // Glide Mode, DriveEnv, Trigger, LED, MIDI Tune, Long Decay, MIDI Learn, MIDI Clear.
  const State idle = {{0.5f, 0.5f, 0.35f, 0.8f, 0.5f, 0.2f, 0.1f, 0.0f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f,
                           0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f},
                      {0.35f, 0.5f, 0.2f, 0.8f, 0.1f}, {0.0f, 0.0f, 0.0f, 0.0f, 0.0f}, "0"};
  const State playing = {{0.75f, 0.3f, 0.6f, 0.45f, 0.62f, 0.7f, 0.9f, 0.4f, 0.75f, 0.2f, 1.0f, 0.35f, 0.9f,
                              0.5f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 0.0f},
                         {0.6f, 0.75f, 0.7f, 0.45f, 0.9f}, {0.5f, -0.3f, -0.6f, 0.8f, 0.2f}, "Decay 62.5 %"};
  DrawState(&panel, images, idle, 0);
  DrawState(&panel, images, playing, kEditorWidth + 8);
  if (!WritePng(&panel, path)) return false;
  // A close-up of the busy middle of the second state, three times enlarged.
  const int zoom = 3, left = kEditorWidth + 8, top = 380, width = kEditorWidth, height = 218;
  PIX_MemBitmap closeUp(width * zoom, height * zoom, 4);
  PIX_ScaledBlit(&closeUp, &panel, 0, 0, width * zoom, height * zoom, float(left), float(top), float(width),
                 float(height), 1.0f, PIX_MODE_COPY);
  std::string zoomPath = path;
  const size_t dot = zoomPath.rfind(".png");
  zoomPath = (dot == std::string::npos ? zoomPath : zoomPath.substr(0, dot)) + "-zoom.png";
  return WritePng(&closeUp, zoomPath.c_str());
}
