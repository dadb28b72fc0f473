// The standalone program's desktop icon: the panel's dark metal in a rounded
// square, holding a knob with its amber pointer inside an amber velocity
// arc, so it reads as the instrument at 48 pixels as well as at 256. Drawn
// on a 48-unit grid and scaled to the size asked for.

#include <cmath>

#include "Images.h"
#include "Layer.h"
#include "Shapes.h"
#include "Style.h"

namespace {

const float kPi = 3.14159265f;
const float kGrid = 48.0f;  // the icon's design units across

// In grid units: the plate, the arc, the knob and its pointer.
const RoundBox kPlate = {2.0f, 2.0f, 44.0f, 44.0f, 9.0f};
const float kArcInner = 15.5f, kArcOuter = 19.0f;
const float kArcFrom = -135.0f, kArcTo = 75.0f;  // degrees clockwise from up
const float kSkirt = 13.0f, kCap = 9.5f;
const float kPointerAngle = 75.0f;
const float kPointerWidth = 2.6f;

// Clockwise from straight up, in degrees.
float AngleOf(float dx, float dy) { return std::atan2(dx, -dy) * 180.0f / kPi; }

}  // namespace

bool DrawIcon(PIX_IBitmap* out, int size) {
  if (size <= 0) return false;
  const float unit = float(size) / kGrid;
  const float c = kGrid / 2.0f;
  Layer layer(size, size);
  layer.Clear(Style::kPanelTop, 0.0f);
  layer.Paint([&](float x, float y, Colour* colour, float* opacity) {
    const float gx = x / unit, gy = y / unit;
    if (kPlate.Distance(gx, gy) > 0.0f) return false;
    const Vec3 n = BevelNormal(kPlate, gx, gy, 2.0f, 1.0f);
    *colour = Scale(Mix(Style::kPanelTop, Style::kPanelBottom, gy / kGrid), 0.7f + 0.5f * Diffuse(n) / FlatDiffuse());
    *opacity = 1.0f;
    return true;
  });
  layer.Paint([&](float x, float y, Colour* colour, float* opacity) {
    const float dx = x / unit - c, dy = y / unit - c;
    const float r = std::sqrt(dx * dx + dy * dy);
    const float a = AngleOf(dx, dy);
    if (r < kArcInner || r > kArcOuter) return false;
    *colour = a >= kArcFrom && a <= kArcTo ? Style::kAccent : Style::kWell;
    *opacity = 1.0f;
    return true;
  });
  layer.FillCircle(c * unit, c * unit, kSkirt * unit, Style::kKnobSkirt);
  layer.FillCircle(c * unit, c * unit, kCap * unit, Style::kKnobCap);
  const float a = kPointerAngle * kPi / 180.0f;
  layer.Line(c * unit, c * unit, (c + kSkirt * std::sin(a)) * unit, (c - kSkirt * std::cos(a)) * unit,
             kPointerWidth * unit, Style::kKnobPointer);
  layer.Resolve(out);
  return out->getWidth() == size && out->getHeight() == size;
}
