// The collations at capacity beside the yardstick, a plain per-number-bitmap kernel built for
// this processor, in the same run: 99 999 stakes, 99 999 system stakes of 7 to 12 numbers and
// 1 499 draws of a 6-out-of-49 game; counts and per-row counts (and the lists' indexes for the
// collations), no list texts, on two threads. Each round times both; the best of the rounds
// are reported with their ratio, and the middle of the rounds' ratios. TALLYRA_KERNEL_PATH picks
// the collations' build.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "BitmapYardstick.h"
#include "RandomRows.h"
#include "collate/Collation.h"
#include "collate/Kernel.h"

using bench::FullInput;
using bench::RandomRows;

namespace {

constexpr int kThreads = 2;

// The time a run takes, and the processor time its threads take (which other programs on a
// busy machine hardly change).
struct Times {
  double wall = 0;
  double processor = 0;
};

Times Measure(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  const std::clock_t clock = std::clock();
  run();
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
          static_cast<double>(std::clock() - clock) / CLOCKS_PER_SEC};
}

// The yardstick's counts for a collation.
bench::YardstickOutcome Yardstick(tallyra::CollationKind kind) {
  const auto& in = FullInput();
  using K = tallyra::CollationKind;
  switch (kind) {
    case K::StakesWithStakes:
      return bench::CollateWithBitmaps(in.stakes, in.stakes, true, false, kThreads);
    case K::StakesWithDraws:
      return bench::CollateWithBitmaps(in.stakes, in.draws, false, false, kThreads);
    case K::SystemWithSystem:
      return bench::CollateWithBitmaps(in.system, in.system, true, true, kThreads);
    case K::SystemWithDraws:
      return bench::CollateWithBitmaps(in.system, in.draws, false, false, kThreads);
    case K::All: {
      auto out = bench::CollateWithBitmaps(in.stakes, in.draws, false, false, kThreads);
      const auto system = bench::CollateWithBitmaps(in.system, in.draws, false, true, kThreads);
      for (std::size_t c = 0; c < 4; ++c) out.counts[c] += system.counts[c];
      out.rows.insert(out.rows.end(), system.rows.begin(), system.rows.end());
      return out;
    }
  }
  return {};
}

void Compare(benchmark::State& state, tallyra::CollationKind kind) {
  Times ours{1e9, 1e9}, yardstick{1e9, 1e9};
  std::vector<double> ratios;
  for (auto _ : state) {
    tallyra::Outcome out;
    bench::YardstickOutcome plain;
    const Times a = Measure([&] { out = tallyra::Collate(kind, FullInput(), nullptr, kThreads); });
    const Times b = Measure([&] { plain = Yardstick(kind); });
    if (out.counts != plain.counts) state.SkipWithError("the yardstick counts otherwise");
    benchmark::DoNotOptimize(out.counts);
    benchmark::DoNotOptimize(plain.counts);
    state.SetIterationTime(a.wall);
    ratios.push_back(a.wall / b.wall);
    ours = {std::min(ours.wall, a.wall), std::min(ours.processor, a.processor)};
    yardstick = {std::min(yardstick.wall, b.wall), std::min(yardstick.processor, b.processor)};
  }
  state.counters["ours_ms"] = ours.wall * 1e3;
  state.counters["yardstick_ms"] = yardstick.wall * 1e3;
  state.counters["best_ratio"] = ours.wall / yardstick.wall;
  state.counters["cpu_ratio"] = ours.processor / yardstick.processor;
  // Each round's two runs are next to each other in time: the middle of their ratios stays put
  // when the machine is busy with other work for a while.
  std::sort(ratios.begin(), ratios.end());
  if (!ratios.empty()) state.counters["ratio"] = ratios[ratios.size() / 2];
  state.SetLabel(std::string("path ") + tallyra::kernel::PathName(tallyra::kernel::ActivePath()) +
                 ", yardstick " + bench::YardstickTarget());
}

void BM_Ratio_StakesWithStakes_99999(benchmark::State& s) {
  Compare(s, tallyra::CollationKind::StakesWithStakes);
}
void BM_Ratio_StakesWithDraws_99999x1499(benchmark::State& s) {
  Compare(s, tallyra::CollationKind::StakesWithDraws);
}
void BM_Ratio_SystemWithSystem_99999(benchmark::State& s) {
  Compare(s, tallyra::CollationKind::SystemWithSystem);
}
void BM_Ratio_SystemWithDraws_99999x1499(benchmark::State& s) {
  Compare(s, tallyra::CollationKind::SystemWithDraws);
}
void BM_Ratio_All_99999_99999x1499(benchmark::State& s) {
  Compare(s, tallyra::CollationKind::All);
}
BENCHMARK(BM_Ratio_StakesWithStakes_99999)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ratio_StakesWithDraws_99999x1499)
    ->Iterations(60)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ratio_SystemWithSystem_99999)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ratio_SystemWithDraws_99999x1499)
    ->Iterations(60)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ratio_All_99999_99999x1499)
    ->Iterations(60)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
