// The committed images against what the editor needs of them, and the
// generator's own building blocks (layer resolving, PNG writing).

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "Checks.h"
#include "Images.h"
#include "Layer.h"
#include "Layout.h"
#include "PngFile.h"
#include "Shapes.h"
#include "Text.h"
#include "dcx/ResourceDir.h"
#include "kit/KIT_String.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_PNG.h"

namespace {

const double kPi = 3.141592653589793;

unsigned Alpha(unsigned p) { return p & 255; }
unsigned Red(unsigned p) { return (p >> 8) & 255; }
unsigned Green(unsigned p) { return (p >> 16) & 255; }
unsigned Blue(unsigned p) { return p >> 24; }

// An amber or red-orange lit pixel: the pointer, a lit window or a ring.
bool IsAccent(unsigned p) { return Alpha(p) > 128 && Red(p) > 170 && Blue(p) < 90 && Red(p) > Green(p) + 40; }

std::unique_ptr<PIX_IBitmap> LoadCommitted(ImageId id, int scale = 1) {
  KIT_String file;
  if (!ScaledImageName(SpecOf(id).file, scale, &file)) return nullptr;
  const std::string path = std::string(TONNIK_SOURCE_DIR) + "/resources/img/" + file.Get();
  return std::unique_ptr<PIX_IBitmap>(PIX_LoadPNG(path.c_str(), nullptr));
}

// Clockwise from straight up, in degrees.
double AngleOf(double dx, double dy) { return std::atan2(dx, -dy) * 180.0 / kPi; }

TEST(CommittedImages, EachLoadsWithItsFrameSizeAndCount) {
  for (int i = 0; i < kImageCount; ++i) {
    SCOPED_TRACE(SpecOf(ImageId(i)).file);
    std::unique_ptr<PIX_IBitmap> image = LoadCommitted(ImageId(i));
    ASSERT_TRUE(image);
    EXPECT_TRUE(CheckImageSize(ImageId(i), image.get()));
  }
}

// The 2x images are the same drawing at twice the resolution: each 2 x 2
// block averages to the 1x pixel, but for the printing, which is made at
// its own size for each.
TEST(CommittedImages, TwiceSizeImagesReduceToTheLayoutSizeOnes) {
  for (int i = 0; i < kImageCount; ++i) {
    SCOPED_TRACE(SpecOf(ImageId(i)).file);
    std::unique_ptr<PIX_IBitmap> one = LoadCommitted(ImageId(i));
    std::unique_ptr<PIX_IBitmap> two = LoadCommitted(ImageId(i), 2);
    ASSERT_TRUE(one && two);
    ASSERT_EQ(two->getWidth(), 2 * one->getWidth());
    ASSERT_EQ(two->getHeight(), 2 * one->getHeight());
    long close = 0;
    for (int y = 0; y < one->getHeight(); ++y)
      for (int x = 0; x < one->getWidth(); ++x) {
        const unsigned p = PIX_GetPixel(one.get(), x, y);
        bool near = true;
        for (int shift = 0; shift < 32; shift += 8) {
          int sum = 0;
          for (int k = 0; k < 4; ++k) sum += (PIX_GetPixel(two.get(), 2 * x + k % 2, 2 * y + k / 2) >> shift) & 255;
          near = near && std::abs((sum + 2) / 4 - int((p >> shift) & 255)) <= 12;
        }
        close += near;
      }
    EXPECT_GE(double(close), 0.99 * one->getWidth() * one->getHeight());
  }
}

TEST(CommittedImages, FrameCountsAreTheLayoutsAndRingStripsHoldEveryCell) {
  const struct {
    ImageId id;
    int frames;
  } expected[] = {{kBackground, 1}, {kKnob, 60},      {kKnobSmall, 60}, {kGlideMode, 3},
                  {kDriveEnv, 2},   {kTrigger, 2},    {kTriggerLed, 2}, {kToggle, 2},
                  {kLearn, 2},      {kClear, 2},      {kRingPositive, 1}, {kRingNegative, 1}};
  for (const auto& e : expected) EXPECT_EQ(SpecOf(e.id).frames, e.frames) << SpecOf(e.id).file;
  for (ImageId ring : {kRingPositive, kRingNegative}) {
    EXPECT_EQ(SpecOf(ring).frameWidth, kRingCell);
    EXPECT_GE(SpecOf(ring).frameHeight, kRingCell * 55);
  }
  EXPECT_LE(SpecOf(kLearn).frameWidth, 22);
  EXPECT_LE(SpecOf(kClear).frameWidth, 22);
}

TEST(CommittedImages, ControlsFitTheEditorWithoutOverlapping) { EXPECT_TRUE(CheckPlacements()); }

TEST(CommittedImages, BackgroundIsOpaque) {
  std::unique_ptr<PIX_IBitmap> bg = LoadCommitted(kBackground);
  ASSERT_TRUE(bg);
  for (int y = 0; y < bg->getHeight(); ++y)
    for (int x = 0; x < bg->getWidth(); ++x) ASSERT_EQ(Alpha(PIX_GetPixel(bg.get(), x, y)), 255u) << x << "," << y;
}

// How a PNG file stores its rows: the colour type and each row's filter.
struct PngLayout {
  int colourType = -1;
  std::vector<int> rowFilters;
  bool stored = false;        // the zlib stream's first block holds its bytes uncompressed
  double deflateRatio = 0.0;  // unpacked against packed bytes
};

unsigned BigEndian32(const unsigned char* p) { return unsigned(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

// False when the file is not an 8-bit non-interlaced RGB or RGBA PNG.
bool ReadPngLayout(const std::string& path, PngLayout* layout) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::vector<unsigned char> bytes;
  unsigned char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(file);
  const size_t kSignature = 8, kChunkFrame = 12;
  std::vector<unsigned char> compressed;
  unsigned width = 0, height = 0, depth = 0, interlace = 0;
  for (size_t at = kSignature; at + kChunkFrame <= bytes.size();) {
    const unsigned length = BigEndian32(&bytes[at]);
    if (at + kChunkFrame + length > bytes.size()) return false;
    const std::string type(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
    const unsigned char* data = &bytes[at + 8];
    if (type == "IHDR") {
      width = BigEndian32(data);
      height = BigEndian32(data + 4);
      depth = data[8];
      layout->colourType = data[9];
      interlace = data[12];
    } else if (type == "IDAT") {
      compressed.insert(compressed.end(), data, data + length);
    }
    at += kChunkFrame + length;
  }
  const bool rgb = layout->colourType == PNG_COLOR_TYPE_RGB, rgba = layout->colourType == PNG_COLOR_TYPE_RGB_ALPHA;
  if (depth != 8 || interlace != PNG_INTERLACE_NONE || (!rgb && !rgba)) return false;
  const unsigned channels = rgba ? 4 : 3;
  const size_t stride = 1 + size_t(width) * channels;
  std::vector<unsigned char> rows(stride * height);
  uLongf size = uLongf(rows.size());
  if (uncompress(rows.data(), &size, compressed.data(), uLong(compressed.size())) != Z_OK || size != rows.size())
    return false;
  for (unsigned y = 0; y < height; ++y) layout->rowFilters.push_back(rows[y * stride]);
  // After the two-byte zlib header, bits 1 and 2 of the first block's
  // header give its type; 0 is stored.
  const unsigned kZlibHeader = 2, kBlockTypeShift = 1, kBlockTypeMask = 3;
  layout->stored = ((compressed[kZlibHeader] >> kBlockTypeShift) & kBlockTypeMask) == 0;
  layout->deflateRatio = double(rows.size()) / double(compressed.size());
  return true;
}

// The loader decodes every image at each editor start: no row may need a
// filter undone, an opaque image carries no alpha bytes, and an image is
// deflated only where that packs it well enough to pay for inflating it. A
// regeneration with other encoder settings would make the first editor much
// slower.
TEST(CommittedImages, AreEncodedForCheapDecoding) {
  for (int i = 0; i < kImageCount; ++i) {
    SCOPED_TRACE(SpecOf(ImageId(i)).file);
    PngLayout layout;
    ASSERT_TRUE(ReadPngLayout(std::string(TONNIK_SOURCE_DIR) + "/resources/img/" + SpecOf(ImageId(i)).file, &layout));
    EXPECT_EQ(layout.colourType, ImageId(i) == kBackground ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA);
    ASSERT_EQ(int(layout.rowFilters.size()), SpecOf(ImageId(i)).frameHeight * SpecOf(ImageId(i)).frames);
    EXPECT_EQ(std::count(layout.rowFilters.begin(), layout.rowFilters.end(), PNG_FILTER_VALUE_NONE),
              std::ptrdiff_t(layout.rowFilters.size()));
    if (!layout.stored) {
      EXPECT_GE(layout.deflateRatio, kMinDeflateRatio);
    }
  }
}

// The pointer's direction in each frame follows the knob's travel from -135
// to +135 degrees, and the frame's corners are transparent.
TEST(CommittedImages, KnobPointersTurnOverTheTravel) {
  for (ImageId id : {kKnob, kKnobSmall}) {
    SCOPED_TRACE(SpecOf(id).file);
    const ImageSpec& imageSize = SpecOf(id);
    std::unique_ptr<PIX_IBitmap> strip = LoadCommitted(id);
    ASSERT_TRUE(strip);
    const double cx = imageSize.frameWidth / 2.0, cy = imageSize.frameHeight / 2.0;
    for (int f = 0; f < imageSize.frames; ++f) {
      const int top = f * imageSize.frameHeight;
      double sx = 0, sy = 0;
      for (int y = 0; y < imageSize.frameHeight; ++y)
        for (int x = 0; x < imageSize.frameWidth; ++x)
          if (IsAccent(PIX_GetPixel(strip.get(), x, top + y))) {
            sx += x + 0.5 - cx;
            sy += y + 0.5 - cy;
          }
      const double expected = -135.0 + 270.0 * f / (imageSize.frames - 1);
      EXPECT_NEAR(AngleOf(sx, sy), expected, 3.0) << "frame " << f;
      EXPECT_EQ(Alpha(PIX_GetPixel(strip.get(), 0, top)), 0u);
      EXPECT_EQ(Alpha(PIX_GetPixel(strip.get(), imageSize.frameWidth - 1, top + imageSize.frameHeight - 1)), 0u);
    }
  }
}

// Cell k holds an arc of (54 - k) / 54 x 270 degrees ending at +135, centred
// on the pixel the ring control turns the 59 x 59 crop about.
TEST(CommittedImages, RingCellsHoldArcsEndingAtTheUpperEndOfTravel) {
  for (ImageId id : {kRingPositive, kRingNegative}) {
    SCOPED_TRACE(SpecOf(id).file);
    std::unique_ptr<PIX_IBitmap> strip = LoadCommitted(id);
    ASSERT_TRUE(strip);
    for (int cell = 0; cell < kRingCells; ++cell) {
      const int top = cell * kRingCell;
      double low = 1e9, high = -1e9, minR = 1e9, maxR = 0;
      int solid = 0;
      for (int y = 0; y < kRingCell; ++y)
        for (int x = 0; x < kRingCell; ++x) {
          if (Alpha(PIX_GetPixel(strip.get(), x, top + y)) < 200) continue;
          ASSERT_LT(x, 59) << "outside the crop, cell " << cell;
          ASSERT_LT(y, 59) << "outside the crop, cell " << cell;
          const double dx = x + 0.5 - 29.5, dy = y + 0.5 - 29.5;
          const double a = AngleOf(dx, dy);
          low = std::fmin(low, a);
          high = std::fmax(high, a);
          minR = std::fmin(minR, std::sqrt(dx * dx + dy * dy));
          maxR = std::fmax(maxR, std::sqrt(dx * dx + dy * dy));
          ++solid;
        }
      const double span = 270.0 * (kRingEmptyCell - cell) / kRingEmptyCell;
      if (cell == kRingEmptyCell) {
        EXPECT_EQ(solid, 0);
        continue;
      }
      ASSERT_GT(solid, 0) << "cell " << cell;
      EXPECT_NEAR(high, 135.0, 5.0) << "cell " << cell;
      if (span > 8.0) {
        EXPECT_NEAR(low, 135.0 - span, 5.0) << "cell " << cell;
      }
      EXPECT_GT(minR, 23.0) << "cell " << cell;
      EXPECT_LT(maxR, 29.5) << "cell " << cell;
    }
  }
}

int CountAccent(PIX_IBitmap* strip, const ImageSpec& imageSize, int frame) {
  int n = 0;
  for (int y = 0; y < imageSize.frameHeight; ++y)
    for (int x = 0; x < imageSize.frameWidth; ++x) n += IsAccent(PIX_GetPixel(strip, x, frame * imageSize.frameHeight + y));
  return n;
}

TEST(CommittedImages, SwitchesLightUpInTheirSecondFrame) {
  for (ImageId id : {kToggle, kLearn, kClear, kDriveEnv}) {
    SCOPED_TRACE(SpecOf(id).file);
    std::unique_ptr<PIX_IBitmap> strip = LoadCommitted(id);
    ASSERT_TRUE(strip);
    EXPECT_EQ(CountAccent(strip.get(), SpecOf(id), 0), 0);
    EXPECT_GT(CountAccent(strip.get(), SpecOf(id), 1), 10);
  }
}

TEST(CommittedImages, TriggerLedIsLitInItsFirstFrameAndDarkInItsSecond) {
  std::unique_ptr<PIX_IBitmap> led = LoadCommitted(kTriggerLed);
  ASSERT_TRUE(led);
  EXPECT_GT(CountAccent(led.get(), SpecOf(kTriggerLed), 0), 10);
  EXPECT_EQ(CountAccent(led.get(), SpecOf(kTriggerLed), 1), 0);
}

// Frame k lights the lamp of row k (Up/Down, Up, Down) and no other.
TEST(CommittedImages, GlideModeLightsOneLampPerPosition) {
  const ImageSpec& imageSize = SpecOf(kGlideMode);
  std::unique_ptr<PIX_IBitmap> strip = LoadCommitted(kGlideMode);
  ASSERT_TRUE(strip);
  const int rowHeight = imageSize.frameHeight / imageSize.frames;
  for (int frame = 0; frame < imageSize.frames; ++frame)
    for (int row = 0; row < imageSize.frames; ++row) {
      int lit = 0;
      for (int y = row * rowHeight; y < (row + 1) * rowHeight; ++y)
        for (int x = 0; x < imageSize.frameWidth; ++x)
          lit += IsAccent(PIX_GetPixel(strip.get(), x, frame * imageSize.frameHeight + y));
      if (row == frame) {
        EXPECT_GT(lit, 5) << "frame " << frame;
      } else {
        EXPECT_EQ(lit, 0) << "frame " << frame << " row " << row;
      }
    }
}

// The checkers: good input passes, each kind of bad input fails.
TEST(Checks, ImageSizeWantsTheFrameSizeTimesTheFrameCount) {
  PIX_MemBitmap good(49, 51 * 60, 4), oneFrameShort(49, 51 * 59, 4), tooWide(50, 51 * 60, 4);
  EXPECT_TRUE(CheckImageSize(kKnob, &good));
  EXPECT_FALSE(CheckImageSize(kKnob, &oneFrameShort));
  EXPECT_FALSE(CheckImageSize(kKnob, &tooWide));
}

TEST(Checks, WrittenFileMustLoadBackUnchanged) {
  PIX_MemBitmap led(12, 24, 4);
  PIX_Clear(&led, 0x102030FFu);
  const std::string path = testing::TempDir() + "gen_images_led.png";
  ASSERT_TRUE(WritePng(&led, path.c_str()));
  EXPECT_TRUE(CheckWrittenFile(kTriggerLed, &led, path.c_str()));
  PIX_PutPixel(&led, 3, 17, 0xFFFFFFFFu, 1.0f, PIX_MODE_COPY);
  EXPECT_FALSE(CheckWrittenFile(kTriggerLed, &led, path.c_str()));
  std::remove(path.c_str());
  EXPECT_FALSE(CheckWrittenFile(kTriggerLed, &led, path.c_str()));
}

TEST(Checks, PlacementsRefuseOverlapsStrayLedsOffCentreKnobsAndTheOutside) {
  const RingPlace ring = {"Decay", 48, 266, 99, 317};
  const Placement good[] = {{"Decay", kKnob, 49, 266}, {"Trigger", kTrigger, 146, 441},
                            {"LED", kTriggerLed, 161, 455}, {"MIDI Learn", kLearn, 240, 467},
                            {"MIDI Clear", kClear, 263, 467}};
  EXPECT_TRUE(CheckPlacements(good, 5, &ring, 1));
  const struct {
    const char* what;
    int index;
    Placement moved;
  } bad[] = {
      {"knob off its ring", 0, {"Decay", kKnob, 50, 266}},
      {"LED sticking out of the trigger", 2, {"LED", kTriggerLed, 180, 455}},
      {"keys overlapping", 4, {"MIDI Clear", kClear, 261, 467}},
      {"key outside the editor", 3, {"MIDI Learn", kLearn, 320, 467}},
      {"key past the bottom", 3, {"MIDI Learn", kLearn, 240, 590}},
  };
  for (const auto& b : bad) {
    Placement changed[5];
    for (int i = 0; i < 5; ++i) changed[i] = good[i];
    changed[b.index] = b.moved;
    EXPECT_FALSE(CheckPlacements(changed, 5, &ring, 1)) << b.what;
  }
  EXPECT_FALSE(CheckPlacements(good + 1, 4, &ring, 1)) << "ring without its knob";
}

// Labels against the dots of a plain knob's scale and a ring knob's groove:
// a knob's own name may come close, others keep the clearance.
TEST(Checks, LabelsKeepClearOfKnobRings) {
  const Placement knobs[] = {{"Glide", kKnob, 237, 176}, {"Decay", kKnob, 49, 266}};
  const auto clear = [&](const char* text, TextBox box, int clearance) {
    return CheckLabelsClearOfKnobs({{text, box}}, clearance, knobs, 2);
  };
  // The scale's dots at -54 and -81 degrees sit at (240.1, 185.9) and (235.3, 197.4).
  EXPECT_TRUE(clear("Up/Down", {207, 184, 237, 193}, 2));
  EXPECT_FALSE(clear("Up/Down", {207, 184, 238, 193}, 2));
  EXPECT_TRUE(clear("Up/Down", {207, 184, 238, 193}, 0));
  EXPECT_FALSE(clear("Up/Down", {207, 184, 240, 193}, 0));
  // Under the scale's lowest dots (y 220.2): the knob's own name, then another.
  EXPECT_TRUE(clear("Glide", {240, 222, 283, 234}, 2));
  EXPECT_FALSE(clear("Fine", {240, 222, 283, 234}, 2));
  // The groove of a ring knob reaches 29.5 px from its centre (73.5, 291.5).
  EXPECT_FALSE(clear("Decay", {50, 320, 90, 330}, 0));
  EXPECT_TRUE(clear("Decay", {50, 321, 90, 330}, 0));
}

TEST(CommittedImages, PanelLabelsKeepClearOfKnobRings) {
  PIX_SysBitmap panel;
  std::vector<PrintedLabel> labels;
  ASSERT_TRUE(DrawBackground(&panel, &labels));
  EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](const PrintedLabel& l) { return l.text == "Up/Down"; }));
  EXPECT_TRUE(CheckLabelsClearOfKnobs(labels, 2));
}

// The committed desktop icons are what the generator draws now: square, a
// clear corner around an opaque plate.
TEST(CommittedImages, IconsAreTheGeneratorsAtEverySize) {
  for (int size : {48, 128, 256}) {
    SCOPED_TRACE(size);
    PIX_SysBitmap drawn;
    ASSERT_TRUE(DrawIcon(&drawn, size));
    EXPECT_EQ(Alpha(PIX_GetPixel(&drawn, 0, 0)), 0u);
    EXPECT_EQ(Alpha(PIX_GetPixel(&drawn, size / 2, size / 2)), 255u);
    const std::string path =
        std::string(TONNIK_SOURCE_DIR) + "/resources/icons/tonnik-standalone-" + std::to_string(size) + ".png";
    std::unique_ptr<PIX_IBitmap> committed(PIX_LoadPNG(path.c_str(), nullptr));
    ASSERT_TRUE(committed);
    ASSERT_EQ(committed->getWidth(), size);
    ASSERT_EQ(committed->getHeight(), size);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        ASSERT_EQ(PIX_GetPixel(committed.get(), x, y), PIX_GetPixel(&drawn, x, y)) << x << "," << y;
  }
  PIX_SysBitmap none;
  EXPECT_FALSE(DrawIcon(&none, 0));
}

TEST(Shapes, RoundBoxDistanceIsSignedAndRoundsItsCorners) {
  const RoundBox box = {10.0f, 20.0f, 30.0f, 10.0f, 4.0f};
  EXPECT_NEAR(box.Distance(25.0f, 25.0f), -5.0f, 1e-5f);  // centre: half the height inside
  EXPECT_NEAR(box.Distance(10.0f, 25.0f), 0.0f, 1e-5f);   // on the left edge
  EXPECT_NEAR(box.Distance(45.0f, 25.0f), 5.0f, 1e-5f);   // beyond the right edge
  // At the corner the outline is a quarter circle of radius 4 about (14, 24).
  EXPECT_NEAR(box.Distance(10.0f, 20.0f), std::sqrt(32.0f) - 4.0f, 1e-4f);
}

// The printed line is centred on x (or starts or ends there) and blends the
// colour into an opaque panel.
TEST(Text, PrintedLinesSitWhereAligned) {
  const TextStyle style = {"DejaVu Sans", 12, true, true, {1.0f, 1.0f, 1.0f}};
  int w = 0, h = 0;
  ASSERT_TRUE(MeasureTextLine(style, "Decay", &w, &h));
  EXPECT_GT(w, 20);
  EXPECT_GE(h, 12);
  for (Align align : {Align::kLeft, Align::kCentre, Align::kRight}) {
    PIX_SysBitmap panel(200, 40);
    PIX_Clear(&panel, 0x000000FFu);
    ASSERT_TRUE(DrawTextLine(&panel, style, "Decay", 100, 10, align));
    int first = 200, last = -1;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 200; ++x) {
        const unsigned p = PIX_GetPixel(&panel, x, y);
        EXPECT_EQ(Alpha(p), 255u);
        if (Red(p) > 128) {
          first = std::min(first, x);
          last = std::max(last, x);
        }
      }
    ASSERT_GE(last, first);
    const double expectedMid = align == Align::kLeft ? 100 + w / 2.0 : (align == Align::kRight ? 100 - w / 2.0 : 100);
    EXPECT_NEAR((first + last + 1) / 2.0, expectedMid, 3.0);
  }
}

// A shape edge resolves to partial alpha without darkening towards the
// transparent surround.
TEST(Layer, EdgesGetPartialAlphaAndKeepTheirColour) {
  const Colour c = {0.8f, 0.4f, 0.2f};
  Layer layer(4, 1);
  layer.Clear(c, 0.0f);
  layer.FillRect(0.0f, 0.0f, 1.5f, 1.0f, c);
  PIX_MemBitmap out(0, 0, 4);
  layer.Resolve(&out);
  ASSERT_EQ(out.getWidth(), 4);
  const unsigned full = PIX_GetPixel(&out, 0, 0), half = PIX_GetPixel(&out, 1, 0), none = PIX_GetPixel(&out, 2, 0);
  EXPECT_EQ(Alpha(full), 255u);
  EXPECT_NEAR(double(Alpha(half)), 127.5, 2.0);
  EXPECT_EQ(Alpha(none), 0u);
  EXPECT_EQ(half & 0xFFFFFF00u, Pixel(c) & 0xFFFFFF00u);
}

// Translucent bitmaps are written as RGBA, opaque ones as RGB; noise is
// stored, a picture of a few flat patches deflated; all load back to the
// same pixels.
TEST(PngFile, RoundTripsEveryByteOfEveryPixel) {
  const int kWidth = 60, kHeight = 40, kPatch = 10, kPatchColours = 4;
  for (bool opaque : {false, true}) {
    for (bool noise : {true, false}) {
      SCOPED_TRACE(std::string(opaque ? "opaque" : "translucent") + (noise ? " noise" : " patches"));
      std::mt19937 random(1234);
      PIX_MemBitmap bitmap(kWidth, kHeight, 4);
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
          const unsigned patch = unsigned((x / kPatch + y / kPatch) % kPatchColours);
          const unsigned p = noise ? unsigned(random()) : 0x30405000u + 0x20101000u * patch;
          PIX_PutPixel(&bitmap, x, y, opaque ? p | 0xFFu : p & ~1u, 1.0f, PIX_MODE_COPY);
        }
      const std::string path = testing::TempDir() + "gen_images_roundtrip.png";
      ASSERT_TRUE(WritePng(&bitmap, path.c_str()));
      PngLayout layout;
      ASSERT_TRUE(ReadPngLayout(path, &layout));
      EXPECT_EQ(layout.colourType, opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA);
      EXPECT_EQ(layout.stored, noise);
      std::unique_ptr<PIX_IBitmap> loaded(PIX_LoadPNG(path.c_str(), nullptr));
      ASSERT_TRUE(loaded);
      ASSERT_EQ(loaded->getWidth(), kWidth);
      ASSERT_EQ(loaded->getHeight(), kHeight);
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) ASSERT_EQ(PIX_GetPixel(loaded.get(), x, y), PIX_GetPixel(&bitmap, x, y));
      std::remove(path.c_str());
    }
  }
}

TEST(PngFile, RefusesAnUnwritablePathAndAnEmptyBitmap) {
  PIX_MemBitmap bitmap(4, 4, 4);
  EXPECT_FALSE(WritePng(&bitmap, "/nonexistent-folder/x.png"));
  PIX_MemBitmap empty(0, 0, 4);
  const std::string path = testing::TempDir() + "gen_images_empty.png";
  EXPECT_FALSE(WritePng(&empty, path.c_str()));
  EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
}

}  // namespace
