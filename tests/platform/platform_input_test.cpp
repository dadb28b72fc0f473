// Coordinate conversion, modifier and key mapping, the text-entry filter and
// menu titles of the headless platform layer.

#include <gtest/gtest.h>

#include "graphics/IPopupMenu.h"
#include "platform/HeadlessMenu.h"
#include "platform/KeyMapping.h"
#include "platform/TextEntryFormatter.h"
#include "platform/ViewGeometry.h"
#include "plugin/IParam.h"

namespace {

const int kH = 598;

TEST(ViewGeometry, ClickReachesTheEditorTwoLeftAndThreeUp) {
  struct Case {
    double vx, vy;
    int ex, ey;
  } cases[] = {
      {100, 500, 98, 95},
      {100.9, 500.9, 98, 95},  // positions are truncated, not rounded
      {2, 595, 0, 0},
      {0, 0, -2, 595},
      {337.5, 1, 335, 594},
  };
  for (const Case& c : cases) {
    int x = -99, y = -99;
    ViewPointToEditor(ViewPoint{c.vx, c.vy}, kH, &x, &y);
    EXPECT_EQ(x, c.ex) << c.vx << "," << c.vy;
    EXPECT_EQ(y, c.ey) << c.vx << "," << c.vy;
  }
}

TEST(ViewGeometry, RepaintRequestIsOnePixelLargerThanTheDirtyRectangle) {
  const ViewRect v = ToViewRect(IRECT(10, 20, 30, 40), kH);
  EXPECT_EQ(v.x, 10);
  EXPECT_EQ(v.y, 598 - 40 - 1);
  EXPECT_EQ(v.width, 21);
  EXPECT_EQ(v.height, 21);
  // Back in editor coordinates the repaint covers the row and column past
  // the dirty rectangle too.
  EXPECT_EQ(ToIRECT(v, kH), IRECT(10, 20, 31, 41));
}

TEST(ViewGeometry, ViewRectangleToEditorTruncatesEachPart) {
  ViewRect v;
  v.x = 5.7;
  v.y = 100.2;
  v.width = 50.9;
  v.height = 20.5;
  EXPECT_EQ(ToIRECT(v, kH), IRECT(5, 598 - 100 - 20, 55, 498));
}

TEST(ViewGeometry, ModifierMapping) {
  struct Case {
    ViewModifiers mods;
    bool right;
    IMouseMod left, rightButton;
  } cases[] = {
      {{false, false, false, false}, false, IMouseMod(true, false), IMouseMod(false, true)},
      {{true, false, false, false}, false, IMouseMod(true, true), IMouseMod(false, true)},
      {{false, true, false, false}, false, IMouseMod(true, false, true), IMouseMod(false, true, true)},
      {{false, false, true, false}, false, IMouseMod(true, false, false, true), IMouseMod(false, true, false, true)},
      {{false, false, false, true}, false, IMouseMod(true, false, false, false, true),
       IMouseMod(false, true, false, false, true)},
  };
  for (const Case& c : cases) {
    const IMouseMod l = GetMouseMod(c.mods);
    const IMouseMod r = GetRightMouseMod(c.mods);
    EXPECT_EQ(l.L, c.left.L);
    EXPECT_EQ(l.R, c.left.R);
    EXPECT_EQ(l.S, c.left.S);
    EXPECT_EQ(l.C, c.left.C);
    EXPECT_EQ(l.A, c.left.A);
    EXPECT_EQ(r.L, c.rightButton.L);
    EXPECT_EQ(r.R, c.rightButton.R);
    EXPECT_EQ(r.S, c.rightButton.S);
    EXPECT_EQ(r.C, c.rightButton.C);
    EXPECT_EQ(r.A, c.rightButton.A);
  }
}

TEST(KeyMapping, KeyCodesAndCharacters) {
  struct Case {
    unsigned short code;
    const char* chars;
    int key;
  } cases[] = {
      {49, " ", KEY_SPACE},
      {126, "\xEF\x9C\x80", KEY_UPARROW},  // arrows carry private-use characters
      {125, "\xEF\x9C\x81", KEY_DOWNARROW},
      {123, "\xEF\x9C\x82", KEY_LEFTARROW},
      {124, "\xEF\x9C\x83", KEY_RIGHTARROW},
      {0, "a", 15},
      {0, "A", 15},
      {6, "z", 40},
      {6, "Z", 40},
      {26, "7", 12},
      {29, "0", 5},
      {25, "9", 14},
      {122, "\xEF\x9C\x84", -1},  // F1
      {41, ";", -1},
      {36, "\r", -1},
      {0, "", -1},
      {0, nullptr, -1},
      {0, "ab", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(MapViewKey(c.code, c.chars), c.key) << c.code;
}

TEST(KeyMapping, CountsCharactersNotBytes) {
  EXPECT_EQ(CountUtf8Chars(nullptr), 0);
  EXPECT_EQ(CountUtf8Chars(""), 0);
  EXPECT_EQ(CountUtf8Chars("a"), 1);
  EXPECT_EQ(CountUtf8Chars("ab"), 2);
  EXPECT_EQ(CountUtf8Chars("\xEF\x9C\x84"), 1);
  EXPECT_EQ(CountUtf8Chars("\xC3\xA4x"), 2);
  EXPECT_EQ(CountUtf8Chars("\x80"), 1);
}

TEST(TextEntryFormatter, ContinuousParameterTakesDigitsSignsAndPoint) {
  IParam p;
  p.InitDouble("Level", 0.5, 0.0, 1.0, 0.01);
  const TextEntryFormatter f = TextEntryFormatter::ForParam(&p, 20);
  EXPECT_TRUE(f.IsPartialStringValid(""));
  EXPECT_TRUE(f.IsPartialStringValid("-0.5"));
  EXPECT_TRUE(f.IsPartialStringValid("+12.25"));
  EXPECT_FALSE(f.IsPartialStringValid("1e3"));
  EXPECT_FALSE(f.IsPartialStringValid("a"));
  EXPECT_FALSE(f.IsPartialStringValid("1,5"));
  EXPECT_FALSE(f.IsPartialStringValid(" 1"));
  EXPECT_TRUE(f.IsPartialStringValid("12345678901234567890"));
  EXPECT_FALSE(f.IsPartialStringValid("123456789012345678901"));
}

TEST(TextEntryFormatter, WholeNumberParametersRefuseThePoint) {
  IParam i, b, e;
  i.InitInt("Tune", 0, -12, 12);
  b.InitBool("On", false);
  e.InitEnum("Mode", 0, 3);
  for (IParam* p : {&i, &b, &e}) {
    const TextEntryFormatter f = TextEntryFormatter::ForParam(p, 20);
    EXPECT_TRUE(f.IsPartialStringValid("-12"));
    EXPECT_FALSE(f.IsPartialStringValid("1.5"));
  }
}

TEST(TextEntryFormatter, LimitsApplyOnlyWhenSet) {
  TextEntryFormatter open;
  EXPECT_TRUE(open.IsPartialStringValid("anything at all, of any length whatsoever"));
  EXPECT_FALSE(open.IsPartialStringValid(nullptr));
  TextEntryFormatter f;
  f.SetMaxValue(100);
  EXPECT_TRUE(f.IsPartialStringValid("100"));
  EXPECT_FALSE(f.IsPartialStringValid("101"));
  EXPECT_FALSE(f.IsPartialStringValid("99999999999999999999999"));
  f.SetMaxLength(2);
  EXPECT_FALSE(f.IsPartialStringValid("100"));
}

TEST(HeadlessMenu, TitlesCarryTheNumberingPrefix) {
  struct Case {
    int prefix;
    int index;
    const char* title;
  } cases[] = {
      {0, 2, "Item"}, {1, 2, "3: Item"}, {2, 2, "03: Item"}, {3, 2, "003: Item"}, {2, 11, "12: Item"},
  };
  for (const Case& c : cases) {
    KIT_String title;
    MenuEntryTitle(c.prefix, c.index, "Item", &title);
    EXPECT_STREQ(title.Get(), c.title) << c.prefix;
  }
}

TEST(HeadlessMenu, MirrorsItemsSubmenusAndFlags) {
  IPopupMenu sub;
  sub.AddItem("Deep");
  IPopupMenu menu(2);
  menu.AddItem("Title", -1, IPopupMenuItem::kTitle);
  menu.AddItem("Off", -1, IPopupMenuItem::kDisabled);
  menu.AddSeparator();
  menu.AddItem("On", -1, IPopupMenuItem::kChecked);
  menu.AddItem("More", &sub);

  HeadlessMenu shown(&menu);
  ASSERT_EQ(shown.GetNEntries(), 5);
  EXPECT_STREQ(shown.GetEntry(0)->mTitle.Get(), "01: Title");
  EXPECT_EQ(shown.GetEntry(0)->mIndentation, 1);
  EXPECT_FALSE(shown.GetEntry(1)->mEnabled);
  EXPECT_TRUE(shown.GetEntry(2)->mSeparator);
  EXPECT_TRUE(shown.GetEntry(3)->mChecked);
  ASSERT_NE(shown.GetEntry(4)->mSubmenu, nullptr);
  const HeadlessMenuEntry* deep = shown.FindEntry("Deep");
  ASSERT_NE(deep, nullptr);
  EXPECT_EQ(deep->mSource, &sub);
  EXPECT_EQ(deep->mIndex, 0);
  EXPECT_TRUE(shown.Owns(deep));
  HeadlessMenuEntry stranger;
  EXPECT_FALSE(shown.Owns(&stranger));
  EXPECT_EQ(shown.FindEntry("Nothing"), nullptr);
}

}  // namespace
