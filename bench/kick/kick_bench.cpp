// Cost of one output sample of the kick voice at 48 kHz, rendered in 512-sample blocks as the
// instrument renders it, in the stretches of a hit: the pulse and pitch sweep (the first
// 3286 samples), the ring after the sweep, 60 s after the hit (when the ring has decayed far
// below audibility), and a whole 2 s hit beside the plain voice, which evaluates every
// formula on every sample (KrummelPlain). Arguments: decay in thousandths, DriveEnv on (1)
// or off (0). Run with --benchmark_repetitions=5 or more; the targets compare medians.
//
// What the costs are made of (callgrind, instructions per sample, DriveEnv off / on):
// - Ringing, about 66 / 78: two passes over each run of the block, each with its state in
//   registers. The first turns the ring (4 multiplies, 2 adds, each turn waiting for the one
//   before) and drives each sample (a multiply, the clip's branches, the normaliser's
//   reciprocal as a multiply): about 28. With DriveEnv on the same loop steps the envelope (a
//   float multiply) and makes the clip's setting from its level (3 multiplies and an add; from
//   amount 1 on no normaliser, below it one division), about 37 in all, work that mostly fills
//   the time the ring's turn leaves idle, so it costs some 10% more time than DriveEnv off
//   rather than 20%. The second pass runs the three first-order sections (3 multiplies, 2 adds
//   each) and the declick's multiply: about 35, a third of them register copies. Two-lane
//   SSE2 forms of the clip cost more than its well-predicted branches (the selects that
//   replace them take some 40 instructions a pair), so the passes stay scalar.
//   One getSample() call per sample costs four to five times as much: the call, the checks
//   that a run may start, and every state loaded and stored again.
// - Pulse and sweep, about 107 / 121: the pulse's 286 samples go through the full path (table
//   read, hold and pitch derived, cached coefficients checked: about 230 each); the 3000 sweep
//   samples turn the rotation by a recurrence (4 multiplies, 2 adds) and take an exact cos and
//   sin only every 32nd sample, in a loop of their own before the drive's.
// - 60 s after, about 60 / 62: the same work as ringing on states flushed to exact zero; no
//   subnormals. The drive envelope has decayed to exact zero by then, so its amount stands
//   still and DriveEnv on costs what off does.
// - Plain voice, about 540 / 710: exp for the ring's decay and for the declick, cos, sin and
//   pow every sample (two more exp with DriveEnv on).
#include <benchmark/benchmark.h>

#include <vector>

#include "TargetReport.h"
#include "kick/Krummel.h"
#include "support/KrummelPlain.h"

namespace {

const double kRate = 48000;
const int kPulseAndSweep = 286 + 3000;
const int kBlock = 512;
const int kWholeHit = 2 * 48000;

KickControls hitControls(const benchmark::State& state) {
  KickControls c;
  c.tone = 0.5;
  c.level = 0.8;
  c.decay = state.range(0) / 1000.0;
  c.comp = 0.3;
  c.drive = 0.4;
  c.driveEnv = state.range(1) != 0;
  c.velocity = 0.8;
  return c;
}

// A first hit, cut after 0.2 s by the measured one, so the declick fader is busy too.
Krummel hitVoice(const benchmark::State& state) {
  Krummel k;
  k.setSampleRate(kRate);
  k.glide.setSampleRate(static_cast<float>(kRate));
  hitControls(state).apply(k);
  k.glide.setValue(33);
  k.restart();
  for (int i = 0; i < kRate / 5; ++i) k.getSample();
  k.restart();
  return k;
}

KrummelPlain hitPlainVoice(const benchmark::State& state) {
  KrummelPlain k(kRate);
  k.c = hitControls(state);
  k.glide.setValue(33);
  k.restart();
  for (int i = 0; i < kRate / 5; ++i) k.getSample();
  k.restart();
  return k;
}

void renderBlocks(Krummel& k, std::vector<double>& out, int samples) {
  for (int done = 0; done < samples; done += kBlock) {
    const int n = samples - done < kBlock ? samples - done : kBlock;
    k.render(out.data(), n);
    benchmark::DoNotOptimize(out.data());
  }
}

void renderFrom(benchmark::State& state, const Krummel& snapshot, int samples) {
  std::vector<double> out(kBlock);
  for (auto _ : state) {
    state.PauseTiming();
    Krummel k = snapshot;
    state.ResumeTiming();
    renderBlocks(k, out, samples);
    benchmark::ClobberMemory();
  }
  bench::ReportPerItem(state, samples);
}

void BM_PulseAndSweep(benchmark::State& state) { renderFrom(state, hitVoice(state), kPulseAndSweep); }

Krummel ringingVoice(const benchmark::State& state) {
  Krummel k = hitVoice(state);
  for (int i = 0; i < kPulseAndSweep; ++i) k.getSample();
  return k;
}

void BM_Ringing(benchmark::State& state) { renderFrom(state, ringingVoice(state), 4800); }  // 100 ms

// The same ring one getSample() call per sample, for comparison with render().
void BM_RingingPerCall(benchmark::State& state) {
  const Krummel snapshot = ringingVoice(state);
  for (auto _ : state) {
    state.PauseTiming();
    Krummel k = snapshot;
    state.ResumeTiming();
    double sum = 0;
    for (int i = 0; i < 4800; ++i) sum += k.getSample();
    benchmark::DoNotOptimize(sum);
  }
  bench::ReportPerItem(state, 4800);
}

void BM_SixtySecondsAfter(benchmark::State& state) {
  Krummel k = hitVoice(state);
  for (int i = 0; i < 60 * kRate; ++i) k.getSample();
  renderFrom(state, k, 48000);
}

void BM_WholeHit(benchmark::State& state) { renderFrom(state, hitVoice(state), kWholeHit); }

void BM_WholeHitPlain(benchmark::State& state) {
  const KrummelPlain snapshot = hitPlainVoice(state);
  for (auto _ : state) {
    state.PauseTiming();
    KrummelPlain k = snapshot;
    state.ResumeTiming();
    double sum = 0;
    for (int i = 0; i < kWholeHit; ++i) sum += k.getSample();
    benchmark::DoNotOptimize(sum);
  }
  bench::ReportPerItem(state, kWholeHit);
}

void decaySettings(benchmark::internal::Benchmark* b) {
  // 0.2 puts the unflushed ring right in the subnormal range 60 s after the hit.
  b->ArgNames({"decay", "driveEnv"});
  for (int decay : {0, 200, 500, 1000})
    for (int env : {0, 1}) b->Args({decay, env});
}

void envSettings(benchmark::internal::Benchmark* b) {
  b->ArgNames({"decay", "driveEnv"});
  for (int env : {0, 1}) b->Args({500, env});
}

BENCHMARK(BM_PulseAndSweep)->Apply(envSettings);
BENCHMARK(BM_Ringing)->Apply(decaySettings);
BENCHMARK(BM_RingingPerCall)->Apply(envSettings);
BENCHMARK(BM_SixtySecondsAfter)->Apply(decaySettings);
BENCHMARK(BM_WholeHit)->Apply(envSettings);
BENCHMARK(BM_WholeHitPlain)->Apply(envSettings);

}  // namespace

int main(int argc, char** argv) {
  return bench::RunWithTargets(
      argc, argv,
      {
          {"ringing, DriveEnv off (ns per sample)", "BM_Ringing/decay:500/driveEnv:0", nullptr, 10, true},
          {"ringing, DriveEnv on (ns per sample)", "BM_Ringing/decay:500/driveEnv:1", nullptr, 10, true},
          {"pulse and sweep, DriveEnv off (ns per sample)", "BM_PulseAndSweep/decay:500/driveEnv:0", nullptr, 20, true},
          {"pulse and sweep, DriveEnv on (ns per sample)", "BM_PulseAndSweep/decay:500/driveEnv:1", nullptr, 20, true},
          {"whole 2 s hit / plain formulas, DriveEnv off", "BM_WholeHit/decay:500/driveEnv:0",
           "BM_WholeHitPlain/decay:500/driveEnv:0", 0.25, true},
          {"whole 2 s hit / plain formulas, DriveEnv on", "BM_WholeHit/decay:500/driveEnv:1",
           "BM_WholeHitPlain/decay:500/driveEnv:1", 0.25, true},
          {"60 s after / ringing, decay 0.2, DriveEnv off", "BM_SixtySecondsAfter/decay:200/driveEnv:0",
           "BM_Ringing/decay:200/driveEnv:0", 1.5, true},
          {"60 s after / ringing, decay 0.2, DriveEnv on", "BM_SixtySecondsAfter/decay:200/driveEnv:1",
           "BM_Ringing/decay:200/driveEnv:1", 1.5, true},
      });
}
