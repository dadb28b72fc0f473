// Cost of one output sample of the kick voice at 48 kHz, in three stretches of a hit:
// the pulse and pitch sweep (first 3286 samples), the ring after the sweep, and 60 s after
// the hit, when the ring has decayed far below audibility. Targets: <= 10 ns per sample
// while ringing; 60 s after <= 1.5 x ringing (no slow subnormal arithmetic).
// Arguments: decay in thousandths, DriveEnv on (1) or off (0).
#include <benchmark/benchmark.h>

#include "kick/Krummel.h"

namespace {

const double kRate = 48000;
const int kPulseAndSweep = 286 + 3000;
const int kBlock = 48000;

Krummel hitVoice(const benchmark::State& state) {
  Krummel k;
  k.setSampleRate(kRate);
  k.glide.setSampleRate(static_cast<float>(kRate));
  k.setTone(0.5);
  k.setLevel(0.8);
  k.setDecay(state.range(0) / 1000.0);
  k.setComp(0.3);
  k.setDrive(0.4);
  k.driveEnv = state.range(1) != 0;
  k.setMidiVelocity(0.8);
  k.glide.setValue(33);
  // A first hit, cut after 0.2 s by the measured one, so the declick fader is busy too.
  k.restart();
  for (int i = 0; i < kRate / 5; ++i) k.getSample();
  k.restart();
  return k;
}

void reportPerSample(benchmark::State& state, int samplesPerIteration) {
  state.SetItemsProcessed(state.iterations() * samplesPerIteration);
  // Seconds per sample, printed with an SI prefix (n = nanoseconds).
  state.counters["per_sample"] = benchmark::Counter(static_cast<double>(state.iterations()) * samplesPerIteration,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void renderFrom(benchmark::State& state, const Krummel& snapshot, int samples) {
  for (auto _ : state) {
    state.PauseTiming();
    Krummel k = snapshot;
    state.ResumeTiming();
    double sum = 0;
    for (int i = 0; i < samples; ++i) sum += k.getSample();
    benchmark::DoNotOptimize(sum);
  }
  reportPerSample(state, samples);
}

void BM_PulseAndSweep(benchmark::State& state) { renderFrom(state, hitVoice(state), kPulseAndSweep); }

void BM_Ringing(benchmark::State& state) {
  Krummel k = hitVoice(state);
  for (int i = 0; i < kPulseAndSweep; ++i) k.getSample();
  renderFrom(state, k, kBlock / 10);  // the 100 ms after the sweep
}

void BM_SixtySecondsAfter(benchmark::State& state) {
  Krummel k = hitVoice(state);
  for (int i = 0; i < 60 * kRate; ++i) k.getSample();
  renderFrom(state, k, kBlock);
}

void decaySettings(benchmark::internal::Benchmark* b) {
  // 0.2 puts the unflushed ring right in the subnormal range 60 s after the hit.
  b->ArgNames({"decay", "driveEnv"});
  for (int decay : {0, 200, 500, 1000})
    for (int env : {0, 1}) b->Args({decay, env});
}

BENCHMARK(BM_PulseAndSweep)->Apply(decaySettings);
BENCHMARK(BM_Ringing)->Apply(decaySettings);
BENCHMARK(BM_SixtySecondsAfter)->Apply(decaySettings);

}  // namespace

BENCHMARK_MAIN();
