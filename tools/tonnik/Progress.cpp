#include "Progress.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

double monotonicSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

ProgressLine::ProgressLine(bool enabled, FILE* to, Clock clock)
    : mEnabled(enabled), mTo(to), mClock(clock ? clock : Clock(monotonicSeconds)), mStart(mClock()) {}

void ProgressLine::update(const std::string& what, double fraction) {
  if (!mEnabled) return;
  const double now = mClock();
  if (now - mStart < kProgressDelaySeconds) return;
  if (mLastDrawn >= 0 && now - mLastDrawn < kProgressRedrawSeconds) return;
  mLastDrawn = now;
  char percent[16];
  std::snprintf(percent, sizeof percent, "  %3d%%", (int)std::floor(std::clamp(fraction, 0.0, 1.0) * 100));
  const std::string line = what + percent;
  // Spaces over what a longer line before left behind.
  const size_t pad = mDrawnLength > line.size() ? mDrawnLength - line.size() : 0;
  std::fprintf(mTo, "\r%s%*s", line.c_str(), (int)pad, "");
  std::fflush(mTo);
  mDrawnLength = line.size();
}

void ProgressLine::finish() {
  if (mDrawnLength == 0) return;
  std::fprintf(mTo, "\r%*s\r", (int)mDrawnLength, "");
  std::fflush(mTo);
  mDrawnLength = 0;
}

bool progressWanted(bool quiet) { return !quiet && isatty(STDERR_FILENO); }
