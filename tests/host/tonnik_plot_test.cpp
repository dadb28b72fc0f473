// The pitch estimate and the picture of a render.

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <string>
#include <vector>

#include "PitchTrack.h"
#include "RenderPlot.h"
#include "TonnikCommandTestUtil.h"

namespace {

using namespace tonnik_test;

const double kRate = 48000;

TEST(PitchTrack, SteadySineSweepSilenceAndClicks) {
  std::vector<double> s(48000);
  for (size_t i = 0; i < s.size(); ++i) s[i] = 0.5 * std::sin(2 * M_PI * 110 * i / kRate + 0.3);
  std::vector<PitchPoint> points = zeroCrossingPitch(s.data(), s.size(), kRate);
  ASSERT_GE(points.size(), 108u);
  for (const PitchPoint& p : points) ASSERT_NEAR(110.0, p.hertz, 0.01);

  // An exponential sweep from 200 Hz down to 50 Hz over a second, as a kick's body falls.
  double phase = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    s[i] = 0.8 * std::sin(phase);
    phase += 2 * M_PI * 200 * std::pow(0.25, (double)i / kRate) / kRate;
  }
  points = zeroCrossingPitch(s.data(), s.size(), kRate);
  ASSERT_GT(points.size(), 50u);
  for (const PitchPoint& p : points) ASSERT_NEAR(200 * std::pow(0.25, p.seconds), p.hertz, p.hertz * 0.01) << p.seconds;

  for (size_t i = 0; i < s.size(); ++i) s[i] = 1e-4 * std::sin(2 * M_PI * 110 * i / kRate);  // -80 dBFS
  EXPECT_TRUE(zeroCrossingPitch(s.data(), s.size(), kRate).empty());
  for (size_t i = 0; i < s.size(); ++i) s[i] = 0.5 * std::sin(2 * M_PI * 5000 * i / kRate);  // far above a ring
  EXPECT_TRUE(zeroCrossingPitch(s.data(), s.size(), kRate).empty());
  EXPECT_TRUE(zeroCrossingPitch(s.data(), 0, kRate).empty());
}

struct Image {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  const unsigned char* at(int x, int y) const { return &rgb[3 * ((size_t)y * width + x)]; }
};

Image readPng(const std::string& path) {
  Image image;
  png_image png = {};
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return image;
  png.format = PNG_FORMAT_RGB;
  image.rgb.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) return Image();
  image.width = (int)png.width;
  image.height = (int)png.height;
  return image;
}

// Pixels in the rectangle close to the colour.
int count(const Image& im, int x0, int y0, int x1, int y1, int r, int g, int b) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const unsigned char* p = im.at(x, y);
      if (std::abs(p[0] - r) + std::abs(p[1] - g) + std::abs(p[2] - b) < 60) ++n;
    }
  return n;
}

TEST(TonnikCommand, RenderDrawsTheWaveformPitchAndLabels) {
  const std::string png = uniqueTempPath("plot.png"), wav = uniqueTempPath("plot.wav");
  std::string said;
  ASSERT_EQ(0, runTonnik("render --length 2 -o " + wav + " --plot " + png, &said)) << said;
  const Image im = readPng(png);
  ASSERT_EQ(kPlotWidth, im.width);
  ASSERT_EQ(kPlotHeight, im.height);
  const int half = kPlotHeight / 2;
  EXPECT_GT(count(im, 84, 0, kPlotWidth, half, 28, 92, 168), 2000);      // the waveform, above
  EXPECT_GT(count(im, 84, half, kPlotWidth, kPlotHeight, 196, 58, 36), 200);  // the pitch, below
  EXPECT_EQ(0, count(im, 84, half, kPlotWidth, kPlotHeight, 28, 92, 168));
  EXPECT_GT(count(im, 0, 0, 80, kPlotHeight, 25, 25, 25), 100);          // scale labels at the left
  EXPECT_GT(count(im, 0, kPlotHeight - 50, kPlotWidth, kPlotHeight, 25, 25, 25), 100);  // time labels

  const std::string plain = uniqueTempPath("plain");
  writeBytes(plain, {'x'});
  std::remove(wav.c_str());
  EXPECT_EQ(1, runTonnik("render --length 1 -o " + wav + " --plot " + plain + "/x.png", &said));
  EXPECT_FALSE(exists(wav));  // refused before rendering
  EXPECT_EQ(0u, said.find("tonnik render: " + plain + "/x.png: ")) << said;
  EXPECT_EQ(said.size() - 1, said.find('\n')) << said;
  for (const std::string& p : {png, wav, plain}) std::remove(p.c_str());
}

}  // namespace
