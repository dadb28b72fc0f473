// Keys with a lit window (the on/off switches), the trigger pad, its LED and
// the three-way glide mode indicator. Frame 1 is off (or up), frame 2 on
// (or pressed); the LED's frame 1 is lit.

#include <cmath>

#include "FrameStrip.h"
#include "Images.h"
#include "Light.h"
#include "Shapes.h"
#include "Style.h"

namespace {

struct KeyLook {
  float corner;
  float bevel;
  Colour face;
  float windowWidth;   // lit window, centred; 0 for none
  float windowHeight;
  Colour lit;
  float ringRadius;    // an engraved circle about the centre; 0 for none
};

// The window: a dark slot that glows when lit, the glow spilling onto the key.
Colour WindowShade(const RoundBox& window, float x, float y, bool on, Colour lit, Colour face, float* amount) {
  const float d = window.Distance(x, y);
  *amount = 0.0f;
  if (d <= 0.0f) {
    *amount = 1.0f;
    if (!on) return Mix(Style::kLedOff, {0.0f, 0.0f, 0.0f}, d < -0.8f ? 0.0f : 0.5f);
    const float core = Clamp01(-d / (window.height * 0.5f));
    return Mix(lit, {1.0f, 0.97f, 0.88f}, 0.55f * core);
  }
  if (!on) return face;
  *amount = 0.55f * std::exp(-d / 1.6f);
  return lit;
}

bool DrawKey(PIX_IBitmap* out, ImageId id, const KeyLook& look) {
  const ImageSpec& imageSize = SpecOf(id);
  return DrawFrames(out, id, [&](Layer& layer, int frame) {
    const bool on = frame == 1;
    const RoundBox body = {0.5f, 0.5f, imageSize.frameWidth - 1.0f, imageSize.frameHeight - 1.0f, look.corner};
    const RoundBox window = {(imageSize.frameWidth - look.windowWidth) / 2, (imageSize.frameHeight - look.windowHeight) / 2,
                             look.windowWidth, look.windowHeight, look.windowHeight * 0.45f};
    layer.Clear(Scale(look.face, 0.6f), 0.0f);
    layer.Paint([&](float x, float y, Colour* c, float* opacity) {
      if (body.Distance(x, y) > 0.0f) return false;
      const Vec3 n = BevelNormal(body, x, y, look.bevel, on ? 0.9f : 1.5f);
      // A slight lengthwise curve on the face, lit from above.
      const float curve = (y - imageSize.frameHeight / 2.0f) / imageSize.frameHeight;
      const Vec3 face = {n.x, n.y + curve * 0.5f, n.z};
      const float press = on ? 0.88f : 1.0f;
      Colour k = Scale(look.face, press * (0.45f + 0.62f * Diffuse(face) / FlatDiffuse()));
      k = Add(k, 0.22f * Specular(face, 24.0f));
      if (look.ringRadius > 0.0f) {
        // The groove's far wall catches the light, its near wall is in shadow.
        const float dx = x - imageSize.frameWidth / 2.0f, dy = y - imageSize.frameHeight / 2.0f;
        const float r = std::sqrt(dx * dx + dy * dy);
        const float across = r - look.ringRadius;
        if (std::fabs(across) < 1.2f && r > 0.0f) {
          const float facing = -(dx * Style::kLightX + dy * Style::kLightY) / r;
          const float wall = across < 0.0f ? -facing : facing;
          k = Scale(k, 0.8f + 0.3f * wall * (1.0f - std::fabs(across) / 1.2f));
        }
      }
      if (look.windowWidth > 0.0f) {
        float amount;
        const Colour w = WindowShade(window, x, y, on, look.lit, k, &amount);
        k = Mix(k, w, amount);
      }
      *c = k;
      *opacity = 1.0f;
      return true;
    });
    return true;
  });
}

// A round lamp with a chrome bezel; `glow` 0 is dark, 1 fully lit.
void DrawLamp(Layer& layer, float cx, float cy, float lensRadius, float bezel, Colour lit, float glow) {
  layer.PaintArea(cx - lensRadius - bezel - 1, cy - lensRadius - bezel - 1, 2 * (lensRadius + bezel + 1),
                  2 * (lensRadius + bezel + 1), [&](float x, float y, Colour* c, float* opacity) {
    const float dx = x - cx, dy = y - cy;
    const float r = std::sqrt(dx * dx + dy * dy);
    if (r > lensRadius + bezel) return false;
    *opacity = 1.0f;
    if (r > lensRadius) {
      // Bezel: a rounded ring, bright towards the light.
      const float t = (r - lensRadius) / bezel * 2.0f - 1.0f;  // -1..1 across the ring
      const Vec3 n = {dx / r * t * 1.2f, dy / r * t * 1.2f, 1.0f};
      *c = Add(Scale({0.30f, 0.31f, 0.33f}, 0.35f + 0.8f * Diffuse(n)), 0.35f * Specular(n, 20.0f));
      return true;
    }
    // Lens: domed, dark red when off, burning amber when lit.
    const float z = std::sqrt(std::fmax(0.0f, 1.0f - (r / lensRadius) * (r / lensRadius)));
    const Vec3 n = {dx / lensRadius, dy / lensRadius, z + 0.3f};
    const Colour off = Scale(Style::kLedOff, 0.55f + 0.6f * Diffuse(n));
    const Colour on = Mix(lit, {1.0f, 0.96f, 0.85f}, 0.7f * (1.0f - r / lensRadius));
    *c = Add(Mix(off, on, glow), 0.45f * Specular(n, 40.0f));
    return true;
  });
}

}  // namespace

bool DrawToggle(PIX_IBitmap* out) {
  return DrawKey(out, kToggle, {3.0f, 2.0f, Style::kKey, 20.0f, 4.0f, Style::kAccent, 0.0f});
}

bool DrawLearn(PIX_IBitmap* out) {
  return DrawKey(out, kLearn, {2.5f, 1.6f, Style::kKey, 10.0f, 3.0f, Style::kAccent, 0.0f});
}

bool DrawClear(PIX_IBitmap* out) {
  return DrawKey(out, kClear, {2.5f, 1.6f, Style::kKey, 10.0f, 3.0f, Style::kAccentNegative, 0.0f});
}

bool DrawDriveEnv(PIX_IBitmap* out) {
  return DrawKey(out, kDriveEnv, {3.0f, 2.0f, Style::kKey, 16.0f, 4.0f, Style::kAccent, 0.0f});
}

bool DrawTrigger(PIX_IBitmap* out) {
  return DrawKey(out, kTrigger, {6.0f, 4.0f, Style::kPad, 0.0f, 0.0f, Style::kAccent, 11.0f});
}

bool DrawTriggerLed(PIX_IBitmap* out) {
  const ImageSpec& imageSize = SpecOf(kTriggerLed);
  return DrawFrames(out, kTriggerLed, [&](Layer& layer, int frame) {
    layer.Clear({0.2f, 0.2f, 0.2f}, 0.0f);
    DrawLamp(layer, imageSize.frameWidth / 2.0f, imageSize.frameHeight / 2.0f, 3.9f, 1.9f, Style::kAccentNegative,
             frame == 0 ? 1.0f : 0.0f);
    return true;
  });
}

// Three lamps in a column, one per mode (Up/Down, Up, Down); the mode names
// are printed on the panel beside them.
bool DrawGlideMode(PIX_IBitmap* out) {
  const ImageSpec& imageSize = SpecOf(kGlideMode);
  return DrawFrames(out, kGlideMode, [&](Layer& layer, int frame) {
    layer.Clear({0.2f, 0.2f, 0.2f}, 0.0f);
    const float rowHeight = float(imageSize.frameHeight) / imageSize.frames;
    for (int row = 0; row < imageSize.frames; ++row)
      DrawLamp(layer, 5.0f, rowHeight * (row + 0.5f), 2.6f, 1.5f, Style::kAccent, row == frame ? 1.0f : 0.0f);
    return true;
  });
}
