#include "kick/Tonestage.h"

void Tonestage::calculateToneCoeffs(double p, double fs) {
  const double T = 1 / fs;
  const double C = 1e-7;
  // 220 ohms in series with 10 k parallel to p x 10 k.
  const double R = 220 + (10000 * 10000 * p) / (10000 + 10000 * p);
  const double k = 2 * R * C;
  toneB0 = T / (T + k);
  toneB1 = toneB0;
  toneA1 = (T - k) / (T + k);
}

void Tonestage::calculateLevelCoeffs(double p, double fs) {
  const double T = 1 / fs;
  const double C = 4.7e-7;
  const double R = 100000;
  const double k = 2 * R * C;
  levelB0 = k * (1 - p) / (T + k);
  levelB1 = -k * (1 - p) / (T + k);
  levelA1 = (T - k) / (T + k);
}

void Tonestage::calculateHighpassCoeffs(double fs) {
  const double T = 1 / fs;
  const double C = 4.7e-7;
  const double R1 = 100000;
  const double R2 = 82000;
  highpassB0 = 2 * R2 * C / (T + 2 * R1 * C);
  highpassB1 = -2 * R2 * C / (T + 2 * R1 * C);
  highpassA1 = (T - 2 * R1 * C) / (T + 2 * R1 * C);
}

void Tonestage::reset() {
  toneX1 = toneY1 = 0;
  levelX1 = levelY1 = 0;
  highpassX1 = highpassY1 = 0;
}

void Tonestage::flushTinyStates() {
  toneX1 = flushTiny(toneX1);
  toneY1 = flushTiny(toneY1);
  levelX1 = flushTiny(levelX1);
  levelY1 = flushTiny(levelY1);
  highpassX1 = flushTiny(highpassX1);
  highpassY1 = flushTiny(highpassY1);
}
