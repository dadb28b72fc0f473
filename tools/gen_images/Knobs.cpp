// The large and small knobs: a dark ribbed skirt, a bevelled cap of
// concentrically brushed metal and an amber pointer. The ribs and the pointer
// turn with the value; the light stays put.

#include <cmath>

#include "FrameStrip.h"
#include "Images.h"
#include "Light.h"
#include "Style.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Draw.h"

namespace {

const float kPi = float(PIX_kPi);

struct KnobShape {
  float radius;         // outer edge of the skirt
  float capRadius;      // edge of the cap's flat top
  float bevel;          // width of the cap's rounded edge
  float pointerInner;   // pointer from this radius...
  float pointerOuter;   // ...to this one
  float pointerWidth;
};

const KnobShape kLarge = {21.0f, 15.0f, 2.2f, 5.0f, 20.2f, 2.6f};
const KnobShape kSmall = {12.0f, 8.4f, 1.6f, 2.6f, 11.4f, 2.0f};

// Travel: frame 0 at -135 degrees, the last frame at +135.
float FrameAngle(int frame, int frames) {
  return (-kKnobTravelDegrees / 2 + kKnobTravelDegrees * float(frame) / float(frames - 1)) * kPi / 180.0f;
}

// The ribbed skirt around the cap; `turn` moves the ribs with the knob.
Colour SkirtShade(float dx, float dy, float r, float turn) {
  const float phi = std::atan2(dx, -dy);
  const float radialX = dx / r, radialY = dy / r;
  const float rib = std::sin((phi - turn) * Style::kKnobRidges);
  const float tilt = 0.75f;
  const Vec3 normal = {radialX * tilt + radialY * -0.45f * rib, radialY * tilt + radialX * 0.45f * rib, 0.62f};
  const float light = 0.30f + 1.05f * Diffuse(normal);
  Colour c = Scale(Style::kKnobSkirt, light);
  return Add(c, 0.30f * Specular(normal, 18.0f));
}

// The cap: flat brushed top, rounded edge falling away to the skirt.
Colour CapShade(const KnobShape& k, float dx, float dy, float r) {
  const float edge = k.capRadius - k.bevel;
  Vec3 normal = {0.0f, 0.0f, 1.0f};
  if (r > edge) {
    const float t = (r - edge) / k.bevel;  // 0..1 across the rounded edge
    const float slope = std::sin(t * kPi * 0.42f) * 1.6f;
    normal = {dx / r * slope, dy / r * slope, 1.0f};
  }
  const float phi = std::atan2(dx, -dy);
  // Concentric brushing shines along the line through the light.
  const float streak = std::pow(std::fabs(std::cos(phi - LightAngle())), 8.0f);
  const float rings = 0.025f * Hash(int(r * 7.0f), 17);
  const float shade = 0.55f + 0.55f * Diffuse(normal) / FlatDiffuse();
  Colour c = Scale(Style::kKnobCap, shade);
  c = Add(c, (r <= edge ? 0.16f * streak : 0.0f) + rings);
  return Add(c, 0.35f * Specular(normal, 30.0f));
}

// The pointer upright as a full-resolution sprite with alpha, turned into
// each frame by a rotated blit.
void MakePointerSprite(const KnobShape& k, const ImageSpec& imageSize, PIX_MemBitmap* sprite) {
  Layer pointer(imageSize.frameWidth, imageSize.frameHeight);
  pointer.Clear(Style::kKnobPointer, 0.0f);
  const float cx = imageSize.frameWidth / 2.0f, cy = imageSize.frameHeight / 2.0f;
  const float half = k.pointerWidth / 2.0f;
  pointer.FillRect(cx - half, cy - k.pointerOuter, k.pointerWidth, k.pointerOuter - k.pointerInner,
                   Style::kKnobPointer);
  pointer.FillCircle(cx, cy - k.pointerInner, half, Style::kKnobPointer);
  pointer.FullResolution(sprite);
}

bool DrawKnobStrip(PIX_IBitmap* out, ImageId id, const KnobShape& k) {
  const ImageSpec& imageSize = SpecOf(id);
  PIX_MemBitmap sprite(0, 0, 4);
  MakePointerSprite(k, imageSize, &sprite);
  return DrawFrames(out, id, [&](Layer& layer, int frame) {
    const float turn = FrameAngle(frame, imageSize.frames);
    const float cx = imageSize.frameWidth / 2.0f, cy = imageSize.frameHeight / 2.0f;
    layer.Clear(Scale(Style::kKnobSkirt, 0.5f), 0.0f);
    layer.Paint([&](float x, float y, Colour* c, float* opacity) {
      const float dx = x - cx, dy = y - cy;
      const float r = std::sqrt(dx * dx + dy * dy);
      if (r > k.radius) return false;
      *c = r > k.capRadius ? SkirtShade(dx, dy, r, turn) : CapShade(k, dx, dy, r);
      *opacity = 1.0f;
      return true;
    });
    layer.DrawRotated(&sprite, turn);
    return true;
  });
}

}  // namespace

bool DrawKnob(PIX_IBitmap* out) { return DrawKnobStrip(out, kKnob, kLarge); }

bool DrawKnobSmall(PIX_IBitmap* out) { return DrawKnobStrip(out, kKnobSmall, kSmall); }
