#include "kick/Pulse.h"

#include <climits>
#include <cstring>

#include "kick/ExciterTables.h"

Pulse::Pulse() : tableA(new double[kExciterTableLength]), tableB(new double[kExciterTableLength]) {
  std::memcpy(tableA, kExciterTableA, sizeof(kExciterTableA));
  std::memcpy(tableB, kExciterTableB, sizeof(kExciterTableB));
}

Pulse::Pulse(const Pulse& other)
    : samplingRate(other.samplingRate),
      tableA(new double[kExciterTableLength]),
      tableB(new double[kExciterTableLength]),
      index(other.index),
      lastSampleFlag(other.lastSampleFlag),
      lastSampleValue(other.lastSampleValue),
      accent(other.accent) {
  std::memcpy(tableA, other.tableA, sizeof(kExciterTableA));
  std::memcpy(tableB, other.tableB, sizeof(kExciterTableB));
}

Pulse& Pulse::operator=(const Pulse& other) {
  samplingRate = other.samplingRate;
  std::memmove(tableA, other.tableA, sizeof(kExciterTableA));
  std::memmove(tableB, other.tableB, sizeof(kExciterTableB));
  index = other.index;
  lastSampleFlag = other.lastSampleFlag;
  lastSampleValue = other.lastSampleValue;
  accent = other.accent;
  return *this;
}

Pulse::~Pulse() {
  delete[] tableA;
  delete[] tableB;
}

int Pulse::definedRate(double fs) {
  // Range check first: casting NaN or a huge value to int is undefined.
  if (!(fs >= 44100 && fs < 96001)) return 0;
  const int rate = static_cast<int>(fs);
  return rate == 44100 || rate == 48000 || rate == 96000 ? rate : 0;
}

void Pulse::reset() {
  index = 0;
  lastSampleFlag = 0;
  lastSampleValue = 0;
}

double Pulse::nextSample() {
  int lastIndex = -1;
  double a = 0, b = 0;
  switch (definedRate(samplingRate)) {
    case 96000:
      lastIndex = 570;
      if (index >= 0 && index <= lastIndex) {
        a = tableA[index];
        b = tableB[index];
      }
      break;
    case 48000:
      lastIndex = 285;
      if (index >= 0 && index <= lastIndex) {
        a = tableA[2 * index];
        b = tableB[2 * index];
      }
      break;
    case 44100:
      lastIndex = 261;
      if (index >= 0 && index <= lastIndex) {
        const double p = index * 96 / 44.1;
        const int i = static_cast<int>(p);
        const double f = p - i;
        a = tableA[i] + f * (tableA[i + 1] - tableA[i]);
        b = tableB[i] + f * (tableB[i + 1] - tableB[i]);
      }
      break;
    default:
      break;
  }

  double sample = 0;
  if (index >= 0 && index <= lastIndex) {
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
