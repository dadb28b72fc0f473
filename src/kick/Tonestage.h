#pragma once
// The three first-order RC filters after the kick's drive stage, each a bilinear-transformed
// analog network: the tone low-pass (7.23 kHz down to 305 Hz), the level high-pass at 3.39 Hz
// whose pass-band gain is set per hit, and the output high-pass at 3.39 Hz with gain 0.82.
// All coefficients are 0 until computed, so the stage outputs 0 before the first hit.
// The owner calls flushTinyStates() regularly (see Denormal.h).
// Plain value class; called from whichever thread renders the voice.

#include "kick/Denormal.h"

class Tonestage {
public:
  // p in 0..1 sets the resistance: 0 brightest (7234 Hz), 1 darkest (305 Hz).
  void calculateToneCoeffs(double p, double fs);
  // Pass-band gain 1 - p.
  void calculateLevelCoeffs(double p, double fs);
  void calculateHighpassCoeffs(double fs);
  double processTone(double x);
  double processLevel(double x);
  double processHighpass(double x);
  // Clears the filter states and keeps the coefficients.
  void reset();
  void flushTinyStates();

  double toneB0 = 0, toneB1 = 0, toneA1 = 0;
  double levelB0 = 0, levelB1 = 0, levelA1 = 0;
  double highpassB0 = 0, highpassB1 = 0, highpassA1 = 0;
  double toneX1 = 0, toneY1 = 0;
  double levelX1 = 0, levelY1 = 0;
  double highpassX1 = 0, highpassY1 = 0;

private:
  static double firstOrder(double x, double b0, double b1, double a1, double& x1, double& y1);
};

// Per-sample work, inline so that the voice's sample loop compiles as one piece.

inline double Tonestage::firstOrder(double x, double b0, double b1, double a1, double& x1, double& y1) {
  const double y = b0 * x + b1 * x1 - a1 * y1;
  y1 = y;
  x1 = x;
  return y;
}

inline double Tonestage::processTone(double x) { return firstOrder(x, toneB0, toneB1, toneA1, toneX1, toneY1); }

inline double Tonestage::processLevel(double x) {
  return firstOrder(x, levelB0, levelB1, levelA1, levelX1, levelY1);
}

inline double Tonestage::processHighpass(double x) {
  return firstOrder(x, highpassB0, highpassB1, highpassA1, highpassX1, highpassY1);
}
