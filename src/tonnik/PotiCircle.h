#pragma once
// The velocity ring drawn under a knob: an arc from the knob's angle
// (centre angle) reaching as far as velocity can move the setting (span;
// positive toward the knob's upper end, negative toward its lower end).
// The arc is a cell of a strip of 60 x 60 cells (cell 0 the full 270
// degrees, cell 54 empty, the arc's upper end at +135 degrees), cropped and
// drawn rotated so its upper end lands where it belongs.
//
// Ownership: made by the instrument while it builds its editor, owned by
// the editor; the instrument keeps a borrowed pointer to set the angles.
//
// Threads: Draw on the main thread. The angle setters may be called on the
// host's thread under the plug-in mutex; the angles are atomic, so a draw
// reads each one whole.

#include <atomic>

#include "graphics/IControl.h"

class PotiCircle : public IControl {
public:
  // Bitmap resources of the two rings.
  static constexpr int kPositiveRingID = 111;
  static constexpr int kNegativeRingID = 112;
  static constexpr const char* kPositiveRingName = "resources/img/bitmap1.png";
  static constexpr const char* kNegativeRingName = "resources/img/ringRot.png";
  // Cells of the ring strips: 60 pixels apart, the last (empty arc) 54.
  static constexpr int kCellPitch = 60;
  static constexpr int kEmptyCell = 54;

  // What Draw shows for a pair of angles.
  struct Arc {
    bool mPositive;    // the positive-span strip (else the zero/negative one)
    int mCell;         // 0 (full arc) .. 54 (empty)
    double mRotation;  // radians, clockwise
  };

  PotiCircle(IPluginBase* plug, IRECT rect);
  ~PotiCircle() override;

  // Crops the arc's cell, draws it rotated about the ring's centre and
  // releases the crop, so drawing leaves no bitmap behind.
  bool Draw(IGraphics* graphics) override;

  // Degrees; 0 is the middle of the knob's travel, positive upwards.
  void SetCentreAngle(double degrees) { mCentreAngle.store(degrees, std::memory_order_relaxed); }
  double GetCentreAngle() const { return mCentreAngle.load(std::memory_order_relaxed); }
  // Degrees, signed. The caller marks the ring dirty when it changes.
  void SetSpan(double degrees) { mSpan.store(degrees, std::memory_order_relaxed); }
  double GetSpan() const { return mSpan.load(std::memory_order_relaxed); }

  // The arc for the angles: low and high are clipped to -135..135 and the
  // cell is round(54 - 54 * (high - low) / 270), held within the strip's
  // cells 0..lastCell (an angle that is not finite shows the empty cell).
  static Arc ArcFor(double centreAngle, double span, int lastCell = kEmptyCell);

private:
  IRECT mRingRECT;
  std::atomic<double> mCentreAngle{0.0};
  std::atomic<double> mSpan{1.5707963267948966};
};
