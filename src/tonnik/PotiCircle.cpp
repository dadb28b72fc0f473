#include "tonnik/PotiCircle.h"

#include <cmath>

#include "graphics/IGraphics.h"
#include "pix/PIX_Draw.h"

namespace {
// The arc's ends never pass the knob's travel.
constexpr float kTravelEnd = 135.0f;
constexpr double kFullArc = 270.0;
// A crop covers one cell but its last row and column.
constexpr int kCropSize = PotiCircle::kCellPitch - 1;
}  // namespace

PotiCircle::PotiCircle(IPluginBase* plug, IRECT rect)
    : IControl(plug, rect, -1, IChannelBlend(IChannelBlend::kBlendNone, 1.0f)), mRingRECT(rect) {}

PotiCircle::~PotiCircle() = default;

PotiCircle::Arc PotiCircle::ArcFor(double centreAngle, double span, int lastCell) {
  Arc arc;
  arc.mPositive = span > 0;
  float low, high;
  if (arc.mPositive) {
    low = static_cast<float>(centreAngle);
    high = static_cast<float>(centreAngle + std::fabs(span));
  } else {
    low = static_cast<float>(centreAngle - std::fabs(span));
    high = static_cast<float>(centreAngle);
  }
  if (high > kTravelEnd) high = kTravelEnd;
  if (low < -kTravelEnd) low = -kTravelEnd;

  const double cell = kEmptyCell - kEmptyCell * (static_cast<double>(high) - low) / kFullArc;
  if (!std::isfinite(cell)) {
    arc.mCell = lastCell < kEmptyCell ? lastCell : kEmptyCell;
    arc.mRotation = 0.0;
    return arc;
  }
  // A centre beyond the travel would ask for a cell past the strip.
  long k = std::lround(cell);
  if (k > lastCell) k = lastCell;
  if (k < 0) k = 0;
  arc.mCell = static_cast<int>(k);
  arc.mRotation = PIX_kPi * (high - kTravelEnd) / 180.0;
  return arc;
}

bool PotiCircle::Draw(IGraphics* graphics) {
  const int cx = mRingRECT.L + (mRingRECT.R - mRingRECT.L) / 2;
  const int cy = mRingRECT.T + (mRingRECT.B - mRingRECT.T) / 2;
  const double span = GetSpan();
  IBitmap ring = span > 0 ? graphics->LoadIBitmap(kPositiveRingID, kPositiveRingName, 1)
                          : graphics->LoadIBitmap(kNegativeRingID, kNegativeRingName, 1);
  const int cells = ring.H / kCellPitch;
  if (cells < 1 || ring.W < kCropSize) return true;
  const Arc arc = ArcFor(GetCentreAngle(), span, cells - 1);

  IRECT cellRect(0, kCellPitch * arc.mCell, kCropSize, kCellPitch * arc.mCell + kCropSize);
  IBitmap cropped = graphics->CropBitmap(&ring, &cellRect);
  graphics->DrawRotatedBitmap(&cropped, cx, cy, arc.mRotation, 0, nullptr);
  graphics->ReleaseBitmap(&cropped);
  return true;
}
