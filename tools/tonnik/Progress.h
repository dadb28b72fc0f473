#pragma once
// A progress line on stderr ("rendering song.mid  42%") for work that takes a
// while: it appears only once the work has run for kProgressDelaySeconds of
// wall time, is redrawn in place at most every kProgressRedrawSeconds and is
// cleared when the work is done. Main thread; owns nothing but its text.

#include <cstdio>
#include <functional>
#include <string>

// Shorter work finishes before a line would be worth reading.
const double kProgressDelaySeconds = 2.0;
// Often enough to look alive, rarely enough to cost nothing.
const double kProgressRedrawSeconds = 0.1;

class ProgressLine {
public:
  // Seconds from any fixed start; the default is the monotonic clock.
  typedef std::function<double()> Clock;

  // A line that is never drawn when enabled is false.
  ProgressLine(bool enabled, FILE* to = stderr, Clock clock = Clock());
  ~ProgressLine() { finish(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // fraction 0..1 of the work, and what is being done.
  void update(const std::string& what, double fraction);
  // Clears the line if one was drawn.
  void finish();

private:
  bool mEnabled;
  FILE* mTo;
  Clock mClock;
  double mStart;
  double mLastDrawn = -1;
  size_t mDrawnLength = 0;  // characters on the line now, 0 when none
};

// What the command line asks for: a line unless -q was given or stderr is not a terminal.
bool progressWanted(bool quiet);
