#pragma once
// The three first-order RC filters after the kick's drive stage, each a bilinear-transformed
// analog network: the tone low-pass (7.23 kHz down to 305 Hz), the level high-pass at 3.39 Hz
// whose pass-band gain is set per hit, and the output high-pass at 3.39 Hz with gain 0.82.
// All coefficients are 0 until computed, so the stage outputs 0 before the first hit.
// Filter states below kFlushThreshold are flushed to zero (see Denormal.h).
// Plain value class; called from whichever thread renders the voice.

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

  double toneB0 = 0, toneB1 = 0, toneA1 = 0;
  double levelB0 = 0, levelB1 = 0, levelA1 = 0;
  double highpassB0 = 0, highpassB1 = 0, highpassA1 = 0;
  double toneX1 = 0, toneY1 = 0;
  double levelX1 = 0, levelY1 = 0;
  double highpassX1 = 0, highpassY1 = 0;
};
