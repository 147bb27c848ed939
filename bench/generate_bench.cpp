// The whole space of combinations through twelve filters, with the funnel and the backtest
// over 1 499 draws: 6 of 49 (13 983 816 combinations) and 6 of 90 (622 614 630), on every core.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "generate/Generator.h"

namespace {

tallyra::GenerateInput TwelveFilters(int32_t m) {
  tallyra::GenerateInput input;
  input.highest = m;
  std::mt19937 random(static_cast<unsigned>(m));
  std::vector<int32_t> all(static_cast<std::size_t>(m));
  for (int32_t n = 1; n <= m; ++n) all[static_cast<std::size_t>(n - 1)] = n;
  input.history.resize(1499);
  for (tallyra::AnalysisDraw& draw : input.history) {
    std::shuffle(all.begin(), all.end(), random);
    std::copy_n(all.begin(), 6, draw.begin());
  }
  input.range = tallyra::DrawRange{1, 1499};
  const std::string spread = "20-" + std::to_string(m - 5);
  const std::string sum = std::to_string(3 * m - 27) + "-" + std::to_string(3 * m + 33);
  const std::vector<std::pair<tallyra::FilterKind, std::string>> filters = {
      {tallyra::FilterKind::Sum, sum},
      {tallyra::FilterKind::Odd, "2-4"},
      {tallyra::FilterKind::Low, "2-4"},
      {tallyra::FilterKind::Spread, spread},
      {tallyra::FilterKind::ConsecutiveMax, "1"},
      {tallyra::FilterKind::DecadeMax, "3"},
      {tallyra::FilterKind::LastDigitMax, "2"},
      {tallyra::FilterKind::Exclude, "13,26,39"},
      {tallyra::FilterKind::PreviousMax, "2"},
      {tallyra::FilterKind::NotDrawn, ""},
      {tallyra::FilterKind::ShareMax, "3"},
      {tallyra::FilterKind::TopPairs, "30"},
  };
  for (const auto& [kind, arguments] : filters) {
    tallyra::Filter f;
    f.kind = kind;
    tallyra::ReadFilterArguments(f, arguments, m, 1);
    input.filters.push_back(f);
  }
  return input;
}

void Funnel(benchmark::State& state) {
  const tallyra::GenerateInput input = TwelveFilters(static_cast<int32_t>(state.range(0)));
  for (auto _ : state) {
    const tallyra::Funnel funnel = tallyra::RunFunnel(input, nullptr, 2);
    benchmark::DoNotOptimize(funnel.left);
    state.counters["left"] = static_cast<double>(funnel.left);
  }
}
BENCHMARK(Funnel)->Arg(49)->Arg(90)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
