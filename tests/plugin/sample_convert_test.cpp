// The vector conversions against their plain formulas, bit for bit: every
// length around the vector step, unaligned buffers, and the values where
// rounding is decided (ties, the float range's ends, subnormals, NaN).

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "plugin/SampleConvert.h"

namespace {

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Random audio with the awkward values spread through it.
std::vector<double> TestSignal(int n) {
  const double kAwkward[] = {0.0,
                             -0.0,
                             1.0 + std::ldexp(1.0, -24),  // a tie: rounds to even
                             1.0 + 3 * std::ldexp(1.0, -24),
                             3.4028235677973366e38,  // past FLT_MAX: rounds to infinity or FLT_MAX
                             -1e300,
                             1e-40,  // a float subnormal
                             1e-50,  // below every float
                             std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> dist(-1.5, 1.5);
  std::vector<double> v(n);
  for (int i = 0; i < n; ++i) v[i] = i % 5 == 3 ? kAwkward[(i / 5) % 10] : dist(rng);
  return v;
}

using ConvertFn = void (*)(const double*, float*, int);
using ConvertPairFn = void (*)(const double*, float*, float*, int);

// Every length up to past four vector steps, from aligned and unaligned
// buffers; nothing outside [offset, offset + n) may be written.
void ExpectEqualsPlainLoops(ConvertFn convert, ConvertPairFn convertPair, const char* name) {
  const int kMaxFrames = 70;
  const std::vector<double> signal = TestSignal(kMaxFrames + 1);
  const float kUntouched = -7.0f;
  for (int offset = 0; offset < 2; ++offset) {
    const double* src = signal.data() + offset;
    for (int n = 0; n <= kMaxFrames; ++n) {
      std::vector<float> plain(n + 2, kUntouched), one(n + 2, kUntouched), left(n + 2, kUntouched),
          right(n + 2, kUntouched), sum(n + 2, 0.25f);
      ConvertToFloatPlain(src, plain.data() + offset, n);
      convert(src, one.data() + offset, n);
      convertPair(src, left.data() + offset, right.data() + offset, n);
      AddToFloat(src, sum.data() + offset, n);
      for (int s = 0; s < n + 2; ++s) {
        ASSERT_TRUE(SameBits(one[s], plain[s])) << name << " " << n << " " << offset << ": " << s;
        ASSERT_TRUE(SameBits(left[s], plain[s])) << name << " " << n << " " << offset << ": " << s;
        ASSERT_TRUE(SameBits(right[s], plain[s])) << name << " " << n << " " << offset << ": " << s;
        const bool inside = s >= offset && s < offset + n;
        const float added = inside ? 0.25f + plain[s] : 0.25f;
        ASSERT_TRUE(SameBits(sum[s], added) || (std::isnan(sum[s]) && std::isnan(added))) << n << ": " << s;
      }
    }
  }
}

TEST(SampleConvert, ChosenVersionEqualsThePlainLoops) {
  ExpectEqualsPlainLoops(ConvertToFloat, ConvertToFloatPair, "chosen");
}

// The baseline runs on every x86-64 processor but is chosen only where AVX is
// missing; it is checked here whatever this machine has.
TEST(SampleConvert, EveryVersionThisProcessorRunsEqualsThePlainLoops) {
  int count = 0;
  const SampleConvertVersion* versions = SampleConvertVersions(&count);
  ASSERT_GE(count, 1);
  EXPECT_TRUE(versions[0].supported());
  for (int v = 0; v < count; ++v) {
    if (!versions[v].supported()) continue;
    ExpectEqualsPlainLoops(versions[v].convert, versions[v].convertPair, versions[v].name);
  }
}

}  // namespace
