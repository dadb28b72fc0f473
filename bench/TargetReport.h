#pragma once
// Benchmarks whose targets are ratios of two measurements taken in the same run (or a cost
// per item). Each benchmark reports its cost per item with ReportPerItem(); the reporter
// keeps the median of each benchmark's repetitions (or its only run) and, after all have
// run, prints every target with the measured figure and whether it is met. On this shared,
// noisy machine run with --benchmark_repetitions=N: the medians of benchmarks run side by
// side are what the ratios compare.
// Header only; used by the benchmark programs' main().

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace bench {

// Sets the "per_item" counter: CPU seconds per item (printed with an SI prefix).
inline void ReportPerItem(benchmark::State& state, double itemsPerIteration) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * itemsPerIteration));
  state.counters["per_item"] = benchmark::Counter(static_cast<double>(state.iterations()) * itemsPerIteration,
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// One target. With a denominator: numerator's cost / denominator's cost; without: the
// numerator's cost per item in `unit`s (1e-9 for nanoseconds, 1e-3 for milliseconds). A
// benchmark's name is as printed, with its arguments ("BM_Ringing/decay:500/driveEnv:0").
// Use the CPU time per iteration instead of per item where items do not apply, and the wall
// time per iteration where the work is spread over threads and the wait for it is the target.
struct Target {
  const char* what;
  const char* numerator;
  const char* denominator;  // nullptr: an absolute cost
  double limit;
  bool atMost;  // true: measured <= limit; false: measured >= limit
  double unit = 1e-9;
  bool perIteration = false;
  bool wallClock = false;  // with perIteration: the wall time instead of the CPU time
  // Set: the measured figure is this counter of the numerator benchmark as it
  // reported it (a ratio the benchmark measured itself, bench/Interleaved.h).
  const char* counter = nullptr;
};

class TargetReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (!single && !median) continue;
      Cost cost;
      auto it = run.counters.find("per_item");
      cost.perItem = it != run.counters.end() ? it->second.value : 0;
      // CPU time, as the per-item counter: on a shared machine the wall clock also counts the
      // time other processes had the core. In the run's time unit; brought to seconds.
      cost.perIteration = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      cost.perIterationWall = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
      for (const auto& [name, counter] : run.counters) cost.counters[name] = counter.value;
      mCosts[run.run_name.str()] = cost;
    }
  }

  // Prints every target; returns how many were measured and missed.
  int PrintTargets(const std::vector<Target>& targets) const {
    int missed = 0;
    std::printf("\n%-58s %12s %12s  %s\n", "target", "measured", "limit", "met");
    for (const Target& t : targets) {
      double num = 0, den = 1;
      if (!Find(t, t.numerator, &num) || (t.denominator && !Find(t, t.denominator, &den))) {
        std::printf("%-58s %12s %12s  %s\n", t.what, "-", "", "not run");
        continue;
      }
      const double measured = t.counter ? num : t.denominator ? num / den : num / t.unit;
      const bool met = t.atMost ? measured <= t.limit : measured >= t.limit;
      if (!met) ++missed;
      std::printf("%-58s %12.3f %s%11.3f  %s\n", t.what, measured, t.atMost ? "<=" : ">=", t.limit, met ? "yes" : "NO");
    }
    return missed;
  }

private:
  struct Cost {
    double perItem = 0;
    double perIteration = 0;
    double perIterationWall = 0;
    std::map<std::string, double> counters;
  };

  bool Find(const Target& t, const char* name, double* value) const {
    auto it = mCosts.find(name);
    if (it == mCosts.end()) return false;
    const Cost& c = it->second;
    if (t.counter) {
      auto counter = c.counters.find(t.counter);
      *value = counter != c.counters.end() ? counter->second : 0;
      return *value > 0;
    }
    *value = !t.perIteration ? c.perItem : (t.wallClock ? c.perIterationWall : c.perIteration);
    return *value > 0;
  }

  std::map<std::string, Cost> mCosts;
};

// main() for a benchmark program with targets: runs what the command line selects, then
// prints the targets. The exit code stays 0 when a target is missed (the figures are the
// report; timing on a shared machine must not fail a build).
inline int RunWithTargets(int argc, char** argv, const std::vector<Target>& targets) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TargetReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintTargets(targets);
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench
