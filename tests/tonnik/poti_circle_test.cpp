// The velocity ring's arc: strip, cell and rotation for its angles.

#include <gtest/gtest.h>

#include <cmath>

#include "tonnik/PotiCircle.h"

namespace {

const double kPi = 3.141592653589793;

TEST(PotiCircle, ArcForTheEdgeCases) {
  struct Case {
    double centre, span;
    bool positive;
    int cell;
    double rotation;
  } cases[] = {
      {0, 0, false, 54, kPi * (0 - 135) / 180},            // no reach: the empty cell
      {37, 0, false, 54, kPi * (37 - 135) / 180},          // rotated to the centre angle
      {-120, 270, true, 3, 0.0},                           // high clipped to 135
      {120, -270, false, 3, kPi * (120 - 135) / 180},      // low clipped to -135
      {0, 135, true, 27, 0.0},                             // already ends at +135
      {0, -135, false, 27, kPi * (0 - 135) / 180},
      {-120, 2.5, true, 54, kPi * (-117.5 - 135) / 180},   // 53.5 rounds away from zero
      {120, 270, true, 51, 0.0},                           // only 15 degrees left
  };
  for (const Case& c : cases) {
    const PotiCircle::Arc arc = PotiCircle::ArcFor(c.centre, c.span);
    EXPECT_EQ(arc.mPositive, c.positive) << c.centre << "/" << c.span;
    EXPECT_EQ(arc.mCell, c.cell) << c.centre << "/" << c.span;
    EXPECT_NEAR(arc.mRotation, c.rotation, 1e-6) << c.centre << "/" << c.span;
  }
}

TEST(PotiCircle, CellStaysInsideTheStrip) {
  // A centre beyond the knob's travel would ask for a cell past the strip.
  EXPECT_EQ(PotiCircle::ArcFor(200, 10).mCell, 54);
  EXPECT_EQ(PotiCircle::ArcFor(-200, -10).mCell, 54);
  EXPECT_EQ(PotiCircle::ArcFor(0, 135, 20).mCell, 20);
  EXPECT_EQ(PotiCircle::ArcFor(NAN, 10).mCell, 54);
  EXPECT_EQ(PotiCircle::ArcFor(0, NAN).mCell, 54);
  EXPECT_EQ(PotiCircle::ArcFor(0, INFINITY).mCell, 27);  // clipped like any long reach
  EXPECT_TRUE(std::isfinite(PotiCircle::ArcFor(NAN, 10).mRotation));
}

TEST(PotiCircle, StartsWithItsDefaults) {
  PotiCircle ring(nullptr, IRECT(48, 266, 99, 317));
  EXPECT_EQ(ring.ParamIdx(), -1);
  EXPECT_DOUBLE_EQ(ring.GetCentreAngle(), 0.0);
  EXPECT_DOUBLE_EQ(ring.GetSpan(), 1.5707963267948966);
  EXPECT_EQ(ring.GetBlend()->mMethod, IChannelBlend::kBlendNone);
  EXPECT_FLOAT_EQ(ring.GetBlend()->mWeight, 1.0f);
}

}  // namespace
