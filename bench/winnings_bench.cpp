// The winnings report at capacity: 99 999 stakes and 99 999 system stakes of twelve numbers
// against 1 499 draws of a 6-out-of-49 game, every draw, with amounts of its own for half the
// draws; and the latest draw alone.

#include <benchmark/benchmark.h>

#include <random>

#include "RandomRows.h"
#include "winnings/Winnings.h"

using bench::RandomRows;

namespace {

const tallyra::WinningsInput& FullInput() {
  static const tallyra::WinningsInput input = [] {
    tallyra::WinningsInput in;
    in.stakes = RandomRows(6, 99999, 6, 1);
    in.system = RandomRows(12, 99999, 12, 2);
    in.draws = RandomRows(6, 1499, 6, 3);
    return in;
  }();
  return input;
}

tallyra::Prizes FullPrizes() {
  tallyra::Prizes prizes;
  prizes.table.price = 100;
  prizes.table.amounts = {1000, 10000, 500000, 100000000};
  for (int32_t d = 1; d <= 1499; d += 2) prizes.byDraw[d] = {900 + d, 9000 + d, 400000 + d, 0};
  return prizes;
}

void Run(benchmark::State& state, tallyra::DrawChoice choice) {
  const tallyra::WinningsInput& in = FullInput();
  const tallyra::Prizes prizes = FullPrizes();
  const int threads = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const tallyra::WinningsOutcome out =
        tallyra::ComputeWinnings(in, prizes, choice, nullptr, threads);
    benchmark::DoNotOptimize(out.report.winnings);
    if (out.problem) state.SkipWithError("the report failed");
  }
}

void BM_WinningsAllDraws_99999x6_99999x12_1499(benchmark::State& state) {
  Run(state, {tallyra::DrawChoice::Kind::All, 0});
}
void BM_WinningsLatestDraw_99999x6_99999x12(benchmark::State& state) {
  Run(state, {});
}

BENCHMARK(BM_WinningsAllDraws_99999x6_99999x12_1499)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_WinningsLatestDraw_99999x6_99999x12)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
