#pragma once
// The pitch of the ring over time, estimated from the zero crossings of the
// signal: the time between two rising crossings is one period. Crossings are
// placed between samples by linear interpolation, so a steady sine's pitch is
// found to a small fraction of a hertz. Periods in which the signal stays
// below a floor (silence, the tail) or whose pitch lies outside the range a
// kick rings in are left out. Pure function; any thread.

#include <cstddef>
#include <vector>

struct PitchPoint {
  double seconds;  // the middle of the period
  double hertz;
};

// Frequencies outside this range are not taken for the ring's pitch (the
// click of the pulse crosses zero far faster).
const double kMinPitchHz = 20;
const double kMaxPitchHz = 1000;
// A period whose peak stays below this (dBFS) is noise, not the ring.
const double kPitchFloorDb = -60;

std::vector<PitchPoint> zeroCrossingPitch(const double* samples, size_t count, double sampleRate);
