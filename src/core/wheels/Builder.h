#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "model/Workspace.h"
#include "wheels/Wheel.h"

namespace tallyra::wheels {

struct BuildOptions {
  // The time for the whole build, counted from its start: the first (greedy) wheel, its exact
  // check, the search for a smaller one and that one's check all stop when it runs out. The
  // clock is read only after a fixed amount of work, so a small build always gets its first
  // wheel, even with no time at all.
  double seconds = 5.0;
  uint64_t seed = 1;
  // Searches run side by side, each from its own seed (the first from `seed` itself), the
  // smallest wheel kept; the exact checks use as many threads. 0: the machine's cores.
  int threads = 0;
  // Stop as soon as a wheel of at most this many tickets has been found (0: no target); it is
  // still checked exactly before it is returned.
  uint64_t target = 0;
  const std::atomic<bool>* cancel = nullptr;
  // Called on the calling thread now and then with the share of the time used and the size of
  // the smallest wheel so far that has passed the exact check (0 while there is none).
  std::function<void(double, int)> progress;
  // Pools whose m-subsets outnumber this are refused rather than built: the search keeps ten
  // bytes for each of them.
  uint64_t maxSets = 20'000'000;
  // A guarantee whose lower bound is more tickets than this is refused rather than built: such
  // a wheel could never join the stakes list.
  uint64_t maxTickets = kStakeCapacity;
};

struct BuildResult {
  std::optional<InputProblem> problem;  // the pool or guarantee cannot be built
  std::vector<Ticket> tickets;          // each sorted; checked exactly before it is returned
  // The size of the first wheel, before the search: the greedy wheel, or the one made of two
  // smaller wheels where the guarantee splits.
  int greedySize = 0;
  uint64_t bound = 0;      // LowerBound for the pool and guarantee
  bool cancelled = false;  // stopped by the caller: tickets is the best wheel so far, or empty
  bool timedOut = false;   // the time ran out before a complete wheel passed its check: no tickets
};

// Builds a small list of tickets over the pool that satisfies the guarantee: a first wheel (two
// smaller wheels side by side where the guarantee splits, else a greedy wheel), then an
// annealing that tries one ticket fewer each time every subset is held, keeping the smallest
// wheel it finds: first, on larger wheels, with the tickets in whole orbits of a few
// permutations of the pool, then ticket by ticket from the smallest wheel so far. Every wheel
// returned has passed Verify; the result is never larger than the first wheel. "6 if 6" needs every
// six of the pool, which are returned as they are.
BuildResult BuildWheel(const std::vector<int32_t>& pool, Guarantee guarantee,
                       const BuildOptions& options = {});

}  // namespace tallyra::wheels
