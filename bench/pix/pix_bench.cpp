// Blits, rotation and shape drawing measured side by side with memcpy and
// pixman on the editor's sizes (a 336 x 598 window, 60 x 60 knob cells).
// Targets: the copy weighted by source alpha and the bilinear rotated blit
// take at most pixman's time on the same bitmaps; the plain copy runs at
// least 0.9 x memcpy's speed. Run with --benchmark_repetitions=5
// --benchmark_enable_random_interleaving=true.
//
// What the costs are made of:
// - Copy: one memcpy per row, as memcpy itself.
// - Copy weighted by source alpha: about 24 SSE2 operations per four
//   pixels (the byte differences, two 16-bit multiplies, the saturating
//   alpha sum and the clear-pixel select); with AVX2, chosen at load time,
//   the same steps take eight pixels. Pixman's OVER is a different formula
//   (premultiplied) doing similar work.
// - Bilinear rotation: the 16.16 walk, the four neighbours' eight channel
//   lerps in one SSE2 register (about 20 operations a sample, against
//   about 120 for the same formula two channels per 64-bit multiply), the
//   samples gathered into runs and combined by the blit's own span loop.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "TargetReport.h"
#include "pix/PIX_Bitmap.h"
#include "pix/PIX_Blit.h"
#include "pix/PIX_Draw.h"

namespace {

const int kWidth = 336;
const int kHeight = 598;
const int kCell = 60;

// Pixels as a drawn control looks: mostly clear or opaque with soft edges.
// `partial` is the share of pixels with alpha strictly between 0 and 255.
void FillImage(PIX_IBitmap* bmp, unsigned seed, int partialPercent) {
  std::mt19937 rng(seed);
  for (int y = 0; y < bmp->getHeight(); ++y)
    for (int x = 0; x < bmp->getWidth(); ++x) {
      unsigned p = unsigned(rng()) & 0xFFFFFF00u;
      const int roll = int(rng() % 100);
      if (roll < partialPercent) p |= 1 + rng() % 254;
      else if (roll < partialPercent + (100 - partialPercent) / 2) p |= 255;
      bmp->getBits()[y * bmp->getRowSpan() + x] = p;
    }
}

pixman_image_t* Wrap(PIX_IBitmap* bmp) {
  return pixman_image_create_bits(PIXMAN_a8r8g8b8, bmp->getWidth(), bmp->getHeight(),
                                  reinterpret_cast<uint32_t*>(bmp->getBits()), bmp->getRowSpan() * 4);
}

void BM_Memcpy(benchmark::State& state) {
  PIX_MemBitmap src(kWidth, kHeight, 4), dst(kWidth, kHeight, 4);
  FillImage(&src, 1, 10);
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y)
      std::memcpy(dst.getBits() + y * dst.getRowSpan(), src.getBits() + y * src.getRowSpan(), kWidth * 4);
    benchmark::DoNotOptimize(dst.getBits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_Memcpy);

void BM_BlitCopy(benchmark::State& state) {
  PIX_MemBitmap src(kWidth, kHeight, 4), dst(kWidth, kHeight, 4);
  FillImage(&src, 1, 10);
  for (auto _ : state) {
    PIX_Blit(&dst, &src, 0, 0, 0, 0, kWidth, kHeight, 1.0f, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_BlitCopy);

// Copy weighted by source alpha (mode 0x10000) against pixman's OVER.
void BM_BlitSourceAlpha(benchmark::State& state) {
  PIX_MemBitmap src(kWidth, kHeight, 4), dst(kWidth, kHeight, 4);
  FillImage(&src, 2, int(state.range(0)));
  FillImage(&dst, 3, 0);
  for (auto _ : state) {
    PIX_Blit(&dst, &src, 0, 0, 0, 0, kWidth, kHeight, 1.0f, PIX_MODE_SOURCE_ALPHA);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_BlitSourceAlpha)->Arg(10)->Arg(100);

void BM_PixmanOver(benchmark::State& state) {
  PIX_MemBitmap src(kWidth, kHeight, 4), dst(kWidth, kHeight, 4);
  FillImage(&src, 2, int(state.range(0)));
  FillImage(&dst, 3, 0);
  pixman_image_t* s = Wrap(&src);
  pixman_image_t* d = Wrap(&dst);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
  state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_PixmanOver)->Arg(10)->Arg(100);

// A knob cell turned by 30 degrees with bilinear filtering, source-alpha weighted.
void BM_RotatedBlitBilinear(benchmark::State& state) {
  PIX_MemBitmap src(kCell, kCell, 4), dst(kCell, kCell, 4);
  FillImage(&src, 4, 10);
  FillImage(&dst, 5, 0);
  for (auto _ : state) {
    PIX_RotatedBlit(&dst, &src, 0, 0, kCell, kCell, 0, 0, kCell, kCell, 0.5235988f, false, 1.0f,
                    PIX_MODE_SOURCE_ALPHA | PIX_MODE_FILTER_BILINEAR, 0, 0);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kCell * kCell);
}
BENCHMARK(BM_RotatedBlitBilinear);

void BM_PixmanRotatedBilinear(benchmark::State& state) {
  PIX_MemBitmap src(kCell, kCell, 4), dst(kCell, kCell, 4);
  FillImage(&src, 4, 10);
  FillImage(&dst, 5, 0);
  pixman_image_t* s = Wrap(&src);
  pixman_image_t* d = Wrap(&dst);
  // Destination to source: about the cell's centre, turned back by 30 degrees.
  const double a = -0.5235988, c = kCell / 2.0;
  pixman_transform_t t;
  pixman_transform_init_identity(&t);
  pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(-c), pixman_double_to_fixed(-c));
  pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(std::cos(a)), pixman_double_to_fixed(std::sin(a)));
  pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(c), pixman_double_to_fixed(c));
  pixman_image_set_transform(s, &t);
  pixman_image_set_filter(s, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, kCell, kCell);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
  state.SetItemsProcessed(state.iterations() * kCell * kCell);
}
BENCHMARK(BM_PixmanRotatedBilinear);

// Anti-aliased lines: items are the pixels touched (two per step).
void BM_LineAA(benchmark::State& state) {
  PIX_MemBitmap dst(kWidth, kHeight, 4);
  FillImage(&dst, 6, 0);
  long long pixels = 0;
  for (auto _ : state) {
    for (int i = 0; i < 64; ++i) {
      const double a = i * 0.0981747;
      PIX_Line(&dst, 168, 299, 168 + int(150 * std::sin(a)), 299 - int(150 * std::cos(a)), 0xFFFFFFFFu, 1.0f, 0, true);
      pixels += 2 * 150;
    }
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(pixels);
}
BENCHMARK(BM_LineAA);

// Anti-aliased circle outlines of radius 25: items are the ring's pixels (about 2 x 2 pi r).
void BM_CircleAA(benchmark::State& state) {
  PIX_MemBitmap dst(kWidth, kHeight, 4);
  FillImage(&dst, 7, 0);
  long long pixels = 0;
  for (auto _ : state) {
    for (int i = 0; i < 16; ++i) PIX_Circle(&dst, 40.5f + 16 * i, 300.0f, 25.0f, 0xFFFFFFFFu, 1.0f, 0, true);
    pixels += 16 * int(4 * 3.14159 * 25);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(pixels);
}
BENCHMARK(BM_CircleAA);

void BM_FillCircleAA(benchmark::State& state) {
  PIX_MemBitmap dst(kWidth, kHeight, 4);
  FillImage(&dst, 8, 0);
  long long pixels = 0;
  for (auto _ : state) {
    PIX_FillCircle(&dst, 168.0f, 299.0f, 25.0f, 0xFFFFFFFFu, 0.7f, 0, true);
    pixels += int(3.14159 * 25 * 25);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(pixels);
}
BENCHMARK(BM_FillCircleAA);

}  // namespace

int main(int argc, char** argv) {
  using bench::Target;
  Target alpha10 = {"source-alpha copy / pixman OVER, 10% partial", "BM_BlitSourceAlpha/10", "BM_PixmanOver/10", 1.0, true};
  Target alpha100 = {"source-alpha copy / pixman OVER, all partial", "BM_BlitSourceAlpha/100", "BM_PixmanOver/100", 1.0,
                     true};
  Target rotated = {"bilinear rotated blit / pixman", "BM_RotatedBlitBilinear", "BM_PixmanRotatedBilinear", 1.0, true};
  Target copy = {"copy blit speed / memcpy speed", "BM_Memcpy", "BM_BlitCopy", 0.9, false};
  for (Target* t : {&alpha10, &alpha100, &rotated, &copy}) t->perIteration = true;
  return bench::RunWithTargets(argc, argv, {alpha10, alpha100, rotated, copy});
}
