#pragma once
// Overhead ratios of several ways of doing the same work, timed in turns.
//
// The host-path targets are ratios of a few per cent, while the load on the
// shared machines these run on moves a benchmark's time by more than that
// from one repetition to the next. So the ways are not timed one after the
// other: a round gives each way one chunk of work (long enough that the
// clock's own cost, about 20 ns, is far below a per cent of it, short enough
// that the load rarely changes within a round), in an order that rotates
// from round to round, and each way's time is set against the baseline's
// of the same round. The median of those per-round ratios leaves out the
// rounds in which the system took the core away from one of them.
// Header only; used on one thread.

#include <algorithm>
#include <chrono>
#include <functional>
#include <utility>
#include <vector>

namespace bench {

class InterleavedRatios {
public:
  // chunks[0] is the baseline; each call of a chunk does one chunk of work.
  explicit InterleavedRatios(std::vector<std::function<void()>> chunks)
      : mChunks(std::move(chunks)), mTimes(mChunks.size()) {}

  // One chunk on every way, the first one rotated by the round's number.
  void Round() {
    const size_t n = mChunks.size();
    for (size_t k = 0; k < n; ++k) {
      const size_t way = (mRounds + k) % n;
      const auto start = std::chrono::steady_clock::now();
      mChunks[way]();
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      mTimes[way].push_back(took.count());
    }
    ++mRounds;
  }

  // The median over the rounds of way's time / the baseline's; 0 before any round.
  double MedianRatio(size_t way) const {
    std::vector<double> ratios;
    for (size_t r = 0; r < mRounds; ++r)
      if (mTimes[0][r] > 0) ratios.push_back(mTimes[way][r] / mTimes[0][r]);
    if (ratios.empty()) return 0;
    std::nth_element(ratios.begin(), ratios.begin() + ratios.size() / 2, ratios.end());
    return ratios[ratios.size() / 2];
  }

private:
  std::vector<std::function<void()>> mChunks;
  std::vector<std::vector<double>> mTimes;  // per way, per round, seconds
  size_t mRounds = 0;
};

}  // namespace bench
