#include "kick/Pulse.h"

#include <climits>
#include <cmath>

#include "kick/ExciterTables.h"

namespace {

// The rate the tables were recorded at, in kHz.
constexpr double kTableRateKHz = 96;
constexpr int kLastTableIndex = kExciterTableLength - 1;
constexpr double kHzPerKHz = 1000;

// The table position of output sample i. Written as i × 96 / 44.1 at 44.1 kHz, so that the
// long-standing 44.1 kHz pulse keeps every bit; at 96 and 48 kHz it is exactly i and 2i.
double tablePosition(int i, double rateKHz) { return i * kTableRateKHz / rateKHz; }

}  // namespace

Pulse::Pulse() : tableA(kExciterTableA), tableB(kExciterTableB) {}

bool Pulse::playsAt(double fs) { return fs >= kLowestRate && fs <= kHighestRate; }

void Pulse::setSamplingRate(double fs) {
  samplingRate = fs;
  if (!playsAt(fs)) {
    rateKHz = 0;
    lastIndex = -1;
    return;
  }
  rateKHz = std::trunc(fs) / kHzPerKHz;
  // The largest i whose position lies within the tables, found by the same expression the
  // samples are read with, so the last sample never reads past them.
  int last = static_cast<int>(kLastTableIndex * rateKHz / kTableRateKHz);
  while (tablePosition(last + 1, rateKHz) <= kLastTableIndex) ++last;
  while (tablePosition(last, rateKHz) > kLastTableIndex) --last;
  lastIndex = last;
}

void Pulse::reset() {
  index = 0;
  lastSampleFlag = 0;
  lastSampleValue = 0;
}

double Pulse::tableAt(const double* table, int whole, double fraction) {
  if (whole >= kLastTableIndex) return table[kLastTableIndex];
  return table[whole] + fraction * (table[whole + 1] - table[whole]);
}

double Pulse::nextSample() {
  double sample = 0;
  if (index >= 0 && index <= lastIndex) {
    // One position for both tables.
    const double p = tablePosition(index, rateKHz);
    const int whole = static_cast<int>(p);
    const double a = tableAt(tableA, whole, p - whole);
    const double b = tableAt(tableB, whole, p - whole);
    sample = accent >= 4 ? a + (b - a) * (accent - 4) / 10 : a * accent / 4;
    if (index == lastIndex) {
      lastSampleFlag = 1;
      lastSampleValue = sample;
    }
  }
  // Saturates instead of overflowing when a pulse is left running for hours.
  if (index < INT_MAX) ++index;
  return sample;
}
