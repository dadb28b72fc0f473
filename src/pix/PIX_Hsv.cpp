#include "pix/PIX_Combine.h"
#include "pix/PIX_Pixel.h"

namespace PIX_Combine {
namespace {

// Hue in 0..383: red at 0, green at 128, blue at 256.
void ToHsv(int r, int g, int b, int* h, int* s, int* v) {
  const int mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
  const int mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
  const int delta = mx - mn;
  *v = mx;
  *s = mx == 0 ? 0 : 255 * delta / mx;
  if (delta == 0) {
    *h = 0;
  } else if (mx == r) {
    *h = (64 * (g - b) / delta + 384) % 384;
  } else if (mx == g) {
    *h = 128 + 64 * (b - r) / delta;
  } else {
    *h = 256 + 64 * (r - g) / delta;
  }
}

unsigned FromHsv(int h, int s, int v) {
  const int sector = h / 64;
  const int f = h % 64;
  const int p = v * (255 - s) / 255;
  const int q = v * (255 * 64 - s * f) / (255 * 64);
  const int t = v * (255 * 64 - s * (64 - f)) / (255 * 64);
  int r, g, b;
  switch (sector) {
    case 0: r = v; g = t; b = p; break;
    case 1: r = q; g = v; b = p; break;
    case 2: r = p; g = v; b = t; break;
    case 3: r = p; g = q; b = v; break;
    case 4: r = t; g = p; b = v; break;
    default: r = v; g = p; b = q; break;
  }
  return PIX_MakePixel(0, unsigned(r), unsigned(g), unsigned(b));
}

}  // namespace

unsigned Hsv::Mix(unsigned d, unsigned s, int w) {
  int h, sat, val;
  ToHsv(PIX_Red(d), PIX_Green(d), PIX_Blue(d), &h, &sat, &val);
  const int sr = PIX_Red(s);
  const int sg = PIX_Green(s);
  const int sb = PIX_Blue(s);
  h += w * (sr + sr / 2 - 192) / 256;
  h %= 384;
  if (h < 0) h += 384;
  sat = Clamp255(sat + w * (sg - 128) / 128);
  val = Clamp255(val + w * (sb - 128) / 128);
  return FromHsv(h, sat, val) | unsigned(PIX_Alpha(s));
}

}  // namespace PIX_Combine
