// The progress line: late, in place, rarely redrawn, cleared, and off when not wanted.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "Progress.h"
#include "TonnikCommandTestUtil.h"

namespace {

using namespace tonnik_test;

std::string written(FILE* f) {
  std::fflush(f);
  std::string text;
  std::rewind(f);
  char buffer[256];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  std::fseek(f, 0, SEEK_END);
  return text;
}

TEST(ProgressLine, AppearsAfterTwoSecondsRedrawsInPlaceAndClears) {
  FILE* f = std::tmpfile();
  ASSERT_NE(nullptr, f);
  double now = 100;
  {
    ProgressLine line(true, f, [&] { return now; });
    now = 101.9;
    line.update("rendering a.mid", 0.3);
    EXPECT_EQ("", written(f));  // short work shows nothing
    now = 102.5;
    line.update("rendering a.mid", 0.427);
    EXPECT_EQ("\rrendering a.mid   42%", written(f));
    now = 102.55;
    line.update("rendering a.mid", 0.5);
    EXPECT_EQ("\rrendering a.mid   42%", written(f));  // not yet redrawn
    now = 102.7;
    line.update("rendering b", 1.0);
    EXPECT_EQ("\rrendering a.mid   42%\rrendering b  100%    ", written(f));  // padded over the longer line
  }  // cleared on the way out
  EXPECT_EQ("\rrendering a.mid   42%\rrendering b  100%    \r" + std::string(17, ' ') + "\r", written(f));  // the padding is blank already
  std::fclose(f);
}

TEST(ProgressLine, OffWhenDisabledQuietOrNotATerminal) {
  FILE* f = std::tmpfile();
  ASSERT_NE(nullptr, f);
  double now = 0;
  {
    ProgressLine line(false, f, [&] { return now; });
    now = 10;
    line.update("rendering", 0.5);
  }
  EXPECT_EQ("", written(f));
  std::fclose(f);
  EXPECT_FALSE(progressWanted(true));
  // Under ctest stderr is a pipe or a file, as it is for a script.
  EXPECT_EQ(isatty(STDERR_FILENO) != 0, progressWanted(false));
}

// A render of more than two seconds of wall time with stderr in a file prints
// nothing there; -q is accepted by both commands.
TEST(TonnikCommand, NoProgressLineWhenStderrIsAFile) {
  const std::string wav = uniqueTempPath("progress.wav");
  std::string said;
  ASSERT_EQ(0, runTonnik("render --length 240 --block 64 -o " + wav, &said));
  EXPECT_EQ("", said);
  ASSERT_EQ(0, runTonnik("render -q --length 1 -o " + wav, &said));
  EXPECT_EQ("", said);
  const std::string kit = uniqueTempPath("kit");
  ASSERT_EQ(0, runTonnik("export-kit -q -o " + kit, &said)) << said;
  EXPECT_EQ("", said);
  std::remove(wav.c_str());
  std::remove((kit + "/" + kit.substr(kit.find_last_of('/') + 1) + ".sfz").c_str());
  std::remove((kit + "/" + kit.substr(kit.find_last_of('/') + 1) + "_036_v127.wav").c_str());
  rmdir(kit.c_str());
}

}  // namespace
