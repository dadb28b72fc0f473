#pragma once
// Decaying recursions (oscillator, filters, fader, envelope) would otherwise creep through the
// subnormal range, where every operation costs tens of times more, and can stick there forever
// because rounding keeps the smallest values alive. Each stage therefore has a
// flushTinyStates() that sets state below kFlushThreshold (about 600 dB under full scale and
// far above the float subnormal range) to exact zero, and the voice calls it every
// kFlushInterval samples: even the fastest-decaying section (the tone low-pass at 7.2 kHz,
// x0.32 per sample) cannot fall from the threshold into the subnormal range within one
// interval, and the per-sample path stays free of the check. The flush is inaudible and
// works the same on every CPU without touching FTZ/DAZ flags.

#include <cmath>

const double kFlushThreshold = 1e-30;
const int kFlushInterval = 64;

inline double flushTiny(double v) { return std::fabs(v) < kFlushThreshold ? 0.0 : v; }
