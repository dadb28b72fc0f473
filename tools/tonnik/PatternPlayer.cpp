#include "PatternPlayer.h"

#include <algorithm>
#include <cmath>

namespace {

// A guess at how long a ring that ends in silence lasts, for the progress
// estimate only: most hits have rung out by then.
const double kTypicalTailSeconds = 2.0;

}  // namespace

bool playPattern(const Pattern& pattern, Renderer& renderer, double sampleRate, int blockSize, StereoBuffer& out,
                 const char** error, const PlayProgress& progress) {
  if (!renderer.prepare(sampleRate, blockSize, error)) return false;

  std::vector<PatternEvent> events = pattern.events;
  std::stable_sort(events.begin(), events.end(),
                   [](const PatternEvent& a, const PatternEvent& b) { return a.seconds < b.seconds; });
  auto frameOf = [&](const PatternEvent& e) { return static_cast<long>(std::llround(std::max(0.0, e.seconds) * sampleRate)); };

  long total = static_cast<long>(std::ceil(pattern.lengthSeconds() * sampleRate));
  const bool untilSilent = pattern.tailUntilSilent && pattern.fixedSeconds <= 0;
  const long lastEventFrame = events.empty() ? 0 : frameOf(events.back());
  const long hold = std::lround(kSilenceHoldSeconds * sampleRate);
  const double quiet = std::pow(10.0, kSilenceDb / 20);
  long quietRun = 0;
  const double expected = untilSilent ? std::min<double>(total, lastEventFrame + kTypicalTailSeconds * sampleRate) : total;
  out.left.clear();
  out.right.clear();
  // Room for the likely length at once: growing long renders step by step would
  // copy them again and again.
  out.left.reserve((size_t)std::ceil(expected));
  out.right.reserve((size_t)std::ceil(expected));
  size_t next = 0;
  for (long start = 0; start < total; start += blockSize) {
    const int frames = static_cast<int>(std::min<long>(blockSize, total - start));
    out.left.resize(start + frames, 0.0);
    out.right.resize(start + frames, 0.0);
    for (; next < events.size() && frameOf(events[next]) < start + frames; ++next) {
      const PatternEvent& e = events[next];
      const int offset = static_cast<int>(frameOf(e) - start);
      if (e.kind == PatternEvent::SetParam)
        renderer.setParameter(e.param, e.value);
      else if (e.kind == PatternEvent::NoteOn)
        renderer.noteOn(offset, e.note, e.velocity);
      else
        renderer.midi(offset, e.status, e.data1, e.data2);
    }
    double* outputs[2] = {out.left.data() + start, out.right.data() + start};
    renderer.process(outputs, frames);
    if (progress) progress(std::min(1.0, (start + frames) / std::max(expected, 1.0)));
    if (!untilSilent) continue;
    // Ends on the first sample after the last event that closes kSilenceHoldSeconds of quiet,
    // so the length does not depend on the block size.
    for (int i = 0; i < frames; ++i) {
      const bool isQuiet = std::fabs(outputs[0][i]) < quiet && std::fabs(outputs[1][i]) < quiet;
      quietRun = isQuiet ? quietRun + 1 : 0;
      const long done = start + i + 1;
      if (done > lastEventFrame && quietRun >= hold) {
        total = done;
        break;
      }
    }
  }
  out.left.resize(total);
  out.right.resize(total);
  return true;
}
