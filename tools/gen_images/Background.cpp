// The panel: brushed dark metal with a header, engraved section frames,
// seats for every control (shadows under the knobs, grooves for the velocity
// rings, scales, recesses for the keys), the value display's window, screws,
// and the printing, all placed from the layout's control positions.

#include <cmath>
#include <cstring>

#include "Images.h"
#include "Layer.h"
#include "Light.h"
#include "Shapes.h"
#include "Style.h"
#include "Text.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Draw.h"

namespace {

const float kPi = float(PIX_kPi);
const float kHeaderHeight = 62.0f;

// The display window around the value display's text line.
const RoundBox kDisplayWindow = {30.0f, 485.0f, 90.0f, 24.0f, 3.0f};

struct Section {
  const char* title;       // printed in the upper left corner
  const char* rightTitle;  // and optionally in the upper right one
  RoundBox box;
};

const Section kSections[] = {
    {"PITCH", nullptr, {6.0f, 70.0f, 324.0f, 90.0f, 6.0f}},
    {"LEVEL", "GLIDE", {6.0f, 164.0f, 324.0f, 86.0f, 6.0f}},
    {"BODY", nullptr, {6.0f, 254.0f, 324.0f, 182.0f, 6.0f}},
    {"PLAY", "MIDI", {6.0f, 440.0f, 324.0f, 90.0f, 6.0f}},
};

const float kFooterTop = 538.0f;
// Printing's shadow falls this many pixels right of and below each line.
const int kShadowOffset = 1;

float SmoothStep(float edge0, float edge1, float v) {
  const float t = Clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3.0f - 2.0f * t);
}

const Placement* FindPlacement(const char* name) {
  int count;
  const Placement* p = Placements(&count);
  for (int i = 0; i < count; ++i)
    if (std::strcmp(p[i].name, name) == 0) return &p[i];
  return nullptr;
}

// Where a control's image is centred on the panel.
void CentreOf(const Placement& p, float* cx, float* cy) {
  const ImageSpec& imageSize = SpecOf(p.image);
  *cx = p.x + imageSize.frameWidth / 2.0f;
  *cy = p.y + imageSize.frameHeight / 2.0f;
}

bool HasRing(const char* name) {
  int count;
  const RingPlace* rings = RingPlaces(&count);
  for (int i = 0; i < count; ++i)
    if (std::strcmp(rings[i].name, name) == 0) return true;
  return false;
}

void PaintPanel(Layer& layer) {
  const float height = float(layer.Height());
  layer.Paint([&](float x, float y, Colour* c, float* opacity) {
    Colour base = Mix(Style::kPanelTop, Style::kPanelBottom, y / height);
    if (y < kHeaderHeight) base = Mix(Style::kHeader, Style::kPanelTop, 0.25f * y / kHeaderHeight);
    // Horizontal brushing: streaks that vary slowly along a row.
    const int row = int(y * 2.0f);
    const float streak = 0.6f * Hash(row, int(x / 37.0f)) + 0.4f * Hash(row, int(x / 5.0f) + 9000);
    *c = Add(base, Style::kTextureAmount * streak);
    *opacity = 1.0f;
    return true;
  });
  // A lit edge under the header and a thin amber line.
  layer.FillRect(0.0f, kHeaderHeight, float(layer.Width()), 1.0f, Scale(Style::kFrameLine, 1.2f));
  layer.FillRect(0.0f, kHeaderHeight - 2.0f, float(layer.Width()), 1.0f, Scale(Style::kAccent, 0.75f));
}

// An engraved outline: a dark groove with a lit lower-right lip.
void PaintEngraved(Layer& layer, const RoundBox& box) {
  layer.PaintArea(box.left - 2, box.top - 2, box.width + 4, box.height + 4,
                  [&](float x, float y, Colour* c, float* opacity) {
    const float d = std::fabs(box.Distance(x, y));
    const float lit = std::fabs(RoundBox{box.left + 1.0f, box.top + 1.0f, box.width, box.height, box.radius}
                                    .Distance(x, y));
    if (d < 0.5f) {
      *c = Style::kFrameShadow;
      *opacity = 0.9f;
      return true;
    }
    if (lit < 0.5f) {
      *c = Style::kFrameLine;
      *opacity = 0.6f;
      return true;
    }
    return false;
  });
}

void PaintSections(Layer& layer) {
  for (const Section& s : kSections) {
    // A faint lighter plate inside each frame.
    layer.PaintArea(s.box.left, s.box.top, s.box.width, s.box.height,
                    [&](float x, float y, Colour* c, float* opacity) {
      if (s.box.Distance(x, y) > 0.0f) return false;
      *c = {1.0f, 1.0f, 1.0f};
      *opacity = 0.018f;
      return true;
    });
    PaintEngraved(layer, s.box);
  }
}

// A soft shadow of a disc of radius r, cast away from the light.
void PaintDiscShadow(Layer& layer, float cx, float cy, float r, float softness, float strength) {
  const float sx = cx - Style::kLightX * 2.2f, sy = cy - Style::kLightY * 2.2f;
  const float reach = r + softness + 3.0f;
  layer.PaintArea(sx - reach, sy - reach, 2 * reach, 2 * reach, [&](float x, float y, Colour* c, float* opacity) {
    const float d = std::sqrt((x - sx) * (x - sx) + (y - sy) * (y - sy));
    *opacity = strength * (1.0f - SmoothStep(r - softness, r + softness, d));
    *c = {0.0f, 0.0f, 0.0f};
    return *opacity > 0.0f;
  });
}

// The groove the velocity ring glows in, a little wider than the ring, and
// the lit lip around it, in pixels.
const float kGrooveMargin = 0.4f;
const float kGrooveLip = 0.8f;

void PaintRingGroove(Layer& layer, float cx, float cy) {
  const float inner = Style::kRingInner - kGrooveMargin, outer = Style::kRingOuter + kGrooveMargin;
  layer.PaintArea(cx - outer - 2, cy - outer - 2, 2 * outer + 4, 2 * outer + 4,
                  [&](float x, float y, Colour* c, float* opacity) {
    const float dx = x - cx, dy = y - cy;
    const float r = std::sqrt(dx * dx + dy * dy);
    if (r < inner - kGrooveLip || r > outer + kGrooveLip) return false;
    if (r >= inner && r <= outer) {
      // Walls facing the light are bright, the others dark.
      const float across = (r - inner) / (outer - inner) * 2.0f - 1.0f;
      const Vec3 n = {-dx / r * across * 0.8f, -dy / r * across * 0.8f, 1.0f};
      *c = Scale(Style::kWell, 0.7f + 0.6f * Diffuse(n) / FlatDiffuse());
      *opacity = 1.0f;
      return true;
    }
    // A lit lip on the groove's far side from the light.
    const float side = (dx * Style::kLightX + dy * Style::kLightY) / r;
    *c = side < 0.0f ? Style::kFrameLine : Style::kFrameShadow;
    *opacity = 0.35f * std::fabs(side);
    return true;
  });
}

// The dots marking a knob's travel, in pixels from the knob's centre; the
// ends (and the middle of a bipolar scale) are kMajorDot times larger.
struct KnobScale {
  float radius;
  float dotRadius;
  int steps;
  bool bipolar;  // marks the middle more strongly
};
const KnobScale kLargeScale = {26.5f, 0.8f, 10, false};
const KnobScale kSmallScale = {14.3f, 0.55f, 8, true};
const float kMajorDot = 1.5f;

std::vector<KnobMark> ScaleDots(float cx, float cy, const KnobScale& scale) {
  std::vector<KnobMark> dots;
  for (int i = 0; i <= scale.steps; ++i) {
    const float a = (-kKnobTravelDegrees / 2 + kKnobTravelDegrees * i / scale.steps) * kPi / 180.0f;
    const bool major = i == 0 || i == scale.steps || (scale.bipolar && 2 * i == scale.steps);
    dots.push_back({cx + scale.radius * std::sin(a), cy - scale.radius * std::cos(a),
                    major ? scale.dotRadius * kMajorDot : scale.dotRadius, major});
  }
  return dots;
}

void PaintScale(Layer& layer, float cx, float cy, const KnobScale& scale) {
  for (const KnobMark& dot : ScaleDots(cx, cy, scale))
    layer.FillCircle(dot.x, dot.y, dot.radius, dot.major ? Style::kLabel : Style::kLabelDim);
}

void PaintKnobSeats(Layer& layer) {
  int count;
  const Placement* placements = Placements(&count);
  for (int i = 0; i < count; ++i) {
    const Placement& p = placements[i];
    if (p.image != kKnob && p.image != kKnobSmall) continue;
    float cx, cy;
    CentreOf(p, &cx, &cy);
    if (p.image == kKnob) {
      PaintDiscShadow(layer, cx, cy, 21.0f, 2.5f, 0.55f);
      if (HasRing(p.name))
        PaintRingGroove(layer, cx, cy);
      else
        PaintScale(layer, cx, cy, kLargeScale);
    } else {
      PaintDiscShadow(layer, cx, cy, 12.0f, 1.8f, 0.5f);
      PaintScale(layer, cx, cy, kSmallScale);
    }
  }
}

// A recess the size of a key, one pixel larger, with its upper-left wall in shadow.
void PaintKeySeat(Layer& layer, float x, float y, float w, float h, float corner) {
  const RoundBox recess = {x - 1.0f, y - 1.0f, w + 2.0f, h + 2.0f, corner + 1.0f};
  layer.PaintArea(recess.left - 2, recess.top - 2, recess.width + 4, recess.height + 4,
                  [&](float px, float py, Colour* c, float* opacity) {
    const float d = recess.Distance(px, py);
    if (d > 1.0f) return false;
    if (d > 0.0f) {
      *c = Style::kFrameLine;
      *opacity = 0.45f * (1.0f - d);
      return py > y + h / 2;
    }
    *c = Style::kWell;
    *opacity = 1.0f;
    return true;
  });
}

void PaintKeySeats(Layer& layer) {
  int count;
  const Placement* placements = Placements(&count);
  for (int i = 0; i < count; ++i) {
    const Placement& p = placements[i];
    if (p.image == kKnob || p.image == kKnobSmall || p.image == kTriggerLed || p.image == kGlideMode) continue;
    const ImageSpec& imageSize = SpecOf(p.image);
    PaintKeySeat(layer, float(p.x), float(p.y), float(imageSize.frameWidth), float(imageSize.frameHeight),
                 p.image == kTrigger ? 6.0f : 3.0f);
  }
  // The glide mode lamps sit in a slim dark strip.
  const Placement* glide = FindPlacement("Glide Mode");
  if (glide) PaintKeySeat(layer, glide->x + 0.5f, glide->y + 1.0f, 9.0f, 34.0f, 4.0f);
}

void PaintDisplayWindow(Layer& layer) {
  const RoundBox bezel = kDisplayWindow;
  const RoundBox glass = {bezel.left + 2.0f, bezel.top + 2.0f, bezel.width - 4.0f, bezel.height - 4.0f, 2.0f};
  layer.PaintArea(bezel.left - 1, bezel.top - 1, bezel.width + 2, bezel.height + 2,
                  [&](float x, float y, Colour* c, float* opacity) {
    const float d = bezel.Distance(x, y);
    if (d > 0.0f) return false;
    *opacity = 1.0f;
    if (glass.Distance(x, y) > 0.0f) {
      const Vec3 n = BevelNormal(bezel, x, y, 2.0f, -1.2f);
      *c = Scale(Style::kWell, 0.8f + 0.9f * Diffuse(n) / FlatDiffuse());
      return true;
    }
    // Dark warm glass with a faint reflection in its upper half.
    const float t = (y - glass.top) / glass.height;
    *c = Add({0.055f, 0.040f, 0.030f}, t < 0.45f ? 0.035f * (1.0f - t / 0.45f) : 0.0f);
    return true;
  });
}

void PaintScrew(Layer& layer, float cx, float cy) {
  const float r = 4.2f;
  PaintDiscShadow(layer, cx, cy, r, 1.0f, 0.5f);
  layer.PaintArea(cx - r - 1, cy - r - 1, 2 * r + 2, 2 * r + 2, [&](float x, float y, Colour* c, float* opacity) {
    const float dx = x - cx, dy = y - cy;
    const float d = std::sqrt(dx * dx + dy * dy);
    if (d > r) return false;
    const float z = std::sqrt(std::fmax(0.0f, 1.0f - (d / r) * (d / r)));
    const Vec3 n = {dx / r, dy / r, z + 0.6f};
    // A slot at 30 degrees.
    const float along = std::fabs(dx * 0.5f - dy * 0.866f);
    Colour metal = Add(Scale({0.42f, 0.43f, 0.45f}, 0.35f + 0.7f * Diffuse(n)), 0.3f * Specular(n, 20.0f));
    if (along < 0.6f && d < r - 0.8f) metal = Scale(metal, 0.35f);
    *c = metal;
    *opacity = 1.0f;
    return true;
  });
}

void PaintScrews(Layer& layer) {
  const float w = float(layer.Width()), h = float(layer.Height());
  PaintScrew(layer, 9.0f, 9.0f);
  PaintScrew(layer, w - 9.0f, 9.0f);
  PaintScrew(layer, 9.0f, h - 9.0f);
  PaintScrew(layer, w - 9.0f, h - 9.0f);
}

// --- Printing -------------------------------------------------------------

TextStyle LabelStyle(int size, Colour c) { return {Style::kLabelFace, size, true, true, c}; }

// The background being printed, and where every line went.
struct Panel {
  PIX_IBitmap* out;
  std::vector<PrintedLabel>* labels;
};

// Printing with a faint dark shadow away from the light, so it reads on the metal.
bool Print(Panel& panel, const TextStyle& style, const char* text, int x, int top, Align align) {
  TextStyle shadow = style;
  shadow.colour = {0.0f, 0.0f, 0.0f};
  shadow.opacity = 0.55f;
  // The box as printed (on the supersampled panel), in the editor's pixels.
  TextStyle printed = style;
  printed.size *= Style::kSuper;
  TextBox box;
  if (!MeasureTextBox(printed, text, x * Style::kSuper, top * Style::kSuper, align, &box)) return false;
  box = {box.left / Style::kSuper, box.top / Style::kSuper, (box.right + Style::kSuper - 1) / Style::kSuper + kShadowOffset,
         (box.bottom + Style::kSuper - 1) / Style::kSuper + kShadowOffset};
  panel.labels->push_back({text, box});
  return DrawTextLine(panel.out, shadow, text, x + kShadowOffset, top + kShadowOffset, align, Style::kSuper) &&
         DrawTextLine(panel.out, style, text, x, top, align, Style::kSuper);
}

bool PrintUnder(Panel& out, const char* control, const char* text, int gap, int size) {
  const Placement* p = FindPlacement(control);
  if (!p) return false;
  float cx, cy;
  CentreOf(*p, &cx, &cy);
  const ImageSpec& imageSize = SpecOf(p->image);
  return Print(out, LabelStyle(size, Style::kLabel), text, int(cx), p->y + imageSize.frameHeight + gap, Align::kCentre);
}

bool PrintKnobLabels(Panel& out) {
  const char* large[] = {"Tune", "Fine", "Accent", "Glide", "Decay", "Tone", "Comp", "Drive"};
  bool ok = true;
  for (const char* name : large) ok = ok && PrintUnder(out, name, name, HasRing(name) ? 5 : 4, 10);
  ok = ok && PrintUnder(out, "DynLevel", "DynLevel", 2, 9);
  ok = ok && PrintUnder(out, "DynComp", "DynComp", 2, 9);
  ok = ok && PrintUnder(out, "DynDrive", "DynDrive", 2, 9);
  // The upper pair of the velocity quad is labelled above.
  const TextStyle small = LabelStyle(9, Style::kLabel);
  const Placement* decay = FindPlacement("DynDecay");
  const Placement* tone = FindPlacement("DynTone");
  if (!decay || !tone) return false;
  ok = ok && Print(out, small, "DynDecay", decay->x + 15, decay->y - 14, Align::kCentre);
  ok = ok && Print(out, small, "DynTone", tone->x + 15, tone->y - 14, Align::kCentre);
  return ok;
}

bool PrintSwitchLabels(Panel& out) {
  bool ok = PrintUnder(out, "MIDI Tune", "MIDI Tune", 3, 9);
  ok = ok && PrintUnder(out, "Long Decay", "Long Decay", 3, 9);
  ok = ok && PrintUnder(out, "DriveEnv", "DriveEnv", 3, 8);
  ok = ok && PrintUnder(out, "Trigger", "Trigger", 4, 10);
  const Placement* learn = FindPlacement("MIDI Learn");
  const Placement* clear = FindPlacement("MIDI Clear");
  const Placement* glide = FindPlacement("Glide Mode");
  if (!learn || !clear || !glide) return false;
  const TextStyle small = LabelStyle(9, Style::kLabel);
  const int learnRight = learn->x - 5;
  const int clearLeft = clear->x + SpecOf(kClear).frameWidth + 5;
  ok = ok && Print(out, small, "Learn", learnRight, learn->y + 2, Align::kRight);
  ok = ok && Print(out, small, "Clear", clearLeft, clear->y + 2, Align::kLeft);
  // Glide mode: the name above, each position beside its lamp.
  ok = ok && Print(out, small, "Glide Mode", glide->x + 20, glide->y - 13, Align::kCentre);
  const char* modes[] = {"Up/Down", "Up", "Down"};
  const ImageSpec& imageSize = SpecOf(kGlideMode);
  const TextStyle mode = {Style::kLabelFace, 7, false, true, Style::kLabel};
  for (int i = 0; i < 3; ++i)
    ok = ok && Print(out, mode, modes[i], glide->x + 11, glide->y + imageSize.frameHeight * i / 3 + 1, Align::kLeft);
  return ok;
}

bool PrintHeader(Panel& out) {
  const TextStyle name = {Style::kTitleFace, 26, true, true, Style::kTitle};
  const TextStyle pro = {Style::kTitleFace, 26, true, true, Style::kAccent};
  // Measured as printed, on the supersampled panel.
  TextStyle printed = name;
  printed.size *= Style::kSuper;
  int w = 0, h = 0;
  if (!MeasureTextLine(printed, "TONNIK", &w, &h)) return false;
  bool ok = Print(out, name, "TONNIK", 22, 14, Align::kLeft);
  ok = ok && Print(out, pro, "-PRO", 22 + (w + Style::kSuper / 2) / Style::kSuper, 14, Align::kLeft);
  const TextStyle maker = {Style::kLabelFace, 10, false, true, Style::kLabelDim};
  ok = ok && Print(out, maker, "Velmora Rirevovizod", kEditorWidth - 22, 26, Align::kRight);
  return ok;
}

bool PrintSections(Panel& out) {
  bool ok = true;
  const TextStyle title = {Style::kLabelFace, 8, true, true, Style::kAccent};
  for (const Section& s : kSections) {
    ok = ok && Print(out, title, s.title, int(s.box.left) + 8, int(s.box.top) + 4, Align::kLeft);
    if (s.rightTitle)
      ok = ok && Print(out, title, s.rightTitle, int(s.box.left + s.box.width) - 8, int(s.box.top) + 4,
                       Align::kRight);
  }
  const TextStyle tagline = {Style::kLabelFace, 9, true, true, Style::kLabelDim};
  ok = ok && Print(out, tagline, "B A S S   D R U M   S Y N T H E S I Z E R", kEditorWidth / 2,
                   int(kFooterTop) + 16, Align::kCentre);
  ok = ok && Print(out, LabelStyle(9, Style::kLabelDim), "VALUE", int(kDisplayWindow.left + kDisplayWindow.width / 2),
                   int(kDisplayWindow.top + kDisplayWindow.height) + 3, Align::kCentre);
  return ok;
}

}  // namespace

std::vector<KnobMark> KnobMarks(const Placement& knob) {
  float cx, cy;
  CentreOf(knob, &cx, &cy);
  if (knob.image == kKnobSmall) return ScaleDots(cx, cy, kSmallScale);
  if (knob.image != kKnob) return {};
  if (!HasRing(knob.name)) return ScaleDots(cx, cy, kLargeScale);
  return {{cx, cy, Style::kRingOuter + kGrooveMargin + kGrooveLip, true}};
}

bool DrawBackground(PIX_IBitmap* out) {
  std::vector<PrintedLabel> labels;
  return DrawBackground(out, &labels);
}

bool DrawBackground(PIX_IBitmap* out, std::vector<PrintedLabel>* labels) {
  Layer layer(kEditorWidth, kEditorHeight);
  layer.Clear(Style::kPanelTop, 1.0f);
  PaintPanel(layer);
  PaintSections(layer);
  PaintKnobSeats(layer);
  PaintKeySeats(layer);
  PaintDisplayWindow(layer);
  PaintScrews(layer);
  // The printing goes onto the supersampled panel and is reduced with it, so
  // the 1x and 2x images are one drawing, text included.
  PIX_SysBitmap full;
  layer.FullResolution(&full);
  Panel panel = {&full, labels};
  const bool printed =
      PrintHeader(panel) && PrintSections(panel) && PrintKnobLabels(panel) && PrintSwitchLabels(panel);
  const int w = kEditorWidth * OutputScale(), h = kEditorHeight * OutputScale();
  out->resize(w, h);
  if (out->getWidth() != w || out->getHeight() != h) return false;
  PIX_ScaledBlit(out, &full, 0, 0, w, h, 0.0f, 0.0f, float(full.getWidth()), float(full.getHeight()), 1.0f,
                 PIX_MODE_FILTER_BILINEAR);
  // Translucent printing mixes into the alpha byte too; the panel stays opaque.
  PIX_ClearRect(out, 0, 0, w, h, 0xFFFFFF00u, 0xFFu);
  return printed;
}
