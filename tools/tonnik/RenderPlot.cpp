#include "RenderPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

#include "OutputFile.h"
#include "PitchTrack.h"
#include "kit/KIT_String.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Draw.h"
#include "pix/PIX_Font.h"
#include "dcx/DCX.h"
#include "platform/ScreenPNG.h"

namespace {

// Layout in pixels: two panels of equal height under the title, the time axis's
// labels below the lower one, the value scales to the left.
const int kLeft = 84, kRight = 24, kTop = 48, kPanelGap = 60, kBottom = 56;
const int kPanelWidth = kPlotWidth - kLeft - kRight;
const int kPanelHeight = (kPlotHeight - kTop - kPanelGap - kBottom) / 2;
const int kTickLength = 5;
const int kLabelGap = 6;        // between a tick and its label
const int kLabelBoxWidth = 80;  // room for one scale label
const int kLabelSize = 14, kTitleSize = 18;  // font heights
const int kMaxTimeTicks = 12, kMaxValueTicks = 6;
const int kPitchDot = 3;              // side of the square that marks a pitch estimate
const double kPitchJoinSeconds = 0.05;  // estimates closer than this are joined by a line
const double kMinPitchScaleHz = 100;
const char kFontFace[] = "DejaVu Sans";

unsigned pixel(unsigned r, unsigned g, unsigned b) { return 0xFFu | r << 8 | g << 16 | b << 24; }
const unsigned kBackground = pixel(246, 246, 242);
const unsigned kPanelColor = pixel(255, 255, 255);
const unsigned kGrid = pixel(226, 226, 222);
const unsigned kAxis = pixel(70, 70, 70);
const unsigned kWave = pixel(28, 92, 168);
const unsigned kPitch = pixel(196, 58, 36);
const unsigned kText = pixel(25, 25, 25);

// The step of 1, 2 or 5 times a power of ten that divides span into at most maxTicks.
double niceStep(double span, int maxTicks) {
  const double raw = span / maxTicks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * power >= raw * (1 - 1e-9)) return m * power;
  return 10 * power;
}

std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", std::fabs(v) < 1e-12 ? 0.0 : v);
  return text;
}

struct Panel {
  int top;
  double lo, hi;  // the values at the bottom and the top edge
  int yOf(double v) const {
    const double f = (v - lo) / (hi - lo);
    return top + kPanelHeight - 1 - (int)std::lround(std::clamp(f, 0.0, 1.0) * (kPanelHeight - 1));
  }
};

class Plot {
public:
  Plot(double seconds) : mBitmap(kPlotWidth, kPlotHeight), mSeconds(seconds > 0 ? seconds : 1) {
    mLabel.SetFromHFont(makeFont(kLabelSize), PIX_FONT_OWNS_HFONT | PIX_FONT_NATIVE);
    mTitle.SetFromHFont(makeFont(kTitleSize), PIX_FONT_OWNS_HFONT | PIX_FONT_NATIVE);
    mLabel.SetTextColor(kText);
    mTitle.SetTextColor(kText);
    PIX_FillRect(&mBitmap, 0, 0, kPlotWidth, kPlotHeight, kBackground, 1, 0);
  }

  PIX_MemBitmap* bitmap() { return &mBitmap; }
  int xOf(double seconds) const { return kLeft + (int)std::lround(seconds / mSeconds * (kPanelWidth - 1)); }

  void text(PIX_CachedFont& font, const std::string& s, int x, int y, int w, int h, unsigned flags) {
    RECT r = {x, y, x + w, y + h};
    font.DrawText(&mBitmap, s.c_str(), -1, &r, flags);
  }
  void label(const std::string& s, int x, int y, int w, int h, unsigned flags) { text(mLabel, s, x, y, w, h, flags); }
  void title(const std::string& s, int x, int y) { text(mTitle, s, x, y, kPanelWidth, kTitleSize + 6, 0); }

  // The panel's face, its value grid and scale, and the time grid.
  void frame(const Panel& p, double step, const std::string& name, const std::string& unit) {
    PIX_FillRect(&mBitmap, kLeft, p.top, kPanelWidth, kPanelHeight, kPanelColor, 1, 0);
    const double timeStep = niceStep(mSeconds, kMaxTimeTicks);
    for (double t = 0; t <= mSeconds + 1e-9; t += timeStep) PIX_Line(&mBitmap, xOf(t), p.top, xOf(t), p.top + kPanelHeight - 1, kGrid, 1, 0, false);
    for (double v = std::ceil(p.lo / step) * step; v <= p.hi + step * 1e-9; v += step) {
      const int y = p.yOf(v);
      PIX_Line(&mBitmap, kLeft, y, kLeft + kPanelWidth - 1, y, kGrid, 1, 0, false);
      PIX_Line(&mBitmap, kLeft - kTickLength, y, kLeft - 1, y, kAxis, 1, 0, false);
      label(number(v), kLeft - kTickLength - kLabelGap - kLabelBoxWidth, y - kLabelSize, kLabelBoxWidth, 2 * kLabelSize,
            PIX_TEXT_RIGHT | PIX_TEXT_VCENTER);
    }
    outline(p);
    label(unit, 4, p.top + kPanelHeight / 2 - kLabelSize, kLeft - 50, 2 * kLabelSize, PIX_TEXT_VCENTER);
    label(name, kLeft + 6, p.top + 4, kPanelWidth - 12, kLabelSize + 4, 0);
  }

  void outline(const Panel& p) {
    const int l = kLeft, r = kLeft + kPanelWidth - 1, t = p.top, b = p.top + kPanelHeight - 1;
    PIX_Line(&mBitmap, l, t, r, t, kAxis, 1, 0, false);
    PIX_Line(&mBitmap, l, b, r, b, kAxis, 1, 0, false);
    PIX_Line(&mBitmap, l, t, l, b, kAxis, 1, 0, false);
    PIX_Line(&mBitmap, r, t, r, b, kAxis, 1, 0, false);
  }

  // Ticks and labels under the panel.
  void timeAxis(const Panel& p) {
    const double step = niceStep(mSeconds, kMaxTimeTicks);
    const int y = p.top + kPanelHeight;
    for (double t = 0; t <= mSeconds + 1e-9; t += step) {
      PIX_Line(&mBitmap, xOf(t), y, xOf(t), y + kTickLength - 1, kAxis, 1, 0, false);
      label(number(t), xOf(t) - kLabelBoxWidth / 2, y + kTickLength + 2, kLabelBoxWidth, kLabelSize + 4, PIX_TEXT_HCENTER);
    }
    label("time (seconds)", kLeft, y + kTickLength + kLabelSize + 10, kPanelWidth, kLabelSize + 4, PIX_TEXT_HCENTER);
  }

  // Each pixel column spans the lowest and highest sample it covers (and the
  // last one of the column before, so that the trace has no gaps).
  void waveform(const Panel& p, const std::vector<double>& samples) {
    const size_t n = samples.size();
    if (n == 0) return;
    for (int x = 0; x < kPanelWidth; ++x) {
      const size_t start = (size_t)((double)x * n / kPanelWidth);
      const size_t end = std::max(start + 1, (size_t)((double)(x + 1) * n / kPanelWidth));
      double lo = samples[std::min(start, n - 1)], hi = lo;
      for (size_t i = start > 0 ? start - 1 : 0; i < std::min(end, n); ++i) {
        lo = std::min(lo, samples[i]);
        hi = std::max(hi, samples[i]);
      }
      PIX_Line(&mBitmap, kLeft + x, p.yOf(hi), kLeft + x, p.yOf(lo), kWave, 1, 0, false);
    }
  }

  void pitch(const Panel& p, const std::vector<PitchPoint>& points) {
    for (size_t i = 0; i < points.size(); ++i) {
      const int x = xOf(points[i].seconds), y = p.yOf(points[i].hertz);
      PIX_FillRect(&mBitmap, x - kPitchDot / 2, y - kPitchDot / 2, kPitchDot, kPitchDot, kPitch, 1, 0);
      if (i > 0 && points[i].seconds - points[i - 1].seconds < kPitchJoinSeconds)
        PIX_Line(&mBitmap, xOf(points[i - 1].seconds), p.yOf(points[i - 1].hertz), x, y, kPitch, 1, 0, true);
    }
  }

private:
  static HFONT makeFont(int height) {
    return CreateFont(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, ANTIALIASED_QUALITY, 0, kFontFace);
  }

  PIX_MemBitmap mBitmap;
  PIX_CachedFont mLabel;
  PIX_CachedFont mTitle;
  double mSeconds;
};

}  // namespace

bool writeRenderPlot(const std::string& path, const std::vector<double>& samples, double sampleRate,
                     const std::string& title, std::string& error) {
  const double seconds = samples.size() / sampleRate;
  const std::vector<PitchPoint> points = zeroCrossingPitch(samples.data(), samples.size(), sampleRate);
  double peak = 1;
  for (double v : samples) peak = std::max(peak, std::fabs(v));
  double highest = kMinPitchScaleHz;
  for (const PitchPoint& pt : points) highest = std::max(highest, pt.hertz);
  const double pitchStep = niceStep(highest, kMaxValueTicks);

  Plot plot(seconds);
  const Panel wave = {kTop, -peak, peak};
  const Panel pitch = {kTop + kPanelHeight + kPanelGap, 0, std::ceil(highest / pitchStep) * pitchStep};
  plot.title(title, kLeft, 12);
  plot.frame(wave, niceStep(2 * peak, kMaxValueTicks), "waveform", "level");
  plot.waveform(wave, samples);
  plot.outline(wave);
  plot.frame(pitch, pitchStep, "pitch of the ring (zero crossings)", "Hz");
  plot.pitch(pitch, points);
  plot.outline(pitch);
  plot.timeAxis(pitch);

  OutputFile out;
  if (!out.open(path, error)) return false;
  KIT_String reason;
  if (!WriteBitmapPNG(plot.bitmap(), out.temporaryPath().c_str(), &reason))
    return (error = path + ": " + (reason.Get() ? reason.Get() : "the image could not be written")), false;
  return out.commit(error);
}
