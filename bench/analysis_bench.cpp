// The analysis of a full history: 1 499 draws of 6 of 49 and of 6 of 99, every figure at once
// (numbers and skips, every pair and triple with the 20 most and least frequent, every pattern
// with its exact expectation), as the window and the command line ask for it.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "stats/Analysis.h"

namespace {

std::vector<tallyra::AnalysisDraw> History(int32_t m) {
  std::mt19937 random(static_cast<unsigned>(m));
  std::vector<int32_t> all(static_cast<std::size_t>(m));
  for (int32_t n = 1; n <= m; ++n) all[static_cast<std::size_t>(n - 1)] = n;
  std::vector<tallyra::AnalysisDraw> history(1499);
  for (tallyra::AnalysisDraw& draw : history) {
    std::shuffle(all.begin(), all.end(), random);
    std::copy_n(all.begin(), 6, draw.begin());
  }
  return history;
}

void EveryFigure(benchmark::State& state) {
  const auto m = static_cast<int32_t>(state.range(0));
  const std::vector<tallyra::AnalysisDraw> history = History(m);
  tallyra::AnalysisSettings settings;
  settings.highest = m;
  settings.range = tallyra::DrawRange{1, 1499};
  for (auto _ : state) {
    const tallyra::Analysis a = tallyra::Analyse(history, settings);
    benchmark::DoNotOptimize(a.topPairs(20, true));
    benchmark::DoNotOptimize(a.topPairs(20, false));
    benchmark::DoNotOptimize(a.topTriples(20, true));
    benchmark::DoNotOptimize(a.topTriples(20, false));
    benchmark::DoNotOptimize(a.companions(1));
  }
}
BENCHMARK(EveryFigure)->Arg(49)->Arg(99)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
