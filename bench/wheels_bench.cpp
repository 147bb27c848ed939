// The exact wheel check on large lists and pools, and the builder for a fixed time with the
// sizes it reaches beside the bound.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

#include "wheels/Builder.h"
#include "wheels/Verifier.h"

namespace {

namespace wh = tallyra::wheels;

std::vector<int32_t> Range(int v) {
  std::vector<int32_t> pool;
  for (int n = 1; n <= v; ++n) pool.push_back(n);
  return pool;
}

std::vector<wh::Ticket> RandomTickets(int v, int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<int32_t> pool = Range(v);
  std::vector<wh::Ticket> tickets;
  for (int i = 0; i < count; ++i) {
    std::shuffle(pool.begin(), pool.end(), rng);
    tickets.emplace_back(pool.begin(), pool.begin() + 6);
  }
  return tickets;
}

// 1 000 tickets over a pool of 30, every guarantee.
void BM_CheckPool30Tickets1000(benchmark::State& state) {
  const auto tickets = RandomTickets(30, 1000, 1);
  for (auto _ : state) {
    const wh::Coverage c = wh::Verify(Range(30), tickets);
    benchmark::DoNotOptimize(c.rows.data());
  }
}
BENCHMARK(BM_CheckPool30Tickets1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// All 49 numbers: every m-subset up to m = 6 (13 983 816 of them), every guarantee.
void BM_CheckPool49Tickets(benchmark::State& state) {
  const auto tickets = RandomTickets(49, static_cast<int>(state.range(0)), 2);
  for (auto _ : state) {
    const wh::Coverage c = wh::Verify(Range(49), tickets);
    benchmark::DoNotOptimize(c.rows.data());
  }
}
BENCHMARK(BM_CheckPool49Tickets)
    ->Arg(200)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// The builder for a fixed time (WHEEL_SECONDS, 5 by default), seed (WHEEL_SEED, 1 by default)
// and searches side by side (WHEEL_THREADS, one per core by default): the size found, the
// greedy size, the bound and the size over it as counters. The sizes depend on the
// speed of the machine; compare several seeds.
void BM_BuildWheel(benchmark::State& state) {
  const int v = static_cast<int>(state.range(0));
  const wh::Guarantee g{static_cast<int>(state.range(1)), static_cast<int>(state.range(2))};
  wh::BuildOptions options;
  const char* seconds = std::getenv("WHEEL_SECONDS");
  options.seconds = seconds ? std::atof(seconds) : 5.0;
  const char* seed = std::getenv("WHEEL_SEED");
  options.seed = seed ? std::strtoull(seed, nullptr, 10) : 1;
  const char* threads = std::getenv("WHEEL_THREADS");
  options.threads = threads ? std::atoi(threads) : 0;
  wh::BuildResult r;
  for (auto _ : state) r = wh::BuildWheel(Range(v), g, options);
  state.counters["size"] = static_cast<double>(r.tickets.size());
  state.counters["greedy"] = r.greedySize;
  state.counters["bound"] = static_cast<double>(r.bound);
  state.counters["ratio"] =
      r.bound ? static_cast<double>(r.tickets.size()) / static_cast<double>(r.bound) : 0.0;
  state.counters["seed"] = static_cast<double>(options.seed);
  state.SetLabel(std::to_string(v) + " numbers " + wh::GuaranteeText(g));
}
BENCHMARK(BM_BuildWheel)
    ->Args({20, 3, 3})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// The table of sizes: pools of 10..30 numbers, the usual guarantees.
void TableArgs(benchmark::internal::Benchmark* b) {
  for (const int v : {10, 15, 20, 25, 30})
    for (const auto& g : {wh::Guarantee{3, 3}, wh::Guarantee{3, 4}, wh::Guarantee{4, 4},
                          wh::Guarantee{3, 6}, wh::Guarantee{4, 5}})
      b->Args({v, g.t, g.m});
}
BENCHMARK(BM_BuildWheel)
    ->Name("BM_WheelTable")
    ->Apply(TableArgs)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
