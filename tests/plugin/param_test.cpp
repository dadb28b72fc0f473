#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "plugin/IParam.h"

TEST(IParam, DisplayPrecisionFollowsTheStep) {
  const struct {
    double step;
    int precision;
  } cases[] = {{1.0, 0}, {0.5, 1}, {0.25, 2}, {0.01, 2}, {0.0001, 4}, {0.1234567, 6}, {10.0, 0}};
  for (const auto& c : cases) {
    IParam p;
    p.InitDouble("x", 0.0, 0.0, 100.0, c.step);
    EXPECT_EQ(p.GetPrecision(), c.precision) << "step " << c.step;
  }
}

TEST(IParam, InitialisersSetKindOnceAndRange) {
  IParam b;
  b.InitBool("B", true, "", "");
  EXPECT_EQ(b.Type(), IParam::kKindBool);
  double lo, hi;
  b.GetBounds(&lo, &hi);
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(hi, 1.0);
  EXPECT_EQ(b.GetStep(), 1.0);
  EXPECT_EQ(b.Value(), 1.0);
  EXPECT_EQ(b.GetPrecision(), 0);
  ASSERT_EQ(b.GetNDisplayTexts(), 2);
  EXPECT_STREQ(b.GetDisplayText(0), "off");
  EXPECT_STREQ(b.GetDisplayText(1), "on");
  char out[64];
  b.GetDisplayForHost(out);
  EXPECT_STREQ(out, "on");
  EXPECT_STREQ(b.GetLabelForHost(), "");

  IParam e;
  e.InitEnum("E", 1, 3);
  EXPECT_EQ(e.Type(), IParam::kKindEnum);
  e.GetBounds(&lo, &hi);
  EXPECT_EQ(hi, 2.0);

  IParam i;
  i.InitInt("I", 0, 5, 5);
  EXPECT_EQ(i.Type(), IParam::kKindInt);
  i.GetBounds(&lo, &hi);
  EXPECT_EQ(lo, 5.0);
  EXPECT_EQ(hi, 6.0);  // min + step exceeds the given max
}

TEST(IParam, GlideShowsTwoDecimalsAndLabel) {
  IParam p;
  p.InitDouble("Glide", 0, 0, 1, 0.01, "s", "");
  EXPECT_EQ(p.GetPrecision(), 2);
  p.Set(0.5);
  char out[64];
  p.GetDisplayForHost(out);
  EXPECT_STREQ(out, "0.50");
  EXPECT_STREQ(p.GetLabelForHost(), "s");
}

TEST(IParam, SetNormalizedRoundsToStepAndHoldsOnlyTheTop) {
  IParam tune;
  tune.InitInt("Tune", 0, -12, 12);
  tune.Set(3);
  char out[64];
  tune.GetDisplayForHost(out);
  EXPECT_STREQ(out, "3");

  const struct {
    double normalized;
    double expected;
  } intCases[] = {{0.5, 0.0}, {0.52, 0.0}, {0.55, 1.0}, {1.0, 12.0}, {1.5, 12.0}, {0.0, -12.0},
                  {-0.5, -24.0}};
  for (const auto& c : intCases) {
    tune.SetNormalized(c.normalized);
    EXPECT_EQ(tune.Value(), c.expected) << "normalized " << c.normalized;
  }

  IParam d;
  d.InitDouble("D", 0, 0, 1, 0.01);
  const struct {
    double normalized;
    double expected;
  } doubleCases[] = {{1.2, 1.0}, {-0.2, -0.2}, {0.333, 0.333}};
  for (const auto& c : doubleCases) {
    d.SetNormalized(c.normalized);
    EXPECT_DOUBLE_EQ(d.Value(), c.expected) << "normalized " << c.normalized;
  }
}

TEST(IParam, NonFiniteInputKeepsTheValue) {
  IParam d;
  d.InitDouble("D", 0.25, 0, 1, 0.01);
  d.Set(NAN);
  EXPECT_EQ(d.Value(), 0.25);
  d.SetNormalized(NAN);
  EXPECT_EQ(d.Value(), 0.25);
  d.SetNormalized(-INFINITY);
  EXPECT_EQ(d.Value(), 0.25);
  d.Set(INFINITY);
  EXPECT_EQ(d.Value(), 1.0);
}

TEST(IParam, SetClampsBothWays) {
  IParam d;
  d.InitDouble("D", 0, -1, 1, 0.5);
  d.Set(-3);
  EXPECT_EQ(d.Value(), -1.0);
  d.Set(3);
  EXPECT_EQ(d.Value(), 1.0);
  d.Set(0.3);
  EXPECT_EQ(d.Value(), 0.3);  // no step rounding
}

TEST(IParam, ShapeZeroIsIgnored) {
  IParam d;
  d.InitDouble("D", 0, 0, 1, 0.01);
  d.SetShape(1.5);
  d.SetShape(0.0);
  EXPECT_EQ(d.GetShape(), 1.5);
}

TEST(IParam, SplitModeMapsBothWays) {
  const struct {
    double normalized;
    double value;
  } cases[] = {{0.0, -24.0}, {0.25, -12.0}, {0.5, 0.0}, {0.75, 6.0}, {1.0, 12.0}};
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(FromNormalizedParam(c.normalized, -24, 12, 100), c.value);
    EXPECT_DOUBLE_EQ(ToNormalizedParam(c.value, -24, 12, 100), c.normalized);
  }
  // Any shape from 100 up is split mode; just below is a power curve.
  EXPECT_DOUBLE_EQ(FromNormalizedParam(0.5, -24, 12, 250), 0.0);
  EXPECT_NE(FromNormalizedParam(0.5, -24, 12, 99.999), 0.0);
}

TEST(IParam, PowerCurveMapsBothWays) {
  const struct {
    double normalized;
    double min, max, shape;
    double value;
  } cases[] = {{0.5, 0, 1, 1, 0.5},       {0.5, 0, 1, 2, 0.25},     {0.5, 0, 8, 3, 1.0},
               {1.0, -5, 5, 1.5, 5.0},    {0.0, -5, 5, 1.5, -5.0},  {0.25, 10, 20, 0.5, 15.0}};
  for (const auto& c : cases) {
    EXPECT_NEAR(FromNormalizedParam(c.normalized, c.min, c.max, c.shape), c.value, 1e-12);
    EXPECT_NEAR(ToNormalizedParam(c.value, c.min, c.max, c.shape), c.normalized, 1e-12);
  }
}

TEST(IParam, RoundTripOverRandomValues) {
  std::mt19937 rng(1234);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  for (int n = 0; n < 2000; ++n) {
    const double min = -100.0 * unit(rng), max = 1.0 + 100.0 * unit(rng);
    const double shape = 0.2 + 3.0 * unit(rng);
    IParam p;
    p.InitDouble("R", 0, min, max, 0.001);
    p.SetShape(shape);
    const double x = unit(rng);
    p.SetNormalized(x);
    EXPECT_NEAR(p.GetNormalized(), x, 1e-9);
  }
}

TEST(IParam, GetNormalizedClampsFirst) {
  IParam d;
  d.InitDouble("D", 0, 0, 10, 0.1);
  EXPECT_EQ(d.GetNormalized(-5), 0.0);
  EXPECT_EQ(d.GetNormalized(50), 1.0);
}

TEST(IParam, DisplayTexts) {
  IParam e;
  e.InitEnum("Mode", 0, 3);
  e.SetDisplayText(0, "Linear");
  e.SetDisplayText(1, "Exp");
  e.SetDisplayText(1, "Duplicate");
  e.SetDisplayText(2, "A display text that is much longer than thirty-one characters");
  EXPECT_STREQ(e.GetDisplayText(1), "Exp");  // first match wins
  EXPECT_STREQ(e.GetDisplayText(7), "");
  EXPECT_EQ(std::string(e.GetDisplayText(2)).size(), 31u);
  int value = -1;
  EXPECT_STREQ(e.GetDisplayTextAtIdx(2, &value), "Duplicate");
  EXPECT_EQ(value, 1);
  EXPECT_STREQ(e.GetDisplayTextAtIdx(9, &value), "");
  EXPECT_STREQ(e.GetDisplayTextAtIdx(0, nullptr), "Linear");

  e.Set(1.7);
  char out[64];
  e.GetDisplayForHost(out);
  EXPECT_STREQ(out, "Exp");
  e.GetDisplayForHostNoDisplayText(out);
  EXPECT_STREQ(out, "1");

  const struct {
    const char* text;
    bool found;
    int value;
  } lookups[] = {{"Linear", true, 0}, {"Exp", true, 1}, {"exp", false, 42}, {"", false, 42}};
  for (const auto& l : lookups) {
    int v = 42;
    EXPECT_EQ(e.MapDisplayText(l.text, &v), l.found) << l.text;
    EXPECT_EQ(v, l.value) << l.text;
  }

  IParam b;
  b.InitBool("B", false);
  int v = 5;
  EXPECT_FALSE(b.MapDisplayText("On", &v));
  EXPECT_EQ(v, 5);
  IParam empty;
  EXPECT_FALSE(empty.MapDisplayText("x", &v));
}

TEST(IParam, DisplayForHostFromNormalizedAndHostileValues) {
  IParam d;
  d.InitDouble("D", 0, -24, 12, 0.5);
  char out[IParam::kTextLen];
  d.GetDisplayForHost(0.5, true, out);
  EXPECT_STREQ(out, "-6.0");
  d.GetDisplayForHost(1e300, false, out, false);
  EXPECT_EQ(std::string(out).size(), 31u);
  IParam e;
  e.InitEnum("E", 0, 2);
  e.GetDisplayForHost(NAN, false, out);
  EXPECT_FALSE(std::string(out).empty());
}

TEST(IParam, ReadsAndLongNames) {
  IParam d;
  d.InitDouble("A name that is far longer than thirty-one characters", 0, -1, 1, 0.1, "label",
               "group");
  EXPECT_EQ(std::string(d.GetNameForHost()).size(), 31u);
  EXPECT_STREQ(d.GetParamGroupForHost(), "group");
  d.Set(-0.7);
  EXPECT_EQ(d.Int(), 0);
  d.Set(0.5);
  EXPECT_TRUE(d.Bool());
  d.Set(0.49);
  EXPECT_FALSE(d.Bool());
  EXPECT_TRUE(d.GetCanAutomate());
  EXPECT_FALSE(d.GetIsMeta());
  EXPECT_FALSE(d.DisplayIsNegated());
  EXPECT_NEAR(DBToAmp(-6.0), 0.501187, 1e-6);
  EXPECT_DOUBLE_EQ(DBToAmp(0.0), 1.0);
}
