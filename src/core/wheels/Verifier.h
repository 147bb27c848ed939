#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "wheels/Wheel.h"

namespace tallyra::wheels {

// How well a list of tickets covers the m-subsets of a pool for one guarantee "t if m".
struct CoverageRow {
  Guarantee guarantee;
  uint64_t covered = 0;  // m-subsets of the pool with some ticket holding t of their numbers
  uint64_t total = 0;    // C(v, m)
  std::vector<std::vector<int32_t>> witnesses;  // the first m-subsets (in order) not covered
  bool holds() const { return covered == total; }
};

struct Coverage {
  std::vector<int32_t> pool;      // sorted
  int tickets = 0;                // tickets examined
  int outsidePool = 0;            // tickets with a number that is not in the pool
  bool cancelled = false;         // the run stopped early (cancel or time): the rows are incomplete
  std::vector<CoverageRow> rows;  // every 2 <= t <= m <= min(6, v, maxM), m first, then t
  const CoverageRow* find(Guarantee g) const;
};

struct VerifyOptions {
  int threads = 0;    // 0: as many as the machine has
  int witnesses = 3;  // per guarantee
  int maxM = 6;       // the largest m examined
  const std::atomic<bool>* cancel = nullptr;
  // The run stops here, as on a cancel. The clock is read only after a fixed amount of work, so
  // a check smaller than that always runs to its end, whatever the machine's speed.
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
  // Called on the calling thread with the share of the work done (0..1), now and then.
  std::function<void(double)> progress;
};

// Checks every m-subset of the pool exactly. A ticket counts only through its numbers that are
// in the pool; its other numbers (and zeros) are ignored. The pool is taken as the set of its
// numbers in 1..kMaxPool (repeats and others dropped); it may be smaller than a game allows.
Coverage Verify(const std::vector<int32_t>& pool, const std::vector<Ticket>& tickets,
                const VerifyOptions& options = {});

// The share covered as a percentage with two decimals ("51.65"), rounded half up from the exact
// fraction. A share that rounds to 100.00 while a set is still uncovered is shown as 99.99, so
// that 100.00 always means the guarantee holds. The window and the command line both show this.
std::string CoveragePercent(uint64_t covered, uint64_t total);

}  // namespace tallyra::wheels
