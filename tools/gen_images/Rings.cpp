// The velocity rings: strips of square cells, cell k holding a glowing arc
// of (kRingEmptyCell - k) / kRingEmptyCell of the knob's travel whose upper
// end sits at +135 degrees. The ring control crops a cell to 59 x 59 pixels
// and turns it about that crop's centre, the centre of pixel (29, 29), so the
// arcs are centred there.

#include <cmath>

#include "Images.h"
#include "Layer.h"
#include "Style.h"
#include "pix/PIX_Draw.h"

namespace {

const float kPi = float(PIX_kPi);
const float kCentre = 29.5f;

struct Point {
  float x, y;
};

// The point at `degrees` (clockwise from up) on the circle of radius r.
Point OnCircle(float degrees, float r) {
  const float a = degrees * kPi / 180.0f;
  return {kCentre + r * std::sin(a), kCentre - r * std::cos(a)};
}

float Distance(float x, float y, Point p) { return std::sqrt((x - p.x) * (x - p.x) + (y - p.y) * (y - p.y)); }

// Distance from (x, y) to the arc's centre line from `low` to `high` degrees.
float DistanceToArc(float x, float y, float low, float high, float mid) {
  const float dx = x - kCentre, dy = y - kCentre;
  const float r = std::sqrt(dx * dx + dy * dy);
  const float phi = std::atan2(dx, -dy) * 180.0f / kPi;
  if (phi >= low && phi <= high) return std::fabs(r - mid);
  return std::fmin(Distance(x, y, OnCircle(low, mid)), Distance(x, y, OnCircle(high, mid)));
}

void DrawCell(Layer& layer, int cell, Colour colour) {
  const float span = kKnobTravelDegrees * float(kRingEmptyCell - cell) / float(kRingEmptyCell);
  if (span <= 0.0f) return;
  const float high = kKnobTravelDegrees / 2;
  const float low = high - span;
  const float mid = (Style::kRingInner + Style::kRingOuter) / 2;
  const float half = (Style::kRingOuter - Style::kRingInner) / 2;
  const Colour core = Mix(colour, {1.0f, 0.95f, 0.85f}, 0.45f);
  const float top = float(cell * kRingCell);
  layer.PaintArea(0.0f, top, float(kRingCell), float(kRingCell), [&](float x, float y, Colour* c, float* opacity) {
    const float cy = y - top;
    const float d = DistanceToArc(x, cy, low, high, mid);
    if (d <= half) {
      *c = Mix(core, colour, d / half);
      *opacity = 1.0f;
    } else {
      *c = colour;
      *opacity = 0.45f * std::exp(-(d - half) / Style::kRingGlow);
    }
    return *opacity > 0.004f;
  });
}

bool DrawRing(PIX_IBitmap* out, ImageId id, Colour colour) {
  const ImageSpec& imageSize = SpecOf(id);
  Layer layer(imageSize.frameWidth, imageSize.frameHeight);
  layer.Clear(colour, 0.0f);
  for (int cell = 0; cell < kRingCells; ++cell) DrawCell(layer, cell, colour);
  layer.Resolve(out);
  return out->getWidth() == imageSize.frameWidth * OutputScale() &&
         out->getHeight() == imageSize.frameHeight * OutputScale();
}

}  // namespace

bool DrawRingPositive(PIX_IBitmap* out) { return DrawRing(out, kRingPositive, Style::kAccent); }

bool DrawRingNegative(PIX_IBitmap* out) { return DrawRing(out, kRingNegative, Style::kAccentNegative); }
