#include "kick/Tonestage.h"

#include "kick/Denormal.h"

namespace {

double firstOrder(double x, double b0, double b1, double a1, double& x1, double& y1) {
  const double y = flushTiny(b0 * x + b1 * x1 - a1 * y1);
  y1 = y;
  x1 = x;
  return y;
}

}  // namespace

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

double Tonestage::processTone(double x) { return firstOrder(x, toneB0, toneB1, toneA1, toneX1, toneY1); }

double Tonestage::processLevel(double x) { return firstOrder(x, levelB0, levelB1, levelA1, levelX1, levelY1); }

double Tonestage::processHighpass(double x) {
  return firstOrder(x, highpassB0, highpassB1, highpassA1, highpassX1, highpassY1);
}

void Tonestage::reset() {
  toneX1 = toneY1 = 0;
  levelX1 = levelY1 = 0;
  highpassX1 = highpassY1 = 0;
}
