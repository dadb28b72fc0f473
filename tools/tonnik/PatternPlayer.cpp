#include "PatternPlayer.h"

#include <algorithm>
#include <cmath>

bool playPattern(const Pattern& pattern, Renderer& renderer, double sampleRate, int blockSize, StereoBuffer& out,
                 const char** error) {
  if (!renderer.prepare(sampleRate, blockSize, error)) return false;

  std::vector<PatternEvent> events = pattern.events;
  std::stable_sort(events.begin(), events.end(),
                   [](const PatternEvent& a, const PatternEvent& b) { return a.seconds < b.seconds; });
  auto frameOf = [&](const PatternEvent& e) { return static_cast<long>(std::llround(std::max(0.0, e.seconds) * sampleRate)); };

  const long total = static_cast<long>(std::ceil(pattern.lengthSeconds() * sampleRate));
  out.left.assign(total, 0.0);
  out.right.assign(total, 0.0);
  size_t next = 0;
  for (long start = 0; start < total; start += blockSize) {
    const int frames = static_cast<int>(std::min<long>(blockSize, total - start));
    for (; next < events.size() && frameOf(events[next]) < start + frames; ++next) {
      const PatternEvent& e = events[next];
      if (e.kind == PatternEvent::SetParam)
        renderer.setParameter(e.param, e.value);
      else
        renderer.noteOn(static_cast<int>(frameOf(e) - start), e.note, e.velocity);
    }
    double* outputs[2] = {out.left.data() + start, out.right.data() + start};
    renderer.process(outputs, frames);
  }
  return true;
}
