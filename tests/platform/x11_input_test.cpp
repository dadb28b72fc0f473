// The X11 layer's pure parts: modifiers, wheel, keys, click counting and
// the pixel conversion to TrueColor images.

#include <gtest/gtest.h>

#include <X11/X.h>
#include <X11/keysym.h>

#include <random>

#include "graphics/IGraphicsStructs.h"
#include "platform/DesktopScale.h"
#include "platform/IGraphicsX11Input.h"
#include "platform/IGraphicsX11Pixels.h"
#include "platform/KeyMapping.h"

namespace {

int EditorKey(unsigned long keysym, const char* text) {
  const unsigned short code = X11KeySymToViewKeyCode(keysym);
  return code != kViewKeyNone ? MapViewKey(code, nullptr) : MapViewKey(kViewKeyNone, text);
}

TEST(X11Input, ModifiersAndRightClicksFollowTheMacRules) {
  const ViewModifiers none = X11StateToModifiers(0);
  EXPECT_FALSE(none.shift || none.control || none.option || none.command);
  const ViewModifiers all = X11StateToModifiers(ShiftMask | ControlMask | Mod1Mask | Mod4Mask | Button1Mask);
  EXPECT_TRUE(all.shift && all.control && all.option && all.command);

  // A left click with Super held counts as a right click, as command-click does.
  const IMouseMod superClick = GetMouseMod(X11StateToModifiers(Mod4Mask));
  EXPECT_TRUE(superClick.L);
  EXPECT_TRUE(superClick.R);
  const IMouseMod right = GetRightMouseMod(X11StateToModifiers(ShiftMask));
  EXPECT_FALSE(right.L);
  EXPECT_TRUE(right.R);
  EXPECT_TRUE(right.S);
  EXPECT_FALSE(right.C);
}

TEST(X11Input, WheelButtonsAreWholeSteps) {
  EXPECT_EQ(X11WheelDelta(kX11ButtonWheelUp), 1);
  EXPECT_EQ(X11WheelDelta(kX11ButtonWheelDown), -1);
  EXPECT_EQ(X11WheelDelta(kX11ButtonLeft), 0);
  EXPECT_EQ(X11WheelDelta(6), 0);  // side scrolling is not the editor's
  EXPECT_EQ(X11WheelDelta(7), 0);
}

TEST(X11Input, KeysMapToEditorCodes) {
  EXPECT_EQ(EditorKey(XK_space, " "), KEY_SPACE);
  EXPECT_EQ(EditorKey(XK_Up, ""), KEY_UPARROW);
  EXPECT_EQ(EditorKey(XK_Down, ""), KEY_DOWNARROW);
  EXPECT_EQ(EditorKey(XK_Left, ""), KEY_LEFTARROW);
  EXPECT_EQ(EditorKey(XK_KP_Right, ""), KEY_RIGHTARROW);
  EXPECT_EQ(EditorKey(XK_a, "a"), KEY_ALPHA_A);
  EXPECT_EQ(EditorKey(XK_A, "A"), KEY_ALPHA_A);
  EXPECT_EQ(EditorKey(XK_z, "z"), KEY_ALPHA_Z);
  EXPECT_EQ(EditorKey(XK_7, "7"), KEY_DIGIT_0 + 7);
  // Function keys and punctuation go on to the host.
  EXPECT_EQ(EditorKey(XK_F1, ""), -1);
  EXPECT_EQ(EditorKey(XK_comma, ","), -1);
  EXPECT_EQ(EditorKey(XK_Return, "\r"), -1);
}

TEST(X11Input, ClickCounterCountsQuickPressesInOnePlace) {
  X11ClickCounter clicks;
  EXPECT_EQ(clicks.Press(kX11ButtonLeft, 10, 10, 1000), 1);
  EXPECT_EQ(clicks.Press(kX11ButtonLeft, 12, 9, 1000 + X11ClickCounter::kDoubleClickMs), 2);
  EXPECT_EQ(clicks.Press(kX11ButtonLeft, 12, 9, 1500), 3);
  // Too slow, too far, another button: a new single click each time.
  EXPECT_EQ(clicks.Press(kX11ButtonLeft, 12, 9, 1501 + X11ClickCounter::kDoubleClickMs), 1);
  EXPECT_EQ(clicks.Press(kX11ButtonLeft, 12 + X11ClickCounter::kDoubleClickSlop + 1, 9, 2000), 1);
  EXPECT_EQ(clicks.Press(kX11ButtonRight, 17, 9, 2010), 1);
  // The server clock wraps around after 2^32 ms.
  EXPECT_EQ(clicks.Press(kX11ButtonLeft, 0, 0, 0xFFFFFFF0ul), 1);
  EXPECT_EQ(clicks.Press(kX11ButtonLeft, 0, 0, 0x10ul), 2);
  clicks.Reset();
  EXPECT_EQ(clicks.Press(kX11ButtonLeft, 0, 0, 0x20ul), 1);
}

TEST(X11Pixels, StandardLayoutSwapsBytesAsThePlainFormulaDoes) {
  const X11PixelFormat standard = MakeX11PixelFormat(0xFF0000, 0xFF00, 0xFF, 32, true);
  EXPECT_TRUE(standard.isStandard);
  // Opaque orange: alpha 255, red 238, green 158, blue 0.
  const unsigned orange = 0xFFu | (238u << 8) | (158u << 16);
  EXPECT_EQ(X11PixelPlain(orange, standard), 0xEE9E00u);

  std::mt19937 rng(7);
  unsigned src[257];
  for (unsigned& p : src) p = rng();
  uint32_t fast[257];
  X11ConvertRow(src, fast, 257, standard);
  for (int i = 0; i < 257; ++i) ASSERT_EQ(fast[i], X11PixelPlain(src[i], standard)) << i;
}

TEST(X11Pixels, OtherLayoutsPlaceEveryChannelByItsMask) {
  // Blue-first and 10-bit-per-channel visuals, and a big-endian 32-bit image.
  const X11PixelFormat bgr = MakeX11PixelFormat(0xFF, 0xFF00, 0xFF0000, 32, true);
  const X11PixelFormat deep = MakeX11PixelFormat(0x3FF00000, 0xFFC00, 0x3FF, 32, true);
  const X11PixelFormat msb = MakeX11PixelFormat(0xFF0000, 0xFF00, 0xFF, 32, false);
  EXPECT_FALSE(bgr.isStandard || deep.isStandard || msb.isStandard);
  const unsigned pixel = 0x80u | (0x12u << 8) | (0x34u << 16) | (0x56u << 24);
  EXPECT_EQ(X11PixelPlain(pixel, bgr), 0x563412u);
  EXPECT_EQ(X11PixelPlain(pixel, deep), (0x12u << 22) | (0x34u << 12) | (0x56u << 2));
  uint32_t out = 0;
  X11ConvertRow(&pixel, &out, 1, bgr);
  EXPECT_EQ(out, 0x563412u);
  X11ConvertRow(&pixel, &out, 1, msb);
  EXPECT_EQ(out, 0x123456u);
}

TEST(DesktopScale, GdkScaleThenXftDpiHeldToTheEditorsRange) {
  EXPECT_EQ(DesktopScaleFrom(nullptr, nullptr), 1.0);
  EXPECT_EQ(DesktopScaleFrom("2", "Xft.dpi:\t144\n"), 2.0);  // GDK_SCALE first
  EXPECT_EQ(DesktopScaleFrom(nullptr, "Xcursor.size:\t24\nXft.dpi:\t144\nXft.hinting:\t1\n"), 1.5);
  EXPECT_EQ(DesktopScaleFrom("", "Xft.dpi:\t192"), 2.0);
  EXPECT_EQ(DesktopScaleFrom("3", nullptr), 2.0);          // beyond the editor's range
  EXPECT_EQ(DesktopScaleFrom(nullptr, "Xft.dpi: 72"), 1.0);  // below it
  // Malformed settings count as absent.
  EXPECT_EQ(DesktopScaleFrom("1.5", "Xft.dpi:\t120"), 1.25);
  EXPECT_EQ(DesktopScaleFrom("0", nullptr), 1.0);
  EXPECT_EQ(DesktopScaleFrom("x", "Xft.dpi:\tnan\n"), 1.0);
  EXPECT_EQ(DesktopScaleFrom(nullptr, "XXft.dpi:\t192"), 1.0);
}

}  // namespace
