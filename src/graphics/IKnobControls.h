#pragma once
// Knobs: a vertical (or horizontal) drag changes the value by one knob
// height (width) of movement per 1 / gearing; Shift or Control gears ten
// times finer. Variants draw a line, a rotated bitmap, a frame of a strip,
// or a rotated mask composed from three bitmaps.
// Threads: as IControl (main thread, plus the plug-in relays).

#include "graphics/IControl.h"
#include "pix/PIX_Draw.h"

inline constexpr double DEFAULT_GEARING = 4.0;
inline constexpr double PI = PIX_kPi;

class IKnobControl : public IControl {
public:
  IKnobControl(IPluginBase* plug, IRECT rect, int paramIdx, EDirection direction = kVertical,
               double gearing = DEFAULT_GEARING);

  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;

  void SetGearing(double gearing) { mGearing = gearing; }

protected:
  EDirection mDirection;
  double mGearing;
};

// A line from the inner to the outer radius at the value's angle (radians,
// 0 up, clockwise), anti-aliased and drawn opaque. An outer radius of 0
// means half the rectangle's width.
class IKnobLineControl : public IKnobControl {
public:
  IKnobLineControl(IPluginBase* plug, IRECT rect, int paramIdx, const IColor* color, double innerRadius = 0.0,
                   double outerRadius = 0.0, double minAngle = -0.75 * PI, double maxAngle = 0.75 * PI,
                   EDirection direction = kVertical, double gearing = DEFAULT_GEARING);

  bool Draw(IGraphics* graphics) override;

protected:
  IColor mColor;
  float mMinAngle;
  float mMaxAngle;
  float mInnerRadius;
  float mOuterRadius;
};

// The bitmap rotated about the rectangle's centre (angles in radians).
class IKnobRotaterControl : public IKnobControl {
public:
  IKnobRotaterControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap, double minAngle = -0.75 * PI,
                      double maxAngle = 0.75 * PI, int yOffsetZeroDeg = 0, EDirection direction = kVertical,
                      double gearing = DEFAULT_GEARING);

  bool Draw(IGraphics* graphics) override;

protected:
  IBitmap mBitmap;
  double mMinAngle;
  double mMaxAngle;
  int mYOffset;
};

// The frame of a strip that matches the value, like IBitmapControl.
class IKnobMultiControl : public IKnobControl {
public:
  // The rectangle is one frame of the bitmap at (x, y).
  IKnobMultiControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                    EDirection direction = kVertical, double gearing = DEFAULT_GEARING);

  bool Draw(IGraphics* graphics) override;

protected:
  IBitmap mBitmap;
};

// A base image with a rotating mask and a rotating top (angles in degrees).
class IKnobRotatingMaskControl : public IKnobControl {
public:
  IKnobRotatingMaskControl(IPluginBase* plug, int x, int y, int paramIdx, IBitmap* base, IBitmap* mask,
                           IBitmap* top, double minAngle = -135.0, double maxAngle = 135.0,
                           EDirection direction = kVertical, double gearing = DEFAULT_GEARING);

  bool Draw(IGraphics* graphics) override;

protected:
  IBitmap mBase;
  IBitmap mMask;
  IBitmap mTop;
  double mMinAngle;
  double mMaxAngle;
};
