// The collations at full capacity on random lists of a 6-out-of-49 game, and the plain rule on
// a sample for the ratio.

#include <benchmark/benchmark.h>

#include <random>

#include "collate/Collation.h"

namespace {

tallyra::RowSet RandomRows(int width, int count, int numbers, unsigned seed) {
  std::mt19937 rng(seed);
  tallyra::RowSet rows;
  rows.width = width;
  rows.count = count;
  for (int r = 0; r < count; ++r) {
    // Distinct numbers, as the entry dialog makes them.
    std::vector<int32_t> pool(49);
    for (int v = 0; v < 49; ++v) pool[static_cast<std::size_t>(v)] = v + 1;
    std::shuffle(pool.begin(), pool.end(), rng);
    const int filled = numbers > 0 ? numbers : 7 + static_cast<int>(rng() % 6);
    for (int c = 0; c < width; ++c)
      rows.cells.push_back(c < filled ? pool[static_cast<std::size_t>(c)] : 0);
  }
  return rows;
}

const tallyra::CollationInput& FullInput() {
  static const tallyra::CollationInput input = [] {
    tallyra::CollationInput in;
    in.stakes = RandomRows(6, 99999, 6, 1);
    in.system = RandomRows(12, 99999, 0, 2);
    in.draws = RandomRows(6, 1499, 6, 3);
    return in;
  }();
  return input;
}

void Run(benchmark::State& state, tallyra::CollationKind kind, int threads) {
  const auto& in = FullInput();
  for (auto _ : state) {
    const tallyra::Outcome out = tallyra::Collate(kind, in, nullptr, threads);
    benchmark::DoNotOptimize(out.counts);
    state.counters["coincidences"] =
        static_cast<double>(out.counts[0] + out.counts[1] + out.counts[2] + out.counts[3]);
  }
}

void BM_StakesWithStakes_99999(benchmark::State& s) {
  Run(s, tallyra::CollationKind::StakesWithStakes, static_cast<int>(s.range(0)));
}
BENCHMARK(BM_StakesWithStakes_99999)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SystemWithSystem_99999(benchmark::State& s) {
  Run(s, tallyra::CollationKind::SystemWithSystem, static_cast<int>(s.range(0)));
}
BENCHMARK(BM_SystemWithSystem_99999)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StakesWithDraws_99999x1499(benchmark::State& s) {
  Run(s, tallyra::CollationKind::StakesWithDraws, 2);
}
BENCHMARK(BM_StakesWithDraws_99999x1499)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SystemWithDraws_99999x1499(benchmark::State& s) {
  Run(s, tallyra::CollationKind::SystemWithDraws, 2);
}
BENCHMARK(BM_SystemWithDraws_99999x1499)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_All_99999_99999x1499(benchmark::State& s) {
  Run(s, tallyra::CollationKind::All, 2);
}
BENCHMARK(BM_All_99999_99999x1499)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole text of the list of three of the stakes with each other (about 1.2 GB), streamed.
void BM_StakesWithStakes_99999_StreamListOfThree(benchmark::State& s) {
  const auto& in = FullInput();
  const tallyra::Outcome out =
      tallyra::Collate(tallyra::CollationKind::StakesWithStakes, in, nullptr, 2);
  for (auto _ : s) {
    int64_t bytes = 0;
    out.lists[0]->forEachChunk(int64_t{1} << 22, [&](const std::string& piece) {
      bytes += static_cast<int64_t>(piece.size());
      return true;
    });
    s.counters["bytes"] = static_cast<double>(bytes);
  }
}
BENCHMARK(BM_StakesWithStakes_99999_StreamListOfThree)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The plain rule on the first 2000 stakes (2 million pairs); at capacity it makes 2500 times as
// many comparisons.
void BM_StakesWithStakes_Plain_2000(benchmark::State& s) {
  tallyra::CollationInput in;
  in.stakes = FullInput().stakes;
  in.stakes.count = 2000;
  in.stakes.cells.resize(2000 * 6);
  for (auto _ : s) {
    const tallyra::Outcome out =
        tallyra::CollatePlainly(tallyra::CollationKind::StakesWithStakes, in);
    benchmark::DoNotOptimize(out.counts);
  }
}
BENCHMARK(BM_StakesWithStakes_Plain_2000)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// The check of one system combination against every stake and system stake; it runs on the
// window's own thread.
void BM_Check_99999Stakes_99999System(benchmark::State& s) {
  const auto& in = FullInput();
  const std::array<int32_t, 13> combination{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (auto _ : s) {
    const tallyra::Outcome out = tallyra::CheckCombination(combination, true, true, in);
    benchmark::DoNotOptimize(out.counts);
  }
}
BENCHMARK(BM_Check_99999Stakes_99999System)->Unit(benchmark::kMillisecond);

}  // namespace
