#pragma once
// Decaying recursions (oscillator, filters, fader, envelope) would otherwise creep through the
// subnormal range, where every operation costs tens of times more, and can stick there forever
// because rounding keeps the smallest values alive. Their state is flushed to exact zero below
// kFlushThreshold, about 600 dB under full scale and far above the float subnormal range, so
// the flush is inaudible and works the same on every CPU without touching FTZ/DAZ flags.

#include <cmath>

const double kFlushThreshold = 1e-30;

inline double flushTiny(double v) { return std::fabs(v) < kFlushThreshold ? 0.0 : v; }
