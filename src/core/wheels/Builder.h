#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "wheels/Wheel.h"

namespace tallyra::wheels {

struct BuildOptions {
  // The time for the whole build, counted from its start; the greedy wheel is always finished
  // even when it takes longer, and the rest of the time goes into making it smaller.
  double seconds = 5.0;
  uint64_t seed = 1;
  int threads = 0;  // for the exact checks
  const std::atomic<bool>* cancel = nullptr;
  // Called on the calling thread now and then with the share of the time used and the size of
  // the smallest wheel so far (0 while there is none).
  std::function<void(double, int)> progress;
  // Pools whose m-subsets outnumber this are refused rather than built.
  uint64_t maxSets = 20'000'000;
};

struct BuildResult {
  std::optional<InputProblem> problem;  // the pool or guarantee cannot be built
  std::vector<Ticket> tickets;          // each sorted; checked exactly before it is returned
  int greedySize = 0;                   // the size of the first wheel, before improvement
  uint64_t bound = 0;                   // LowerBound for the pool and guarantee
  bool cancelled = false;  // stopped by the caller: tickets is the best wheel so far, or empty
};

// Builds a small list of tickets over the pool that satisfies the guarantee: a greedy wheel
// first, then a local search that keeps the smallest wheel it finds. Every wheel returned has
// passed Verify; the result is never larger than the greedy wheel.
BuildResult BuildWheel(const std::vector<int32_t>& pool, Guarantee guarantee,
                       const BuildOptions& options = {});

}  // namespace tallyra::wheels
