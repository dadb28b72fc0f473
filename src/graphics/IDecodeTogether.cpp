#include "graphics/IDecodeTogether.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Takes images until none is left.
void DecodeTaken(IScaledImage* const* images, int count, int scale, std::atomic<int>* next) {
  for (int i = next->fetch_add(1); i < count; i = next->fetch_add(1)) images[i]->AtScale(scale);
}

}  // namespace

void DecodeTogether(IScaledImage* const* given, int count, int scale) {
  if (count <= 0) return;
  // Largest first, so that no thread is left with a large image at the end.
  std::vector<IScaledImage*> images(given, given + count);
  std::stable_sort(images.begin(), images.end(), [](IScaledImage* a, IScaledImage* b) {
    return static_cast<long long>(a->getWidth()) * a->getHeight() > static_cast<long long>(b->getWidth()) * b->getHeight();
  });
  std::atomic<int> next{0};
  const int cores = static_cast<int>(std::thread::hardware_concurrency());
  int helpers = cores - 1;
  if (helpers > kMaxDecodeHelpers) helpers = kMaxDecodeHelpers;
  if (helpers > count - 1) helpers = count - 1;
  std::thread threads[kMaxDecodeHelpers];
  int started = 0;
  for (; started < helpers; ++started) {
    try {
      threads[started] = std::thread(DecodeTaken, images.data(), count, scale, &next);
    } catch (const std::system_error&) {
      break;  // the threads already running and the caller share what is left
    }
  }
  DecodeTaken(images.data(), count, scale, &next);
  for (int i = 0; i < started; ++i) threads[i].join();
}
