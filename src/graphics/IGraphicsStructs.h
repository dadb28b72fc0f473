#pragma once
// Small value types shared by the editor, its controls and the platform layer:
// rectangles, colours, text styles, bitmap handles, mouse modifiers, blend
// modes and key codes. All are plain copyable records usable from any thread;
// none owns anything.

#include <cstring>

class PIX_IBitmap;
class PIX_CachedFont;

// A loaded image: a strip of N frames, stacked vertically or side by side.
// The raster bitmap belongs to the bitmap cache; W and H are the whole strip.
struct IBitmap {
  PIX_IBitmap* mData = nullptr;
  int W = 0;
  int H = 0;
  int N = 1;
  bool mFramesAreHorizontal = false;

  IBitmap() = default;
  IBitmap(PIX_IBitmap* data, int w, int h, int n = 1, bool framesAreHorizontal = false)
      : mData(data), W(w), H(h), N(n), mFramesAreHorizontal(framesAreHorizontal) {}

  int FrameWidth() const { return mFramesAreHorizontal && N > 0 ? W / N : W; }
  int FrameHeight() const { return !mFramesAreHorizontal && N > 0 ? H / N : H; }
};

// Integer rectangle in editor pixels, origin top-left, y downwards. Right and
// bottom are exclusive for point tests. Only (0, 0, 0, 0) counts as empty.
struct IRECT {
  int L = 0;
  int T = 0;
  int R = 0;
  int B = 0;

  IRECT() = default;
  IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}
  // One frame of the bitmap at (x, y); its height is the strip height over
  // the frame count, also for strips whose frames lie side by side.
  IRECT(int x, int y, const IBitmap* bitmap)
      : L(x), T(y), R(x + bitmap->W), B(y + bitmap->H / (bitmap->N > 0 ? bitmap->N : 1)) {}

  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  void Clear() { L = T = R = B = 0; }

  int W() const { return R - L; }
  int H() const { return B - T; }
  float MW() const { return 0.5f * static_cast<float>(L + R); }
  float MH() const { return 0.5f * static_cast<float>(T + B); }

  bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRECT& o) const { return !(*this == o); }

  bool Contains(int x, int y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }

  // Inclusive on this rectangle's right and bottom edges: rectangles that
  // only touch along an edge intersect.
  bool Intersects(const IRECT& o) const {
    return !Empty() && !o.Empty() && R >= o.L && L < o.R && B >= o.T && T < o.B;
  }

  IRECT Intersect(const IRECT& o) const {
    if (!Intersects(o)) return IRECT();
    return IRECT(L > o.L ? L : o.L, T > o.T ? T : o.T, R < o.R ? R : o.R, B < o.B ? B : o.B);
  }

  IRECT Union(const IRECT& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return IRECT(L < o.L ? L : o.L, T < o.T ? T : o.T, R > o.R ? R : o.R, B > o.B ? B : o.B);
  }
};

// Colour with components 0..255 in the order alpha, red, green, blue.
struct IColor {
  int A = 255;
  int R = 0;
  int G = 0;
  int B = 0;

  IColor() = default;
  IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}

  bool operator==(const IColor& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
  bool operator!=(const IColor& o) const { return !(*this == o); }
};

inline const IColor COLOR_TRANSPARENT(0, 0, 0, 0);
inline const IColor COLOR_BLACK(255, 0, 0, 0);
inline const IColor COLOR_GRAY(255, 127, 127, 127);
inline const IColor COLOR_WHITE(255, 255, 255, 255);
inline const IColor COLOR_RED(255, 255, 0, 0);
inline const IColor COLOR_GREEN(255, 0, 255, 0);
inline const IColor COLOR_BLUE(255, 0, 0, 255);
inline const IColor COLOR_YELLOW(255, 255, 255, 0);
inline const IColor COLOR_ORANGE(255, 255, 127, 0);

inline const IColor DEFAULT_TEXT_COLOR = COLOR_BLACK;
inline const IColor DEFAULT_TEXT_ENTRY_BGCOLOR = COLOR_WHITE;
inline const IColor DEFAULT_TEXT_ENTRY_FGCOLOR = COLOR_BLACK;

inline constexpr const char* DEFAULT_FONT = "Monaco";
inline constexpr int DEFAULT_TEXT_SIZE = 10;
inline constexpr int FONT_LEN = 32;

// A text style. mCached points into the font cache once the style has been
// drawn with; it is never owned and never cleared.
struct IText {
  enum EStyle { kStyleNormal = 0, kStyleBold = 1, kStyleItalic = 2 };
  enum EAlign { kAlignNear = 0, kAlignCenter = 1, kAlignFar = 2 };
  enum EQuality { kQualityDefault = 0, kQualityNonAntiAliased = 1, kQualityAntiAliased = 2, kQualityClearType = 3 };

  char mFont[FONT_LEN];
  int mSize;
  IColor mColor;
  IColor mTextEntryBGColor;
  IColor mTextEntryFGColor;
  EStyle mStyle;
  EAlign mAlign;
  int mOrientation;
  EQuality mQuality;
  PIX_CachedFont* mCached = nullptr;

  // Null colours and font name take the defaults. A face name longer than
  // 31 bytes is cut so the terminator always fits.
  explicit IText(int size = DEFAULT_TEXT_SIZE, const IColor* color = nullptr, const char* font = nullptr,
                 EStyle style = kStyleNormal, EAlign align = kAlignCenter, int orientation = 0,
                 EQuality quality = kQualityDefault, const IColor* textEntryBGColor = nullptr,
                 const IColor* textEntryFGColor = nullptr)
      : mSize(size),
        mColor(color ? *color : DEFAULT_TEXT_COLOR),
        mTextEntryBGColor(textEntryBGColor ? *textEntryBGColor : DEFAULT_TEXT_ENTRY_BGCOLOR),
        mTextEntryFGColor(textEntryFGColor ? *textEntryFGColor : DEFAULT_TEXT_ENTRY_FGCOLOR),
        mStyle(style),
        mAlign(align),
        mOrientation(orientation),
        mQuality(quality) {
    const char* face = font ? font : DEFAULT_FONT;
    std::memset(mFont, 0, sizeof(mFont));
    std::memcpy(mFont, face, strnlen(face, FONT_LEN - 1));
  }
};

// Mouse buttons and modifier keys of one event.
struct IMouseMod {
  bool L = false;
  bool R = false;
  bool S = false;
  bool C = false;
  bool A = false;

  IMouseMod() = default;
  IMouseMod(bool l, bool r, bool s = false, bool c = false, bool a = false) : L(l), R(r), S(s), C(c), A(a) {}
};

// How a drawing is combined with what is already there, and its opacity.
// A null blend pointer means source-alpha copy at full weight.
struct IChannelBlend {
  enum EBlendMethod : int { kBlendNone = 0, kBlendClobber = 1, kBlendAdd = 2, kBlendColorDodge = 3 };

  EBlendMethod mMethod = kBlendNone;
  float mWeight = 1.0f;

  IChannelBlend() = default;
  explicit IChannelBlend(EBlendMethod method, float weight = 1.0f) : mMethod(method), mWeight(weight) {}
};

// Orientation of knob drags, faders and radio button rows.
enum EDirection { kVertical = 0, kHorizontal = 1 };

// Key codes handed to OnKeyDown by the platform layer.
enum EIPlugKeyCodes {
  KEY_SPACE = 0,
  KEY_UPARROW = 1,
  KEY_DOWNARROW = 2,
  KEY_LEFTARROW = 3,
  KEY_RIGHTARROW = 4,
  KEY_DIGIT_0 = 5,
  KEY_DIGIT_9 = 14,
  KEY_ALPHA_A = 15,
  KEY_ALPHA_Z = 40
};
